// CLoriantParser: the whole interpreter behind the public face (script_interpreter.h) that
// hosts create. It fills the interpreter's extension
// operations with the language's network words: the output statements Print, Println and
// ClearOutput, the types FF_NeuralNetwork and LogicalNeuralNetwork, their variables and arrays,
// their members, and SaveObject / LoadObject of network variables.
//
// Implementation by concern: loriant_parser.cpp (object, passes, statement dispatch, output),
// network_keywords.cpp (keyword table, lookup, help branch), network_variables.cpp (declarations,
// lookup, element index), network_objects.cpp (object files), member_arguments.cpp (argument
// readers shared by the members), feed_forward_members.cpp (dispatch, FF statements),
// weights_member.cpp, training_members.cpp, feed_forward_values.cpp, logical_members.cpp;
// object_variable.cpp and network_ownership.cpp hold the variable record.
#pragma once

#include <string>
#include <string_view>

#include "base/dyna_array.h"
#include "interpreter/keyword_catalogue.h"
#include "interpreter/tessel_parser.h"
#include "netscript/object_variable.h"
#include "netscript/script_interpreter.h"

class CMatrix;
class CFeedForwardNeuralNetwork;
class LogicalNeuralNetwork;

// Ids of the extension's words (171 .. 215 without 189 and 190).
namespace netword {
constexpr int kPrint = 171;
constexpr int kPrintln = 172;
constexpr int kClearOutput = 173;
constexpr int kFeedForwardType = 174;
constexpr int kInputsNumber = 175;
constexpr int kLayersNumber = 176;
constexpr int kNeuronsInLayers = 177;
constexpr int kWeights = 178;
constexpr int kInputValues = 179;
constexpr int kBias = 180;
constexpr int kSimulate = 181;
constexpr int kOutput = 182;
constexpr int kToString = 183;
constexpr int kFunction = 184;
constexpr int kHardLim = 185;
constexpr int kHardLims = 186;
constexpr int kLogSig = 187;
constexpr int kTanSig = 188;
constexpr int kCopy = 191;
constexpr int kCreateView = 192;
constexpr int kDestroyView = 193;
constexpr int kTrain = 194;
constexpr int kAddTrainingPair = 195;
constexpr int kAddTestingPair = 196;
constexpr int kLearningConstant = 197;
constexpr int kCorrectOutputThreshold = 198;
constexpr int kSteepness = 199;
constexpr int kSmartLearningConstant = 200;
constexpr int kShowStorms = 201;
constexpr int kLearningMaxError = 202;
constexpr int kMaxEpochs = 203;
constexpr int kTextMessageLearning = 204;
constexpr int kUpdateEpochs = 205;
constexpr int kLoadTrainingPairs = 206;
constexpr int kLoadTestingPairs = 207;
constexpr int kStartLearning = 208;
constexpr int kLogicalType = 209;
constexpr int kInputsPerRAM = 210;
constexpr int kClassesNum = 211;
constexpr int kThreshold = 212;
constexpr int kCreate = 213;
constexpr int kTrainOn = 214;
constexpr int kRecognize = 215;
}  // namespace netword

// The 43 rows of the extension's keyword table, in row order.
const std::vector<KeywordRecord>& NetworkKeywordRows();

class CLoriantParser : public CTesselParser {
public:
    static constexpr int kNetworkVariableStep = 500;
    static constexpr int kNetworkKeywordStep = 100;

    explicit CLoriantParser(ViewServices* owner);
    ~CLoriantParser() override;

    // ===== extension operations =====
    void BuildHelpTree(HelpTreeTarget& tree) override;
    void RegisterObjectKeywords() override;
    int FindObjectKeyword(const char* word) override;
    int FindObjectVariable(const char* word) override;
    int ExecuteObjectKeywordStatement() override;
    void ResetRun() override;
    int ExecuteObjectStatement() override;
    int EvaluateObjectMember(Value& result) override;
    int OutputStatementOf(int keywordId) const override;
    bool ObjectMemberOperand(std::string_view name, int member, int& variable, NumberOperand& value) override;
    void ClearObjectVariables(int executeFlag) override;
    int SaveObjectStatement() override;
    int LoadObjectStatement() override;

    // ===== network variables (network_variables.cpp) =====
    // Declares count elements; 0 when the name is already visible. A count below 1 declares
    // nothing. A declaration that cannot be stored whole stores nothing and is reported here.
    int AddObjectVariable(const std::string& name, int type, int count);
    // First record of the visible variable of that name, newest first; scope-aware in the check pass.
    int LookupObjectVariable(std::string_view name) const;
    using CTesselParser::EvaluateArrayIndex;
    // Reads the element index after a network variable's name: record index + 1, 0 on error.
    int EvaluateArrayIndex(int firstRecord);
    int GetUpperBound(int firstRecord) const;
    // Reads the next token (as the current token) and returns the extension keyword id recorded.
    int NextTokenValue();

    // ===== object files of network variables (network_objects.cpp) =====
    int SaveObjectToFile(int record, const std::string& name);
    int LoadObjectFromFile(int record, const std::string& name);

    // ----- fields -----
    CDynaArray<KeywordRecord> objectKeywords{kNetworkKeywordStep, "Loriant Tokens"};
    CDynaArray<ObjectVariable> objectVariables{kNetworkVariableStep, "Tessel Variables"};
    TreeItem networkHelpItem = nullptr;

private:
    // --- statements opened by an extension keyword (loriant_parser.cpp) ---
    int ExecuteOutputStatement(bool lineBreakAfter);
    int ExecuteClearOutput();
    int ExecuteNetworkDeclaration(int type);
    int DeclareOneNetworkVariable(int type);
    // The element a network statement or value names, checked for its type and followed by "."
    // (record index, or -1 after an error).
    int ReadMemberTarget();
    // A member use: the target and the member word read, then handle(variable, member) with
    // memory exhaustion reported as the table's (feed_forward_members.cpp).
    template <typename Handler>
    int DispatchNetworkMember(Handler handle);

    // --- object files ---
    int ExecuteObjectFileStatement(int connectorCode, bool save);

    // --- argument readers (member_arguments.cpp); each returns 1, or 0 after reporting ---
    int ExpectEmptyArguments();
    int ReadNumberArgument(double& value);
    int ReadTextArgument(std::string& text);
    // "=" then an Integer / a number.
    int ReadAssignedInteger(int& value);
    int ReadAssignedNumber(double& value);
    // "=" then a value stored in the network's field, in a run (the check pass, which has no
    // network, only reads it).
    int AssignIntegerField(CFeedForwardNeuralNetwork* net, int CFeedForwardNeuralNetwork::*field);
    int AssignNumberField(CFeedForwardNeuralNetwork* net, double CFeedForwardNeuralNetwork::*field);
    // A matrix operand into the region of a zero-filled work matrix (check pass: its form only).
    int ReadMatrixOperand(CMatrix& work, int rowFrom, int rowTo, int colFrom, int colTo, bool integerOnly);
    // 1 for a count of 0 or more; the POSITIVE message for a negative one.
    int FailPositive(int value);
    // Memory for a network ran out: the table's message, then the run's error.
    int FailOutOfMemory(const std::string& name);

    // --- FF_NeuralNetwork members (feed_forward_members.cpp, training_members.cpp) ---
    int ExecuteFeedForwardMember(CFeedForwardNeuralNetwork* net, int member);
    int SetLayersNumber(CFeedForwardNeuralNetwork* net);
    int SetNeuronsInLayers(CFeedForwardNeuralNetwork* net);
    int SetInputValues(CFeedForwardNeuralNetwork* net);
    int SetFunction(CFeedForwardNeuralNetwork* net);
    int ExecuteOutputMember(CFeedForwardNeuralNetwork* net);
    int ExecuteTrainMember(CFeedForwardNeuralNetwork* net);
    int AddPairMember(CFeedForwardNeuralNetwork* net, int kind);
    int LoadPairsMember(CFeedForwardNeuralNetwork* net, int kind);
    int StartLearningMember(CFeedForwardNeuralNetwork* net);
    // Weights(layer [, neuron [, weight]]): the indices read and, when executing, range-tested.
    struct WeightsSelection {
        int layer = 1, neuron = 1, weight = 1;  // as written, 1-based
        bool hasNeuron = false, hasWeight = false;
        int neurons = 0, connections = 0;  // of the layer (executing only)
    };
    int ReadWeightsSelection(CFeedForwardNeuralNetwork* net, WeightsSelection& selection, bool statement);
    int SetWeightsMember(CFeedForwardNeuralNetwork* net);

    // --- FF_NeuralNetwork values (feed_forward_values.cpp) ---
    int EvaluateFeedForwardMember(CFeedForwardNeuralNetwork* net, int member, Value& result);
    int EvaluateWeights(CFeedForwardNeuralNetwork* net, Value& result);
    int EvaluateOutput(CFeedForwardNeuralNetwork* net, Value& result);

    // --- LogicalNeuralNetwork members (logical_members.cpp) ---
    int ExecuteLogicalMember(LogicalNeuralNetwork* net, int member);
    int EvaluateLogicalMember(LogicalNeuralNetwork* net, int member, Value& result);
    // Reads "(" and the R x P integer operand into bytes (check pass: the form only).
    int ReadLogicalInput(LogicalNeuralNetwork* net, std::vector<unsigned char>& bytes);
    int CheckLogicalBuilt(const LogicalNeuralNetwork* net);

    int NotMemberError(int type);

    KeywordIndex objectKeywordIndex_;
};

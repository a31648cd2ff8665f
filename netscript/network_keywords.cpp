// The extension's keyword table: its 43 rows, the first-match lookup the lexer asks for every
// word that is no base keyword, number or base variable, and the help branch "Neural Netwoks".
#include <bit>
#include <iterator>
#include <span>

#include "netscript/loriant_parser.h"

namespace {

constexpr int kCommands = kCategoryCommands;
constexpr int kNetwork = kCategoryNeuralNetworks;
constexpr int kNetworkType = kCategoryTypes | kCategoryNeuralNetworks;
constexpr const char* kFunctionHelp = "A function for the neural network";

std::vector<KeywordRecord> MakeRows() {
    using namespace netword;
    return {
        {"Print", kPrint, kCommands, "Prints to Output Window"},
        {"Println", kPrintln, kCommands, "Prints to Output Window and feeds to next line"},
        {"ClearOutput", kClearOutput, kCommands, "Clears Output Window"},
        {"FF_NeuralNetwork", kFeedForwardType, kNetworkType, "Declares a Feed-Forward BP Neural Network data type"},
        {"InputsNumber", kInputsNumber, kNetwork, "Number of inputs of a neural network"},
        {"LayersNumber", kLayersNumber, kNetwork, "Number of layers of a neural network"},
        {"NeuronsInLayers", kNeuronsInLayers, kNetwork, "Number of neurons in each layer of a neural network"},
        {"Weights", kWeights, kNetwork, "Weights of a layer, a neuron or a connection of a neural network"},
        {"InputValues", kInputValues, kNetwork, "Input values of a neural network"},
        {"Bias", kBias, kNetwork, "Value of the bias input of a neural network"},
        {"Simulate", kSimulate, kNetwork, "Computes the outputs of a neural network"},
        {"Output", kOutput, kNetwork, "Outputs of a neural network"},
        {"toString", kToString, kNetwork, "Converts output of the neural network to a sting"},
        {"Function", kFunction, kNetwork, "Transfer function of the neurons of a neural network"},
        {"FCN_HARDLIM", kHardLim, kNetwork, kFunctionHelp},
        {"FCN_HARDLIMS", kHardLims, kNetwork, kFunctionHelp},
        {"FCN_LOGSIG", kLogSig, kNetwork, kFunctionHelp},
        {"FCN_TANSIG", kTanSig, kNetwork, kFunctionHelp},
        {"Copy", kCopy, kNetwork, "Copies output of the neural network to the Clipboard"},
        {"CreateView", kCreateView, kNetwork, "Shows the structure window of a neural network"},
        {"DestroyView", kDestroyView, kNetwork, "Closes the structure window of a neural network"},
        {"Train", kTrain, kNetwork, "Training object of a neural network"},
        {"AddTrainingPair", kAddTrainingPair, kNetwork, "Adds inputs and desired outputs to the training pairs"},
        {"AddTestingPair", kAddTestingPair, kNetwork, "Adds inputs and desired outputs to the testing pairs"},
        {"LearningConstant", kLearningConstant, kNetwork, "Learning constant (rate) of a training process"},
        {"CorrectOutputThreshold", kCorrectOutputThreshold, kNetwork,
         "Threshold to accept a discrete outputs as a correct one, for calculating Performance."},
        {"Steepness", kSteepness, kNetwork, "Steepness Coefficient of the tranfer functions in a neural network"},
        {"SmartLearningConstant", kSmartLearningConstant, kNetwork,
         "Determines whether the learning constant adapts to the training error"},
        {"ShowStorms", kShowStorms, kNetwork, "Determines whether storms in a training process must be shown or not"},
        {"LearningMaxError", kLearningMaxError, kNetwork, "Maximun Learning Error (acceptable error)"},
        {"MaxEpochs", kMaxEpochs, kNetwork, "Maximum number of epochs of a training process"},
        {"TextMessageLearning", kTextMessageLearning, kNetwork,
         "Determines whether training reports are printed to Output Window"},
        {"UpdateEpochs", kUpdateEpochs, kNetwork, "Number of epochs between two training reports"},
        {"LoadTrainingPairs", kLoadTrainingPairs, kNetwork, "Loads training pairs from a text file"},
        {"LoadTestingPairs", kLoadTestingPairs, kNetwork, "Loads testing pairs from a text file"},
        {"StartLearning", kStartLearning, kNetwork, "Starts a Learning Process"},
        {"LogicalNeuralNetwork", kLogicalType, kNetworkType, "Declares a Logical Neural Network data type"},
        {"InputsPerRAM", kInputsPerRAM, kNetwork, "Number of inputs per RAM in the Logical Neural Network data"},
        {"ClassesNum", kClassesNum, kNetwork, "Number of classes of a Logical Neural Network"},
        {"Threshold", kThreshold, kNetwork, "Threshold of a Logical Neural Network"},
        {"Create", kCreate, kNetwork, "Builds a Logical Neural Network from its definition"},
        {"TrainOn", kTrainOn, kNetwork, "Trains a Logical Neural Network on a data and class_number"},
        {"Recognize", kRecognize, kNetwork, "Returns the class a Logical Neural Network recognizes for a data"},
    };
}

std::span<const KeywordRecord> RowsOf(const CDynaArray<KeywordRecord>& table) {
    return {table.GetData(), static_cast<std::size_t>(table.GetCount())};
}

}  // namespace

const std::vector<KeywordRecord>& NetworkKeywordRows() {
    static const std::vector<KeywordRecord> rows = MakeRows();
    return rows;
}

void CLoriantParser::RegisterObjectKeywords() {
    ++objectNamesVersion;
    objectKeywords.RemoveAll();
    for (const KeywordRecord& row : NetworkKeywordRows()) objectKeywords.Add(row);
    // The index is built from what the table holds, so a row refused for want of memory is not found.
    objectKeywordIndex_.Build(RowsOf(objectKeywords));
}

int CLoriantParser::FindObjectKeyword(const char* word) {
    const int row = objectKeywordIndex_.FindRow(word);
    return row < 0 ? -2 : objectKeywords[row].id;
}

void CLoriantParser::BuildHelpTree(HelpTreeTarget& tree) {
    // The base branch: "Help", its nine categories and the base words; it leaves the item of
    // "Help" and those of its categories, in the order they were made, in helpCategories.
    CTesselParser::BuildHelpTree(tree);
    static constexpr int kBaseOrder[] = {kCategoryTypes,     kCategoryOperators, kCategoryKeywords,
                                         kCategoryCommands,  kCategoryMath,      kCategoryInterface,
                                         kCategoryFile,      kCategoryColors,    kCategoryDialogs};
    HelpTreeItems items;
    if (!helpCategories.empty()) items.help = helpCategories[0];
    for (std::size_t i = 0; i < std::size(kBaseOrder) && i + 1 < helpCategories.size(); ++i) {
        items.byBit[static_cast<std::size_t>(std::countr_zero(static_cast<unsigned>(kBaseOrder[i])))] =
            helpCategories[i + 1];
    }
    networkHelpItem = AddHelpCategory(tree, items, kCategoryNeuralNetworks);
    ListKeywordsInHelpTree(tree, items, RowsOf(objectKeywords), false);
}

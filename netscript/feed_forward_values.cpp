// Member values of FF_NeuralNetwork elements inside expressions (x = net.Output(1) ...). The check
// pass reads the arguments and yields placeholders: Integer 0, Float 0.0, an empty String, a 1 x 1
// zero Matrix.
#include "interpreter/keyword_codes.h"
#include "base/matrix.h"
#include "interpreter/number_operators.h"
#include "netscript/loriant_parser.h"
#include "netscript/script_messages.h"
#include "network/feed_forward_network.h"

namespace {

// The members whose value is read by their word alone; false for any other member.
bool WordOnlyMember(const CFeedForwardNeuralNetwork* net, int member, bool execute, NumberOperand& value) {
    using namespace netword;
    switch (member) {
        case kInputsNumber: value = {kTypeInteger, execute ? net->GetInputCount() - 1 : 0, 0.0}; return true;
        case kLayersNumber: value = {kTypeInteger, execute ? net->GetLayerCount() : 0, 0.0}; return true;
        case kBias: value = {kTypeFloat, 0, execute ? net->GetBias() : 0.0}; return true;
        default: return false;
    }
}

}  // namespace

bool CLoriantParser::ObjectMemberOperand(std::string_view name, int member, int& variable, NumberOperand& value) {
    const int first = LookupObjectVariable(name);
    if (first < 0 || !execute) return false;
    const ObjectVariable& record = objectVariables[first];
    // An array's element index is read after the name; a network that could not be made is reported.
    if (GetUpperBound(first) != 0 || record.type != kTypeFeedForwardNetwork || !record.HasNetwork() ||
        !WordOnlyMember(record.FeedForward(), member, true, value)) {
        return false;
    }
    variable = first;
    return true;
}

int CLoriantParser::EvaluateFeedForwardMember(CFeedForwardNeuralNetwork* net, int member, Value& result) {
    using namespace netword;
    NumberOperand number{};
    if (WordOnlyMember(net, member, execute != 0, number)) {
        SetNumber(result, number);
        return 1;
    }
    switch (member) {
        case kNeuronsInLayers: {
            int layer = 0;
            if (!Expect(kw::kOpenParen) || !ReadIntegerExpression(layer) || !Expect(kw::kCloseParen)) return 0;
            if (execute && (layer < 1 || layer > net->GetLayerCount())) {
                return FailWith(netmsg::Format(netmsg::kAccessingLayer, netmsg::kInvalidLayer, layer));
            }
            result.SetInteger(execute ? net->GetLayerSize(layer - 1) : 0);
            return 1;
        }
        case kWeights: return EvaluateWeights(net, result);
        case kOutput: return EvaluateOutput(net, result);
        default: return NotMemberError(kTypeFeedForwardNetwork);
    }
}

int CLoriantParser::EvaluateOutput(CFeedForwardNeuralNetwork* net, Value& result) {
    const int next = ReadToken();
    if (next == kw::kOpenParen) {
        int output = 0;
        if (!ReadIntegerExpression(output) || !Expect(kw::kCloseParen)) return 0;
        if (!execute) {
            result.SetFloat(0.0);
            return 1;
        }
        const int outputs = net->GetLayerCount() > 0 ? net->GetLayerSizeOrOutput(-1) : 0;
        if (output < 1 || output > outputs) return FailWith(netmsg::FormatNumber(netmsg::kInvalidOutputIndex, output));
        result.SetFloat(net->GetNeuronOutput(output - 1, -1));
        return 1;
    }
    if (next != kw::kDot) return FailWith(netmsg::kOutputWhatToDo);
    switch (NextTokenValue()) {
        case netword::kToString:
            if (!ExpectEmptyArguments()) return 0;
            result.SetString(execute ? net->toString() : std::string());
            return 1;
        case netword::kCopy: return FailWith(netmsg::kNotRightValue);
        default: return FailWith(netmsg::kUnknownOutputProperty);
    }
}

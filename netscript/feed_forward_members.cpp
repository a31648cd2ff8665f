// Member statements of FF_NeuralNetwork elements (net.member ...) and the dispatch of every
// member statement and member value to the element's type. In the check pass every argument is
// read and type-tested and nothing acts on a network.
#include <new>
#include <vector>

#include "interpreter/keyword_codes.h"
#include "base/matrix.h"
#include "base/number_text.h"
#include "netscript/loriant_parser.h"
#include "netscript/script_messages.h"
#include "network/feed_forward_network.h"

namespace {

// Inputs of a network without the bias input (0 for a network without input neurons).
int InputsWithoutBias(const CFeedForwardNeuralNetwork& net) { return net.GetInputCount() > 0 ? net.GetInputCount() - 1 : 0; }

}  // namespace

template <typename Handler>
int CLoriantParser::DispatchNetworkMember(Handler handle) {
    const int record = ReadMemberTarget();
    if (record < 0) return 0;
    const int member = NextTokenValue();
    const ObjectVariable& variable = objectVariables[record];
    const std::string name = variable.name;
    if (execute && !variable.HasNetwork()) return FailOutOfMemory(name);
    try {
        return handle(variable, member);
    } catch (const std::bad_alloc&) {
        return FailOutOfMemory(name);
    }
}

int CLoriantParser::ExecuteObjectStatement() {
    return DispatchNetworkMember([this](const ObjectVariable& variable, int member) {
        if (variable.type == kTypeFeedForwardNetwork) return ExecuteFeedForwardMember(variable.FeedForward(), member);
        return ExecuteLogicalMember(variable.Logical(), member);
    });
}

int CLoriantParser::EvaluateObjectMember(Value& result) {
    return DispatchNetworkMember([this, &result](const ObjectVariable& variable, int member) {
        if (variable.type == kTypeFeedForwardNetwork) {
            return EvaluateFeedForwardMember(variable.FeedForward(), member, result);
        }
        return EvaluateLogicalMember(variable.Logical(), member, result);
    });
}

int CLoriantParser::ExecuteFeedForwardMember(CFeedForwardNeuralNetwork* net, int member) {
    using namespace netword;
    int integer = 0;
    double number = 0.0;
    switch (member) {
        case kInputsNumber:
            if (!ReadAssignedInteger(integer)) return 0;
            if (execute) {
                if (!FailPositive(integer)) return 0;
                net->SetInputCount(integer);
            }
            return 1;
        case kLayersNumber: return SetLayersNumber(net);
        case kNeuronsInLayers: return SetNeuronsInLayers(net);
        case kWeights: return SetWeightsMember(net);
        case kInputValues: return SetInputValues(net);
        case kBias:
            if (!ReadAssignedNumber(number)) return 0;
            if (execute) net->SetBias(number);
            return 1;
        case kSimulate:
            if (!ExpectEmptyArguments()) return 0;
            if (execute) net->Simulate(1);
            return 1;
        case kOutput: return ExecuteOutputMember(net);
        case kFunction: return SetFunction(net);
        case kCreateView:
            if (!ExpectEmptyArguments()) return 0;
            if (execute) view->ShowNetworkStructure(*net);
            return 1;
        case kDestroyView:
            if (!ExpectEmptyArguments()) return 0;
            if (execute) view->CloseStructureWindow();
            return 1;
        case kTrain: return ExecuteTrainMember(net);
        case kSteepness: return AssignNumberField(net, &CFeedForwardNeuralNetwork::Steepness);
        default: return NotMemberError(kTypeFeedForwardNetwork);
    }
}

int CLoriantParser::SetLayersNumber(CFeedForwardNeuralNetwork* net) {
    if (execute && net->GetInputCount() <= 1) return FailWith(netmsg::kInputsNotKnown);
    int layers = 0;
    if (!ReadAssignedInteger(layers)) return 0;
    if (!execute) return 1;
    if (!FailPositive(layers)) return 0;
    net->SetLayerCount(layers);
    return 1;
}

int CLoriantParser::SetNeuronsInLayers(CFeedForwardNeuralNetwork* net) {
    const int next = ReadToken();
    if (next == kw::kEquals) {
        const int layers = execute ? net->GetLayerCount() : 1;
        CMatrix work(1, layers, "");
        if (!ReadMatrixOperand(work, 0, 1, 0, layers, true)) return 0;
        if (!execute) return 1;
        std::vector<int> sizes(static_cast<std::size_t>(layers));
        std::string ignored;
        for (int j = 0; j < layers; ++j) {
            sizes[static_cast<std::size_t>(j)] = DoubleToInt32(work.GetAt(0, j, ignored));
            if (!FailPositive(sizes[static_cast<std::size_t>(j)])) return 0;
        }
        net->SetLayers(layers, sizes.data());
        return 1;
    }
    if (next != kw::kOpenParen) return FailWith(netmsg::kAssignOrParenExpected);
    int layer = 0;
    if (!ReadIntegerExpression(layer)) return 0;
    if (execute && (layer < 1 || layer > net->GetLayerCount())) {
        return FailWith(netmsg::Format(netmsg::kAccessingLayer, netmsg::kInvalidLayer, layer));
    }
    int neurons = 0;
    if (!Expect(kw::kCloseParen) || !ReadAssignedInteger(neurons)) return 0;
    if (!execute) return 1;
    if (!FailPositive(neurons)) return 0;
    net->SetLayerSize(layer - 1, neurons);
    return 1;
}

int CLoriantParser::SetInputValues(CFeedForwardNeuralNetwork* net) {
    const int inputs = execute ? InputsWithoutBias(*net) : 1;
    const int next = ReadToken();
    if (next == kw::kEquals) {
        CMatrix work(1, inputs, "");
        if (!ReadMatrixOperand(work, 0, 1, 0, inputs, false)) return 0;
        if (!execute) return 1;
        std::string ignored;  // the work matrix has the network's width: no read can fail
        net->SetInputsFromMatrix(work, ignored);
        return 1;
    }
    if (next != kw::kOpenParen) return FailWith(netmsg::kAssignOrParenExpected);
    int input = 0;
    if (!ReadIntegerExpression(input)) return 0;
    if (execute && (input < 1 || input > inputs)) {
        return FailWith(netmsg::Format("%s (%.0f)", netmsg::kSettingInvalidInput, input));
    }
    double value = 0.0;
    if (!Expect(kw::kCloseParen) || !ReadAssignedNumber(value)) return 0;
    if (execute) net->SetInput(input - 1, value);
    return 1;
}

int CLoriantParser::SetFunction(CFeedForwardNeuralNetwork* net) {
    if (!Expect(kw::kEquals)) return 0;
    const int function = NextTokenValue();
    if (function < netword::kHardLim || function > netword::kTanSig) return FailWith(netmsg::kUnknownFunction);
    if (execute) net->SetFunction(function - netword::kHardLim + 1);
    return 1;
}

int CLoriantParser::ExecuteOutputMember(CFeedForwardNeuralNetwork* net) {
    if (ReadToken() != kw::kDot) return FailWith(netmsg::kOutputWhatToDo);
    switch (NextTokenValue()) {
        case netword::kCopy:
            if (!ExpectEmptyArguments()) return 0;
            if (execute) CopyTextToClipboard(net->toString());
            return 1;
        case netword::kToString: return FailWith(netmsg::kNotLeftValue);
        default: return FailWith(netmsg::kUnknownOutputProperty);
    }
}

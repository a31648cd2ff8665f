// The training members of an FF_NeuralNetwork, written after "Train.": pairs from the script and
// from files, the training settings, and StartLearning, which trains synchronously in the
// statement (in the run's worker).
#include "interpreter/keyword_codes.h"
#include "base/matrix.h"
#include "netscript/loriant_parser.h"
#include "netscript/script_messages.h"
#include "network/feed_forward_network.h"

namespace {

int InputsWithoutBias(const CFeedForwardNeuralNetwork& net) { return net.GetInputCount() > 0 ? net.GetInputCount() - 1 : 0; }

// A network without computed layers has no outputs.
int OutputCount(const CFeedForwardNeuralNetwork& net) {
    return net.GetLayerCount() > 0 ? net.GetLayerSizeOrOutput(-1) : 0;
}

}  // namespace

int CLoriantParser::ExecuteTrainMember(CFeedForwardNeuralNetwork* net) {
    using namespace netword;
    if (ReadToken() != kw::kDot) return FailWith(netmsg::kTrainWhatToDo);
    int integer = 0;
    double number = 0.0;
    switch (NextTokenValue()) {
        case kAddTrainingPair: return AddPairMember(net, kTrainingPairs);
        case kAddTestingPair: return AddPairMember(net, kTestingPairs);
        case kLearningConstant:
            if (!ReadAssignedNumber(number)) return 0;
            if (!execute) return 1;
            if (!(number > 0.0)) return FailWith(netmsg::kLearningConstantPositive);
            net->LearningConstant = number;
            return 1;
        case kCorrectOutputThreshold:
            if (!ReadAssignedNumber(number)) return 0;
            if (!execute) return 1;
            if (!(number > 0.0 && number < 1.0)) return FailWith(netmsg::kThresholdRange);
            net->CorrectOutputThreshold = number;
            return 1;
        case kSmartLearningConstant:
            if (!ReadAssignedInteger(integer)) return 0;
            if (execute) net->SmartLearningConstant = integer != 0 ? 1 : 0;
            return 1;
        case kShowStorms:
            if (!ReadAssignedInteger(integer)) return 0;
            if (execute) net->ShowStorms = integer != 0 ? 1 : 0;
            return 1;
        case kLearningMaxError: return AssignNumberField(net, &CFeedForwardNeuralNetwork::LearningMaxError);
        case kMaxEpochs: return AssignIntegerField(net, &CFeedForwardNeuralNetwork::MaxEpochs);
        case kTextMessageLearning: return AssignIntegerField(net, &CFeedForwardNeuralNetwork::TextMessageLearning);
        case kUpdateEpochs: return AssignIntegerField(net, &CFeedForwardNeuralNetwork::UpdateEpochs);
        case kLoadTrainingPairs: return LoadPairsMember(net, kTrainingPairs);
        case kLoadTestingPairs: return LoadPairsMember(net, kTestingPairs);
        case kStartLearning: return StartLearningMember(net);
        default: return FailWith(netmsg::kUnknownTrainProperty);
    }
}

int CLoriantParser::AddPairMember(CFeedForwardNeuralNetwork* net, int kind) {
    const int inputs = execute ? InputsWithoutBias(*net) : 1;
    const int outputs = execute ? OutputCount(*net) : 1;
    TrainingPair pair;
    pair.input.Resize(1, inputs);
    pair.target.Resize(1, outputs);
    if (!Expect(kw::kOpenParen) || !ReadMatrixOperand(pair.input, 0, 1, 0, inputs, false) ||
        !Expect(kw::kComma) || !ReadMatrixOperand(pair.target, 0, 1, 0, outputs, false) ||
        !Expect(kw::kCloseParen)) {
        return 0;
    }
    if (execute && !net->AddPair(kind, pair)) return FailOutOfMemory("NN Training Pairs");
    return 1;
}

int CLoriantParser::LoadPairsMember(CFeedForwardNeuralNetwork* net, int kind) {
    if (execute) {
        if (net->GetInputCount() <= 1) return FailWith(netmsg::kInputsNotKnown);
        if (OutputCount(*net) <= 0) return FailWith(netmsg::kOutputsNotKnown);
    }
    std::string path;
    if (!Expect(kw::kOpenParen) || !ReadTextArgument(path) || !Expect(kw::kCloseParen)) return 0;
    if (!execute) return 1;
    std::string error;
    if (!net->LoadPairsFromFile(kind, path, error)) return FailWith(error);
    return 1;
}

int CLoriantParser::StartLearningMember(CFeedForwardNeuralNetwork* net) {
    if (!ExpectEmptyArguments()) return 0;
    if (!execute) return 1;
    std::string error;
    if (net->Train(error, view)) return 1;
    // A stop during training ends the run quietly; FailWith honours the stop flag.
    return FailWith(error);
}

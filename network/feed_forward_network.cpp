#include "network/feed_forward_network.h"

#include <algorithm>

#include "base/number_text.h"

CFeedForwardNeuralNetwork::CFeedForwardNeuralNetwork() = default;

CFeedForwardNeuralNetwork::CFeedForwardNeuralNetwork(const CFeedForwardNeuralNetwork* source)
    : CNeuralNetwork(source) {
    if (source == nullptr) return;
    SetFunction(source->GetFunction());
    for (const TrainingPair& pair : source->trainingPairs_) trainingPairs_.Add(pair);
    for (const TrainingPair& pair : source->testingPairs_) testingPairs_.Add(pair);
    LearningConstant = source->LearningConstant;
    LearningMaxError = source->LearningMaxError;
    Steepness = source->Steepness;
    CorrectOutputThreshold = source->CorrectOutputThreshold;
    SmartLearningConstant = source->SmartLearningConstant;
    ShowStorms = source->ShowStorms;
    MaxEpochs = source->MaxEpochs;
    UpdateEpochs = source->UpdateEpochs;
}

CFeedForwardNeuralNetwork::~CFeedForwardNeuralNetwork() = default;

int CFeedForwardNeuralNetwork::AddPair(int kind, const TrainingPair& pair) {
    if (kind != kTrainingPairs && kind != kTestingPairs) return 0;
    return PairsOfKind(kind).Add(pair);
}

void CFeedForwardNeuralNetwork::Simulate(int showProgress) {
    const int layers = GetLayerCount();
    if (layers == 0) return;
    FeedBias();
    for (int i = 0; i < layers; ++i) {
        if (showProgress) ReportSimulation("Simulation in Layer %.0f of %.0f", i, layers);
        NeuronLayer& layer = GetLayer(i);
        layer.SetFunctionAndGain(GetFunction(), Steepness);
        layer.ComputeAll();
    }
    if (showProgress) EndSimulationReport();
    SetSimulated(1);
}

void CFeedForwardNeuralNetwork::SetSimulatedState(const double* inputs, const double* const* layerOutputs) {
    NeuronLayer& in = GetInputLayer();
    std::copy(inputs, inputs + std::max(GetInputCount() - 1, 0), in.Outputs());
    const int layers = GetLayerCount();
    if (layers == 0) return;
    FeedBias();
    for (int i = 0; i < layers; ++i) {
        NeuronLayer& layer = GetLayer(i);
        layer.SetFunctionAndGain(GetFunction(), Steepness);
        std::copy(layerOutputs[i], layerOutputs[i] + layer.GetNeuronCount(), layer.Outputs());
    }
    SetSimulated(1);
}

std::string CFeedForwardNeuralNetwork::toString() const {
    if (!IsSimulated()) return "toString(): \"" + GetName() + "\" not simulated after last changes.";
    std::string text;
    if (GetLayerCount() == 0) return text;
    const NeuronLayer& output = GetLayer(GetLayerCount() - 1);
    for (int k = 0; k < output.GetNeuronCount(); ++k) {
        if (k > 0) text += '\t';
        text += FormatFloatTrimmed(static_cast<float>(output.Outputs()[k]));
    }
    return text;
}

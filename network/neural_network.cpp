#include "network/neural_network.h"

#include <algorithm>
#include <cstdio>
#include <exception>

#include "view/view_services.h"
#include "base/matrix.h"
#include "network/model_messages.h"

CNeuralNetwork::CNeuralNetwork() = default;

CNeuralNetwork::CNeuralNetwork(const CNeuralNetwork* source) {
    if (source == nullptr) return;
    TextMessageLearning = source->TextMessageLearning;
    name_ = source->name_;
    bias_ = source->bias_;
    layers_ = source->layers_;
    inputLayer_ = source->inputLayer_;
    view_ = source->view_;
    LinkLayers();  // the copied links still lead into the source
}

CNeuralNetwork::~CNeuralNetwork() = default;

// --- structure ---

void CNeuralNetwork::ResizeInputLayer(int n) {
    if (!inputLayer_.SetNeuronCount(std::max(n, -1) + 1)) ReportModelOutOfMemory("Neurons");
}

void CNeuralNetwork::ResizeLayer(int layer, int neurons) {
    if (!GetLayer(layer).SetNeuronCount(neurons)) ReportModelOutOfMemory("Neurons");
}

void CNeuralNetwork::ResizeLayerTable(int count) {
    try {
        layers_.resize(static_cast<std::size_t>(std::max(count, 0)));
    } catch (const std::exception&) {
        ReportModelOutOfMemory("NN Layers");  // the table keeps the layers it had
    }
    LinkLayers();
}

void CNeuralNetwork::LinkLayers() {
    inputLayer_.SetNext(layers_.empty() ? nullptr : &layers_.front());
    for (std::size_t i = 0; i < layers_.size(); ++i) {
        layers_[i].SetSources(i == 0 ? &inputLayer_ : &layers_[i - 1], &inputLayer_);
        layers_[i].SetNext(i + 1 < layers_.size() ? &layers_[i + 1] : nullptr);
    }
}

bool CNeuralNetwork::AnyComputedNeuron() const {
    return std::any_of(layers_.begin(), layers_.end(), [](const NeuronLayer& l) { return l.GetNeuronCount() > 0; });
}

void CNeuralNetwork::SetInputCount(int n) {
    const int before = GetInputCount();
    ResizeInputLayer(n);
    simulated_ = 0;
    if (GetInputCount() != before && AnyComputedNeuron()) BuildConnections();
}

void CNeuralNetwork::SetLayerCount(int count) {
    const bool hadNeurons = AnyComputedNeuron();
    const int before = GetLayerCount();
    ResizeLayerTable(count);
    simulated_ = 0;
    if (GetLayerCount() != before && (hadNeurons || AnyComputedNeuron())) BuildConnections();
}

void CNeuralNetwork::SetLayerSize(int layer, int neurons) {
    if (!HasLayer(layer)) return;
    ResizeLayer(layer, neurons);
    BuildConnections();
}

void CNeuralNetwork::SetLayers(int count, const int* sizes) {
    ResizeLayerTable(count);
    for (int j = 0; j < GetLayerCount(); ++j) ResizeLayer(j, sizes[j]);
    BuildConnections();
}

void CNeuralNetwork::SetBias(double bias) {
    bias_ = bias;
    simulated_ = 0;
}

void CNeuralNetwork::SetFunction(int code) {
    function_ = code;
    simulated_ = 0;
}

void CNeuralNetwork::BuildConnections() {
    const int layers = GetLayerCount();
    // Every neuron beyond layer 0 takes a connection from the bias neuron, so a built network
    // always has one.
    if (layers > 0 && GetInputCount() == 0) ResizeInputLayer(0);
    LinkLayers();
    for (int i = 0; i < layers; ++i) {
        ReportSimulation("Building Connections in Layer %.0f of %.0f", i, layers);
        NeuronLayer& layer = GetLayer(i);
        if (!layer.ConnectFrom(layer.GetPrevious(), &inputLayer_)) ReportModelOutOfMemory("Connections");
    }
    EndSimulationReport();
    simulated_ = 0;
}

// --- inputs and weights ---

void CNeuralNetwork::SetInput(int i, double x) {
    if (i < 0 || i >= GetInputCount()) return;
    inputLayer_.GetNeuron(i).SetOutput(x);
}

void CNeuralNetwork::SetInputsFromMatrix(const CMatrix& values, std::string& error) {
    const int n = GetInputCount() - 1;
    for (int k = 0; k < n; ++k) inputLayer_.GetNeuron(k).SetOutput(values.GetAt(0, k, error));
}

void CNeuralNetwork::SetWeightsFromMatrix(const CMatrix& weights, std::string& error, int layer,
                                          int firstConnection, int endConnection, int firstNeuron,
                                          int endNeuron) {
    if (!HasLayer(layer)) return;
    NeuronLayer& target = GetLayer(layer);
    firstNeuron = std::max(firstNeuron, 0);
    endNeuron = std::min(endNeuron, target.GetNeuronCount());
    for (int k = firstNeuron; k < endNeuron; ++k) {
        Neuron neuron = target.GetNeuron(k);
        for (int c = firstConnection; c < endConnection; ++c) neuron.SetWeight(c, weights.GetAt(c, k, error));
    }
}

// --- getters ---

int CNeuralNetwork::GetLayerSize(int layer) const {
    if (!HasLayer(layer)) return 0;
    return GetLayer(layer).GetNeuronCount();
}

int CNeuralNetwork::GetLayerSizeOrOutput(int layer) const {
    return GetLayerSize(layer < 0 ? GetLayerCount() - 1 : layer);
}

int CNeuralNetwork::GetLayerInputCount(int layer) const {
    if (!HasLayer(layer)) return 0;
    return GetLayer(layer).GetInputsPerNeuron();
}

double CNeuralNetwork::GetNeuronOutput(int neuron, int layer) const {
    if (layer < 0) layer = GetLayerCount() - 1;
    if (!HasLayer(layer)) return 0.0;
    return GetLayer(layer).GetNeuronOutput(neuron);
}

long long CNeuralNetwork::GetConnectionTotal() const {
    long long total = 0;
    for (const NeuronLayer& layer : layers_) total += static_cast<long long>(layer.WeightCount());
    return total;
}

// --- simulation support ---

void CNeuralNetwork::FeedBias() {
    const int count = GetInputCount();
    if (count > 0) inputLayer_.GetNeuron(count - 1).SetOutput(bias_);
    const double biasOutput = inputLayer_.BiasOutput();
    for (NeuronLayer& layer : layers_) layer.Outputs()[layer.GetNeuronCount()] = biasOutput;
}

void CNeuralNetwork::ReportSimulation(const char* format, int layer, int layers) const {
    if (view_ == nullptr) return;
    char text[96];
    std::snprintf(text, sizeof text, format, static_cast<double>(layer + 1), static_cast<double>(layers));
    view_->SetSimulationText(text);
    view_->SetSimulationProgress(layer + 1, layers);
}

void CNeuralNetwork::EndSimulationReport() const {
    if (view_ == nullptr) return;
    view_->SetSimulationText("");
    view_->SetSimulationProgress(-1, -1);
}

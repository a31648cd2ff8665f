#include "network/training_work.h"

#include <algorithm>

#include "network/neural_network.h"

void TrainingWork::Prepare(const CNeuralNetwork& network) {
    layers_.resize(static_cast<std::size_t>(network.GetLayerCount()));
    for (int j = 0; j < network.GetLayerCount(); ++j) {
        const NeuronLayer& layer = network.GetLayer(j);
        LayerWork& work = layers_[static_cast<std::size_t>(j)];
        const auto neurons = static_cast<std::size_t>(layer.GetNeuronCount());
        work.delta.assign(neurons, 0.0);
        work.sums.assign(neurons, 0.0);
        work.gradient.assign(layer.WeightCount(), 0.0);
    }
}

void TrainingWork::ClearGradients() {
    for (LayerWork& work : layers_) std::fill(work.gradient.begin(), work.gradient.end(), 0.0);
}

std::size_t TrainingWork::ConnectionBytes() const {
    std::size_t bytes = 0;
    for (const LayerWork& work : layers_) bytes += work.gradient.capacity() * sizeof(double);
    return bytes;
}

std::size_t TrainingWork::NeuronBytes() const {
    std::size_t bytes = 0;
    for (const LayerWork& work : layers_) bytes += (work.delta.capacity() + work.sums.capacity()) * sizeof(double);
    return bytes;
}

// The working arrays of one training call, made once when it starts: per computed layer the
// neurons' deltas and back-propagated sums, and the gradient sums of its connections (one
// double per connection, laid out like the layer's weights).
#pragma once

#include <cstddef>
#include <vector>

class CNeuralNetwork;

class TrainingWork {
public:
    void Prepare(const CNeuralNetwork& network);
    // Zeroes every gradient sum (at the first pair of each training pass).
    void ClearGradients();

    double* Delta(int layer) { return layers_[static_cast<std::size_t>(layer)].delta.data(); }
    double* Sums(int layer) { return layers_[static_cast<std::size_t>(layer)].sums.data(); }
    double* Gradient(int layer) { return layers_[static_cast<std::size_t>(layer)].gradient.data(); }

    // Bytes of per-connection storage (the gradient sums) that training holds for the network.
    std::size_t ConnectionBytes() const;
    // Bytes of per-neuron storage (deltas and sums).
    std::size_t NeuronBytes() const;

private:
    struct LayerWork {
        std::vector<double> delta;
        std::vector<double> sums;
        std::vector<double> gradient;
    };
    std::vector<LayerWork> layers_;
};

// NeuronLayer and Neuron: one layer of the layered network model.
//
// A layer keeps its neurons' state side by side (outputs; the function code and gain that every
// neuron of a computed layer shares) and all its incoming weights in one contiguous row-major
// array: row k holds neuron k's connections in order, the bias connection last. Connections are
// not stored as records: between consecutive layers the connectivity is always full, so
// connection c of a neuron comes from neuron c of the feeding layer, and the last connection of
// a neuron beyond layer 0 from the bias neuron (the input layer's last neuron).
//
// `Neuron` is a handle on one neuron of a layer (the layer and the index); it carries the
// model's per-neuron operations with their range checks.
#pragma once

#include <cstddef>
#include <vector>

class NeuronLayer;
enum class ConnectionAccess;

class Neuron {
public:
    Neuron(NeuronLayer* layer, int index) : layer_(layer), index_(index) {}

    int GetConnectionCount() const;
    // The output of connection k's source. Range-checked: a bad k (or a handle on a neuron the
    // layer does not hold) shows its message once per process and yields 0.0.
    double GetInput(int k) const;
    // Range-checked like GetInput: reads yield 0.0, writes change nothing.
    double GetWeight(int k) const;
    void SetWeight(int k, double weight);
    void UpdateWeight(int k, double delta);
    // The weight of the last (bias) connection; 0.0 for a neuron without connections.
    double GetBiasWeight() const;

    // Range-checked like NeuronLayer::GetNeuronOutput.
    double GetOutput() const;
    // Only input neurons (the bias neuron included) take an output from outside; for any other
    // neuron this shows "Cannot directly set a non-input neuron." and changes nothing.
    void SetOutput(double output);
    int IsInput() const;
    int GetFunction() const;
    double GetGain() const;
    // Computes the output from the inputs, connection by connection in order, unless this is an
    // input neuron or its function code is 0.
    void Compute();

    int GetIndex() const { return index_; }

private:
    bool Exists() const;
    bool Reaches(ConnectionAccess access, int k) const;
    NeuronLayer* layer_;
    int index_;
};

class NeuronLayer {
public:
    NeuronLayer() = default;
    // An input layer's neurons all have input flag 1 and no connections.
    explicit NeuronLayer(bool inputLayer) : input_(inputLayer) {}

    int GetNeuronCount() const { return count_; }
    Neuron GetNeuron(int k) { return Neuron(this, k); }
    // A handle for reading; its writing operations must not be used.
    const Neuron GetNeuron(int k) const { return Neuron(const_cast<NeuronLayer*>(this), k); }

    // Range-checked output of neuron k: a bad k shows "Fatal Error: Accessing Invalid Neuron
    // Output." and yields 0.0.
    double GetNeuronOutput(int k) const;
    // Input k of the first neuron: the feeding layer's output k, the bias value last.
    double GetFirstNeuronInput(int k) const;
    // The connection count of every neuron (0 for a layer without neurons).
    int GetInputsPerNeuron() const { return count_ > 0 ? connections_ : 0; }

    int IsInputLayer() const { return input_ ? 1 : 0; }
    int GetFunction() const { return function_; }
    double GetGain() const { return gain_; }
    NeuronLayer* GetNext() const { return next_; }
    const NeuronLayer* GetPrevious() const { return previous_; }

    // --- structure (the network drives these) ---
    // Makes the layer hold `count` neurons (below 0: none). An input layer keeps the outputs of
    // neurons it held before (its storage only grows); a computed layer is left without
    // connections until the next ConnectFrom. false, with no neurons, when memory ran out.
    bool SetNeuronCount(int count);
    // Full connectivity from `source` (the input layer, whose last neuron is the bias neuron, or
    // a computed layer, followed by a connection from `biasLayer`'s last neuron). Resets every
    // neuron: weights 0.0, output 0.0, function 0, gain 1.0. false when the weights could not be
    // had: the neurons then have no connections.
    bool ConnectFrom(const NeuronLayer* source, const NeuronLayer* biasLayer);
    void SetNext(NeuronLayer* next) { next_ = next; }
    void SetSources(const NeuronLayer* source, const NeuronLayer* biasLayer) {
        previous_ = source;
        biasLayer_ = biasLayer;
    }
    // The function code and gain that a simulation gives every neuron of the layer.
    void SetFunctionAndGain(int function, double gain) {
        function_ = function;
        gain_ = gain;
    }

    // --- bulk access for the layer kernels ---
    double* Weights() { return weights_.data(); }
    const double* Weights() const { return weights_.data(); }
    // Always GetNeuronCount() * GetInputsPerNeuron().
    std::size_t WeightCount() const { return weights_.size(); }
    // count + 1 values: the neurons' outputs, then a slot that holds the bias value while a
    // simulation runs, so that the next layer reads its whole input vector from one array.
    double* Outputs() { return outputs_.data(); }
    const double* Outputs() const { return outputs_.data(); }
    // The output of the bias neuron: the last neuron of an input layer.
    double BiasOutput() const { return count_ > 0 ? outputs_[static_cast<std::size_t>(count_ - 1)] : 0.0; }
    // Computes every neuron at once with the layer's function code and gain (nothing for code
    // 0); the feeding layer's output vector must end with the bias value (see Outputs).
    void ComputeAll();
    // Bytes of weight storage held (for the memory figures of the benchmarks).
    std::size_t WeightBytes() const { return weights_.capacity() * sizeof(double); }

private:
    friend class Neuron;
    bool InRange(int k) const { return k >= 0 && k < connections_; }
    double* Row(int neuron) { return weights_.data() + static_cast<std::size_t>(neuron) * connections_; }
    const double* Row(int neuron) const {
        return weights_.data() + static_cast<std::size_t>(neuron) * connections_;
    }
    double InputValue(int k) const;
    double ComputeNeuron(int neuron) const;

    bool input_ = false;
    int count_ = 0;
    int connections_ = 0;
    int function_ = 0;
    double gain_ = 1.0;
    std::vector<double> outputs_ = std::vector<double>(1, 0.0);
    std::vector<double> weights_;
    const NeuronLayer* previous_ = nullptr;
    const NeuronLayer* biasLayer_ = nullptr;
    NeuronLayer* next_ = nullptr;
};

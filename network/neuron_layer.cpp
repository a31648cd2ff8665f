#include "network/neuron_layer.h"

#include <algorithm>
#include <cstdint>
#include <exception>
#include <new>

#include "network/layer_kernels.h"
#include "network/model_messages.h"
#include "network/transfer_function.h"
#include "platform/memory_budget.h"

// --- Neuron ---

bool Neuron::Exists() const { return index_ >= 0 && index_ < layer_->count_; }

int Neuron::GetConnectionCount() const { return layer_->connections_; }

// A bad k shows the message of that access kind (once per process) and reaches nothing; so does
// any k of a handle on a neuron the layer does not hold.
bool Neuron::Reaches(ConnectionAccess access, int k) const {
    if (Exists() && layer_->InRange(k)) return true;
    ReportInvalidConnection(access, k, layer_->connections_);
    return false;
}

double Neuron::GetInput(int k) const { return Reaches(ConnectionAccess::kInput, k) ? layer_->InputValue(k) : 0.0; }

double Neuron::GetWeight(int k) const {
    return Reaches(ConnectionAccess::kGetWeight, k) ? layer_->Row(index_)[k] : 0.0;
}

void Neuron::SetWeight(int k, double weight) {
    if (Reaches(ConnectionAccess::kSetWeight, k)) layer_->Row(index_)[k] = weight;
}

void Neuron::UpdateWeight(int k, double delta) {
    if (Reaches(ConnectionAccess::kUpdateWeight, k)) layer_->Row(index_)[k] += delta;
}

double Neuron::GetBiasWeight() const {
    const int count = layer_->connections_;
    return count > 0 && Exists() ? layer_->Row(index_)[count - 1] : 0.0;
}

double Neuron::GetOutput() const { return layer_->GetNeuronOutput(index_); }

void Neuron::SetOutput(double output) {
    if (!Exists()) {
        ReportInvalidNeuronOutput();
        return;
    }
    if (!layer_->input_) {
        ReportNonInputOutput();
        return;
    }
    layer_->outputs_[static_cast<std::size_t>(index_)] = output;
}

int Neuron::IsInput() const { return layer_->IsInputLayer(); }
int Neuron::GetFunction() const { return layer_->input_ ? 0 : layer_->function_; }
double Neuron::GetGain() const { return layer_->input_ ? 1.0 : layer_->gain_; }

void Neuron::Compute() {
    if (!Exists() || layer_->input_ || layer_->function_ == FCN_NONE) return;
    layer_->outputs_[static_cast<std::size_t>(index_)] = layer_->ComputeNeuron(index_);
}

// --- NeuronLayer ---

double NeuronLayer::GetNeuronOutput(int k) const {
    if (k < 0 || k >= count_) {
        ReportInvalidNeuronOutput();
        return 0.0;
    }
    return outputs_[static_cast<std::size_t>(k)];
}

double NeuronLayer::GetFirstNeuronInput(int k) const { return GetNeuron(0).GetInput(k); }

double NeuronLayer::InputValue(int k) const {
    if (k < previous_->count_) return previous_->outputs_[static_cast<std::size_t>(k)];
    return biasLayer_->BiasOutput();
}

double NeuronLayer::ComputeNeuron(int neuron) const {
    const double* row = Row(neuron);
    double net = 0.0;
    for (int c = 0; c < connections_; ++c) net = net + row[c] * InputValue(c);
    return ApplyTransfer(function_, gain_, net);
}

bool NeuronLayer::SetNeuronCount(int count) {
    count = std::max(count, 0);
    const auto slots = static_cast<std::size_t>(count) + 1;
    try {
        if (input_) {
            // Input neurons beyond the count keep their outputs in storage, as the table did.
            if (slots > outputs_.size()) outputs_.resize(slots, 0.0);
        } else {
            // Unconnected until the next ConnectFrom, which every caller runs next.
            std::vector<double>().swap(weights_);
            connections_ = 0;
            outputs_.assign(slots, 0.0);
        }
    } catch (const std::exception&) {
        if (!input_) outputs_.assign(1, 0.0);
        count_ = 0;
        return false;
    }
    count_ = count;
    return true;
}

bool NeuronLayer::ConnectFrom(const NeuronLayer* source, const NeuronLayer* biasLayer) {
    previous_ = source;
    biasLayer_ = biasLayer;
    function_ = FCN_NONE;
    gain_ = 1.0;
    std::fill(outputs_.begin(), outputs_.end(), 0.0);
    // From the input layer every neuron (the bias neuron last) feeds; from a computed layer its
    // neurons and then the bias neuron.
    const int connections = source->input_ ? source->count_ : source->count_ + 1;
    try {
        // Weights beyond the process's memory are refused before the zeros would touch them all.
        if (!crt::FitsInMemory(static_cast<std::uint64_t>(count_) * static_cast<std::uint64_t>(connections),
                               sizeof(double))) {
            throw std::bad_alloc();
        }
        weights_.assign(static_cast<std::size_t>(count_) * static_cast<std::size_t>(connections), 0.0);
        connections_ = connections;
        return true;
    } catch (const std::exception&) {
        std::vector<double>().swap(weights_);
        connections_ = 0;
        return false;
    }
}

void NeuronLayer::ComputeAll() {
    if (input_ || function_ == FCN_NONE || count_ == 0) return;
    double* out = outputs_.data();
    kernels::NetInputs(weights_.data(), count_, connections_, previous_->outputs_.data(), out);
    for (int k = 0; k < count_; ++k) out[k] = ApplyTransfer(function_, gain_, out[k]);
}

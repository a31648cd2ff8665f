// Training as the plain neuron-by-neuron formulation has it, the yardstick that the engine's layer
// kernels and threads are held to bit for bit.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "network/feed_forward_network.h"

namespace enginetest {

// The network as the plain formulation keeps it: weights[layer][neuron][connection].
struct Reference {
    int inputs = 0;
    double bias = 0.0;
    int function = FCN_LOGSIG;
    double gain = 1.0;
    std::vector<std::vector<std::vector<double>>> weights;
    std::vector<double> in;                   // the inputs, then the bias neuron
    std::vector<std::vector<double>> out;     // outputs per layer

    static double Transfer(int code, double g, double net) {
        if (code == FCN_LOGSIG) return 1 / (1 + std::exp(-g * net));
        return 2 / (1 + std::exp(-g * net)) - 1;
    }
    // Input c of the neurons of layer j: the feeding layer's outputs, then the bias value.
    double Input(std::size_t j, std::size_t c) const {
        if (j == 0) return in[c];
        return c < out[j - 1].size() ? out[j - 1][c] : in.back();
    }
    void Forward() {
        in.back() = bias;
        for (std::size_t j = 0; j < weights.size(); ++j)
            for (std::size_t k = 0; k < weights[j].size(); ++k) {
                double net = 0.0;
                for (std::size_t c = 0; c < weights[j][k].size(); ++c) net = net + weights[j][k][c] * Input(j, c);
                out[j][k] = Transfer(function, gain, net);
            }
    }
    double Derivative(double o) const { return function == FCN_LOGSIG ? o * (1 - o) : (1 - o * o) * 0.5; }

    // Training passes as the formulation has them: every pair's deltas, backwards, then the
    // gradient of each weight summed over the pairs and applied once per epoch.
    void Train(const std::vector<std::vector<double>>& x, const std::vector<std::vector<double>>& t, double rate,
               int epochs) {
        const int pairs = static_cast<int>(x.size());
        std::vector<int> order(x.size());
        for (int e = 0; e < epochs; ++e) {
            auto sums = weights;
            for (auto& layer : sums)
                for (auto& neuron : layer) std::fill(neuron.begin(), neuron.end(), 0.0);
            for (int i = 0; i < pairs; ++i) order[static_cast<std::size_t>(i)] = i;
            CFeedForwardNeuralNetwork::ShufflePairs(order.data(), pairs);
            for (int i = 0; i < pairs; ++i) {
                const auto p = static_cast<std::size_t>(order[static_cast<std::size_t>(i)]);
                std::copy(x[p].begin(), x[p].end(), in.begin());
                Forward();
                std::vector<std::vector<double>> delta(weights.size());
                for (std::size_t j = weights.size(); j-- > 0;) {
                    for (std::size_t k = 0; k < out[j].size(); ++k) {
                        const double o = out[j][k];
                        double d;
                        if (j + 1 == weights.size()) {
                            d = function == FCN_LOGSIG ? (t[p][k] - o) * o * (1 - o) : (t[p][k] - o) * (1 - o * o) * 0.5;
                        } else {
                            double s = 0.0;
                            for (std::size_t m = 0; m < out[j + 1].size(); ++m) s = s + delta[j + 1][m] * weights[j + 1][m][k];
                            d = Derivative(o) * s;
                        }
                        delta[j].push_back(d);
                        for (std::size_t c = 0; c < weights[j][k].size(); ++c) sums[j][k][c] += d * Input(j, c);
                    }
                }
            }
            for (std::size_t j = 0; j < weights.size(); ++j)
                for (std::size_t k = 0; k < weights[j].size(); ++k)
                    for (std::size_t c = 0; c < weights[j][k].size(); ++c) weights[j][k][c] += sums[j][k][c] / pairs * rate;
        }
    }
};

// The plain formulation of a network: its weights, bias, function and gain as they are now.
inline Reference PlainCopy(CFeedForwardNeuralNetwork& net) {
    Reference ref;
    ref.inputs = net.GetInputCount() - 1;
    ref.bias = net.GetBias();
    ref.function = net.GetFunction();
    ref.gain = net.Steepness;
    ref.in.assign(static_cast<std::size_t>(ref.inputs) + 1, 0.0);
    for (int j = 0; j < net.GetLayerCount(); ++j) {
        const int count = net.GetLayerSize(j);
        ref.weights.emplace_back(static_cast<std::size_t>(count));
        ref.out.emplace_back(static_cast<std::size_t>(count), 0.0);
        for (int k = 0; k < count; ++k) {
            Neuron neuron = net.GetLayer(j).GetNeuron(k);
            for (int c = 0; c < neuron.GetConnectionCount(); ++c)
                ref.weights.back()[static_cast<std::size_t>(k)].push_back(neuron.GetWeight(c));
        }
    }
    return ref;
}

inline bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Every weight and every output of the network equal, bit for bit, to the reference's.
inline ::testing::AssertionResult MatchesReference(CFeedForwardNeuralNetwork& net, const Reference& ref) {
    for (std::size_t j = 0; j < ref.weights.size(); ++j)
        for (std::size_t k = 0; k < ref.weights[j].size(); ++k) {
            Neuron neuron = net.GetLayer(static_cast<int>(j)).GetNeuron(static_cast<int>(k));
            if (!SameBits(neuron.GetOutput(), ref.out[j][k]))
                return ::testing::AssertionFailure() << "output of neuron " << k << " in layer " << j;
            for (std::size_t c = 0; c < ref.weights[j][k].size(); ++c)
                if (!SameBits(neuron.GetWeight(static_cast<int>(c)), ref.weights[j][k][c]))
                    return ::testing::AssertionFailure() << "weight " << c << " of neuron " << k << " in layer " << j;
        }
    return ::testing::AssertionSuccess();
}

}  // namespace enginetest

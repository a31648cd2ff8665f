// The layered model: what builds and rebuilds leave.
#include <gtest/gtest.h>

#include "engine_test_support.h"
#include "network/neural_network.h"

using enginetest::ForEachWeight;
using enginetest::RecordingView;
using enginetest::Shape;

namespace {

// Connection count of every neuron of every layer, and whether every weight is 0.0.
std::vector<std::vector<int>> ConnectionCounts(CNeuralNetwork& net) {
    std::vector<std::vector<int>> counts;
    for (int j = 0; j < net.GetLayerCount(); ++j) {
        std::vector<int> layer;
        for (int k = 0; k < net.GetLayerSize(j); ++k) layer.push_back(net.GetLayer(j).GetNeuron(k).GetConnectionCount());
        counts.push_back(layer);
    }
    return counts;
}

bool AllWeightsZero(CNeuralNetwork& net) {
    bool zero = true;
    ForEachWeight(net, [&zero](Neuron& neuron, int c) { zero = zero && neuron.GetWeight(c) == 0.0; });
    return zero;
}

void SetAllWeights(CNeuralNetwork& net, double w) {
    ForEachWeight(net, [w](Neuron& neuron, int c) { neuron.SetWeight(c, w); });
}

}  // namespace

TEST(ModelStructure, BuildsFullConnectivityWithTheBiasConnectionLast) {
    struct Case {
        int inputs;
        std::vector<int> sizes;
        std::vector<std::vector<int>> connections;
    };
    const Case cases[] = {
        {5, {4, 2, 1}, {{6, 6, 6, 6}, {5, 5}, {3}}},
        {1, {1, 3}, {{2}, {2, 2, 2}}},
        {2, {}, {}},
    };
    for (const Case& c : cases) {
        CNeuralNetwork net;
        Shape(net, c.inputs, c.sizes);
        EXPECT_EQ(net.GetInputCount(), c.inputs + 1);
        EXPECT_EQ(ConnectionCounts(net), c.connections) << "inputs " << c.inputs;
        EXPECT_TRUE(AllWeightsZero(net));
        for (int j = 0; j < net.GetLayerCount(); ++j) {
            EXPECT_EQ(net.GetLayerInputCount(j), c.connections[static_cast<std::size_t>(j)][0]);
            EXPECT_EQ(net.GetLayer(j).GetNext(), j + 1 < net.GetLayerCount() ? &net.GetLayer(j + 1) : nullptr);
        }
        EXPECT_EQ(net.GetInputLayer().GetNext(), net.GetLayerCount() > 0 ? &net.GetLayer(0) : nullptr);
    }
}

TEST(ModelStructure, EveryStructureChangeRebuildsWithZeroWeights) {
    struct Case {
        const char* change;
        std::function<void(CNeuralNetwork&)> apply;
        std::vector<std::vector<int>> connections;
    };
    const Case cases[] = {
        {"rebuild", [](CNeuralNetwork& n) { n.BuildConnections(); }, {{4, 4, 4}, {4}}},
        {"layer size", [](CNeuralNetwork& n) { n.SetLayerSize(1, 2); }, {{4, 4, 4}, {4, 4}}},
        // The first layer no longer refers to input neurons that are gone.
        {"fewer inputs", [](CNeuralNetwork& n) { n.SetInputCount(1); }, {{2, 2, 2}, {4}}},
        {"more layers", [](CNeuralNetwork& n) { n.SetLayerCount(3); }, {{4, 4, 4}, {4}, {}}},
    };
    for (const Case& c : cases) {
        CNeuralNetwork net;
        Shape(net, 3, {3, 1});
        SetAllWeights(net, 0.5);
        c.apply(net);
        EXPECT_EQ(ConnectionCounts(net), c.connections) << c.change;
        EXPECT_TRUE(AllWeightsZero(net)) << c.change;
    }
}

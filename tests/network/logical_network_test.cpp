// The logical RAM network: grouping and addressing, ties, and inputs past the last whole RAM.
#include <gtest/gtest.h>

#include "engine_test_support.h"
#include "network/logical_network.h"


using Bytes = std::vector<std::uint8_t>;

namespace {

LogicalNeuralNetwork Made(int inputs, int perRam, int classes, int threshold = 0) {
    LogicalNeuralNetwork net;
    net.InputsNumber = inputs;
    net.InputsPerRAM = perRam;
    net.ClassesNum = classes;
    net.Threshold = threshold;
    EXPECT_EQ(net.Create(), 1);
    return LogicalNeuralNetwork(net);
}

}  // namespace

TEST(LogicalNetwork, WorkedExampleSetsTheAddressedCells) {
    LogicalNeuralNetwork net = Made(6, 3, 2);
    ASSERT_EQ(net.GetDiscriminatorCount(), 2);
    EXPECT_EQ(net.GetDiscriminator(0).GetRamCount(), 2);
    EXPECT_EQ(net.GetDiscriminator(0).GetRam(0).GetSize(), 8u);
    EXPECT_EQ(net.TrainOn(Bytes{1, 0, 1, 0, 1, 1}, 0), 1);
    const RAM& first = net.GetDiscriminator(0).GetRam(0);
    const RAM& second = net.GetDiscriminator(0).GetRam(1);
    for (std::uint32_t cell = 0; cell < 8; ++cell) {
        EXPECT_EQ(first.GetAt(cell), cell == 5 ? 1 : 0) << cell;
        EXPECT_EQ(second.GetAt(cell), cell == 3 ? 1 : 0) << cell;
        EXPECT_EQ(net.GetDiscriminator(1).GetRam(0).GetAt(cell), 0);
    }
    struct Case {
        Bytes input;
        std::uint32_t response1;
        int recognized;
    };
    const Case cases[] = {
        {{1, 0, 1, 0, 1, 1}, 2, 1},
        {{1, 0, 1, 0, 0, 0}, 1, 1},
        {{0, 0, 0, 0, 0, 0}, 0, 0},
        {{7, 0, 255, 0, 9, 1}, 2, 1},  // any non-zero byte is a 1
    };
    for (const Case& c : cases) {
        EXPECT_EQ(net.GetDiscriminator(0).Response(c.input), c.response1);
        EXPECT_EQ(net.GetDiscriminator(1).Response(c.input), 0u);
        EXPECT_EQ(net.Recognize(c.input), c.recognized);
    }
}

TEST(LogicalNetwork, TiesGoToTheLowerClassAndThresholdDoesNotMatter) {
    for (int threshold : {0, 1, 99}) {
        LogicalNeuralNetwork net = Made(4, 2, 3, threshold);
        net.TrainOn(Bytes{1, 1, 0, 0}, 2);
        net.TrainOn(Bytes{1, 1, 0, 1}, 1);
        EXPECT_EQ(net.Recognize(Bytes{1, 1, 1, 1}), 2) << threshold;  // classes 2 and 3 score 1 each
        EXPECT_EQ(net.Recognize(Bytes{1, 1, 0, 0}), 3) << threshold;  // class 3 scores 2
        EXPECT_EQ(net.Recognize(Bytes{0, 1, 1, 1}), 0) << threshold;
    }
}

TEST(LogicalNetwork, RemainderInputsAreNeverRead) {
    LogicalNeuralNetwork net = Made(10, 3, 1);
    EXPECT_EQ(net.GetDiscriminator(0).GetRamCount(), 3);
    net.TrainOn(Bytes{1, 1, 1, 0, 0, 0, 1, 0, 1, 0}, 0);
    EXPECT_EQ(net.GetDiscriminator(0).Response(Bytes{1, 1, 1, 0, 0, 0, 1, 0, 1, 1}), 3u);
    EXPECT_EQ(net.GetDiscriminator(0).GetThreshold(), 3);  // threshold 0 becomes the RAM count
}

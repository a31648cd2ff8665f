// Training makes its working state once per call: the number of heap requests of a call does
// not grow with the number of pairs or epochs.
#include <gtest/gtest.h>

#define HEAP_PROBE_OPERATORS
#include "heap_probe.h"
#include "engine_test_support.h"
#include "platform/crt_runtime.h"

namespace {

long AllocationsOfTraining(int pairs, int epochs) {
    CFeedForwardNeuralNetwork net;
    enginetest::Shape(net, 3, {5, 2});
    net.SetFunction(FCN_TANSIG);
    for (int p = 0; p < pairs; ++p) net.AddPair(kTrainingPairs, enginetest::MakePair({0.1 * p, -0.2, 0.3}, {0.5, -0.5}));
    net.AddPair(kTestingPairs, enginetest::MakePair({1, 2, 3}, {1, -1}));
    net.MaxEpochs = epochs;
    net.UpdateEpochs = 1;
    std::string error;
    crt::Srand(1);
    heap_probe::Arm();
    EXPECT_EQ(net.Train(error, nullptr), 1);
    heap_probe::Disarm();
    return heap_probe::requests.load();
}

}  // namespace

TEST(TrainingAllocations, DoNotGrowWithPairsOrEpochs) {
    const long base = AllocationsOfTraining(4, 1);
    EXPECT_GT(base, 0);
    EXPECT_EQ(AllocationsOfTraining(400, 1), base);
    EXPECT_EQ(AllocationsOfTraining(4, 300), base);
}

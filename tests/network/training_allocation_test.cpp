// Training makes its working state once per call: the number of heap requests of a call does
// not grow with the number of pairs or epochs.
#include <gtest/gtest.h>

#define HEAP_PROBE_OPERATORS
#include "heap_probe.h"
#include "engine_test_support.h"
#include "platform/crt_runtime.h"

#include <string>
#include <thread>
#include <vector>

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

template <class Body>
void OnAFreshThread(Body body) {
    std::thread thread(body);
    thread.join();
}

// On a thread of its own, which keeps no rows of earlier calls.
long AllocationsOfFirstTraining(int pairs, int epochs) {
    long requests = 0;
    OnAFreshThread([&] { requests = AllocationsOfTraining(pairs, epochs); });
    return requests;
}

}  // namespace

TEST(TrainingAllocations, DoNotGrowWithPairsOrEpochs) {
    const long base = AllocationsOfFirstTraining(4, 1);
    EXPECT_GT(base, 0);
    EXPECT_EQ(AllocationsOfFirstTraining(400, 1), base);
    EXPECT_EQ(AllocationsOfFirstTraining(4, 300), base);
}

namespace {

// A training call of a log-sigmoid 3-5-2 network on `pairs` pairs; its weights afterwards.
std::vector<double> TrainedWeights(int pairs) {
    CFeedForwardNeuralNetwork net;
    enginetest::LogSigmoidNetwork(net, 3, {5, 2}, 3);
    for (int p = 0; p < pairs; ++p)
        net.AddPair(kTrainingPairs, enginetest::MakePair({0.1 * p, -0.2, 0.3}, {0.9, 0.1 * (p % 10)}));
    std::string error;
    crt::Srand(1);
    EXPECT_EQ(net.Train(error, nullptr), 1);
    std::vector<double> weights;
    enginetest::ForEachWeight(net, [&](Neuron& neuron, int c) { weights.push_back(neuron.GetWeight(c)); });
    return weights;
}

}  // namespace

// A thread's second call takes back the rows of its first: fewer heap requests, none of its
// megabytes mapped afresh.
TEST(TrainingAllocations, ASecondCallOnTheThreadTakesBackTheFirstCallsRows) {
    long first = 0;
    long second = 0;
    OnAFreshThread([&] {
        first = AllocationsOfTraining(40, 1);
        second = AllocationsOfTraining(40, 1);
    });
    EXPECT_GT(first, 0);
    EXPECT_LT(second, first);
}

// Rows that another call left, full of its values, change no bit of a call that takes them back:
// whatever the earlier call's size.
TEST(TrainingAllocations, TakenBackRowsChangeNoResult) {
    for (const int earlierPairs : {7, 40, 400}) {
        std::vector<double> fresh;
        std::vector<double> again;
        OnAFreshThread([&] { fresh = TrainedWeights(40); });
        OnAFreshThread([&] {
            TrainedWeights(earlierPairs);
            again = TrainedWeights(40);
        });
        ASSERT_FALSE(fresh.empty());
        EXPECT_EQ(again, fresh) << "after a call on " << earlierPairs << " pairs";
    }
}

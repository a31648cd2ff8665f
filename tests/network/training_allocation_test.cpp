// Training makes its working state once per call: the number of heap allocations of a call does
// not grow with the number of pairs or epochs. This program counts every operator new.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "engine_test_support.h"
#include "platform/crt_runtime.h"

namespace {
std::atomic<long> g_allocations{0};
}  // namespace

// GCC sees malloc behind new and free behind delete and takes them for a mismatch; they match.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

void* operator new(std::size_t size) {
    ++g_allocations;
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

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
    const long before = g_allocations.load();
    EXPECT_EQ(net.Train(error, nullptr), 1);
    return g_allocations.load() - before;
}

}  // namespace

TEST(TrainingAllocations, DoNotGrowWithPairsOrEpochs) {
    const long base = AllocationsOfTraining(4, 1);
    EXPECT_GT(base, 0);
    EXPECT_EQ(AllocationsOfTraining(400, 1), base);
    EXPECT_EQ(AllocationsOfTraining(4, 300), base);
}

// The engine computes whole layers at once on contiguous weights; this test holds it to the plain
// neuron-by-neuron formulation, bit for bit, on whole training runs of random networks: the forward
// pass, deltas, gradient sums, weight updates.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

#include "engine_test_support.h"
#include "plain_training.h"
#include "platform/crt_runtime.h"

using enginetest::MakePair;
using enginetest::MatchesReference;
using enginetest::Reference;

namespace {

struct RandomCase {
    CFeedForwardNeuralNetwork net;
    Reference ref;
    std::vector<std::vector<double>> x, t;
};

void MakeRandom(std::mt19937& rng, RandomCase& rc) {
    std::uniform_int_distribution<int> layersDist(1, 4), sizeDist(0, 11), inputsDist(0, 13), pairsDist(1, 9);
    std::uniform_real_distribution<double> weight(-1.5, 1.5), unit(0.0, 1.0);
    const int inputs = inputsDist(rng);
    std::vector<int> sizes(static_cast<std::size_t>(layersDist(rng)));
    for (int& s : sizes) s = sizeDist(rng);
    sizes.back() = std::max(sizes.back(), 1);
    enginetest::Shape(rc.net, inputs, sizes);
    rc.net.SetFunction(unit(rng) < 0.5 ? FCN_LOGSIG : FCN_TANSIG);
    rc.net.Steepness = 0.25 + 2 * unit(rng);
    rc.net.SetBias(weight(rng));
    enginetest::ForEachWeight(rc.net, [&](Neuron& neuron, int c) { neuron.SetWeight(c, weight(rng)); });
    rc.ref = enginetest::PlainCopy(rc.net);
    const int pairs = pairsDist(rng);
    for (int p = 0; p < pairs; ++p) {
        std::vector<double> in(static_cast<std::size_t>(inputs)), target(static_cast<std::size_t>(sizes.back()));
        for (double& v : in) v = 2 * unit(rng) - 1;
        for (double& v : target) v = rc.ref.function == FCN_LOGSIG ? unit(rng) : 2 * unit(rng) - 1;
        rc.x.push_back(in);
        rc.t.push_back(target);
        rc.net.AddPair(kTrainingPairs, MakePair(in, target));
    }
}

}  // namespace

TEST(LayerArithmetic, TrainingEqualsThePlainFormulationBitForBit) {
    std::mt19937 rng(77);
    std::uniform_real_distribution<double> rate(0.05, 3.0);
    for (int round = 0; round < 60; ++round) {
        RandomCase rc;
        MakeRandom(rng, rc);
        const int epochs = 1 + round % 7;
        rc.net.LearningConstant = rate(rng);
        rc.net.LearningMaxError = -1.0;  // never reached: every epoch runs
        rc.net.MaxEpochs = epochs;
        std::string error;
        crt::Srand(static_cast<std::uint32_t>(round));
        ASSERT_EQ(rc.net.Train(error, nullptr), 1) << error;
        crt::Srand(static_cast<std::uint32_t>(round));
        rc.ref.Train(rc.x, rc.t, rc.net.LearningConstant, epochs);
        ASSERT_TRUE(MatchesReference(rc.net, rc.ref)) << "round " << round;
    }
}

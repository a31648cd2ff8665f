// Back-propagation training: the error measure, the smart learning constant, the testing pass,
// the reports on the view, the stop flags and the pair shuffle's draws.
#include <gtest/gtest.h>

#include <cmath>

#include "engine_test_support.h"
#include "platform/crt_runtime.h"

using enginetest::MakePair;
using enginetest::RecordingView;
using enginetest::Shape;
using enginetest::ViewCall;

namespace {

// One input, one log-sigmoid output neuron fed by the input and the bias neuron (bias 1.0).
void MakeSingleNeuron(CFeedForwardNeuralNetwork& net) {
    Shape(net, 1, {1});
    net.SetFunction(FCN_LOGSIG);
    net.SetBias(1.0);
}

// Makes the bias weight of the single neuron take the given value before each following epoch,
// overriding what the weight update did: so the test decides the error of every epoch.
void DriveBiasWeight(RecordingView& view, CFeedForwardNeuralNetwork& net, std::vector<double> weights) {
    auto next = std::make_shared<std::size_t>(1);
    view.onCall = [&net, weights, next](const ViewCall& call) {
        if (call.name != "AddTrainingGraphPoint" || call.numbers[0] != 0) return;
        if (*next < weights.size()) net.GetLayer(0).GetNeuron(0).SetWeight(1, weights[(*next)++]);
    };
    net.GetLayer(0).GetNeuron(0).SetWeight(1, weights[0]);
}

int Train(CFeedForwardNeuralNetwork& net, ViewServices* view, std::string& error) {
    crt::Srand(1);
    return net.Train(error, view);
}


}  // namespace

TEST(Training, ErrorMeasureIsRootOfTheSumOverPairsTimesOutputs) {
    CFeedForwardNeuralNetwork net;
    MakeSingleNeuron(net);  // all weights 0.0: every output is 0.5
    for (double t : {0.7, 0.3, 0.7, 0.3}) net.AddPair(kTrainingPairs, MakePair({0.0}, {t}));
    RecordingView view;
    std::string error;
    EXPECT_EQ(Train(net, &view, error), 1);
    ASSERT_EQ(view.Curve(0).size(), 1u);
    EXPECT_NEAR(view.Curve(0)[0], 0.1, 1e-15);
}

TEST(Training, SmartLearningConstantDropsOnARiseAndClimbsBackByTenths) {
    CFeedForwardNeuralNetwork net;
    MakeSingleNeuron(net);
    net.AddPair(kTrainingPairs, MakePair({0.0}, {1.0}));
    net.SmartLearningConstant = 1;
    net.MaxEpochs = 5;
    RecordingView view;
    DriveBiasWeight(view, net, {0.0, -1.0, 0.0, -1.0, 0.0});  // the error rises at epochs 2 and 4
    std::string error;
    EXPECT_EQ(Train(net, &view, error), 1);
    // The first epoch never changes the rate; a rise drops it to a fifth of the learning constant
    // (not of the rate), a fall climbs a tenth of the way back.
    const std::vector<double> expected = {1.0, 0.2, 0.28, 0.2, 0.28};
    const std::vector<double> rates = view.Curve(1);
    ASSERT_EQ(rates.size(), expected.size());
    for (std::size_t i = 0; i < rates.size(); ++i) EXPECT_DOUBLE_EQ(rates[i], expected[i]) << i;
}

TEST(Training, TestingPassMeasuresTheShareOfRightPairs) {
    const double high = std::log(0.7 / 0.3);  // net input that gives the output 0.7
    struct Case {
        const char* what;
        std::vector<std::pair<double, double>> tests;  // input, target
        std::vector<double> curve;
        std::vector<double> flags;
    };
    const Case cases[] = {
        {"classes", {{high, 1.0}, {high, 0.0}, {-high, 0.0}}, {2.0 / 3, 2.0 / 3}, {1, 1}},
        {"minus one", {{-high, -1.0}, {high, -1.0}}, {0.5, 0.5}, {1, 1}},
        // A target other than 1, -1 and 0: the error measure of the testing pass instead.
        {"target 0.5", {{high, 0.5}, {high, 1.0}}, {std::sqrt(0.2 * 0.2) / 2}, {0}},
    };
    for (const Case& c : cases) {
        CFeedForwardNeuralNetwork net;
        MakeSingleNeuron(net);
        net.SetBias(0.0);
        net.SetFunction(c.what == std::string("minus one") ? FCN_TANSIG : FCN_LOGSIG);
        net.Steepness = c.what == std::string("minus one") ? 2.0 : 1.0;
        net.GetLayer(0).GetNeuron(0).SetWeight(0, 1.0);
        net.LearningConstant = 0.0;  // the weights stay as set
        net.AddPair(kTrainingPairs, MakePair({0.0}, {1.0}));
        for (const auto& [x, t] : c.tests) net.AddPair(kTestingPairs, MakePair({x}, {t}));
        RecordingView view;
        std::string error;
        EXPECT_EQ(Train(net, &view, error), 1) << c.what;
        std::vector<double> curve, flags;
        for (const ViewCall& call : view.Named("AddTrainingGraphPoint"))
            if (call.numbers[0] == 2) {
                curve.push_back(call.numbers[1]);
                flags.push_back(call.numbers[2]);
            }
        ASSERT_EQ(curve.size(), c.curve.size()) << c.what;
        for (std::size_t i = 0; i < curve.size(); ++i) EXPECT_NEAR(curve[i], c.curve[i], 1e-12) << c.what;
        EXPECT_EQ(flags, c.flags) << c.what;
    }
}

TEST(Training, StopFlagsEndTrainingAfterTheCurrentPassWithReportAndTest) {
    for (const auto flag : {&ViewServices::stopRequested, &ViewServices::stopLearning}) {
        CFeedForwardNeuralNetwork net;
        MakeSingleNeuron(net);
        net.AddPair(kTrainingPairs, MakePair({1.0}, {0.9}));
        net.AddPair(kTestingPairs, MakePair({1.0}, {1.0}));
        net.MaxEpochs = 1000;
        RecordingView view;
        int points = 0;
        view.onCall = [&](const ViewCall& call) {
            if (call.name == "AddTrainingGraphPoint" && call.numbers[0] == 0 && ++points == 3) (view.*flag) = 1;
        };
        std::string error;
        EXPECT_EQ(Train(net, &view, error), 1);
        const ViewCall stats = view.Named("UpdateTrainingStats").back();
        EXPECT_EQ(stats.numbers[0], 3);
        EXPECT_EQ(view.Named("UpdateStructureWeights").back().numbers, (std::vector<double>{1, 1}));
        EXPECT_EQ(view.Curve(2).size(), 2u);  // the final test (its first point twice)
        EXPECT_EQ(view.calls.back().name, "EndTrainingDisplay");
    }
}

TEST(Training, StopsAtTheErrorGoalAndReportsAtEveryIntervalBelowOne) {
    struct Case {
        double goal;
        int updateEpochs;
        std::size_t epochs;
        std::size_t reports;
    };
    const Case cases[] = {{1.0, 100, 1, 1}, {0.0, 0, 6, 6}, {0.0, -3, 6, 6}, {0.0, 4, 6, 2}};
    for (const Case& c : cases) {
        CFeedForwardNeuralNetwork net;
        MakeSingleNeuron(net);
        net.AddPair(kTrainingPairs, MakePair({1.0}, {0.9}));
        net.LearningMaxError = c.goal;
        net.UpdateEpochs = c.updateEpochs;
        net.MaxEpochs = 6;
        RecordingView view;
        std::string error;
        EXPECT_EQ(Train(net, &view, error), 1);
        EXPECT_EQ(view.Curve(0).size(), c.epochs) << c.goal << " " << c.updateEpochs;
        EXPECT_EQ(view.Named("UpdateTrainingStats").size(), c.reports) << c.goal << " " << c.updateEpochs;
    }
}

TEST(ShufflePairs, SinglePairDrawsUntilTheLargestNumber) {
    crt::Srand(1);
    int order[1] = {0};
    CFeedForwardNeuralNetwork::ShufflePairs(order, 1);
    const int after = crt::Rand();
    // The same generator by its own rule: the value after the first 32767 from the third draw on.
    std::uint32_t state = 1;
    auto next = [&state] {
        state = state * 214013u + 2531011u;
        return static_cast<int>((state >> 16) & 0x7FFF);
    };
    next();
    next();
    while (next() != 32767) {
    }
    EXPECT_EQ(after, next());
    EXPECT_EQ(order[0], 0);
}

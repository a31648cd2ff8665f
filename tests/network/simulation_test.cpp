// Transfer functions and the forward pass.
#include <gtest/gtest.h>

#include <cmath>

#include "engine_test_support.h"
#include "network/transfer_function.h"

using enginetest::RecordingView;
using enginetest::Shape;

TEST(TransferFunctions, GiveTheOutputOfEachCode) {
    struct Case {
        int code;
        double gain;
        double net;
        double output;
    };
    const Case cases[] = {
        {FCN_HARDLIM, 1.0, 0.0, 1.0},      {FCN_HARDLIM, 1.0, -1e-300, 0.0}, {FCN_HARDLIM, 1.0, 2.0, 1.0},
        {FCN_HARDLIMS, 1.0, 0.0, 1.0},     {FCN_HARDLIMS, 1.0, -0.5, -1.0},  {FCN_LOGSIG, 1.0, 0.0, 0.5},
        {FCN_LOGSIG, 2.0, 1.0, 1.0 / (1.0 + std::exp(-2.0))},                {FCN_LOGSIG, 0.5, -3.0, 1.0 / (1.0 + std::exp(1.5))},
        {FCN_TANSIG, 1.0, 0.0, 0.0},       {FCN_TANSIG, 3.0, 0.25, 2.0 / (1.0 + std::exp(-0.75)) - 1.0},
        {5, 9.0, -2.5, -2.5},              {-1, 1.0, 7.0, 7.0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ApplyTransfer(c.code, c.gain, c.net), c.output) << "code " << c.code << " net " << c.net;
}

TEST(Simulation, GivesEveryComputedNeuronTheFunctionAndSteepness) {
    CFeedForwardNeuralNetwork net;
    Shape(net, 1, {2, 1});
    net.SetFunction(FCN_TANSIG);
    net.Steepness = 0.25;
    net.SetBias(-1.0);
    net.GetLayer(0).GetNeuron(1).SetWeight(1, 2.0);  // bias weight of hidden neuron 1
    net.GetLayer(1).GetNeuron(0).SetWeight(1, 3.0);  // from hidden neuron 1
    net.Simulate(0);
    const double hidden = 2.0 / (1.0 + std::exp(-0.25 * -2.0)) - 1.0;
    EXPECT_EQ(net.GetNeuronOutput(1, 0), hidden);
    EXPECT_EQ(net.GetNeuronOutput(0, -1), 2.0 / (1.0 + std::exp(-0.25 * (3.0 * hidden))) - 1.0);
    EXPECT_EQ(net.GetLayer(1).GetNeuron(0).GetGain(), 0.25);
    EXPECT_EQ(net.GetLayer(1).GetNeuron(0).GetFunction(), FCN_TANSIG);
    EXPECT_EQ(net.GetInputLayer().GetNeuronOutput(1), -1.0);  // the bias neuron outputs the bias
}

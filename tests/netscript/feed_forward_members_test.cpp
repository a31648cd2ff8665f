// FF_NeuralNetwork members as statements and values: structure, weights, inputs, simulation and
// output text, training settings and training, with every check of the check pass and the run.
#include <gtest/gtest.h>

#include <atomic>

#include "net_harness.h"
#include "network/feed_forward_network.h"
#include "platform/desktop.h"

namespace {

// A network of 4 inputs with layers of 3 and 1 neurons.
constexpr const char* kNet431 =
    "FF_NeuralNetwork net\nnet.InputsNumber = 4\nnet.LayersNumber = 2\nnet.NeuronsInLayers = [3, 1]\n";

std::string Script(const char* prefix, const std::string& rest) { return prefix + rest; }

TEST(FeedForwardStructure, MembersSetAndReadTheLayers) {
    EXPECT_EQ(RunNetScript(Script(kNet431,
                                  "Println net.InputsNumber : Println net.LayersNumber\n"
                                  "Println net.NeuronsInLayers(1) : Println net.NeuronsInLayers(2)\n"
                                  "Println net.Weights(2)")),
              "4\r\n2\r\n3\r\n1\r\n0\r\n0\r\n0\r\n0\r\n");
    // 4 inputs and the bias connection by 3 neurons.
    EXPECT_EQ(RunNetScript(Script(kNet431, "Println net.Weights(1)")),
              "0\t0\t0\r\n0\t0\t0\r\n0\t0\t0\r\n0\t0\t0\r\n0\t0\t0\r\n");
    EXPECT_EQ(RunNetScript(Script(kNet431, "net.NeuronsInLayers(1) = 2 : Println net.NeuronsInLayers(1)\n"
                                           "Println net.Weights(2)")),
              "2\r\n0\r\n0\r\n0\r\n");
}

TEST(FeedForwardWeights, SetAndReadTheWholeLayerAColumnOrOneWeight) {
    EXPECT_EQ(RunNetScript(Script(kNet431,
                                  "Matrix m[5][3] : m[2][1] = 7 : m[5][3] = -1.5\n"
                                  "net.Weights(1) = m\n"
                                  "net.Weights(2, 1, 4) = 0.25\n"
                                  "Println net.Weights(1) : Println net.Weights(2)\n"
                                  "Println net.Weights(1, 1) : Println net.Weights(1, 3, 5)")),
              "0\t0\t0\r\n7\t0\t0\r\n0\t0\t0\r\n0\t0\t0\r\n0\t0\t-1.5\r\n"
              "0\r\n0\r\n0\r\n0.25\r\n"
              "0\r\n7\r\n0\r\n0\r\n0\r\n"
              "-1.5\r\n");
}

TEST(FeedForwardWeights, RangeErrorsOfARun) {
    const ScriptCase cases[] = {
        {"net.Weights(3) = 1", " Runtime Error : Invalid layer number. Accessing layer 3."},
        {"net.Weights(1, 4) = 1", " Runtime Error :  Accessing Neuron 4 in layer 1."},
        {"net.Weights(1, 2, 6) = 1", " Runtime Error :  Setting Weight 6 of Neuron 2 in layer 1."},
        {"Println net.Weights(2, 1, 5)", " Runtime Error :  Accessing Weight 5 of Neuron 1 in layer 2."},
        {"net.InputValues(5) = 1", " Runtime Error : Setting invalid input number. (5)"},
    };
    for (const ScriptCase& c : cases) {
        EXPECT_EQ(RunNetScript(Script(kNet431, c.script)), EndedByError("", c.pane)) << c.script;
    }
}

TEST(FeedForwardMembers, ErrorsOfTheCheckPass) {
    const ScriptCase cases[] = {
        {"net.Function = 3", " Syntax Error : Unknown network function."},
        {"net.LearningConstant = 0.5",
         " Syntax Error : \"LearningConstant\" is not a member of Feed Forward Neural Nework object."},
        {"Println net.Output.Copy()", " Syntax Error : Property cannot be right-value."},
        {"net.Output = 1", " Syntax Error : Doesn't know what to do with \"Output\"."},
        {"net.NeuronsInLayers 5", " Syntax Error :  \"=\"  or  \"(\"  expected."},
        {"net.Weights(1 2) = 1", " Syntax Error : \",\"  or  \")\" Expected."},
        {"net.Simulate(1)", "   Expected :  \"  )  \"   "},
        {"net.Bias = 'a'", " Syntax Error : STRINGS not allowed here."},
        {"net.Train.AddTrainingPair([1, 2, 3, 4] [1])", "   Expected :  \"  ,  \"   "},
    };
    ExpectCheckPassErrors(cases, kNet431);
}

TEST(FeedForwardSimulation, ToStringBeforeAndAfterSimulate) {
    // Two inputs (1, -3), bias 1; neuron 1 weights (1, 1, 0): net -2; neuron 2 (0, 0, 1): net 1.
    EXPECT_EQ(RunNetScript("FF_NeuralNetwork net\n"
                           "net.InputsNumber = 2 : net.LayersNumber = 1 : net.NeuronsInLayers = [2]\n"
                           "net.Function = FCN_HARDLIMS : net.Bias = 1\n"
                           "net.Weights(1, 1, 1) = 1 : net.Weights(1, 1, 2) = 1 : net.Weights(1, 2, 3) = 1\n"
                           "net.InputValues = [1, -3] : Println net.Output.toString() : net.Simulate()\n"
                           "Println net.Output.toString() : Println net.Output(1) : Println net.Output(2)\n"
                           "net.InputValues(2) = 5 : Println net.Output.toString()\n"
                           "net.Simulate() : Println net.Output.toString()\n"
                           "net.Bias = 0 : Println net.Output.toString()"),
              "toString(): \"net\" not simulated after last changes.\r\n"
              "-1\t1\r\n-1\r\n1\r\n"
              // Setting inputs keeps the old outputs as simulated.
              "-1\t1\r\n"
              "1\t1\r\n"
              "toString(): \"net\" not simulated after last changes.\r\n");
}

// Catches the settings a network trains with, when training starts.
class TrainingView : public NetView {
public:
    void BeginTrainingDisplay(const CFeedForwardNeuralNetwork& network) override {
        NetView::BeginTrainingDisplay(network);
        smart = network.SmartLearningConstant;
        text = network.TextMessageLearning;
        learningConstant = network.LearningConstant;
        maxEpochs = network.MaxEpochs;
        testingPairs = network.GetTestingPairs().GetCount();
    }
    int smart = -1, text = -1, maxEpochs = -1, testingPairs = -1;
    double learningConstant = -1;
};

TEST(FeedForwardTraining, SettingsReachTheNetwork) {
    BasicNetHarness<TrainingView> h;
    ASSERT_EQ(h.Check("FF_NeuralNetwork n : n.InputsNumber = 2 : n.LayersNumber = 1 : n.NeuronsInLayers = [1]\n"
                      "n.Function = FCN_LOGSIG\n"
                      "n.Train.SmartLearningConstant = 5 : n.Train.ShowStorms = 0 : n.Train.TextMessageLearning = 5\n"
                      "n.Train.LearningConstant = 0.3 : n.Train.LearningMaxError = 0.01 : n.Train.MaxEpochs = 7\n"
                      "n.Train.UpdateEpochs = 70\n"
                      "n.Train.AddTrainingPair([0, 1], [1]) : n.Train.AddTrainingPair([1, 1], [0])\n"
                      "n.Train.AddTestingPair([1, 0], [1])\n"
                      "n.Train.TextMessageLearning = 0 : n.Train.StartLearning()\n"
                      "n.Train.TextMessageLearning = 5"),
              1);
    EXPECT_EQ(h.RunChecked(), "");
    const TrainingView& view = h.view;
    EXPECT_EQ(view.smart, 1);
    EXPECT_EQ(view.text, 0);
    EXPECT_EQ(view.learningConstant, 0.3);
    EXPECT_EQ(view.maxEpochs, 7);
    EXPECT_EQ(view.testingPairs, 1);
    EXPECT_EQ(view.trainingEnds, 1);
}

TEST(FeedForwardTraining, AStopDuringTrainingEndsTheRunQuietly) {
    class StoppingView : public NetView {
    public:
        void UpdateTrainingStats(int, int, double, double, double, double) override { stopRequested = 1; }
    };
    BasicNetHarness<StoppingView> h;
    ASSERT_EQ(h.Check("FF_NeuralNetwork n : n.InputsNumber = 1 : n.LayersNumber = 1 : n.NeuronsInLayers = [1]\n"
                      "n.Function = FCN_TANSIG : n.Train.MaxEpochs = 1000000 : n.Train.UpdateEpochs = 1\n"
                      "n.Train.AddTrainingPair([1], [1]) : n.Train.StartLearning() : Println 'after'"),
              1);
    const std::string pane = h.RunChecked();
    EXPECT_EQ(h.parser->runState, kStoppedByUser);
    EXPECT_EQ(pane, "Program Terminated  By User.\r\n");
}

}  // namespace

namespace {

}  // namespace

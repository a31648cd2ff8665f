// A whole script run from the desktop: it trains a network with the training window shown and
// draws 25 charts; the pane ends as a run without windows leaves it, the windows hold what the
// script gave them.
#include "tests/shell/view_harness.h"

#include "netscript/script_interpreter.h"
#include "network/feed_forward_network.h"

#include <gtest/gtest.h>

#include <mutex>

#include "shell/run_windows.h"
#include "shell/worker_queue.h"
#include "windows/chart_viewer.h"
#include "windows/nn_structure_dialog.h"

namespace {

const char kTrainAndChart[] =
    "FF_NeuralNetwork xor\n"
    "xor.InputsNumber = 2 : xor.LayersNumber = 2 : xor.NeuronsInLayers = [3, 1]\n"
    "xor.Function = FCN_LOGSIG : xor.Bias = 1\n"
    "xor.Weights(1) = RANDOM_ELEMENTS(-1, 1)\n"
    "xor.Weights(2) = RANDOM_ELEMENTS(-1, 1)\n"
    "xor.Train.AddTrainingPair([0, 0], [0]) : xor.Train.AddTrainingPair([0, 1], [1])\n"
    "xor.Train.AddTrainingPair([1, 0], [1]) : xor.Train.AddTrainingPair([1, 1], [0])\n"
    "xor.Train.AddTestingPair([0, 1], [1])\n"
    "xor.Train.LearningConstant = 2 : xor.Train.MaxEpochs = 2000 : xor.Train.UpdateEpochs = 100\n"
    "xor.Train.TextMessageLearning = 1\n"
    "xor.Train.StartLearning()\n"
    "Println \"Trained.\"\n"
    "Integer c\n"
    "Float v[3]\n"
    "For c = 1 To 25\n"
    "v[1] = c : v[2] = c * 2 : v[3] = c * 3\n"
    "CreateChart(\"Chart \" + c, 3, v)\n"
    "Next\n";

// The pane a run leaves without any window: the pane's rules as the worker's queue folds them.
class PaneRecorder : public ViewServices {
public:
    void OutputText(const std::string& text, int append, int crlfBefore, int crlfAfter, int) override {
        std::lock_guard<std::mutex> lock(mutex_);
        output_.Add(text, append, crlfBefore, crlfAfter);
    }
    QString Pane() {
        std::lock_guard<std::mutex> lock(mutex_);
        const std::string text = output_.replaceText + output_.Insertion(output_.replaceText.empty());
        return QString::fromStdString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    }

private:
    std::mutex mutex_;
    QueuedOutput output_;
};

QString PaneWithoutWindows(const char* script) {
    PaneRecorder recorder;
    ScriptInterpreter parser(&recorder);
    parser.SetSource(script);
    const int options[4] = {1, 0, 0, 0};
    if (!parser.Compile(options)) return QStringLiteral("check failed");
    recorder.running = 1;
    parser.CreateThread();
    parser.WaitFinished();
    return recorder.Pane();
}

TEST(RunScript, TrainingAndTwentyFiveChartsFromTheDesktop) {
    ViewPanes doc(QString::fromLatin1(kTrainAndChart));
    QStringList simulationTexts;
    std::vector<std::pair<int, int>> simulationBars;
    QObject::connect(&doc.view, &CKestrumView::simulationTextChanged, [&](const QString& t) { simulationTexts << t; });
    QObject::connect(&doc.view, &CKestrumView::simulationProgressChanged,
                     [&](int position, int range) { simulationBars.emplace_back(position, range); });
    ASSERT_TRUE(doc.RunToEnd(50000));
    const QString pane = doc.Pane();
    EXPECT_TRUE(pane.contains(QStringLiteral("Trained.\n"))) << pane.toStdString();
    EXPECT_EQ(pane, PaneWithoutWindows(kTrainAndChart));

    // The "Simulation:" bar showed the network being built, then was emptied: (-1, -1) is 0 of 1.
    ASSERT_GE(simulationTexts.size(), 2);
    EXPECT_FALSE(simulationTexts.front().isEmpty());
    EXPECT_TRUE(simulationTexts.back().isEmpty());
    ASSERT_FALSE(simulationBars.empty());
    EXPECT_EQ(simulationBars.back(), std::make_pair(0, 1));

    RunWindows& windows = doc.view.Windows();
    CNNStructureDialog* structure = windows.StructureWindow();
    ASSERT_NE(structure, nullptr);
    EXPECT_FALSE(structure->IsTraining());
    EXPECT_EQ(structure->GetMode(), 1);
    ASSERT_NE(structure->GetNetworkCopy(), nullptr);
    EXPECT_EQ(structure->GetNetworkCopy()->GetLayerCount(), 2);

    // Charts 1 to 20 fill the windows in turn; 21 to 25 each refill the last.
    ASSERT_EQ(windows.ChartsInUse(), RunWindows::kChartCount);
    for (int i = 0; i < RunWindows::kChartCount; ++i) {
        const CChartViewer* chart = windows.Chart(i);
        EXPECT_EQ(chart->GetShowState(), 5);
        EXPECT_EQ(chart->GetTitle(), "Chart " + std::to_string(i < 19 ? i + 1 : 25));
        EXPECT_EQ(chart->windowTitle().toStdString(), chart->GetTitle());
    }
    const CChartViewer* last = windows.Chart(RunWindows::kChartCount - 1);
    ASSERT_EQ(last->GetPoints().GetCount(), 3);
    EXPECT_EQ(last->GetPoints()[2].value, 75.0);
    EXPECT_EQ(last->GetPoints()[2].label, "3");

    doc.view.OnToggleChartWindows();
    EXPECT_EQ(windows.Chart(7)->GetShowState(), 0);
    doc.view.OnToggleChartWindows();
    EXPECT_EQ(windows.Chart(7)->GetShowState(), 5);

    // The next run hides and empties every chart window.
    doc.view.setPlainText(QStringLiteral("Println 1\n"));
    ASSERT_TRUE(doc.RunToEnd());
    EXPECT_EQ(windows.ChartsInUse(), 0);
    for (int i = 0; i < RunWindows::kChartCount; ++i) {
        EXPECT_EQ(windows.Chart(i)->GetShowState(), 0);
        EXPECT_EQ(windows.Chart(i)->GetTitle(), "Untitled");
    }
}

}  // namespace

// The windows an editor view's runs fill: the structure-and-training window, made on demand, and
// the 20 chart windows, made hidden with the view. GUI thread only; the view carries its worker's
// calls here.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

class CChartViewer;
class CFeedForwardNeuralNetwork;
class CNNStructureDialog;
class ViewServices;

class RunWindows {
public:
    static constexpr int kChartCount = 20;

    // owner: the view whose stop-learning flag the structure window's terminate button sets.
    explicit RunWindows(ViewServices* owner);
    ~RunWindows();
    RunWindows(const RunWindows&) = delete;
    RunWindows& operator=(const RunWindows&) = delete;

    // --- charts ---
    // Fills the next chart window (from the twentieth on, the last one again), shows and activates it.
    void ShowChart(const std::string& title, const std::vector<double>& values, int count,
                   const std::vector<std::string>* labels);
    // Hides and empties every chart window in use; the next chart goes into the first.
    void ResetCharts();
    void ToggleCharts();
    CChartViewer* Chart(int index) const { return charts_[static_cast<std::size_t>(index)].get(); }
    int ChartsInUse() const { return chartsInUse_; }

    // --- structure-and-training window ---
    // Shows or hides the window; makes it (shown) when there is none.
    void ToggleStructureWindow();
    CNNStructureDialog* StructureWindow() const { return structure_.get(); }
    void ShowNetworkStructure(const CFeedForwardNeuralNetwork& network);
    void CloseStructureWindow();
    void BeginTrainingDisplay(const CFeedForwardNeuralNetwork& network);
    void EndTrainingDisplay();
    void AddTrainingGraphPoint(int curve, double value, int flag);
    void UpdateTrainingStats(int epochs, int maxEpochs, double error, double errorGoal, double learningConstant,
                             double initialLearningConstant);
    void SetStructureProgress1(int position, int range);
    void SetStructureProgress2(int position, int range);
    void UpdateStructureWeights(const CFeedForwardNeuralNetwork* network, int force);
    // Repaints the structure window, if any (after queued curve points were applied).
    void RepaintStructureWindow();

private:
    CNNStructureDialog& EnsureStructureWindow();

    ViewServices* owner_;
    std::unique_ptr<CNNStructureDialog> structure_;
    std::array<std::unique_ptr<CChartViewer>, kChartCount> charts_;
    int chartsInUse_ = 0;
};

#include "shell/run_windows.h"

#include "windows/chart_viewer.h"
#include "windows/nn_structure_dialog.h"

#include <algorithm>
#include <cstdio>

RunWindows::RunWindows(ViewServices* owner) : owner_(owner) {
    for (auto& chart : charts_) chart = std::make_unique<CChartViewer>();
}

RunWindows::~RunWindows() = default;

void RunWindows::ShowChart(const std::string& title, const std::vector<double>& values, int count,
                           const std::vector<std::string>* labels) {
    CChartViewer& chart = *charts_[static_cast<std::size_t>(std::min(chartsInUse_, kChartCount - 1))];
    chart.Reset();
    chart.SetTitle(title);
    const int n = std::clamp(count, 0, static_cast<int>(values.size()));
    for (int i = 0; i < n; ++i) {
        ChartPoint point;
        point.value = values[static_cast<std::size_t>(i)];
        if (labels == nullptr) {
            char number[32];
            std::snprintf(number, sizeof number, "%.0f", static_cast<double>(i + 1));
            point.label = number;
        } else if (static_cast<std::size_t>(i) < labels->size()) {
            point.label = (*labels)[static_cast<std::size_t>(i)];
        }
        chart.AddPoint(point);
    }
    if (chart.GetShowState() == 0) chart.ToggleVisible();
    chart.RepaintNow();
    chart.activateWindow();
    chart.setFocus();
    chartsInUse_ = std::min(chartsInUse_ + 1, kChartCount);
}

void RunWindows::ResetCharts() {
    for (int i = 0; i < chartsInUse_; ++i) {
        CChartViewer& chart = *charts_[static_cast<std::size_t>(i)];
        if (chart.GetShowState() == 5) chart.ToggleVisible();
        chart.Reset();
    }
    chartsInUse_ = 0;
}

void RunWindows::ToggleCharts() {
    for (int i = 0; i < chartsInUse_; ++i) charts_[static_cast<std::size_t>(i)]->ToggleVisible();
}

void RunWindows::ToggleStructureWindow() {
    if (structure_) {
        structure_->ToggleVisible();
        return;
    }
    structure_ = std::make_unique<CNNStructureDialog>(nullptr, owner_);
}

CNNStructureDialog& RunWindows::EnsureStructureWindow() {
    if (!structure_) ToggleStructureWindow();
    return *structure_;
}

void RunWindows::ShowNetworkStructure(const CFeedForwardNeuralNetwork& network) {
    ToggleStructureWindow();
    structure_->SetNetwork(network);
    if (structure_->GetShowState() == 0) structure_->ToggleVisible();
}

void RunWindows::CloseStructureWindow() {
    if (structure_) structure_->OnClose();
}

void RunWindows::BeginTrainingDisplay(const CFeedForwardNeuralNetwork& network) {
    EnsureStructureWindow().StartTraining(network);
}

void RunWindows::EndTrainingDisplay() {
    if (structure_) structure_->StopTraining();
}

void RunWindows::AddTrainingGraphPoint(int curve, double value, int flag) {
    EnsureStructureWindow().AddCurvePoint(curve, value, flag);
}

void RunWindows::UpdateTrainingStats(int epochs, int maxEpochs, double error, double errorGoal,
                                     double learningConstant, double initialLearningConstant) {
    if (structure_)
        structure_->UpdateTrainingInfo(epochs, maxEpochs, error, errorGoal, learningConstant, initialLearningConstant);
}

void RunWindows::SetStructureProgress1(int position, int range) {
    if (structure_) structure_->SetProgress1(position, range);
}

void RunWindows::SetStructureProgress2(int position, int range) {
    if (structure_) structure_->SetProgress2(position, range);
}

void RunWindows::UpdateStructureWeights(const CFeedForwardNeuralNetwork* network, int force) {
    if (structure_) structure_->UpdateWeights(network, force);
}

void RunWindows::RepaintStructureWindow() {
    if (structure_) structure_->UpdateWeights(nullptr, 1);
}

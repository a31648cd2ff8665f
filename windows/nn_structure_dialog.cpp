#include "windows/nn_structure_dialog.h"

#include <QCloseEvent>
#include <QFrame>

#include "base/dyna_array.h"
#include "network/feed_forward_network.h"
#include "view/view_services.h"

struct CNNStructureDialog::Controls {};

struct CNNStructureDialog::Tables {
    CDynaArray<ViewObject> viewObjects{100000, "NN Structure View Objects"};
    CDynaArray<double> rms{150000, "Graph Viewer Points"};
    CDynaArray<double> lc{150000, "Graph Viewer Points"};
    CDynaArray<double> performance{150000, "Graph Viewer Points"};
};

StructureDialogPrompts StructureDialogPrompts::Interactive() { return {}; }

CNNStructureDialog::CNNStructureDialog(QWidget* parent, ViewServices* owner)
    : QWidget(parent, Qt::Window), owner_(owner), controls_(std::make_unique<Controls>()),
      tables_(std::make_unique<Tables>()) {
    frame_ = new QFrame(this);
}

CNNStructureDialog::~CNNStructureDialog() = default;

void CNNStructureDialog::StartTraining(const CFeedForwardNeuralNetwork& network) { SetNetwork(network); }
void CNNStructureDialog::StopTraining() {}
void CNNStructureDialog::AddCurvePoint(int, double, int) {}
void CNNStructureDialog::UpdateTrainingInfo(int, int, double, double, double, double) {}
void CNNStructureDialog::SetProgress1(int, int) {}
void CNNStructureDialog::SetProgress2(int, int) {}
void CNNStructureDialog::UpdateWeights(const CFeedForwardNeuralNetwork*, int) {}
void CNNStructureDialog::SetNetwork(const CFeedForwardNeuralNetwork* network) {
    if (network) network_ = std::make_unique<CFeedForwardNeuralNetwork>(network);
}
void CNNStructureDialog::ToggleVisible() {
    showState_ = showState_ == 0 ? 5 : 0;
    setVisible(showState_ == 5);
}
void CNNStructureDialog::OnClose() {
    showState_ = 0;
    hide();
}
void CNNStructureDialog::OnZoomIn() {}
void CNNStructureDialog::OnZoomOut() {}
void CNNStructureDialog::OnXStretchPlus() {}
void CNNStructureDialog::OnXStretchMinus() {}
void CNNStructureDialog::OnYStretchPlus() {}
void CNNStructureDialog::OnYStretchMinus() {}
void CNNStructureDialog::OnSwitchMode() {}
void CNNStructureDialog::OnTerminateLearning() {}
void CNNStructureDialog::OnSaveNetwork() {}
void CNNStructureDialog::OnLcGraph() {}
void CNNStructureDialog::OnRmsGraph() {}
void CNNStructureDialog::OnPerformance() {}
void CNNStructureDialog::OnShowStorms() {}
void CNNStructureDialog::OnOnlineNetInfo() {}
void CNNStructureDialog::SetPrompts(StructureDialogPrompts prompts) { prompts_ = std::move(prompts); }
QWidget* CNNStructureDialog::Control(int) const { return nullptr; }
QImage CNNStructureDialog::RenderFrame(QSize size) { return QImage(size, QImage::Format_RGB32); }
ViewObject CNNStructureDialog::HitTestAt(int, int) { return {}; }
const CDynaArray<ViewObject>& CNNStructureDialog::GetViewObjects() const { return tables_->viewObjects; }
void CNNStructureDialog::closeEvent(QCloseEvent* event) {
    event->ignore();
    OnClose();
}
void CNNStructureDialog::resizeEvent(QResizeEvent*) {}
void CNNStructureDialog::timerEvent(QTimerEvent*) {}
bool CNNStructureDialog::eventFilter(QObject*, QEvent*) { return false; }
void CNNStructureDialog::wheelEvent(QWheelEvent*) {}

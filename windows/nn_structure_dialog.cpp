#include "windows/nn_structure_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>
#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>

#include "base/dyna_array.h"
#include "base/number_text.h"
#include "network/feed_forward_network.h"
#include "platform/cp1256.h"
#include "platform/crt_runtime.h"
#include "view/view_services.h"
#include "windows/dialog_units.h"
#include "windows/drawing_helpers.h"
#include "windows/network_saver.h"
#include "windows/pictures.h"
#include "windows/scroll_arithmetic.h"
#include "windows/show_state.h"
#include "windows/structure_painter.h"
#include "windows/system_message_box.h"
#include "windows/curve_store.h"
#include "windows/training_painter.h"
#include "windows/weight_copy_clock.h"

namespace {

using Id = CNNStructureDialog::ControlId;
constexpr int kTrainingControls[] = {
    Id::kIdProgress1,   Id::kIdEpochsLabel,    Id::kIdRmsLabel,      Id::kIdGoalLabel,     Id::kIdEpochs,
    Id::kIdProgress2,   Id::kIdEpochsPercent,  Id::kIdRms,           Id::kIdGoal,          Id::kIdTerminate,
    Id::kIdSave,        Id::kIdLcLabel,        Id::kIdLc,            Id::kIdLcGraph,       Id::kIdCountersGroup,
    Id::kIdGraphsGroup, Id::kIdElapsedGroup,   Id::kIdLcGroup,       Id::kIdStormsGroup,   Id::kIdElapsed,
    Id::kIdRmsGraph,    Id::kIdPerformance,    Id::kIdShowStorms};
constexpr int kStructureControls[] = {Id::kIdZoomIn,        Id::kIdZoomOut,        Id::kIdXStretchPlus,
                                      Id::kIdXStretchMinus, Id::kIdYStretchPlus,   Id::kIdYStretchMinus,
                                      Id::kIdOnlineNetInfo};
constexpr int kRefreshPeriodMs = 5000;

const char* const kStructureTitle = "Neural Network Structure View:";
const char* const kTrainingTitle = "Neural Network Training View:";

// The small picture frame: the neuron in the structure view, the training picture in the other.
class PictureFrame : public QFrame {
public:
    explicit PictureFrame(QWidget* parent) : QFrame(parent) { setFrameStyle(QFrame::Panel | QFrame::Sunken); }
    void SetPicture(const QImage* picture) {
        picture_ = picture;
        update();
    }

protected:
    void paintEvent(QPaintEvent* event) override {
        QFrame::paintEvent(event);
        if (!picture_) return;
        QPainter painter(this);
        painter.drawImage(contentsRect().topLeft(), *picture_);
    }

private:
    const QImage* picture_ = nullptr;
};

// The drawing frame: its paint is the window's.
class PaintedFrame : public QFrame {
public:
    PaintedFrame(QWidget* parent, std::function<void(QPainter&)> paint) : QFrame(parent), paint_(std::move(paint)) {
        setFrameStyle(QFrame::Panel | QFrame::Sunken);
        setMouseTracking(true);
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent* event) override {
        QFrame::paintEvent(event);
        QPainter painter(this);
        paint_(painter);
    }

private:
    std::function<void(QPainter&)> paint_;
};

// Empty (-1, -1) or position of range; a bar without a range stays empty.
void SetProgressBar(QProgressBar* bar, int position, int range) {
    if ((position == -1 && range == -1) || range < 1) {
        bar->setRange(0, 1);
        bar->setValue(0);
        return;
    }
    bar->setRange(0, range);
    bar->setValue(std::clamp(position, 0, range));
}

// The font here runs wider than the template's: a text that would be cut at the template's size is
// narrowed until it fits, the control keeping its size.
void FitText(QWidget* widget, const QString& text, int room) {
    constexpr int kNarrowest = 70;  // per cent of the font's width
    QFont font = widget->font();
    for (int stretch = 100; stretch > kNarrowest && QFontMetrics(font).horizontalAdvance(text) > room; --stretch) {
        font.setStretch(stretch - 1);
    }
    widget->setFont(font);
}

QString Printf(const char* format, double value) {
    char text[128];
    std::snprintf(text, sizeof text, format, value);
    return QString::fromLatin1(text);
}

}  // namespace

struct CNNStructureDialog::Controls {
    std::map<int, QWidget*> byId;
    QScrollBar* hBar = nullptr;
    QScrollBar* vBar = nullptr;
    PictureFrame* picture = nullptr;
    QCheckBox* Box(int id) const { return static_cast<QCheckBox*>(byId.at(id)); }
    QLineEdit* Edit(int id) const { return static_cast<QLineEdit*>(byId.at(id)); }
    QProgressBar* Bar(int id) const { return static_cast<QProgressBar*>(byId.at(id)); }
};

struct CNNStructureDialog::Tables {
    CDynaArray<ViewObject> viewObjects{100000, "NN Structure View Objects"};
    // Bounded however long a training runs (CurveStore).
    CurveStore rms;
    CurveStore lc;
    CurveStore performance;
    double rmsMinimumPositive = 0.0;
};

StructureDialogPrompts StructureDialogPrompts::Interactive() {
    StructureDialogPrompts prompts;
    prompts.chooseSavePath = [](QWidget* owner, const QString& caption, const QString& initialPath,
                                const QString& filter) {
        return QFileDialog::getSaveFileName(owner, caption, initialPath, filter);
    };
    prompts.askYesNo = [](QWidget* owner, const QString& question) {
        return SystemMessageBox::AskYesNo(owner, QApplication::applicationDisplayName(), question);
    };
    prompts.showError = [](QWidget* owner, const QString& text) {
        SystemMessageBox(QMessageBox::Warning, QApplication::applicationDisplayName(), text, QMessageBox::Ok, owner)
            .exec();
    };
    return prompts;
}

CNNStructureDialog::CNNStructureDialog(QWidget* parent, ViewServices* owner)
    : QWidget(parent, Qt::Window),
      owner_(owner),
      prompts_(StructureDialogPrompts::Interactive()),
      controls_(std::make_unique<Controls>()),
      tables_(std::make_unique<Tables>()) {
    neuronRadius_ = pictures::Neuron().width() / 2;
    layerSpacing_ = 6 * neuronRadius_;
    neuronSpacing_ = 4 * neuronRadius_;
    BuildControls();
    // Every move over the window reaches OnMouseMove, whatever control it is over.
    setMouseTracking(true);
    for (QWidget* child : findChildren<QWidget*>()) {
        child->setMouseTracking(true);
        child->installEventFilter(this);
    }
    ResetTrainingView();
    // What the template's initialisation does.
    for (QScrollBar* bar : {controls_->hBar, controls_->vBar}) {
        bar->setRange(0, 1000);
        bar->setValue(0);
    }
    Control(kIdTerminate)->setEnabled(false);
    mode_ = 0;
    setWindowTitle(kStructureTitle);
    ShowModeControls();
    ClearHover();
    onlineNetInfo_ = performanceOn_ = rmsGraphOn_ = 1;
    lcGraphOn_ = 0;
    controls_->Box(kIdOnlineNetInfo)->setChecked(true);
    controls_->Box(kIdPerformance)->setChecked(true);
    controls_->Box(kIdRmsGraph)->setChecked(true);
    controls_->Box(kIdLcGraph)->setChecked(false);
    show();
    showState_ = 5;
}

CNNStructureDialog::~CNNStructureDialog() = default;

void CNNStructureDialog::BuildControls() {
    setFont(DialogFont());
    const DialogUnits du(DialogFont());
    const QSize client = du.Size(QSize(548, 319));
    auto* hBar = new QScrollBar(Qt::Horizontal, this);
    auto* vBar = new QScrollBar(Qt::Vertical, this);
    controls_->hBar = hBar;
    controls_->vBar = vBar;
    connect(hBar, &QScrollBar::actionTriggered, this, [this](int action) { OnScroll(Qt::Horizontal, action); });
    connect(vBar, &QScrollBar::actionTriggered, this, [this](int action) { OnScroll(Qt::Vertical, action); });
    const int bars = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    resize(client.width() + bars, client.height() + bars);
    setMinimumSize(du.Rect(3, 0, 139, 27).right() + 1 + 2 * neuronRadius_ + 50 + bars, 300);

    auto place = [this, &du](int id, QWidget* widget, QRect units) {
        widget->setGeometry(du.Rect(units));
        controls_->byId[id] = widget;
        return widget;
    };
    auto group = [&](int id, QRect units, const QString& text = QString()) {
        place(id, new QGroupBox(text, this), units)->lower();
    };
    auto picture = [&](int id, pictures::Button which, QRect units, void (CNNStructureDialog::*handler)()) {
        auto* button = new QPushButton(this);
        button->setIcon(QIcon(QPixmap::fromImage(pictures::ButtonPicture(which))));
        button->setIconSize(QSize(25, 25));
        connect(button, &QPushButton::clicked, this, handler);
        place(id, button, units);
    };
    auto push = [&](int id, const QString& text, QRect units, void (CNNStructureDialog::*handler)()) {
        auto* button = new QPushButton(text, this);
        connect(button, &QPushButton::clicked, this, handler);
        place(id, button, units);
    };
    auto check = [&](int id, const QString& text, QRect units, void (CNNStructureDialog::*handler)()) {
        auto* box = new QCheckBox(text, this);
        connect(box, &QCheckBox::clicked, this, handler);
        place(id, box, units);
        const int mark = box->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, box) +
                         box->style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, box);
        FitText(box, text, box->width() - mark);
    };
    auto edit = [&](int id, QRect units, bool centred) {
        auto* field = new QLineEdit(this);
        field->setReadOnly(true);
        field->setFocusPolicy(Qt::ClickFocus);
        field->setTextMargins(0, 0, 0, 0);
        if (centred) field->setAlignment(Qt::AlignCenter);
        place(id, field, units);
    };
    auto label = [&](int id, const QString& text, QRect units) {
        QWidget* widget = place(id, new QLabel(text, this), units);
        FitText(widget, text, widget->width());
    };
    auto progress = [&](int id, Qt::Orientation orientation, QRect units) {
        auto* bar = new QProgressBar(this);
        bar->setOrientation(orientation);
        bar->setTextVisible(false);
        place(id, bar, units);
    };

    group(kIdZoomGroup, {3, 0, 139, 27});
    picture(kIdZoomIn, pictures::Button::kZoomIn, {9, 6, 20, 18}, &CNNStructureDialog::OnZoomIn);
    picture(kIdZoomOut, pictures::Button::kZoomOut, {29, 6, 20, 18}, &CNNStructureDialog::OnZoomOut);
    picture(kIdXStretchPlus, pictures::Button::kXStretchPlus, {53, 6, 20, 18}, &CNNStructureDialog::OnXStretchPlus);
    picture(kIdYStretchPlus, pictures::Button::kYStretchPlus, {73, 6, 20, 18}, &CNNStructureDialog::OnYStretchPlus);
    picture(kIdXStretchMinus, pictures::Button::kXStretchMinus, {97, 6, 20, 18}, &CNNStructureDialog::OnXStretchMinus);
    picture(kIdYStretchMinus, pictures::Button::kYStretchMinus, {117, 6, 20, 18}, &CNNStructureDialog::OnYStretchMinus);
    group(kIdOnlineNetInfoGroup, {3, 22, 139, 19});
    check(kIdOnlineNetInfo, "Online Net Info (No LClick Required)", {8, 28, 129, 10},
          &CNNStructureDialog::OnOnlineNetInfo);
    group(kIdSwitchModeGroup, {3, 38, 139, 25});
    push(kIdSwitchMode, "Switch Current Mode", {7, 43, 130, 18}, &CNNStructureDialog::OnSwitchMode);
    controls_->picture = new PictureFrame(this);
    place(kIdPicture, controls_->picture, {146, 0, 69, 63});
    group(kIdCountersGroup, {217, 0, 105, 63});
    progress(kIdProgress1, Qt::Horizontal, {220, 6, 99, 10});
    label(kIdEpochsLabel, "Epochs:", {222, 21, 27, 8});
    edit(kIdEpochs, {251, 19, 45, 12}, false);
    edit(kIdEpochsPercent, {298, 19, 21, 12}, true);
    label(kIdRmsLabel, "Current RMS:", {222, 35, 44, 8});
    edit(kIdRms, {266, 33, 53, 12}, false);
    label(kIdGoalLabel, "Emax (goal) :", {222, 48, 42, 8});
    edit(kIdGoal, {266, 47, 53, 12}, false);
    group(kIdGraphsGroup, {325, 0, 60, 63});
    group(kIdLcGroup, {325, 0, 60, 35});
    check(kIdLcGraph, "LC Graph On", {328, 6, 54, 10}, &CNNStructureDialog::OnLcGraph);
    edit(kIdLc, {340, 19, 42, 12}, true);
    check(kIdRmsGraph, "RMS Graph", {327, 38, 50, 10}, &CNNStructureDialog::OnRmsGraph);
    check(kIdPerformance, "Performance", {327, 50, 53, 10}, &CNNStructureDialog::OnPerformance);
    push(kIdTerminate, "Terminate Learning\n&&\nContinue Program", {387, 3, 72, 33},
         &CNNStructureDialog::OnTerminateLearning);
    push(kIdSave, "Save Current\nNeural Network", {387, 36, 72, 26}, &CNNStructureDialog::OnSaveNetwork);
    progress(kIdProgress2, Qt::Vertical, {461, 4, 10, 58});
    group(kIdElapsedGroup, {473, 31, 60, 31}, "Elapsed Time:");
    edit(kIdElapsed, {476, 45, 54, 12}, true);
    frame_ = new PaintedFrame(this, [this](QPainter& painter) { PaintFrame(painter); });
    place(kIdDrawing, frame_, {53, 68, 198, 135});
    label(kIdLcLabel, "LC:", {328, 21, 11, 8});
    check(kIdShowStorms, "Show Storms", {475, 9, 54, 10}, &CNNStructureDialog::OnShowStorms);
    group(kIdStormsGroup, {473, 2, 60, 22});
}

QWidget* CNNStructureDialog::Control(int id) const {
    const auto found = controls_->byId.find(id);
    return found == controls_->byId.end() ? nullptr : found->second;
}

const CDynaArray<ViewObject>& CNNStructureDialog::GetViewObjects() const { return tables_->viewObjects; }

void CNNStructureDialog::SetPrompts(StructureDialogPrompts prompts) { prompts_ = std::move(prompts); }

// --- state ---

void CNNStructureDialog::ResetTrainingView() {
    tables_->rms.Clear();
    tables_->lc.Clear();
    tables_->performance.Clear();
    tables_->rmsMinimumPositive = 0.0;
    performanceMinimum_ = 1e8;
    rmsMaximum_ = -1e8;
    performanceMaximum_ = -1e8;
    previousRms_ = 10000.0;
    storm_ = 0;
    performanceKind_ = 0;
    for (int id : {kIdEpochs, kIdEpochsPercent, kIdRms, kIdGoal, kIdLc}) controls_->Edit(id)->clear();
    controls_->Edit(kIdElapsed)->setText("--:--:--");
    SetProgress2(-1, -1);
    SetProgress1(-1, -1);
}

void CNNStructureDialog::ShowModeControls() {
    const bool show = training_ != 0 || mode_ == 1;
    for (int id : kTrainingControls) Control(id)->setVisible(show);
    for (int id : kStructureControls) Control(id)->setEnabled(mode_ == 0);
    controls_->picture->SetPicture(mode_ == 0 ? &pictures::Neuron() : &pictures::Training());
}

void CNNStructureDialog::ClearHover() {
    hoveredConnection_ = {-1, -1, -1};
    hoveredNeuron_ = {-1, -1};
    hoverText_.clear();
}

void CNNStructureDialog::InvalidateLayout() {
    // Emptied but kept allocated: the next paint records as many elements again.
    if (tables_->viewObjects.GetCount() > 0) tables_->viewObjects.SetSize(0);
    frame_->update();
}

// --- operations of the editor view ---

void CNNStructureDialog::StartTraining(const CFeedForwardNeuralNetwork& network) {
    if (mode_ != 1) OnSwitchMode();
    ResetTrainingView();
    Control(kIdTerminate)->setEnabled(true);
    ShowModeControls();
    controls_->hBar->setRange(0, 100);
    controls_->hBar->setValue(100);
    training_ = 1;
    SetNetwork(&network);
    if (showState_ != 5) ToggleVisible();
    trainingStart_ = crt::Clock();
    if (refreshTimerId_ != 0) killTimer(refreshTimerId_);
    refreshTimerId_ = startTimer(kRefreshPeriodMs);
}

void CNNStructureDialog::StopTraining() {
    ShowModeControls();
    Control(kIdTerminate)->setEnabled(false);
    training_ = 0;
    if (refreshTimerId_ != 0) killTimer(refreshTimerId_);
    refreshTimerId_ = 0;
}

void CNNStructureDialog::AddCurvePoint(int curve, double value, int flag) {
    switch (curve) {
    case 0:
        tables_->rms.Add(value);
        if (value > rmsMaximum_) rmsMaximum_ = value;
        if (value > 0 && (tables_->rmsMinimumPositive <= 0 || value < tables_->rmsMinimumPositive)) {
            tables_->rmsMinimumPositive = value;
        }
        break;
    case 1: tables_->lc.Add(value); break;
    case 2:
        tables_->performance.Add(value);
        performanceKind_ = flag;
        if (value > performanceMaximum_) performanceMaximum_ = value;
        if (value < performanceMinimum_) performanceMinimum_ = value;
        break;
    default: break;
    }
}

void CNNStructureDialog::UpdateTrainingInfo(int epoch, int maxEpochs, double rms, double goalError,
                                            double learningConstant, double learningConstantSetting) {
    storm_ = previousRms_ - rms < 1e-9 ? 1 : 0;
    std::string epochs = Printf("%.0f", static_cast<float>(epoch)).toStdString();
    controls_->Edit(kIdEpochs)->setText(QString::fromStdString(GroupDigits(epochs, 0)));
    // A training of MaxEpochs 0 is one pass: done once that pass is reported.
    const QString percent = maxEpochs != 0
                                ? Printf("%.0f%%", static_cast<float>(epoch * 100.0 / maxEpochs))
                                : QString(epoch > 0 ? "100%" : "0%");
    controls_->Edit(kIdEpochsPercent)->setText(percent);
    controls_->Edit(kIdRms)->setText(Printf("%.9f", static_cast<float>(rms)));
    controls_->Edit(kIdGoal)->setText(QString::fromStdString(FormatNumberTrimmed(goalError)));
    const QString lc = Printf("%.5f", static_cast<float>(learningConstant));
    controls_->Edit(kIdLc)->setText(QString::fromStdString(FormatNumberTrimmed(std::atof(lc.toLatin1().constData()))));
    const long elapsed = (crt::Clock() - trainingStart_) / 1000;
    controls_->Edit(kIdElapsed)->setText(QString::fromStdString(FormatElapsedTime(static_cast<int>(elapsed))));
    learningConstantSetting_ = learningConstantSetting;
    previousRms_ = rms;
    goalError_ = goalError;
}

void CNNStructureDialog::SetProgress1(int position, int range) {
    SetProgressBar(controls_->Bar(kIdProgress1), position, range);
}

void CNNStructureDialog::SetProgress2(int position, int range) {
    SetProgressBar(controls_->Bar(kIdProgress2), position, range);
}

void CNNStructureDialog::SetNetwork(const CFeedForwardNeuralNetwork* network) {
    tables_->viewObjects.RemoveAll();  // another network: its table may be far smaller
    ClearHover();
    controls_->hBar->setValue(0);
    controls_->vBar->setValue(0);
    if (!network) return;
    if (network->GetLayerCount() < 1) {
        prompts_.showError(this, "Error: No Layers defined yet.");
        return;
    }
    network_.reset();
    auto copy = std::make_unique<CFeedForwardNeuralNetwork>();
    copy->SmartLearningConstant = network->SmartLearningConstant;
    building_ = 1;
    copy->SetName(network->GetName());
    copy->SetInputCount(network->GetInputCount() - 1);
    copy->SetFunction(network->GetFunction());
    copy->SetBias(network->GetBias());
    std::vector<int> sizes;
    for (int i = 0; i < network->GetLayerCount(); ++i) sizes.push_back(network->GetLayerSize(i));
    copy->SetLayers(sizes);
    network_ = std::move(copy);
    CopyWeights(*network);
    building_ = 0;
    InvalidateLayout();
}

void CNNStructureDialog::UpdateWeights(const CFeedForwardNeuralNetwork* network, int force) {
    if (force == 0 && !WeightCopyClock::Shared().ShouldCopy(crt::Clock())) return;
    if (!network_ || !network) {
        frame_->update();
        return;
    }
    CopyWeights(*network);
    InvalidateLayout();
}

void CNNStructureDialog::ToggleVisible() { ToggleShowState(*this, showState_); }

void CNNStructureDialog::OnClose() {
    showState_ = 0;
    hide();
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (qobject_cast<QMainWindow*>(window) && window->isVisible()) {
            window->activateWindow();
            break;
        }
    }
}

// --- commands ---

void CNNStructureDialog::OnZoomIn() {
    zoom_ = std::min(zoom_ + zoom_ / 10.0f, 100.0f);
    InvalidateLayout();
}

void CNNStructureDialog::OnZoomOut() {
    zoom_ = std::max(zoom_ - zoom_ / 11.0f, 0.001f);
    InvalidateLayout();
}

void CNNStructureDialog::OnXStretchPlus() {
    layerSpacing_ = std::min(layerSpacing_ + layerSpacing_ / 5, 10000);
    InvalidateLayout();
}

void CNNStructureDialog::OnXStretchMinus() {
    layerSpacing_ = std::max(layerSpacing_ - layerSpacing_ / 6, 4 * neuronRadius_);
    InvalidateLayout();
}

void CNNStructureDialog::OnYStretchPlus() {
    neuronSpacing_ = std::min(neuronSpacing_ + neuronSpacing_ / 5, 10000);
    InvalidateLayout();
}

void CNNStructureDialog::OnYStretchMinus() {
    neuronSpacing_ = std::max(neuronSpacing_ - neuronSpacing_ / 6, 3 * neuronRadius_);
    InvalidateLayout();
}

void CNNStructureDialog::OnSwitchMode() {
    mode_ = mode_ == 0 ? 1 : 0;
    setWindowTitle(mode_ == 0 ? kStructureTitle : kTrainingTitle);
    ShowModeControls();
    frame_->update();
}

void CNNStructureDialog::OnTerminateLearning() {
    if (!prompts_.askYesNo(this, "Are you sure you want to terminate learning process?")) return;
    if (owner_) owner_->stopLearning = 1;
    Control(kIdTerminate)->setEnabled(false);
}

void CNNStructureDialog::OnSaveNetwork() {
    if (!network_) return;
    const QString name = QString::fromStdString(cp1256::ToUtf8(network_->GetName()));
    const QString chosen = prompts_.chooseSavePath(this, "Save  \"" + name + "\"  As:", savePath_,
                                                   "Kestrum Neural Networks ................. (*.qNN)");
    if (chosen.isEmpty()) return;
    savePath_ = chosen;
    const SaveTarget target = DecideSaveTarget(chosen);
    if (target.askOverwrite && !prompts_.askYesNo(this, "Are you sure you want to overwrite existing file?")) return;
    if (!SaveNetworkFile(*network_, target.path)) prompts_.showError(this, "Error: Could not write into file.");
}

void CNNStructureDialog::ToggleBox(int& field, int id, bool repaint) {
    field = field ? 0 : 1;
    controls_->Box(id)->setChecked(field != 0);
    if (repaint) frame_->update();
}

void CNNStructureDialog::OnLcGraph() { ToggleBox(lcGraphOn_, kIdLcGraph, true); }
void CNNStructureDialog::OnRmsGraph() { ToggleBox(rmsGraphOn_, kIdRmsGraph, true); }
void CNNStructureDialog::OnPerformance() { ToggleBox(performanceOn_, kIdPerformance, true); }
void CNNStructureDialog::OnShowStorms() { ToggleBox(showStorms_, kIdShowStorms, true); }
void CNNStructureDialog::OnOnlineNetInfo() { ToggleBox(onlineNetInfo_, kIdOnlineNetInfo, false); }

// --- weights ---

void CNNStructureDialog::CopyWeights(const CFeedForwardNeuralNetwork& network) {
    const int layers = std::min(network.GetLayerCount(), network_->GetLayerCount());
    for (int i = 0; i < layers; ++i) {
        const NeuronLayer& from = network.GetLayer(i);
        NeuronLayer& to = network_->GetLayer(i);
        if (from.WeightCount() == to.WeightCount()) std::copy_n(from.Weights(), from.WeightCount(), to.Weights());
    }
}

// --- painting ---

StructureGeometry CNNStructureDialog::Geometry() const {
    StructureGeometry g;
    g.zoom = zoom_;
    g.h = hScroll_;
    g.v = vScroll_;
    g.radius = neuronRadius_;
    g.layerSpacing = layerSpacing_;
    g.neuronSpacing = neuronSpacing_;
    return g;
}

QImage CNNStructureDialog::RenderFrame(QSize size) {
    if (!size.isValid()) size = frame_->contentsRect().size();
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    if (building_ || image.isNull()) return image;
    QPainter painter(&image);
    if (mode_ == 0) {
        PaintStructureView(painter, size);
    } else {
        PaintTrainingView(painter, size);
    }
    return image;
}

void CNNStructureDialog::PaintFrame(QPainter& painter) {
    if (building_) return;
    painter.drawImage(frame_->contentsRect().topLeft(), RenderFrame());
}

void CNNStructureDialog::PaintStructureView(QPainter& painter, QSize size) {
    extent_ = {0, 0, 1000, 1000};
    if (network_) {
        CDynaArray<ViewObject>* record = tables_->viewObjects.GetCount() == 0 ? &tables_->viewObjects : nullptr;
        hScroll_ = controls_->hBar->value();
        vScroll_ = controls_->vBar->value();
        StructureHover hover;
        hover.connection = hoveredConnection_;
        hover.neuron = hoveredNeuron_;
        hover.text = hoverText_;
        hover.point = hoverPoint_;
        hover.scroll = hoverScroll_;
        extent_ = PaintStructure(painter, size, *network_, Geometry(), hover, record);
    }
    controls_->hBar->setRange(extent_[0], extent_[2]);
    controls_->vBar->setRange(extent_[1], extent_[3]);
}

void CNNStructureDialog::ApplyTrainingBoxRules() {
    QCheckBox* lc = controls_->Box(kIdLcGraph);
    if (network_->SmartLearningConstant == 0) {
        lc->setEnabled(false);
        lcGraphOn_ = 0;
        lc->setChecked(false);
    } else if (!lc->isEnabled()) {
        lc->setEnabled(true);
    }
    QCheckBox* performance = controls_->Box(kIdPerformance);
    if (tables_->performance.Count() == 0 && tables_->rms.Count() > 300) {
        performance->setEnabled(false);
        performanceOn_ = 0;
        performance->setChecked(false);
    } else if (tables_->performance.Count() > 0 && !performance->isEnabled()) {
        performance->setEnabled(true);
    }
}

void CNNStructureDialog::PaintTrainingView(QPainter& painter, QSize size) {
    if (network_ && tables_->rms.Count() >= 1) {
        ApplyTrainingBoxRules();
        TrainingScene scene;
        scene.rms = &tables_->rms;
        scene.lc = &tables_->lc;
        scene.performance = &tables_->performance;
        scene.goalError = goalError_;
        scene.rmsMaximum = rmsMaximum_;
        scene.rmsMinimumPositive = tables_->rmsMinimumPositive;
        scene.performanceMinimum = performanceMinimum_;
        scene.performanceMaximum = performanceMaximum_;
        scene.learningConstantSetting = learningConstantSetting_;
        scene.performanceKind = performanceKind_;
        scene.smartLearningConstant = network_->SmartLearningConstant != 0;
        scene.lcGraphOn = lcGraphOn_ != 0;
        scene.rmsGraphOn = rmsGraphOn_ != 0;
        scene.performanceOn = performanceOn_ != 0;
        scene.showStorms = showStorms_ != 0;
        scene.storm = storm_ != 0;
        PaintTraining(painter, size, scene);
        controls_->hBar->setRange(0, 100);
        controls_->vBar->setRange(0, static_cast<int>(std::min<std::int64_t>(tables_->rms.Count(), INT_MAX)));
        controls_->hBar->setValue(0);
        controls_->vBar->setValue(0);
    }
}

// --- hover, scrolling, sizing ---

int CNNStructureDialog::PickDistance() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return (screen ? screen->geometry().width() : 1920) / 120;
}

ViewObject CNNStructureDialog::HitTestAt(int x, int y) {
    if (building_) return {};
    const QSize size = frame_->contentsRect().size();
    return HitTest(tables_->viewObjects, x, y, {0, 0, size.width(), size.height()}, Geometry().ScreenRadius(),
                   PickDistance());
}

// Every move over the window clears the hover; one over the drawing may make a new one. The
// controls' moves come through the filter, the window's own through mouseMoveEvent.
bool CNNStructureDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseMove && watched->isWidgetType()) {
        const auto* move = static_cast<QMouseEvent*>(event);
        OnMouseMove(static_cast<QWidget*>(watched)->mapTo(this, move->position().toPoint()), move->buttons());
    }
    return QWidget::eventFilter(watched, event);
}

void CNNStructureDialog::mouseMoveEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    if (childAt(point) == nullptr) OnMouseMove(point, event->buttons());  // else a control's, seen already
    QWidget::mouseMoveEvent(event);
}

void CNNStructureDialog::OnMouseMove(const QPoint& windowPoint, Qt::MouseButtons buttons) {
    if (mode_ != 0 || !((buttons & Qt::LeftButton) || onlineNetInfo_)) return;
    const bool hovered = !hoverText_.isEmpty();
    ClearHover();
    const QPoint point = frame_->mapFrom(this, windowPoint) - frame_->contentsRect().topLeft();
    if (!QRect(QPoint(0, 0), frame_->contentsRect().size()).contains(point)) {
        if (hovered) frame_->update();
        return;
    }
    frame_->update();
    const ViewObject hit = HitTestAt(point.x(), point.y());
    if (hit.kind == ViewObject::kNeuron) {
        hoverText_ = Printf("Neuron = %.0f", static_cast<float>(hit.y2 + 1)) +
                     Printf("  in  Layer = %.0f", static_cast<float>(hit.x2));
        hoveredNeuron_ = {hit.x2, hit.y2};
    } else if (hit.kind == ViewObject::kConnection) {
        hoveredConnection_ = {hit.id1, hit.id2, hit.id3};
        const QString weight = QString::fromStdString(FormatNumberTrimmed(hit.weight));
        hoverText_ = (hit.id3 < 0 ? "Bias Weight = " : "Weight = ") + weight;
    }
    if (hit.kind != ViewObject::kNone) {
        hoverPoint_ = point;
        hoverScroll_ = QPoint(hScroll_, vScroll_);
    }
}

void CNNStructureDialog::OnScroll(Qt::Orientation orientation, int action) {
    QScrollBar* bar = orientation == Qt::Horizontal ? controls_->hBar : controls_->vBar;
    const long long span = orientation == Qt::Horizontal ? static_cast<unsigned>(extent_[2] - extent_[0])
                                                         : static_cast<unsigned>(extent_[3] - extent_[1]);
    const std::optional<long long> position =
        ScrollPosition(action, bar->value(), bar->sliderPosition(), span, bar->minimum(), bar->maximum());
    if (position) {
        bar->setSliderPosition(static_cast<int>(std::clamp<long long>(*position, bar->minimum(), bar->maximum())));
    } else {
        bar->setSliderPosition(bar->value());
    }
    InvalidateLayout();
}

void CNNStructureDialog::wheelEvent(QWheelEvent* event) {
    const int delta = static_cast<short>(event->angleDelta().y());
    QScrollBar* bar = controls_->vBar;
    bar->setValue(bar->value() - delta / 2);
    InvalidateLayout();
    event->accept();
}

void CNNStructureDialog::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int bars = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const int clientWidth = width() - bars;
    const int clientHeight = height() - bars;
    controls_->hBar->setGeometry(0, clientHeight, clientWidth, bars);
    controls_->vBar->setGeometry(clientWidth, 0, bars, clientHeight);
    const int band = 2 * (1 + neuronRadius_) + 4;
    frame_->setGeometry(0, band, clientWidth, std::max(0, clientHeight - band));
}

void CNNStructureDialog::closeEvent(QCloseEvent* event) {
    OnClose();
    event->accept();
}

void CNNStructureDialog::timerEvent(QTimerEvent* event) {
    if (event->timerId() == refreshTimerId_) frame_->update();
    QWidget::timerEvent(event);
}

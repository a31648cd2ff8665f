// CNNStructureDialog: the top-level window in which the user watches one feed-forward network:
// its structure (zoom, stretch, scroll, hover texts) or its training (learning curves, counters,
// two progress bars, elapsed time, terminate, save). It keeps its own copy of the network, so
// painting never touches the script's network object.
//
// Every operation runs in the GUI thread. The editor view carries the worker's calls there;
// AddCurvePoint only appends (the timer and UpdateWeights repaint), so a view may queue the points
// of many epochs and apply them in one go before the window paints.
#pragma once

#include <QImage>
#include <QString>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <string>

#include "windows/view_object.h"

template <typename T>
class CDynaArray;
class CFeedForwardNeuralNetwork;
class ViewServices;
class QFrame;
class QPainter;
struct StructureGeometry;

// The questions and dialogs the window asks the user; tests replace them.
struct StructureDialogPrompts {
    // A save-file dialog: caption, initial path, filter; the chosen path or "" on Cancel.
    std::function<QString(QWidget* owner, const QString& caption, const QString& initialPath, const QString& filter)>
        chooseSavePath;
    // A yes/no question; true on Yes.
    std::function<bool(QWidget* owner, const QString& question)> askYesNo;
    // An error box with an OK button.
    std::function<void(QWidget* owner, const QString& text)> showError;

    static StructureDialogPrompts Interactive();
};

class CNNStructureDialog : public QWidget {
    Q_OBJECT
public:
    // The template's controls, by their ids.
    enum ControlId : int {
        kIdProgress1 = 1003,
        kIdProgress2 = 1004,
        kIdDrawing = 1008,
        kIdPicture = 1009,
        kIdZoomIn = 1018,
        kIdZoomOut = 1019,
        kIdSwitchMode = 1020,
        kIdXStretchPlus = 1022,
        kIdXStretchMinus = 1023,
        kIdYStretchPlus = 1024,
        kIdYStretchMinus = 1025,
        kIdOnlineNetInfo = 1026,
        kIdZoomGroup = 1027,
        kIdSwitchModeGroup = 1028,
        kIdOnlineNetInfoGroup = 1029,
        kIdEpochs = 1030,
        kIdRms = 1031,
        kIdGoal = 1032,
        kIdEpochsPercent = 1033,
        kIdTerminate = 1034,
        kIdLc = 1035,
        kIdEpochsLabel = 1036,
        kIdRmsLabel = 1037,
        kIdGoalLabel = 1038,
        kIdLcLabel = 1039,
        kIdLcGraph = 1040,
        kIdCountersGroup = 1041,
        kIdGraphsGroup = 1042,
        kIdElapsedGroup = 1043,
        kIdSave = 1044,
        kIdElapsed = 1045,
        kIdLcGroup = 1046,
        kIdRmsGraph = 1047,
        kIdPerformance = 1048,
        kIdShowStorms = 1049,
        kIdStormsGroup = 1050,
    };

    // owner: the view whose stopLearning flag the terminate button sets (may be nullptr).
    // The window shows at once, in the structure view (as its template is visible).
    CNNStructureDialog(QWidget* parent, ViewServices* owner);
    ~CNNStructureDialog() override;

    // --- operations of the editor view (GUI thread) ---
    void StartTraining(const CFeedForwardNeuralNetwork& network);
    void StopTraining();
    // curve 0 RMS error, 1 learning constant, 2 test performance (flag: non-zero a share of right
    // pairs, 0 an error measure). Appends only; nothing is repainted.
    void AddCurvePoint(int curve, double value, int flag);
    void UpdateTrainingInfo(int epoch, int maxEpochs, double rms, double goalError, double learningConstant,
                            double learningConstantSetting);
    // (-1, -1) empties the bar.
    void SetProgress1(int position, int range);
    void SetProgress2(int position, int range);
    // Copies the weights (at most once per 300 ms of clock unless force is non-zero) and repaints.
    // network nullptr: only repaints.
    void UpdateWeights(const CFeedForwardNeuralNetwork* network, int force);
    // Replaces the window's copy; nullptr only clears the view objects, hover and scrolling.
    void SetNetwork(const CFeedForwardNeuralNetwork* network);
    void SetNetwork(const CFeedForwardNeuralNetwork& network) { SetNetwork(&network); }
    // Hidden (0) <-> shown (5).
    void ToggleVisible();
    // What the window's close box does: hide (show state 0) and activate the main window.
    void OnClose();

    int GetShowState() const { return showState_; }
    bool IsTraining() const { return training_ != 0; }
    // 0 structure view, 1 training view.
    int GetMode() const { return mode_; }
    const CFeedForwardNeuralNetwork* GetNetworkCopy() const { return network_.get(); }

    // --- commands (buttons and boxes) ---
    void OnZoomIn();
    void OnZoomOut();
    void OnXStretchPlus();
    void OnXStretchMinus();
    void OnYStretchPlus();
    void OnYStretchMinus();
    void OnSwitchMode();
    void OnTerminateLearning();
    void OnSaveNetwork();
    void OnLcGraph();
    void OnRmsGraph();
    void OnPerformance();
    void OnShowStorms();
    void OnOnlineNetInfo();

    // --- for tests and benchmarks ---
    void SetPrompts(StructureDialogPrompts prompts);
    // A control by its template id, nullptr for an unknown id.
    QWidget* Control(int id) const;
    // Paints the drawing frame's picture at its current size (or at `size` when valid) as a paint
    // does, recording view objects as a paint does.
    QImage RenderFrame(QSize size = QSize());
    // Finds the drawn element at a point of the drawing frame (kind 0 nothing, 1 neuron, 2 connection).
    ViewObject HitTestAt(int x, int y);
    const CDynaArray<ViewObject>& GetViewObjects() const;
    float GetZoom() const { return zoom_; }
    int GetLayerSpacing() const { return layerSpacing_; }
    int GetNeuronSpacing() const { return neuronSpacing_; }
    int GetNeuronRadius() const { return neuronRadius_; }
    int GetStorm() const { return storm_; }
    const QString& GetSavePath() const { return savePath_; }
    QFrame* DrawingFrame() const { return frame_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    struct Controls;
    void BuildControls();
    void ResetTrainingView();
    void ShowModeControls();
    void ClearHover();
    void InvalidateLayout();
    void ToggleBox(int& field, int id, bool repaint);
    void CopyWeights(const CFeedForwardNeuralNetwork& network);
    StructureGeometry Geometry() const;
    void PaintFrame(QPainter& painter);
    void PaintStructureView(QPainter& painter, QSize size);
    void PaintTrainingView(QPainter& painter, QSize size);
    void ApplyTrainingBoxRules();
    static int PickDistance();
    void OnMouseMove(const QPoint& windowPoint, Qt::MouseButtons buttons);
    void OnScroll(Qt::Orientation orientation, int action);

    ViewServices* owner_;
    StructureDialogPrompts prompts_;
    std::unique_ptr<Controls> controls_;
    QFrame* frame_ = nullptr;
    std::unique_ptr<CFeedForwardNeuralNetwork> network_;
    struct Tables;  // the view objects and the three curves
    std::unique_ptr<Tables> tables_;

    int lcGraphOn_ = 0;
    int rmsGraphOn_ = 1;
    int performanceOn_ = 1;
    int onlineNetInfo_ = 1;
    int building_ = 0;
    int training_ = 0;
    int showStorms_ = 0;
    int mode_ = 0;
    int hScroll_ = 0;
    int vScroll_ = 0;
    float zoom_ = 0.5f;
    std::array<int, 4> extent_{0, 0, 1000, 1000};
    QPoint hoverPoint_;
    QPoint hoverScroll_;
    int neuronRadius_ = 50;
    int layerSpacing_ = 300;
    int neuronSpacing_ = 200;
    double previousRms_ = 10000.0;
    QString hoverText_;
    std::array<int, 3> hoveredConnection_{-1, -1, -1};
    std::array<int, 2> hoveredNeuron_{-1, -1};
    double goalError_ = 0.0;
    double rmsMaximum_ = -1e8;
    double performanceMinimum_ = 1e8;
    double performanceMaximum_ = -1e8;
    double learningConstantSetting_ = 1.0;
    int storm_ = 0;
    long trainingStart_ = 0;
    QString savePath_;
    int performanceKind_ = 0;
    int showState_ = 0;
    int refreshTimerId_ = 0;
};

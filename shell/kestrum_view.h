// CKestrumView: the rich-text editor of one script document and the controller of its runs.
// Compile and Run hand the editor's text to a new interpreter and run the check pass in the GUI
// thread; Run then starts the interpreter's worker. The view keeps the run flags the worker polls,
// shows the run state on the toolbar (through runButtonsChanged), and is the run's door to the
// desktop: output pane, tree, charts, the structure-and-training window, the "Simulation:" bar.
//
// Its ViewServices operations are called from the GUI thread (the check pass) and from the
// worker. A worker's call runs in the GUI thread while the worker waits, except output text and
// training reports, which wait in order in a queue that every other call applies first, as does
// anything that reads the pane or paints the training window.
#pragma once

#include <QTextEdit>
#include <chrono>
#include <memory>
#include <string>

#include "shell/gui_call.h"
#include "shell/source_text.h"
#include "shell/worker_queue.h"
#include "view/view_services.h"

class CLeftView;
class ScriptInterpreter;
class COutputPane;
class QPagedPaintDevice;
class QTimer;
class QTreeWidgetItem;
class RunWindows;
class SourceTree;

class CKestrumView : public QTextEdit, public ViewServices, private gui::PendingWork {
    Q_OBJECT
public:
    explicit CKestrumView(QWidget* parent = nullptr);
    ~CKestrumView() override;

    // Set by the child frame once it has made the panes.
    void SetPanes(COutputPane* pane, CLeftView* tree);
    COutputPane* OutputPane() const { return pane_; }
    CLeftView* TreeView() const { return tree_; }

    bool IsRunning() const { return running.load() != 0; }
    // True while a script of this view's document runs, from this view or another view of it
    // (Window > New Window): no view of the document may then change its text.
    bool TextHeldByRun() const;
    // True while a started worker has not ended (also in its last steps after the running flag).
    bool WorkerActive() const;
    // Shows the flags on the toolbar: emits runButtonsChanged.
    void UpdateRunButtons() override;
    // Applies what the worker has queued (output, training reports).
    void FlushPendingOutput() { ApplyPending(); }

    // Prints the script within the editor's print margins, 720 twips from every edge of the paper.
    // The Print command does not reach the editor (it prints only from the output pane).
    void Print(QPagedPaintDevice* printer) const;

    // --- the tree's "Source" branch ---
    void ResetTree();
    void SelectSourceOfTreeItem(QTreeWidgetItem* item);

    RunWindows& Windows() { return *windows_; }
    // The text the last Compile or Run handed to the interpreter.
    const std::string& LastSourceText() const { return source_.Bytes(); }

    // --- ViewServices ---
    void OutputText(const std::string& text, int append, int crlfBefore, int crlfAfter, int repaint) override;
    std::uint32_t SetEditorBackground(std::uint32_t colour) override;
    void SetEditorReadOnly(bool readOnly) override;
    void SelectSource(int start, int length) override;
    void* OwnerWindow() override { return static_cast<QWidget*>(this); }
    TreeItem AddTreeItem(const std::string& text, int category, TreeItem parent, int srcStart, int srcLength) override;
    void AddVariableToTree(const Value& record, int elementCount, int srcStart, int srcLength) override;
    TreeItem AddNetworkToTree(const ObjectVariable& record, int elementCount, int srcStart, int srcLength) override;
    void ShowChart(const std::string& title, const std::vector<double>& values, int count,
                   const std::vector<std::string>* labels) override;
    bool HasOutputWindow() const override { return true; }
    bool WaitWhileShown(long milliseconds) override;
    bool HasTrainingWindow() const override { return true; }
    void ShowNetworkStructure(const CFeedForwardNeuralNetwork& network) override;
    void CloseStructureWindow() override;
    void BeginTrainingDisplay(const CFeedForwardNeuralNetwork& network) override;
    void EndTrainingDisplay() override;
    void AddTrainingGraphPoint(int curve, double value, int flag) override;
    void UpdateTrainingStats(int epochs, int maxEpochs, double error, double errorGoal, double learningConstant,
                             double initialLearningConstant) override;
    void SetStructureProgress1(int position, int range) override;
    void SetStructureProgress2(int position, int range) override;
    void UpdateStructureWeights(const CFeedForwardNeuralNetwork* network, int force) override;
    void SetSimulationText(const std::string& text) override;
    void SetSimulationProgress(int position, int range) override;

public Q_SLOTS:
    // Edit > Undo and its keys reach the editor through these: they change nothing while a run holds
    // the text (a read-only text edit would still undo).
    void undo();
    void redo();

    void OnCompile();
    void OnRun();
    void OnPause();
    void OnResume();
    void OnStop();
    void OnToggleStructureWindow();
    void OnToggleChartWindows();

Q_SIGNALS:
    void runButtonsChanged(bool showCompileRun, bool showPauseStop, bool showResume);
    void simulationTextChanged(QString text);
    void simulationProgressChanged(int position, int range);

protected:
    void focusInEvent(QFocusEvent* event) override;

private:
    // Read-only while a run holds the document's text (a view made during a run starts so).
    void FollowDocumentRunState();
    void RequestStop();
    void ApplyPending() override;
    void ApplyOutput(const QueuedOutput& output);
    void ApplyReports(const std::vector<TrainingReport>& reports);
    void ApplyReport(const TrainingReport& report);
    void WriteToPane(const QString& text, int append, int crlfBefore, int crlfAfter);
    void QueueReport(const TrainingReport& report);
    void QueueProgress(TrainingReport::Kind bar, int position, int range);
    void SetPaneEnabled(bool enabled);
    void SelectRange(int start, int end);
    // The steps Compile and Run share up to the check pass; its result. transferText shows first
    // for a large text; nextText after the transfer, or only for a large text.
    int CheckSource(const char* transferText, const char* nextText, bool nextOnlyWhenLarge);
    bool DeferWhileWorkerEnds(void (CKestrumView::*command)());
    void FinishCompile(bool success);
    void FinishPendingCompile();
    void ReplaceParser();
    // Serves events until the worker has ended (the GUI thread never blocks on a worker). Commands
    // never get here with a worker running: they wait for its end (DeferWhileWorkerEnds).
    void WaitForWorkerEnd();
    void OnFlushTimer();

    std::unique_ptr<ScriptInterpreter> parser_;
    COutputPane* pane_ = nullptr;
    CLeftView* tree_ = nullptr;
    std::unique_ptr<SourceTree> sourceTree_;
    std::unique_ptr<RunWindows> windows_;
    SourceText source_;
    WorkerQueue queue_;
    WorkerQueue::Batch taken_;  // what the GUI thread applies; its storage goes back to the queue
    QTimer* flushTimer_ = nullptr;
    QTimer* compileTimer_ = nullptr;
    std::uint32_t background_;
    bool applying_ = false;
    bool busy_ = false;  // inside a command that serves events: further commands are ignored
    bool runHoldsText_ = false;  // this view's run made the document read-only
    // Worker only: when the training window last got the weights without being forced to.
    std::chrono::steady_clock::time_point lastWeightsCall_{};
    // GUI only: when queued training reports last repainted the training window.
    std::chrono::steady_clock::time_point lastReportRepaint_{};
};

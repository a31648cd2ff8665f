#include "shell/kestrum_view.h"

#include <QAbstractTextDocumentLayout>
#include <QEventLoop>
#include <QPagedPaintDevice>
#include <QPointer>
#include <QTextFrame>
#include <QTimer>
#include <QTreeWidgetItem>
#include <algorithm>
#include <vector>

#include "interpreter/value.h"
#include "netscript/script_interpreter.h"
#include "netscript/object_variable.h"
#include "platform/desktop.h"
#include "shell/left_view.h"
#include "shell/output_pane.h"
#include "shell/run_dialogs.h"
#include "shell/run_windows.h"
#include "shell/source_tree.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::uint32_t kIdleBackground = 0xFFDCDC;  // red 0xDC, green 0xDC, blue 0xFF
constexpr int kLargeSource = 50000;
constexpr int kCompileSuccessDelayMs = 300;
constexpr int kFlushIntervalMs = 25;
constexpr int kWorkerEndPollMs = 2;
// The training window copies unforced weights at most this often; calls in between only repaint.
constexpr auto kWeightsInterval = std::chrono::milliseconds(300);
constexpr auto kReportRepaintInterval = std::chrono::milliseconds(100);
const int kCheckOnly[4] = {1, 0, 0, 0};
constexpr double kPrintMarginPoints = 720 / 20.0;  // 720 twips

QColor FromWindowsColour(std::uint32_t colour) {
    return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                  static_cast<int>((colour >> 16) & 0xFF));
}

// Category of a network variable's tree entries.
int NetworkCategory(int type) {
    if (type == kTypeFeedForwardNetwork) return SourceTree::kFeedForwardNetworks;
    if (type == kTypeLogicalNetwork) return SourceTree::kLogicalNetworks;
    return -1;
}

// Every editor view, to find the views of one document (GUI thread only).
std::vector<CKestrumView*>& AllViews() {
    static std::vector<CKestrumView*> views;
    return views;
}

// Sets a flag for the length of a scope.
class BusyScope {
public:
    explicit BusyScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~BusyScope() { flag_ = false; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    bool& flag_;
};

}  // namespace

CKestrumView::CKestrumView(QWidget* parent)
    : QTextEdit(parent),
      sourceTree_(std::make_unique<SourceTree>()),
      windows_(std::make_unique<RunWindows>(this)),
      queue_([self = QPointer<CKestrumView>(this)] {
          // The take runs from the flush timer, not from this posted call, so that a worker that
          // fills the queue again at once cannot keep the GUI thread from its other timers.
          gui::PostToGuiThread([self] {
              if (self) self->flushTimer_->start(0);
          });
      }),
      flushTimer_(new QTimer(this)),
      compileTimer_(new QTimer(this)),
      background_(kIdleBackground) {
    QFont courier(QStringLiteral("Courier New"));
    courier.setStyleHint(QFont::TypeWriter);
    courier.setPointSize(10);
    setFont(courier);
    document()->setDefaultFont(courier);
    QPalette colours = palette();
    colours.setColor(QPalette::Base, FromWindowsColour(background_));
    setPalette(colours);
    setAcceptRichText(true);

    connect(flushTimer_, &QTimer::timeout, this, &CKestrumView::OnFlushTimer);
    compileTimer_->setSingleShot(true);
    compileTimer_->setInterval(kCompileSuccessDelayMs);
    connect(compileTimer_, &QTimer::timeout, this, [this] { FinishCompile(true); });
    AllViews().push_back(this);
}

CKestrumView::~CKestrumView() {
    compileTimer_->stop();
    if (WorkerActive()) {
        // Frames refuse to close while a script runs; should a view go all the same, its run
        // stops first (a paused one too, or it would never look at the stop).
        RequestStop();
        paused = 0;
        WaitForWorkerEnd();
    }
    parser_.reset();
    auto& views = AllViews();
    views.erase(std::remove(views.begin(), views.end(), this), views.end());
}

void CKestrumView::SetPanes(COutputPane* pane, CLeftView* tree) {
    pane_ = pane;
    tree_ = tree;
    sourceTree_->SetTree(tree);
    // The frame has given the view its document by now.
    FollowDocumentRunState();
}

bool CKestrumView::WorkerActive() const { return parser_ && parser_->Started() && !parser_->Finished(); }

// ---------- queued work ----------

void CKestrumView::ApplyPending() {
    if (applying_) return;  // the batch in hand is being applied
    BusyScope applying(applying_);
    WorkerQueue::Batch& batch = taken_;
    queue_.Take(batch);
    ApplyOutput(batch.output);
    const std::size_t points = queue_.DrainCurvePoints([this](const CurvePoint& point) {
        windows_->AddTrainingGraphPoint(point.curve, point.value, point.flag);
    });
    ApplyReports(batch.reports);
    if ((points != 0 || !batch.reports.empty()) && Clock::now() - lastReportRepaint_ >= kReportRepaintInterval) {
        lastReportRepaint_ = Clock::now();
        windows_->RepaintStructureWindow();
    }
}

void CKestrumView::ApplyOutput(const QueuedOutput& output) {
    if (output.replace) WriteToPane(FromScriptText(output.replaceText), 0, 0, 0);
    if (pane_ == nullptr) return;
    const std::string insertion = output.Insertion(pane_->IsEmpty());
    if (!insertion.empty()) WriteToPane(FromScriptText(insertion), 1, 0, 0);
}

// Counters and bars show their last report only, as nothing paints between the reports of a batch:
// each is set once. The counters' storm mark compares a report with the one before it, so that one
// is set first.
void CKestrumView::ApplyReports(const std::vector<TrainingReport>& reports) {
    const TrainingReport* stats[2] = {nullptr, nullptr};  // the one before the last, the last
    const TrainingReport* bars[2] = {nullptr, nullptr};   // progress 1, progress 2
    for (const TrainingReport& report : reports) {
        switch (report.kind) {
            case TrainingReport::kStats:
                stats[0] = stats[1];
                stats[1] = &report;
                break;
            case TrainingReport::kProgress1: bars[0] = &report; break;
            case TrainingReport::kProgress2: bars[1] = &report; break;
        }
    }
    for (const TrainingReport* report : {stats[0], stats[1], bars[0], bars[1]})
        if (report != nullptr) ApplyReport(*report);
}

void CKestrumView::ApplyReport(const TrainingReport& report) {
    switch (report.kind) {
        case TrainingReport::kStats:
            windows_->UpdateTrainingStats(report.first, report.second, report.values[0], report.values[1],
                                          report.values[2], report.values[3]);
            break;
        case TrainingReport::kProgress1: windows_->SetStructureProgress1(report.first, report.second); break;
        case TrainingReport::kProgress2: windows_->SetStructureProgress2(report.first, report.second); break;
    }
}

void CKestrumView::QueueReport(const TrainingReport& report) {
    if (gui::InGuiThread()) {
        ApplyPending();
        ApplyReport(report);
    } else {
        queue_.AddReport(report);
    }
}

void CKestrumView::OnFlushTimer() {
    ApplyPending();
    if (!WorkerActive())
        flushTimer_->stop();
    else if (flushTimer_->interval() != kFlushIntervalMs)
        flushTimer_->start(kFlushIntervalMs);
}

// ---------- output ----------

void CKestrumView::WriteToPane(const QString& text, int append, int crlfBefore, int crlfAfter) {
    if (pane_ == nullptr) return;
    // Text added to the pane counts as a change of the document; replacing the pane's text does not.
    if (pane_->AddText(text, append, crlfBefore, crlfAfter)) document()->setModified(true);
}

void CKestrumView::OutputText(const std::string& text, int append, int crlfBefore, int crlfAfter, int repaint) {
    if (!gui::InGuiThread()) {
        queue_.AddOutput(text, append, crlfBefore, crlfAfter);
        return;
    }
    ApplyPending();
    WriteToPane(FromScriptText(text), append, crlfBefore, crlfAfter);
    if (repaint && pane_) pane_->repaint();
}

// In the GUI thread (the check pass) the wait serves paints and timers, so that the window shows the
// message and goes on painting; what the user types meanwhile waits for its end. A worker shows the
// message and sleeps.
bool CKestrumView::WaitWhileShown(long milliseconds) {
    gui::CallInGuiThread([this] {
        if (pane_) pane_->repaint();
    });
    if (!gui::InGuiThread()) return false;
    QEventLoop wait;
    QTimer::singleShot(static_cast<int>(std::clamp(milliseconds, 0L, 600000L)), &wait, &QEventLoop::quit);
    wait.exec(QEventLoop::ExcludeUserInputEvents);
    return true;
}

// A copy laid out on the printer's page as it is, so that the page margins are the only ones (a
// document that is not laid out in pages would print with margins and page numbers of its own).
void CKestrumView::Print(QPagedPaintDevice* printer) const {
    const QMarginsF margins(kPrintMarginPoints, kPrintMarginPoints, kPrintMarginPoints, kPrintMarginPoints);
    printer->setPageMargins(margins, QPageLayout::Point);
    const std::unique_ptr<QTextDocument> copy(document()->clone());
    copy->documentLayout()->setPaintDevice(printer);
    QTextFrameFormat page = copy->rootFrame()->frameFormat();
    page.setMargin(0);
    copy->rootFrame()->setFrameFormat(page);
    copy->setPageSize(QSizeF(printer->width(), printer->height()));
    copy->print(printer);
}

void CKestrumView::SetPaneEnabled(bool enabled) {
    if (pane_) pane_->setEnabled(enabled);
}

// ---------- run state ----------

void CKestrumView::UpdateRunButtons() {
    gui::CallInGuiThread([this] {
        const bool isRunning = running.load() != 0;
        const bool isPaused = paused.load() != 0;
        Q_EMIT runButtonsChanged(!isRunning, isRunning && !isPaused, isRunning && isPaused);
    });
}

std::uint32_t CKestrumView::SetEditorBackground(std::uint32_t colour) {
    std::uint32_t previous = 0;
    gui::CallInGuiThread([&] {
        previous = background_;
        background_ = colour;
        QPalette colours = palette();
        colours.setColor(QPalette::Base, FromWindowsColour(colour));
        setPalette(colours);
    });
    return previous;
}

void CKestrumView::SetEditorReadOnly(bool readOnly) {
    gui::CallInGuiThread([&] {
        runHoldsText_ = readOnly;
        for (CKestrumView* view : AllViews())
            if (view->document() == document()) view->FollowDocumentRunState();
    });
}

bool CKestrumView::TextHeldByRun() const {
    return std::any_of(AllViews().begin(), AllViews().end(), [this](const CKestrumView* view) {
        return view->document() == document() && (view->runHoldsText_ || view->IsRunning());
    });
}

void CKestrumView::FollowDocumentRunState() {
    setReadOnly(std::any_of(AllViews().begin(), AllViews().end(), [this](const CKestrumView* view) {
        return view->document() == document() && view->runHoldsText_;
    }));
}

void CKestrumView::focusInEvent(QFocusEvent* event) {
    FollowDocumentRunState();
    QTextEdit::focusInEvent(event);
}

void CKestrumView::undo() {
    if (!TextHeldByRun()) QTextEdit::undo();
}

void CKestrumView::redo() {
    if (!TextHeldByRun()) QTextEdit::redo();
}

void CKestrumView::SelectRange(int start, int end) {
    const int last = document()->characterCount() - 1;
    QTextCursor selection(document());
    selection.setPosition(std::clamp(start, 0, last));
    selection.setPosition(std::clamp(end, 0, last), QTextCursor::KeepAnchor);
    setTextCursor(selection);
}

void CKestrumView::SelectSource(int start, int length) {
    gui::CallInGuiThread(
        [&] { SelectRange(source_.EditorPosition(start), source_.EditorPosition(start + std::max(length, 0))); });
}

// ---------- commands ----------

int CKestrumView::CheckSource(const char* transferText, const char* nextText, bool nextOnlyWhenLarge) {
    ResetTree();
    const bool large = document()->characterCount() - 1 > kLargeSource;
    SetPaneEnabled(false);
    if (large) OutputText(transferText, 0, 0, 0, 1);
    source_ = SourceText::FromDocument(*document());
    ReplaceParser();
    parser_->SetSource(source_.Bytes());
    if (large || !nextOnlyWhenLarge) OutputText(nextText, 0, 0, 0, 1);
    windows_->ResetCharts();
    return parser_->Compile(kCheckOnly);
}

// A worker still in its last steps after clearing the running flag: the command runs once it has
// ended (a wait in an event loop here could see this view closed under it).
bool CKestrumView::DeferWhileWorkerEnds(void (CKestrumView::*command)()) {
    if (!WorkerActive()) return false;
    QTimer::singleShot(kWorkerEndPollMs, this, command);
    return true;
}

void CKestrumView::OnCompile() {
    if (IsRunning() || busy_ || DeferWhileWorkerEnds(&CKestrumView::OnCompile)) return;
    FinishPendingCompile();
    BusyScope busy(busy_);
    if (CheckSource("Transfering the source to the compiler...", "Compiling...", false)) {
        // The success line follows after a moment, as the check pass was too quick to be seen.
        compileTimer_->start();
        return;
    }
    FinishCompile(false);
}

void CKestrumView::FinishCompile(bool success) {
    compileTimer_->stop();
    if (success) {
        desktop::Current().Beep(desktop::kIconAsterisk);
        OutputText("Compile Successful.", 0, 0, 0, 0);
    }
    SetPaneEnabled(true);
    UpdateRunButtons();
    parser_.reset();
}

void CKestrumView::FinishPendingCompile() {
    if (compileTimer_->isActive()) FinishCompile(true);
}

void CKestrumView::OnRun() {
    if (IsRunning() || busy_ || DeferWhileWorkerEnds(&CKestrumView::OnRun)) return;
    FinishPendingCompile();
    BusyScope busy(busy_);
    if (!CheckSource("Transfering the source to the interpreter...",
                     "Transfering the source finished.\r\nGetting ready to start...", true)) {
        parser_.reset();
        SetPaneEnabled(true);
        return;
    }
    SetPaneEnabled(true);
    running = 1;
    UpdateRunButtons();
    if (!parser_->CreateThread()) {
        ResetRunFlags();
        parser_.reset();
        UpdateRunButtons();
        return;
    }
    flushTimer_->start(kFlushIntervalMs);
}

void CKestrumView::OnPause() {
    if (!IsRunning()) return;
    paused = 1;
    UpdateRunButtons();
}

void CKestrumView::OnResume() {
    if (!paused.load()) return;
    paused = 0;
    UpdateRunButtons();
}

void CKestrumView::OnStop() {
    if (IsRunning()) RequestStop();
}

// A run waiting for the answer to one of its dialogs would not see the stop until it was answered:
// the dialog goes, unanswered.
void CKestrumView::RequestStop() {
    stopRequested = 1;
    RunDialog::AbandonAll(this);
}

void CKestrumView::OnToggleStructureWindow() { windows_->ToggleStructureWindow(); }

void CKestrumView::OnToggleChartWindows() { windows_->ToggleCharts(); }

void CKestrumView::ReplaceParser() {
    WaitForWorkerEnd();
    parser_.reset();
    parser_ = std::make_unique<ScriptInterpreter>(this);
}

void CKestrumView::WaitForWorkerEnd() {
    if (!WorkerActive()) return;
    QEventLoop loop;
    QTimer poll;
    poll.setInterval(kWorkerEndPollMs);
    connect(&poll, &QTimer::timeout, &loop, [&] {
        if (!WorkerActive()) loop.quit();
    });
    poll.start();
    loop.exec();
}

// ---------- tree ----------

void CKestrumView::ResetTree() { sourceTree_->Reset(); }

TreeItem CKestrumView::AddTreeItem(const std::string& text, int category, TreeItem parent, int srcStart,
                                   int srcLength) {
    QTreeWidgetItem* item = nullptr;
    gui::CallInGuiThread([&] {
        const int start = source_.EditorPosition(srcStart);
        const int end = source_.EditorPosition(srcStart + srcLength);
        item = sourceTree_->AddItem(text, category, static_cast<QTreeWidgetItem*>(parent), start, end - start);
    });
    return item;
}

void CKestrumView::AddVariableToTree(const Value& record, int elementCount, int srcStart, int srcLength) {
    gui::CallInGuiThread([&] {
        const int start = source_.EditorPosition(srcStart);
        const int end = source_.EditorPosition(srcStart + srcLength);
        sourceTree_->AddVariable(record.name, record.type, elementCount, start, end - start);
    });
}

TreeItem CKestrumView::AddNetworkToTree(const ObjectVariable& record, int elementCount, int srcStart, int srcLength) {
    QTreeWidgetItem* item = nullptr;
    gui::CallInGuiThread([&] {
        const int start = source_.EditorPosition(srcStart);
        const int end = source_.EditorPosition(srcStart + srcLength);
        item = sourceTree_->AddVariable(record.name, NetworkCategory(record.type), elementCount, start, end - start);
    });
    return item;
}

void CKestrumView::SelectSourceOfTreeItem(QTreeWidgetItem* item) {
    int start = 0;
    int length = 0;
    if (sourceTree_->RangeOf(item, start, length)) SelectRange(start, start + length);
}

// ---------- charts and the structure-and-training window ----------

void CKestrumView::ShowChart(const std::string& title, const std::vector<double>& values, int count,
                             const std::vector<std::string>* labels) {
    gui::CallInGuiThread([&] { windows_->ShowChart(title, values, count, labels); });
}

void CKestrumView::ShowNetworkStructure(const CFeedForwardNeuralNetwork& network) {
    gui::CallInGuiThread([&] { windows_->ShowNetworkStructure(network); });
}

void CKestrumView::CloseStructureWindow() {
    gui::CallInGuiThread([this] { windows_->CloseStructureWindow(); });
}

void CKestrumView::BeginTrainingDisplay(const CFeedForwardNeuralNetwork& network) {
    lastWeightsCall_ = Clock::time_point{};
    gui::CallInGuiThread([&] { windows_->BeginTrainingDisplay(network); });
    stopLearning = 0;
}

void CKestrumView::EndTrainingDisplay() {
    gui::CallInGuiThread([this] { windows_->EndTrainingDisplay(); });
}

void CKestrumView::AddTrainingGraphPoint(int curve, double value, int flag) {
    if (!gui::InGuiThread()) {
        queue_.AddCurvePoint(CurvePoint{value, curve, flag});
        return;
    }
    ApplyPending();
    windows_->AddTrainingGraphPoint(curve, value, flag);
}

void CKestrumView::UpdateTrainingStats(int epochs, int maxEpochs, double error, double errorGoal,
                                       double learningConstant, double initialLearningConstant) {
    TrainingReport report;
    report.kind = TrainingReport::kStats;
    report.first = epochs;
    report.second = maxEpochs;
    report.values[0] = error;
    report.values[1] = errorGoal;
    report.values[2] = learningConstant;
    report.values[3] = initialLearningConstant;
    QueueReport(report);
}

void CKestrumView::QueueProgress(TrainingReport::Kind bar, int position, int range) {
    TrainingReport report;
    report.kind = bar;
    report.first = position;
    report.second = range;
    QueueReport(report);
}

void CKestrumView::SetStructureProgress1(int position, int range) {
    QueueProgress(TrainingReport::kProgress1, position, range);
}

void CKestrumView::SetStructureProgress2(int position, int range) {
    QueueProgress(TrainingReport::kProgress2, position, range);
}

void CKestrumView::UpdateStructureWeights(const CFeedForwardNeuralNetwork* network, int force) {
    // An unforced copy within the window's interval would only repaint, which the queued reports
    // already do: the worker need not wait for it.
    if (network != nullptr && force == 0 && !gui::InGuiThread()) {
        const Clock::time_point now = Clock::now();
        if (now - lastWeightsCall_ < kWeightsInterval) return;
        lastWeightsCall_ = now;
    }
    gui::CallInGuiThread([&] { windows_->UpdateStructureWeights(network, force); });
}

// ---------- the "Simulation:" bar ----------

void CKestrumView::SetSimulationText(const std::string& text) {
    gui::CallInGuiThread([&] { Q_EMIT simulationTextChanged(FromScriptText(text)); });
}

void CKestrumView::SetSimulationProgress(int position, int range) {
    gui::CallInGuiThread([&] {
        if (position == -1 && range == -1)
            Q_EMIT simulationProgressChanged(0, 1);
        else
            Q_EMIT simulationProgressChanged(position, range);
    });
}

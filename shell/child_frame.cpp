#include "shell/child_frame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QMenu>
#include <QSplitter>
#include <QTextDocument>

#include "platform/desktop.h"
#include "shell/kestrum_doc.h"
#include "shell/keyboard_split.h"
#include "shell/kestrum_view.h"
#include "shell/left_view.h"
#include "shell/output_pane.h"

namespace {

constexpr int kTreeWidth = 168;
constexpr int kEditorHeight = 260;
constexpr int kPaneHeight = 140;

bool Within(const QWidget* focus, const QWidget* pane) {
    return focus != nullptr && (focus == pane || pane->isAncestorOf(focus));
}

}  // namespace

CChildFrame::CChildFrame(CKestrumDoc* document, QWidget* parent) : QMdiSubWindow(parent), document_(document) {
    setAttribute(Qt::WA_DeleteOnClose);
    outer_ = new QSplitter(Qt::Horizontal);
    tree_ = new CLeftView(outer_);
    inner_ = new QSplitter(Qt::Vertical, outer_);
    view_ = new CKestrumView(inner_);
    pane_ = new COutputPane(inner_);
    outer_->setSizes({kTreeWidth, 4 * kTreeWidth});
    outer_->setStretchFactor(0, 0);
    outer_->setStretchFactor(1, 1);
    // The output pane keeps its height when the frame grows or shrinks; the editor takes the rest.
    inner_->setSizes({kEditorHeight, kPaneHeight});
    inner_->setStretchFactor(0, 1);
    inner_->setStretchFactor(1, 0);
    inner_->setChildrenCollapsible(false);
    setWidget(outer_);

    // Ctrl+F4 closes a document window whatever the desktop's key scheme (an X11 one would close
    // it with Ctrl+W instead).
    const QList<QKeySequence> closeKeys = QKeySequence::keyBindings(QKeySequence::Close);
    for (QAction* action : systemMenu()->actions()) {
        if (!closeKeys.isEmpty() && action->shortcuts() == closeKeys) action->setShortcut(Qt::CTRL | Qt::Key_F4);
    }

    view_->setDocument(document->TextDocument());
    view_->SetPanes(pane_, tree_);
    tree_->SetEditorView(view_);
    document_->AddFrame();
}

// The editor goes first, while the panes it writes to (a run's last output) still stand.
CChildFrame::~CChildFrame() {
    tree_->SetEditorView(nullptr);
    delete view_;
    document_->RemoveFrame();
}

void CChildFrame::showEvent(QShowEvent* event) {
    QMdiSubWindow::showEvent(event);
    if (placed_ || isMaximized()) return;
    placed_ = true;
    // New frames start at the top left of the area, at least kMinimumHeight high.
    const QRect area = parentWidget() != nullptr ? parentWidget()->rect() : QRect();
    setGeometry(0, 0, area.width() > 0 ? area.width() * 3 / 4 : width(),
                std::max(kMinimumHeight, area.height() > 0 ? area.height() * 3 / 4 : height()));
}

void CChildFrame::UpdateTitle(int number, int of) {
    QString title = document_->Title();
    if (of > 1) title += QString(":%1").arg(number);
    setWindowTitle(title);
}

void CChildFrame::closeEvent(QCloseEvent* event) {
    if (view_->IsRunning()) {
        desktop::Current().Beep(desktop::kIconHand);
        event->ignore();
        return;
    }
    if (document_->FrameCount() == 1 && !document_->SaveModified(this)) {
        event->ignore();
        return;
    }
    QMdiSubWindow::closeEvent(event);
}

void CChildFrame::OnMDIActivate() {
    view_->UpdateRunButtons();
    // A minimised frame keeps the focus itself: its hidden editor would hand it on to the next
    // window's panes, and that window would become the active one.
    if (isMinimized()) {
        setFocus();
    } else {
        view_->setFocus();
    }
}

// Queued, so that the editor handles the command after the current event, whatever pane sent it.
void CChildFrame::Forward(const char* command) { QMetaObject::invokeMethod(view_, command, Qt::QueuedConnection); }

void CChildFrame::OnCompile() { Forward("OnCompile"); }
void CChildFrame::OnRun() { Forward("OnRun"); }
void CChildFrame::OnPause() { Forward("OnPause"); }
void CChildFrame::OnResume() { Forward("OnResume"); }
void CChildFrame::OnStop() { Forward("OnStop"); }
void CChildFrame::OnToggleStructureWindow() { Forward("OnToggleStructureWindow"); }
void CChildFrame::OnToggleChartWindows() { Forward("OnToggleChartWindows"); }

void CChildFrame::FocusPane(QWidget* pane) {
    pane->setFocus(Qt::TabFocusReason);
    pane->activateWindow();
}

void CChildFrame::OnNextPane() {
    const QWidget* focus = QApplication::focusWidget();
    if (Within(focus, tree_)) {
        FocusPane(view_);
    } else if (Within(focus, view_)) {
        FocusPane(pane_->isEnabled() ? static_cast<QWidget*>(pane_) : tree_);
    } else if (Within(focus, pane_)) {
        FocusPane(tree_);
    }
}

void CChildFrame::OnSplit() {
    // The frame's own focus: the menu bar may hold the application's while its command runs.
    CKeyboardSplit::Start(Within(focusWidget(), tree_) ? outer_ : inner_);
}

void CChildFrame::OnPrevPane() {
    const QWidget* focus = QApplication::focusWidget();
    if (Within(focus, tree_)) {
        FocusPane(pane_->isEnabled() ? static_cast<QWidget*>(pane_) : view_);
    } else if (Within(focus, view_)) {
        FocusPane(tree_);
    } else if (Within(focus, pane_)) {
        FocusPane(view_);
    }
}

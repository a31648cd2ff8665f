// The main frame and its document windows: keys reach the commands of the accelerator table,
// Ctrl+Tab and F6 move through the panes, and nothing closes while a script runs.
#include "app_harness.h"
#include "view_harness.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QDropEvent>
#include <QFile>
#include <QMessageBox>
#include <QMimeData>
#include <QTemporaryDir>
#include <QUrl>
#include <functional>
#include <set>
#include <QToolBar>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenu>
#include <QSignalSpy>
#include <QTextDocument>

#include "shell/child_frame.h"
#include "shell/commands.h"
#include "shell/find_dialog.h"
#include "shell/kestrum_doc.h"
#include "shell/kestrum_view.h"
#include "shell/left_view.h"
#include "shell/output_pane.h"

namespace {

TEST(FrameCommandsTest, FirstEntryOfAKeyWins) {
    EXPECT_EQ(cmd::KeysOf(cmd::kNextPane), std::vector<QKeySequence>{QKeySequence(Qt::Key_F6)});
    const std::vector<QKeySequence> run = {QKeySequence(Qt::Key_F5), QKeySequence(Qt::CTRL | Qt::Key_F5),
                                           QKeySequence(Qt::Key_F7), QKeySequence(Qt::Key_F9)};
    EXPECT_EQ(cmd::KeysOf(cmd::kRun), run);
}

TEST(FrameCommandsTest, KeysReachTheirCommands) {
    ShownMainFrame shown;
    CChildFrame* frame = shown.frame.OnFileNew();
    ASSERT_NE(frame, nullptr);
    // Something to undo and, after the undo, a text to find again: Undo and Find Next can act.
    frame->EditorView()->setPlainText("x");
    frame->EditorView()->moveCursor(QTextCursor::End);
    QTest::keyClicks(frame->EditorView(), "y");
    shown.frame.findChild<CFindDialog*>()->FindField()->setText("x");
    struct Case {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int command;
    };
    const Case cases[] = {
        {Qt::Key_F5, Qt::NoModifier, cmd::kRun},
        {Qt::Key_F5, Qt::ControlModifier, cmd::kRun},
        {Qt::Key_F7, Qt::NoModifier, cmd::kRun},
        {Qt::Key_F9, Qt::NoModifier, cmd::kRun},
        {Qt::Key_F5, Qt::ShiftModifier, cmd::kCompile},
        {Qt::Key_F6, Qt::NoModifier, cmd::kNextPane},
        {Qt::Key_F6, Qt::ShiftModifier, cmd::kPrevPane},
        {Qt::Key_Pause, Qt::NoModifier, cmd::kPause},
        {Qt::Key_Pause, Qt::ControlModifier, cmd::kStop},
        {Qt::Key_Pause, Qt::ControlModifier | Qt::AltModifier, cmd::kResume},
        {Qt::Key_F11, Qt::NoModifier, cmd::kToggleCharts},
        {Qt::Key_F12, Qt::NoModifier, cmd::kToggleStructure},
        {Qt::Key_F1, Qt::NoModifier, cmd::kHelp},
        {Qt::Key_F1, Qt::ShiftModifier, cmd::kContextHelp},
        {Qt::Key_Backspace, Qt::AltModifier, cmd::kEditUndo},
        {Qt::Key_F3, Qt::NoModifier, cmd::kEditFindNext},
    };
    for (const Case& c : cases) {
        QSignalSpy spy(shown.frame.Action(c.command), &QAction::triggered);
        frame->EditorView()->setFocus();
        QTest::keyClick(frame->EditorView(), c.key, c.modifiers);
        EXPECT_EQ(spy.count(), 1) << QKeySequence(c.key | c.modifiers).toString().toStdString();
    }
    // F1 and Shift+F1 opened the help page with the desktop's opener.
    ASSERT_EQ(shown.desktop.opened.size(), 2u);
    EXPECT_EQ(shown.desktop.opened[0], CMainFrame::OnlineHelpUrl().toStdString());
}

TEST(FrameCommandsTest, CtrlTabAndF6MoveThroughThePanes) {
    ShownMainFrame shown;
    CChildFrame* frame = shown.frame.OnFileNew();
    QWidget* tree = frame->TreeView();
    QWidget* editor = frame->EditorView();
    QWidget* pane = frame->OutputPane();
    for (const Qt::KeyboardModifiers modifiers : {Qt::KeyboardModifiers(Qt::ControlModifier), Qt::KeyboardModifiers()}) {
        const Qt::Key key = modifiers == Qt::ControlModifier ? Qt::Key_Tab : Qt::Key_F6;
        tree->setFocus();
        for (QWidget* expected : {editor, pane, tree, editor}) {
            QTest::keyClick(QApplication::focusWidget(), key, modifiers);
            EXPECT_EQ(QApplication::focusWidget(), expected) << key;
        }
        pane->setEnabled(false);  // as during a check pass: passed over
        QTest::keyClick(editor, key, modifiers);
        EXPECT_EQ(QApplication::focusWidget(), tree) << key;
        pane->setEnabled(true);
    }
}

// All five run buttons stand on the toolbar, greyed, until a document's view shows its state.
TEST(FrameCommandsTest, RunButtonsAllShowGreyedUntilAViewHidesSome) {
    ShownMainFrame shown;
    const int runButtons[] = {cmd::kCompile, cmd::kRun, cmd::kPause, cmd::kStop, cmd::kResume};
    const auto shownOnToolbar = [&](int id) {
        const QWidget* button = shown.frame.ToolBar()->widgetForAction(shown.frame.Action(id));
        return button != nullptr && button->isVisible();
    };
    const struct {
        const char* when;
        std::function<void()> step;
        bool enabled;
        std::set<int> shown;
    } steps[] = {
        {"start-up", [] {}, false, {cmd::kCompile, cmd::kRun, cmd::kPause, cmd::kStop, cmd::kResume}},
        {"a document", [&] { shown.frame.OnFileNew(); }, true, {cmd::kCompile, cmd::kRun}},
        {"the last one closed", [&] { shown.frame.Execute(cmd::kFileClose); }, false, {cmd::kCompile, cmd::kRun}},
    };
    for (const auto& step : steps) {
        step.step();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QApplication::processEvents();
        for (int id : runButtons) {
            const bool visible = step.shown.count(id) == 1;
            EXPECT_EQ(shownOnToolbar(id), visible) << step.when << " " << id;
            // A hidden action counts as disabled: only a shown button's state is seen.
            if (visible) {
                EXPECT_EQ(shown.frame.Action(id)->isEnabled(), step.enabled) << step.when << " " << id;
            }
        }
    }
}

TEST(FrameCommandsTest, ToolbarShowsTheActiveDocumentsRunStateAndPrintsFromThePane) {
    ShownMainFrame shown;
    CChildFrame* running = shown.frame.OnFileNew();
    CChildFrame* idle = shown.frame.OnFileNew();
    auto visible = [&](int id) { return shown.frame.Action(id)->isVisible(); };
    running->EditorView()->running = 1;
    running->EditorView()->UpdateRunButtons();  // not the active frame: the toolbar stays
    EXPECT_TRUE(visible(cmd::kRun));
    shown.frame.MdiArea()->setActiveSubWindow(running);
    EXPECT_FALSE(visible(cmd::kRun) || visible(cmd::kCompile) || visible(cmd::kResume));
    EXPECT_TRUE(visible(cmd::kPause) && visible(cmd::kStop));
    shown.frame.MdiArea()->setActiveSubWindow(idle);
    EXPECT_TRUE(visible(cmd::kRun) && visible(cmd::kCompile));
    EXPECT_FALSE(visible(cmd::kPause));
    running->EditorView()->running = 0;

    idle->EditorView()->setFocus();
    EXPECT_FALSE(shown.frame.Action(cmd::kFilePrint)->isEnabled());
    idle->OutputPane()->setFocus();
    EXPECT_TRUE(shown.frame.Action(cmd::kFilePrint)->isEnabled());
}

TEST(FrameCommandsTest, NothingClosesWhileAScriptRuns) {
    ShownMainFrame shown;
    CChildFrame* frame = shown.frame.OnFileNew();
    frame->Document()->TextDocument()->setPlainText("Println 1");
    frame->EditorView()->running = 1;
    struct Path {
        const char* what;
        std::function<void()> close;
    };
    const Path paths[] = {
        {"close box / window manager", [&] { frame->close(); }},
        {"File Close", [&] { shown.frame.Execute(cmd::kFileClose); }},
        {"Ctrl+F4", [&] { QTest::keyClick(frame->EditorView(), Qt::Key_F4, Qt::ControlModifier); }},
        {"Exit", [&] { shown.frame.Execute(cmd::kAppExit); }},
        {"main window close", [&] { shown.frame.close(); }},
    };
    for (const Path& path : paths) {
        shown.desktop.beeps.clear();
        path.close();
        QApplication::processEvents();
        EXPECT_EQ(shown.desktop.beeps, std::vector<unsigned>{desktop::kIconHand}) << path.what;
        EXPECT_EQ(shown.frame.ChildFrames().size(), 1) << path.what;
        EXPECT_TRUE(shown.frame.isVisible()) << path.what;
    }
    // Once the run has ended the same close asks to save the modified document, then closes.
    frame->EditorView()->running = 0;
    AnswerNextMessageBox(QMessageBox::No);
    frame->close();
    QApplication::processEvents();
    EXPECT_TRUE(shown.frame.ChildFrames().isEmpty());
}

TEST(FrameCommandsTest, CtrlF4ClosesAFrameWhateverTheKeyScheme) {
    ShownMainFrame shown;
    CChildFrame* frame = shown.frame.OnFileNew();
    QList<QList<QKeySequence>> closeKeys;
    for (const QAction* action : frame->systemMenu()->actions()) {
        if (action->shortcuts().contains(QKeySequence(Qt::CTRL | Qt::Key_F4))) closeKeys.append(action->shortcuts());
    }
    EXPECT_EQ(closeKeys, QList<QList<QKeySequence>>{{QKeySequence(Qt::CTRL | Qt::Key_F4)}});
}

TEST(FrameCommandsTest, CascadeStaggersLargeFramesWithTheActiveOneOnTop) {
    ShownMainFrame shown;
    for (int i = 0; i < 3; ++i) shown.frame.OnFileNew();
    CChildFrame* active = shown.frame.ChildFrames().front();
    shown.frame.MdiArea()->setActiveSubWindow(active);
    shown.frame.Execute(cmd::kWindowCascade);
    const QRect area = shown.frame.MdiArea()->viewport()->rect();
    const QList<QMdiSubWindow*> stack = shown.frame.MdiArea()->subWindowList(QMdiArea::StackingOrder);
    ASSERT_EQ(stack.size(), 3);
    EXPECT_EQ(stack.back(), active);
    for (int i = 0; i < stack.size(); ++i) {
        const QRect frame = stack[i]->geometry();
        EXPECT_TRUE(area.contains(frame)) << i;
        EXPECT_GT(frame.width(), area.width() / 2) << i;
        EXPECT_GT(frame.height(), area.height() / 2) << i;
        if (i == 0) continue;
        EXPECT_GT(frame.x(), stack[i - 1]->x()) << i;
        EXPECT_GT(frame.y(), stack[i - 1]->y()) << i;
    }
}

TEST(FrameCommandsTest, CancellingTheSaveQuestionKeepsTheDocument) {
    ShownMainFrame shown;
    CChildFrame* frame = shown.frame.OnFileNew();
    frame->Document()->TextDocument()->setPlainText("Println 1");
    AnswerNextMessageBox(QMessageBox::Cancel);
    shown.frame.close();
    EXPECT_TRUE(shown.frame.isVisible());
    EXPECT_EQ(shown.frame.ChildFrames().size(), 1);
}

// A window's title is its document's name, ":n" with several windows; a change of the text or the
// output a run appends shows in no title.
TEST(FrameCommandsTest, TitlesNameTheDocumentWithoutItsChanges) {
    ShownMainFrame shown;
    CChildFrame* first = shown.frame.OnFileNew();
    const QString name = first->Document()->Title();
    const auto titles = [&] {
        QStringList all;
        for (CChildFrame* frame : shown.frame.ChildFrames()) {
            all << frame->windowTitle();
            EXPECT_FALSE(frame->isWindowModified()) << frame->windowTitle().toStdString();
        }
        return all;
    };
    EXPECT_EQ(titles(), QStringList({name}));
    QTest::keyClicks(first->EditorView(), "Println 1");
    ASSERT_TRUE(first->Document()->IsModified());
    EXPECT_EQ(titles(), QStringList({name}));
    first->Document()->TextDocument()->setModified(false);
    shown.frame.Execute(cmd::kRun);
    // The run's output marks the document.
    ASSERT_TRUE(ServeEventsUntil(
        [&] { return first->Document()->IsModified() && !first->EditorView()->WorkerActive(); }));
    QApplication::processEvents();
    EXPECT_EQ(titles(), QStringList({name}));
    CChildFrame* second = shown.frame.OnWindowNew();
    EXPECT_EQ(titles(), QStringList({name + ":1", name + ":2"}));
    second->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(titles(), QStringList({name}));
}

TEST(FrameCommandsTest, NewWindowSharesTheDocument) {
    ShownMainFrame shown;
    CChildFrame* first = shown.frame.OnFileNew();
    CChildFrame* second = shown.frame.OnWindowNew();
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->EditorView()->document(), first->EditorView()->document());
    EXPECT_EQ(first->windowTitle(), first->Document()->Title() + ":1");
    EXPECT_EQ(second->windowTitle(), first->Document()->Title() + ":2");
    // Closing one of two frames does not ask about the document.
    first->Document()->TextDocument()->setPlainText("changed");
    second->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(shown.frame.ChildFrames().size(), 1);
    EXPECT_FALSE(first->windowTitle().contains(':'));
}

TEST(FrameCommandsTest, OpenedAndDroppedFilesOpenOnceAndBadOnesNot) {
    ShownMainFrame shown;
    QTemporaryDir dir;
    const QString first = dir.filePath("first.NNProg");
    const QString second = dir.filePath("second.txt");
    const QString bad = dir.filePath("bad.NNProg");
    for (const auto& [path, bytes] : {std::pair{first, QByteArray("{\\rtf1 Println 1}")},
                                      std::pair{second, QByteArray("Println 2")},
                                      std::pair{bad, "{\\rtf1" + QByteArray(20000, '{')}}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    CChildFrame* opened = shown.frame.OpenDocumentFile(first);
    ASSERT_NE(opened, nullptr);
    EXPECT_EQ(shown.frame.OpenDocumentFile(first), opened);  // already open: its frame comes forward

    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(second)});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&shown.frame, &enter);
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&shown.frame, &drop);
    ASSERT_EQ(shown.frame.ChildFrames().size(), 2);
    EXPECT_EQ(shown.frame.ChildFrames().back()->EditorView()->toPlainText(), "Println 2");

    AnswerNextMessageBox(QMessageBox::Ok);
    EXPECT_EQ(shown.frame.OpenDocumentFile(bad), nullptr);
    EXPECT_EQ(shown.frame.ChildFrames().size(), 2);
    EXPECT_EQ(shown.frame.RecentFiles().Files(), QStringList({second, first}));
}

}  // namespace

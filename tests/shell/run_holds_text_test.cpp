// While a script runs, no command or key changes its document's text, in any window of it
// (Window > New Window), and Edit > Undo shows disabled; after the run all of them work again.
#include "app_harness.h"
#include "view_harness.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QMdiArea>
#include <QTextDocument>
#include <functional>

#include "shell/child_frame.h"
#include "shell/commands.h"
#include "shell/kestrum_doc.h"

namespace {

struct Edit {
    const char* what;
    std::function<void(CMainFrame&, CKestrumView*)> act;
};

const Edit kEdits[] = {
    {"Edit > Undo", [](CMainFrame& frame, CKestrumView*) { frame.Action(cmd::kEditUndo)->trigger(); }},
    {"Alt+Backspace", [](CMainFrame&, CKestrumView* view) { QTest::keyClick(view, Qt::Key_Backspace, Qt::AltModifier); }},
    {"Ctrl+Z", [](CMainFrame&, CKestrumView* view) { QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier); }},
    {"typing", [](CMainFrame&, CKestrumView* view) { QTest::keyClicks(view, "x"); }},
    {"Backspace", [](CMainFrame&, CKestrumView* view) { QTest::keyClick(view, Qt::Key_Backspace); }},
    {"Edit > Cut", [](CMainFrame& frame, CKestrumView* view) {
         view->selectAll();
         frame.Action(cmd::kEditCut)->trigger();
     }},
};

void Activate(ShownMainFrame& shown, CChildFrame* frame) {
    shown.frame.MdiArea()->setActiveSubWindow(frame);
    frame->EditorView()->setFocus();
    QApplication::processEvents();
}

TEST(RunHoldsText, NoWindowOfARunningDocumentChangesItsText) {
    ShownMainFrame shown;
    CChildFrame* first = shown.frame.OnFileNew();
    first->Document()->TextDocument()->setPlainText("While 1\nWend\n");
    Activate(shown, first);
    first->EditorView()->moveCursor(QTextCursor::End);
    QTest::keyClicks(first->EditorView(), "Println 7");  // what an Undo would take back
    CChildFrame* second = shown.frame.OnWindowNew();
    ASSERT_NE(second, nullptr);

    Activate(shown, first);
    shown.frame.Execute(cmd::kRun);
    ASSERT_TRUE(ServeEventsUntil([&] { return first->EditorView()->isReadOnly(); }));
    CChildFrame* third = shown.frame.OnWindowNew();  // made while the script runs
    const QString held = first->Document()->TextDocument()->toPlainText();
    for (CChildFrame* frame : {first, second, third}) {
        Activate(shown, frame);
        EXPECT_TRUE(frame->EditorView()->isReadOnly()) << frame->windowTitle().toStdString();
        EXPECT_FALSE(shown.frame.Action(cmd::kEditUndo)->isEnabled()) << frame->windowTitle().toStdString();
        for (const Edit& edit : kEdits) {
            edit.act(shown.frame, frame->EditorView());
            EXPECT_EQ(first->Document()->TextDocument()->toPlainText(), held)
                << edit.what << " in " << frame->windowTitle().toStdString();
        }
    }

    Activate(shown, first);
    shown.frame.Execute(cmd::kStop);
    ASSERT_TRUE(ServeEventsUntil([&] { return !first->EditorView()->WorkerActive(); }));
    QApplication::processEvents();
    for (CChildFrame* frame : {first, second, third}) {
        Activate(shown, frame);
        EXPECT_FALSE(frame->EditorView()->isReadOnly()) << frame->windowTitle().toStdString();
        EXPECT_TRUE(shown.frame.Action(cmd::kEditUndo)->isEnabled()) << frame->windowTitle().toStdString();
    }
    Activate(shown, second);
    shown.frame.Action(cmd::kEditUndo)->trigger();
    EXPECT_EQ(first->Document()->TextDocument()->toPlainText(), QStringLiteral("While 1\nWend\n"));
}

}  // namespace

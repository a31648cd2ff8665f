// The Edit menu's and the toolbar's commands are enabled exactly when they can act: on the text
// that has the keyboard (editor, output pane, "Simulation:" field) and, for Paste Special, Find,
// Find Next and Replace, on the document's editor; never on a text a run holds.
#include "app_harness.h"
#include "view_harness.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QClipboard>
#include <QSignalSpy>
#include <QLineEdit>
#include <QMenuBar>
#include <QTextDocument>
#include <functional>
#include <set>

#include "shell/child_frame.h"
#include "shell/commands.h"
#include "shell/find_dialog.h"
#include "shell/kestrum_doc.h"
#include "shell/simulation_bar.h"

namespace {

const int kEditCommands[] = {cmd::kEditUndo,      cmd::kEditCut,  cmd::kEditCopy,     cmd::kEditPaste,
                             cmd::kEditPasteSpecial, cmd::kEditSelectAll, cmd::kEditFind, cmd::kEditFindNext,
                             cmd::kEditReplace};

TEST(EditCommands, EnabledExactlyWhenTheyCanAct) {
    QApplication::clipboard()->clear();
    ShownMainFrame shown;
    CChildFrame* frame = shown.frame.OnFileNew();
    CKestrumView* editor = frame->EditorView();
    QLineEdit* findText = shown.frame.findChild<CFindDialog*>()->FindField();
    const auto focus = [](QWidget* widget) {
        widget->setFocus();
        QApplication::processEvents();
    };
    using namespace cmd;
    const struct Step {
        const char* what;
        std::function<void()> act;
        std::set<int> enabled;
    } steps[] = {
        {"an empty document", [&] { focus(editor); }, {}},
        {"text", [&] { editor->setPlainText("Println 1"); }, {kEditSelectAll, kEditFind, kEditReplace}},
        {"a selection",
         [&] { editor->selectAll(); },
         {kEditCut, kEditCopy, kEditSelectAll, kEditFind, kEditReplace}},
        {"text on the clipboard",
         [&] { QApplication::clipboard()->setText("1"); },
         {kEditCut, kEditCopy, kEditPaste, kEditPasteSpecial, kEditSelectAll, kEditFind, kEditReplace}},
        {"an edit",
         [&] { QTest::keyClick(editor, Qt::Key_End, Qt::ControlModifier); QTest::keyClicks(editor, "2"); },
         {kEditUndo, kEditPaste, kEditPasteSpecial, kEditSelectAll, kEditFind, kEditReplace}},
        {"a text to find",
         [&] { findText->setText("Println"); },
         {kEditUndo, kEditPaste, kEditPasteSpecial, kEditSelectAll, kEditFind, kEditFindNext, kEditReplace}},
        {"the tree has the keyboard",
         [&] { focus(frame->TreeView()); },
         {kEditPasteSpecial, kEditFind, kEditFindNext, kEditReplace}},
        {"the empty output pane", [&] { focus(frame->OutputPane()); },
         {kEditPasteSpecial, kEditFind, kEditFindNext, kEditReplace}},
        {"output selected in the pane",
         [&] {
             frame->OutputPane()->AddText("out", 0, 0, 0);
             frame->OutputPane()->selectAll();
         },
         {kEditCopy, kEditSelectAll, kEditPasteSpecial, kEditFind, kEditFindNext, kEditReplace}},
        {"the \"Simulation:\" field",
         [&] { focus(shown.frame.SimulationBar()->TextField()); },
         {kEditPasteSpecial, kEditFind, kEditFindNext, kEditReplace}},
        {"back in the editor", [&] { focus(editor); },
         {kEditUndo, kEditPaste, kEditPasteSpecial, kEditSelectAll, kEditFind, kEditFindNext, kEditReplace}},
        {"a run holds the text",
         [&] {
             editor->setPlainText("While 1\nWend\n");
             editor->selectAll();
             QTest::keyClick(editor, Qt::Key_F5);
             ASSERT_TRUE(ServeEventsUntil([&] { return editor->isReadOnly(); }));
         },
         {kEditCopy, kEditSelectAll, kEditFind, kEditFindNext}},
        {"the run stopped",
         [&] {
             shown.frame.Execute(kStop);
             ASSERT_TRUE(ServeEventsUntil([&] { return !editor->WorkerActive() && !editor->isReadOnly(); }));
             QApplication::processEvents();
         },
         {kEditCut, kEditCopy, kEditPaste, kEditPasteSpecial, kEditSelectAll, kEditFind, kEditFindNext,
          kEditReplace}},
        {"no document",
         [&] {
             frame->Document()->TextDocument()->setModified(false);  // nothing to ask
             shown.frame.Execute(kFileClose);
             QApplication::processEvents();
         },
         {}},
    };
    for (const Step& step : steps) {
        step.act();
        for (int id : kEditCommands) {
            EXPECT_EQ(shown.frame.Action(id)->isEnabled(), step.enabled.count(id) == 1)
                << step.what << ": " << cmd::StatusText(*cmd::Find(id)).toStdString();
        }
    }
}

// A key of a command that cannot act does nothing of the command's; one that can acts.
TEST(EditCommands, KeysFollowTheStates) {
    QApplication::clipboard()->clear();
    ShownMainFrame shown;
    CKestrumView* editor = shown.frame.OnFileNew()->EditorView();
    editor->setPlainText("abc");
    editor->setFocus();
    QSignalSpy copies(shown.frame.Action(cmd::kEditCopy), &QAction::triggered);
    QTest::keyClick(editor, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(copies.count(), 0) << "nothing selected";
    editor->selectAll();
    QTest::keyClick(editor, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(copies.count(), 1);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("abc"));
}

// Walking the menu bar with the keyboard lends it the focus; the commands still act on the editor.
TEST(EditCommands, TheMenuBarsFocusLeavesTheTarget) {
    QApplication::clipboard()->clear();
    ShownMainFrame shown;
    CKestrumView* editor = shown.frame.OnFileNew()->EditorView();
    editor->setPlainText("abc");
    editor->setFocus();
    editor->selectAll();
    shown.frame.menuBar()->setFocus(Qt::MenuBarFocusReason);
    ASSERT_EQ(QApplication::focusWidget(), shown.frame.menuBar());
    ASSERT_TRUE(shown.frame.Action(cmd::kEditCut)->isEnabled());
    shown.frame.Action(cmd::kEditCut)->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("abc"));
    EXPECT_TRUE(editor->document()->isEmpty());
    EXPECT_FALSE(shown.frame.Action(cmd::kEditCut)->isEnabled());
    EXPECT_TRUE(shown.frame.Action(cmd::kEditPaste)->isEnabled());
}

}  // namespace

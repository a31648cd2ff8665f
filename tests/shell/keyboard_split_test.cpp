// View > Split moves the bar beside the pane with the focus from the keyboard: the arrows move it,
// Return keeps the place and Esc puts it back; without a document the command is greyed.
#include "app_harness.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QSplitter>
#include <vector>

#include "shell/child_frame.h"
#include "shell/commands.h"
#include "shell/keyboard_split.h"
#include "shell/kestrum_view.h"
#include "shell/left_view.h"
#include "shell/output_pane.h"

namespace {

struct Key {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
};

TEST(KeyboardSplit, ArrowsMoveTheBarReturnKeepsEscRestores) {
    enum Pane { kTree, kEditor, kOutput };
    const struct Case {
        const char* what;
        Pane focus;
        std::vector<Key> keys;
        int moved;  // of the first pane of the bar's splitter
    } cases[] = {
        {"editor: down twice, Return", kEditor, {{Qt::Key_Down}, {Qt::Key_Down}, {Qt::Key_Return}}, 2 * CKeyboardSplit::kStep},
        {"editor: down twice, Esc", kEditor, {{Qt::Key_Down}, {Qt::Key_Down}, {Qt::Key_Escape}}, 0},
        {"editor: up, Ctrl+up, Enter", kEditor, {{Qt::Key_Up}, {Qt::Key_Up, Qt::ControlModifier}, {Qt::Key_Enter}},
         -CKeyboardSplit::kStep - 1},
        {"editor: sideways and other keys do nothing", kEditor, {{Qt::Key_Left}, {Qt::Key_A}, {Qt::Key_Return}}, 0},
        {"output pane: up, Return", kOutput, {{Qt::Key_Up}, {Qt::Key_Return}}, -CKeyboardSplit::kStep},
        {"tree: right, Return", kTree, {{Qt::Key_Right}, {Qt::Key_Return}}, CKeyboardSplit::kStep},
        {"tree: right, left, right, Esc", kTree, {{Qt::Key_Right}, {Qt::Key_Left}, {Qt::Key_Right}, {Qt::Key_Escape}}, 0},
    };
    for (const Case& c : cases) {
        ShownMainFrame shown;
        CChildFrame* frame = shown.frame.OnFileNew();
        QWidget* panes[] = {frame->TreeView(), frame->EditorView(), frame->OutputPane()};
        QWidget* focus = panes[c.focus];
        focus->setFocus();
        QApplication::processEvents();
        auto* outer = qobject_cast<QSplitter*>(frame->widget());
        QSplitter* tracked = c.focus == kTree ? outer : frame->InnerSplitter();
        QSplitter* other = c.focus == kTree ? frame->InnerSplitter() : outer;
        const QList<int> before = tracked->sizes();
        const QList<int> otherBefore = other->sizes();
        shown.frame.Execute(cmd::kWindowSplit);
        ASSERT_TRUE(CKeyboardSplit::Tracking()) << c.what;
        for (const Key& key : c.keys) QTest::keyClick(QApplication::focusWidget(), key.key, key.modifiers);
        QApplication::processEvents();
        EXPECT_FALSE(CKeyboardSplit::Tracking()) << c.what;
        EXPECT_EQ(tracked->sizes()[0], before[0] + c.moved) << c.what;
        EXPECT_EQ(tracked->sizes()[0] + tracked->sizes()[1], before[0] + before[1]) << c.what;
        EXPECT_EQ(other->sizes(), otherBefore) << c.what;
        // Once the tracking has ended, the keys are the panes' again.
        const QList<int> after = tracked->sizes();
        QTest::keyClick(QApplication::focusWidget(), c.focus == kTree ? Qt::Key_Right : Qt::Key_Down);
        EXPECT_EQ(tracked->sizes(), after) << c.what;
    }
}

TEST(KeyboardSplit, EnabledWithADocumentOnly) {
    ShownMainFrame shown;
    QAction* split = shown.frame.Action(cmd::kWindowSplit);
    EXPECT_FALSE(split->isEnabled());
    CChildFrame* frame = shown.frame.OnFileNew();
    EXPECT_TRUE(split->isEnabled());
    frame->close();
    QApplication::processEvents();
    EXPECT_FALSE(split->isEnabled());
}

// A click ends the tracking where the bar stands.
TEST(KeyboardSplit, AClickKeepsThePlace) {
    ShownMainFrame shown;
    CChildFrame* frame = shown.frame.OnFileNew();
    frame->EditorView()->setFocus();
    const int before = frame->InnerSplitter()->sizes()[0];
    shown.frame.Execute(cmd::kWindowSplit);
    QTest::keyClick(frame->EditorView(), Qt::Key_Down);
    QTest::mouseClick(frame->EditorView()->viewport(), Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_FALSE(CKeyboardSplit::Tracking());
    EXPECT_EQ(frame->InnerSplitter()->sizes()[0], before + CKeyboardSplit::kStep);
}

}  // namespace

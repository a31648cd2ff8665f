// Find, Find Next and Replace in the active editor.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QTextEdit>

#include "shell/find_dialog.h"

namespace {

struct FindFixture {
    QTextEdit editor;
    CFindDialog dialog{[this] { return &editor; }};
    explicit FindFixture(const QString& text) { editor.setPlainText(text); }
};

TEST(FrameFindTest, FindNextWalksForwardAndStopsAtTheEnd) {
    FindFixture f("Print a\nprint b\nPRINT c");
    f.dialog.Open(CFindDialog::Mode::kFind);
    f.dialog.FindField()->setText("print");
    std::vector<int> found;
    while (f.dialog.FindNext()) found.push_back(f.editor.textCursor().selectionStart());
    EXPECT_EQ(found, (std::vector<int>{0, 8, 16}));
    f.dialog.MatchCase()->setChecked(true);
    f.editor.moveCursor(QTextCursor::Start);
    EXPECT_TRUE(f.dialog.FindNext());
    EXPECT_EQ(f.editor.textCursor().selectionStart(), 8);
    EXPECT_FALSE(f.dialog.FindNext());
}

TEST(FrameFindTest, ReplaceOneAndAllInOneUndoStep) {
    FindFixture f("x = 1 : x = x + 1");
    f.dialog.Open(CFindDialog::Mode::kReplace);
    f.dialog.FindField()->setText("x");
    f.dialog.ReplaceField()->setText("total");
    EXPECT_TRUE(f.dialog.FindNext());
    EXPECT_TRUE(f.dialog.ReplaceCurrent());  // replaces the first, selects the next
    EXPECT_EQ(f.editor.toPlainText(), "total = 1 : x = x + 1");
    EXPECT_EQ(f.dialog.ReplaceAll(), 2);
    EXPECT_EQ(f.editor.toPlainText(), "total = 1 : total = total + 1");
    f.editor.undo();
    EXPECT_EQ(f.editor.toPlainText(), "total = 1 : x = x + 1");
    f.editor.setReadOnly(true);  // a running script's editor
    EXPECT_EQ(f.dialog.ReplaceAll(), 0);
}

}  // namespace

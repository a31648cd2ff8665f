// The output pane's append rules, and the worker's queued output folding to what the same calls
// made one by one give.
#include <gtest/gtest.h>

#include <QApplication>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QtTest/QTest>
#include <string>
#include <vector>

#include "output_bound_cases.h"
#include "shell/output_pane.h"
#include "shell/worker_queue.h"

namespace {

struct Call {
    const char* text;
    int append;
    int crlfBefore;
    int crlfAfter;
};

void Apply(COutputPane& pane, const Call& call) {
    pane.AddText(QString::fromLatin1(call.text), call.append, call.crlfBefore, call.crlfAfter);
}

TEST(OutputPane, AppendRules) {
    struct Case {
        const char* before;
        Call call;
        const char* after;
        bool inserted;
    };
    const Case cases[] = {
        {"", {"a", 1, 1, 0}, "a", true},           // no leading break in an empty pane
        {"x", {"a", 1, 1, 0}, "x\na", true},       // exactly one before, in a pane with text
        {"x", {"a", 1, 0, 1}, "xa\n", true},
        {"x", {"", 1, 0, 0}, "x", false},
        {"x", {"", 1, 1, 1}, "x\n\n", true},
        {"x\ny", {"new", 0, 1, 1}, "new", false},  // a replacement takes no breaks
        {"x", {"a\r\nb", 1, 0, 0}, "xa\nb", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.call.text);
        COutputPane pane;
        pane.setPlainText(QString::fromLatin1(c.before));
        EXPECT_EQ(pane.AddText(QString::fromLatin1(c.call.text), c.call.append, c.call.crlfBefore, c.call.crlfAfter),
                  c.inserted);
        EXPECT_EQ(pane.toPlainText().toStdString(), c.after);
        EXPECT_FALSE(pane.document()->isModified());
    }
}

// The pane keeps lines grouped in paragraphs: they read back one by one, whatever their ends.
TEST(OutputPane, ManyLinesReadBackAsWritten) {
    COutputPane pane;
    QString written;
    QString expected;
    for (int i = 0; i < 50; ++i) {
        const QString line = QString::number(i);
        const char* ends[] = {"\r\n", "\n", "\r"};
        written += line + QLatin1String(ends[i % 3]);
        expected += line + QLatin1Char('\n');
    }
    pane.AddText(written.left(70), 0, 0, 0);
    pane.AddText(written.mid(70), 1, 0, 0);
    pane.AddText(QStringLiteral("end"), 1, 1, 1);
    EXPECT_EQ(pane.toPlainText(), expected + QStringLiteral("\nend\n"));
}

TEST(OutputPane, AppendingPutsTheCaretAtTheEndWhateverIsSelected) {
    COutputPane pane;
    pane.setPlainText(QStringLiteral("first line\nsecond"));
    QTextCursor selection(pane.document());
    selection.setPosition(2);
    selection.setPosition(5, QTextCursor::KeepAnchor);
    pane.setTextCursor(selection);
    pane.AddText(QStringLiteral("end"), 1, 1, 0);
    EXPECT_EQ(pane.toPlainText(), QStringLiteral("first line\nsecond\nend"));
    EXPECT_EQ(pane.textCursor().position(), pane.document()->characterCount() - 1);
    EXPECT_FALSE(pane.textCursor().hasSelection());
}

// After every batch the end of the pane is in view, however much the batch held: the caret is
// put at the end, scrolled into view, and the text inserted there.
TEST(OutputPane, TheEndIsInViewAfterEveryBatch) {
    struct Case {
        int before;  // lines in the pane first
        int batch;   // lines of one batch
    };
    for (const Case c : {Case{0, 3000}, Case{2000, 2}, Case{10, 40}, Case{100000, 5000}}) {
        COutputPane pane;
        pane.resize(400, 200);
        pane.show();
        QString first;
        for (int i = 0; i < c.before; ++i) first += QStringLiteral("line %1\r\n").arg(i);
        pane.AddText(first, 0, 0, 0);
        QString batch;
        for (int i = 0; i < c.batch; ++i) batch += QStringLiteral("more %1").arg(i) + QStringLiteral("\r\n");
        pane.AddText(batch + QStringLiteral("last"), 1, 0, 0);
        QApplication::processEvents();
        const auto lastLineShows = [&pane] {
            QTextCursor bottom = pane.cursorForPosition(QPoint(1, pane.viewport()->height() - 8));
            bottom.select(QTextCursor::LineUnderCursor);
            return bottom.selectedText() == QStringLiteral("last");
        };
        EXPECT_TRUE(lastLineShows()) << c.before << " + " << c.batch;
        EXPECT_EQ(pane.verticalScrollBar()->value(), pane.verticalScrollBar()->maximum()) << c.before;
        // The keys of a read-only edit control move through it: Ctrl+Home to the top, Ctrl+End back.
        QTest::keyClick(&pane, Qt::Key_Home, Qt::ControlModifier);
        EXPECT_EQ(pane.verticalScrollBar()->value(), 0) << c.before;
        QTest::keyClick(&pane, Qt::Key_End, Qt::ControlModifier);
        EXPECT_TRUE(lastLineShows()) << c.before;
    }
}

// Past its bound the pane keeps the newest output, whole lines while they fit, as a terminal's
// scroll-back does: what it shows is always the end of what was written.
TEST(OutputPane, KeepsTheNewestOutputWithinItsBound) {
    struct Case {
        int maxLines, maxCharacters;
        int lineLength, lines, perBatch;
    };
    const Case cases[] = {
        {160, 1 << 20, 5, 1000, 7},    // the line bound
        {160, 1 << 20, 5, 150, 7},     // within it: everything stays
        {1 << 20, 2000, 30, 500, 3},   // the character bound with whole lines
        {1 << 20, 2000, 4500, 3, 1},   // lines longer than the bound: their ends stay
        {32, 1 << 20, 3, 40, 40},      // one batch past the bound
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.maxLines << " lines, " << c.maxCharacters << " characters, "
                                        << c.lines << " x " << c.lineLength);
        COutputPane pane;
        pane.SetBounds(c.maxLines, c.maxCharacters);
        QString written;
        QString batch;
        for (int i = 0; i < c.lines; ++i) {
            const QString number = QString::number(i) + QLatin1Char(':');
            batch += number + QString(std::max<int>(0, c.lineLength - number.size()), QLatin1Char('x')) +
                     QStringLiteral("\r\n");
            if ((i + 1) % c.perBatch == 0 || i + 1 == c.lines) {
                pane.AddText(batch, 1, 0, 0);
                written += batch;
                batch.clear();
            }
        }
        written.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        const QString kept = pane.toPlainText();
        EXPECT_TRUE(written.endsWith(kept));
        if (written.size() < c.maxCharacters && c.lines < c.maxLines - 16) {
            EXPECT_EQ(kept, written);
        }
        EXPECT_LE(kept.size(), c.maxCharacters);
        // A final line break starts no line.
        const int lines = static_cast<int>(kept.count(QLatin1Char('\n'))) + (kept.endsWith(QLatin1Char('\n')) ? 0 : 1);
        EXPECT_LE(lines, c.maxLines);
        // That the bound binds, with room to spare (KeepsExactlyTheNewestLines holds it to the line):
        // beyond it at most 16 lines leave, or a sixteenth of the characters and the line cut into.
        const bool lineBoundHolds = lines >= std::min(c.lines + 1, c.maxLines - 16);
        const bool characterBoundHolds = kept.size() >= c.maxCharacters - c.maxCharacters / 16 - 16 * (c.lineLength + 1);
        EXPECT_TRUE(lineBoundHolds || characterBoundHolds) << lines << " lines, " << kept.size() << " characters";
        // And the pane goes on from there as before.
        pane.AddText(QStringLiteral("end"), 1, 1, 1);
        EXPECT_TRUE(pane.toPlainText().endsWith(QStringLiteral("\nend\n")));
    }
}

// The line bound is exact: a script that prints exactly the bound's lines keeps its first, one
// line more drops exactly that one, whatever the batches; a last line without a break counts.
TEST(OutputPane, KeepsExactlyTheNewestLines) {
    struct Case {
        int maxLines, lines, perBatch;
        const char* last;  // printed after the lines, without a break
    };
    const Case cases[] = {
        {1000, 1000, 1, ""},  {1000, 1000, 7, ""},   {1000, 1001, 16, ""},    {1000, 999, 1000, "partial"},
        {1000, 1000, 33, "partial"}, {17, 40, 40, ""}, {COutputPane::kMaxLines, COutputPane::kMaxLines, 50000, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.lines << " lines in batches of " << c.perBatch << ", bound " << c.maxLines);
        COutputPane pane;
        pane.SetBounds(c.maxLines, COutputPane::kMaxCharacters);
        QString batch;
        for (int i = 0; i < c.lines; ++i) {
            batch += QStringLiteral("line %1\r\n").arg(i);
            if ((i + 1) % c.perBatch == 0 || i + 1 == c.lines) {
                pane.AddText(batch, 1, 0, 0);
                batch.clear();
            }
        }
        pane.AddText(QString::fromLatin1(c.last), 1, 0, 0);
        const int printed = c.lines + (*c.last != 0 ? 1 : 0);
        const int first = std::max(0, printed - c.maxLines);
        const QString kept = pane.toPlainText();
        EXPECT_TRUE(kept.startsWith(QStringLiteral("line %1\n").arg(first))) << kept.left(40).toStdString();
        EXPECT_EQ(kept.count(QLatin1Char('\n')), std::min(c.lines, c.maxLines - (*c.last != 0 ? 1 : 0)));
        EXPECT_TRUE(kept.endsWith(QStringLiteral("line %1\n").arg(c.lines - 1) + QString::fromLatin1(c.last)));
    }
}

// Both sides of the bound, as every host keeps it: exactly the bound's lines (an unfinished last
// line among them) stay, one more drops exactly the oldest; a line break is one character however
// it comes, a CR LF split across two appends too, and a long line's rows are no characters.
TEST(OutputPane, KeepsExactlyTheBoundAtBothItsSides) {
    for (const output_bound_cases::Case& c : output_bound_cases::Cases()) {
        SCOPED_TRACE(c.what);
        COutputPane pane;
        pane.SetBounds(c.maxLines, c.maxCharacters);
        std::string written;
        for (const std::string& piece : c.pieces) {
            pane.AddText(QString::fromStdString(piece), 1, 0, 0);
            written += piece;
        }
        QString kept = QString::fromStdString(output_bound_cases::After(written, c.dropped, c.cut));
        kept.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
        const QStringList lines = kept.split(QLatin1Char('\n'));
        EXPECT_EQ(lines.size() - (kept.endsWith(QLatin1Char('\n')) ? 1 : 0), c.keptLines);
        // Shown with a long line's rows each on its own.
        QStringList rows;
        for (const QString& line : lines) {
            QStringList rowsOfLine;
            for (qsizetype at = 0; at == 0 || at < line.size(); at += COutputPane::kRowCharacters) {
                rowsOfLine << line.mid(at, COutputPane::kRowCharacters);
            }
            rows << rowsOfLine.join(QLatin1Char('\n'));
        }
        EXPECT_EQ(pane.toPlainText(), rows.join(QLatin1Char('\n')));
    }
}

// A line of millions of characters is kept in rows that are laid out one by one: the pane holds
// all of it, counts it as one line, and shows its end.
TEST(OutputPane, KeepsAVeryLongLineInRows) {
    struct Case {
        int length, perBatch;
    };
    for (const Case c : {Case{16 << 20, 16 << 20}, Case{100000, 100}, Case{200000, 4096}, Case{40000, 40000}}) {
        SCOPED_TRACE(testing::Message() << c.length << " characters in batches of " << c.perBatch);
        COutputPane pane;
        pane.SetBounds(2, COutputPane::kMaxCharacters);
        pane.resize(400, 200);
        pane.show();
        pane.AddText(QStringLiteral("first\r\nsecond\r\n"), 1, 0, 0);
        QString line;
        for (int i = 0; i < c.length; ++i) line += QChar(QLatin1Char('a' + i % 26));
        for (int at = 0; at < c.length; at += c.perBatch) pane.AddText(line.mid(at, c.perBatch), 1, 0, 0);
        pane.AddText(QStringLiteral("end"), 1, 1, 0);
        QApplication::processEvents();
        // The row ends are no line breaks: the two newest lines are the long one and "end".
        EXPECT_EQ(pane.toPlainText().remove(QLatin1Char('\n')), line + QStringLiteral("end"));
        int longest = 0;
        for (QTextBlock block = pane.document()->begin(); block.isValid(); block = block.next()) {
            longest = std::max(longest, static_cast<int>(block.text().size()));
        }
        EXPECT_LE(longest, 2 * COutputPane::kRowCharacters);
        QTextCursor bottom = pane.cursorForPosition(QPoint(1, pane.viewport()->height() - 8));
        bottom.select(QTextCursor::LineUnderCursor);
        EXPECT_EQ(bottom.selectedText(), QStringLiteral("end"));
    }
}

// Whatever sequence of calls the worker makes, the folded batch leaves the pane as the calls one by
// one would have, starting from an empty pane and from one with text.
TEST(OutputPane, QueuedOutputFoldsToTheSameText) {
    const std::vector<std::vector<Call>> sequences = {
        {{"a", 1, 1, 1}, {"b", 1, 1, 1}},
        {{"", 1, 1, 0}, {"", 1, 1, 0}, {"c", 1, 0, 0}},
        {{"", 1, 1, 0}, {"", 1, 0, 0}},
        {{"a", 1, 0, 0}, {"", 0, 0, 0}, {"b", 1, 1, 0}, {"c", 1, 1, 1}},
        {{"r", 0, 0, 0}, {"b", 1, 1, 0}},
        {{"Program Terminated  By ERROR.", 1, 1, 1}, {" Runtime Error : x", 1, 1, 1}},
    };
    for (const char* start : {"", "x"}) {
        for (const auto& calls : sequences) {
            COutputPane direct;
            COutputPane batched;
            direct.setPlainText(QString::fromLatin1(start));
            batched.setPlainText(QString::fromLatin1(start));
            QueuedOutput queued;
            for (const Call& call : calls) {
                Apply(direct, call);
                queued.Add(call.text, call.append, call.crlfBefore, call.crlfAfter);
            }
            if (queued.replace) batched.AddText(QString::fromStdString(queued.replaceText), 0, 0, 0);
            batched.AddText(QString::fromStdString(queued.Insertion(batched.IsEmpty())), 1, 0, 0);
            EXPECT_EQ(batched.toPlainText(), direct.toPlainText()) << "start \"" << start << "\", " << calls.size()
                                                                   << " calls, first " << calls[0].text;
        }
    }
}

}  // namespace

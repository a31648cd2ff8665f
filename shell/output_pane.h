// COutputPane: the read-only pane under a document's editor in which the script's output, the
// check pass's errors and the end-of-run lines appear. The editor view writes to it through
// AddText, in the GUI thread.
//
// A paragraph of a text document costs far more to add than its characters; a script printing a
// line at a time would have the pane, not the script, set the pace. So the pane keeps up to 16
// lines in one paragraph, joined by line separators: they show, copy, print and read back
// (toPlainText) as lines all the same. A paragraph is laid out and drawn whole, so one also ends
// before kRowCharacters characters, and a longer line goes on in the next paragraph: a line of
// millions of characters shows as rows of kRowCharacters, each laid out only when it shows.
//
// The pane keeps the newest output only, under the bound every host keeps (view/output_bound.h):
// past kMaxLines lines or kMaxCharacters characters the oldest leave as new ones arrive.
#pragma once

#include <QPlainTextEdit>
#include <deque>

#include "view/output_bound.h"

class COutputPane : public QPlainTextEdit {
    Q_OBJECT
public:
    static constexpr int kMaxLines = output_bound::kMaxLines;
    static constexpr int kMaxCharacters = output_bound::kMaxCharacters;
    static constexpr int kRowCharacters = 16384;

    explicit COutputPane(QWidget* parent = nullptr);

    // What the pane keeps at most (the defaults above; smaller ones for tests).
    void SetBounds(int maxLines, int maxCharacters);

    // append 0: the pane's whole text becomes text. Otherwise text goes at the end (the caret is
    // put there first, whatever the user selected), after a line break when crlfBefore is set and
    // the pane holds something, followed by one when crlfAfter is set. Answers whether anything was
    // inserted at the end (what marks the script document modified).
    bool AddText(const QString& text, int append, int crlfBefore, int crlfAfter);
    bool IsEmpty() const;

public Q_SLOTS:
    void OnFilePrint();

private:
    // The oldest text up to whichever comes first: the end of its first `lines` lines, or position.
    struct Front {
        int position = 0;
        qint64 lineBreaks = 0;
    };

    // The text with its line ends (CR LF, CR or LF) as the pane keeps them, to go at the end, at
    // text offset `at`.
    QString Paragraphed(const QString& text, qint64 at);
    void KeepWithinBounds();
    Front OldestUpTo(qint64 lines, int position) const;
    // The oldest text up to position and on through the end of the line that position is in,
    // unless that is the newest line: it is cut rather than lost.
    Front ThroughLineAt(int position) const;
    bool BreaksLineAt(int position) const;
    void RemoveOldest(const Front& front);
    // Whether the paragraph end at position breaks a line (not a long line's row).
    bool EndsLine(int position) const;

    qint64 lineBreaks_ = 0;  // in the pane
    int linesInLastParagraph_ = 0;
    int lastParagraphCharacters_ = 0;
    int rowCharacters_ = 0;  // since the last line break or row end
    QChar lastAdded_;        // the last character added: a CR whose LF may come with the next text
    // Text offsets count every character ever held, from the last replacement on: a position in
    // the pane is its offset less removed_.
    qint64 removed_ = 0;
    std::deque<qint64> rowEnds_;  // offsets of the paragraph ends within long lines
    qint64 maxLines_ = kMaxLines;
    int maxCharacters_ = kMaxCharacters;
};

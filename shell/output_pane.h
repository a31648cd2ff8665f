// COutputPane: the read-only pane under a document's editor in which the script's output, the
// check pass's errors and the end-of-run lines appear. The editor view writes to it through
// AddText, in the GUI thread.
//
// A paragraph of a text document costs far more to add than its characters; a script printing a
// line at a time would have the pane, not the script, set the pace. So the pane keeps up to 16
// lines in one paragraph, joined by line separators: they show, copy, print and read back
// (toPlainText) as lines all the same.
//
// Like a terminal's scroll-back, the pane keeps the newest output only: past kMaxLines lines or
// kMaxCharacters characters the oldest leave as new ones arrive (lines 16 at a time), so that a
// script that prints without end neither exhausts memory nor Qt's int text positions.
#pragma once

#include <QPlainTextEdit>

class COutputPane : public QPlainTextEdit {
    Q_OBJECT
public:
    static constexpr int kMaxLines = 1000000;
    static constexpr int kMaxCharacters = 1 << 26;

    explicit COutputPane(QWidget* parent = nullptr);

    // What the pane keeps at most (the defaults above; smaller ones for tests). maxLines is rounded
    // down to whole paragraphs of lines.
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
    // The text with its line ends (CR LF, CR or LF) as the pane keeps them.
    QString Paragraphed(const QString& text);
    // Removes the oldest text beyond the character bound (the block bound removes old lines).
    void DropOldestCharacters();

    int linesInLastParagraph_ = 0;
    int maxCharacters_ = kMaxCharacters;
};

// COutputPane: the read-only pane under a document's editor in which the script's output, the
// check pass's errors and the end-of-run lines appear. The editor view writes to it through
// AddText, in the GUI thread.
//
// A paragraph of a text document costs far more to add than its characters; a script printing a
// line at a time would have the pane, not the script, set the pace. So the pane keeps up to 16
// lines in one paragraph, joined by line separators: they show, copy, print and read back
// (toPlainText) as lines all the same.
#pragma once

#include <QPlainTextEdit>

class COutputPane : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit COutputPane(QWidget* parent = nullptr);

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

    int linesInLastParagraph_ = 0;
};

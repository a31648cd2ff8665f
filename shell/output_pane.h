// COutputPane: the read-only pane under a document's editor in which the script's output, the
// check pass's errors and the end-of-run lines appear. The editor view writes to it through
// AddText, in the GUI thread.
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
};

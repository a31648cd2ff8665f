#include "shell/output_pane.h"

#include <QPrintDialog>
#include <QPrinter>
#include <QTextCursor>

namespace {
constexpr int kSideMargin = 5;
const QString kLineBreak = QStringLiteral("\r\n");
}  // namespace

COutputPane::COutputPane(QWidget* parent) : QPlainTextEdit(parent) {
    setReadOnly(true);
    setViewportMargins(kSideMargin, 0, kSideMargin, 0);
    document()->setUndoRedoEnabled(false);
    // As in an edit view, a long line scrolls sideways instead of wrapping.
    setLineWrapMode(QPlainTextEdit::NoWrap);
}

bool COutputPane::IsEmpty() const { return document()->isEmpty(); }

bool COutputPane::AddText(const QString& text, int append, int crlfBefore, int crlfAfter) {
    bool inserted = false;
    if (append == 0) {
        setPlainText(text);
    } else {
        QString s;
        if (crlfBefore && !IsEmpty()) s = kLineBreak;
        s += text;
        if (crlfAfter) s += kLineBreak;
        moveCursor(QTextCursor::End);
        ensureCursorVisible();
        if (!s.isEmpty()) {
            insertPlainText(s);
            inserted = true;
        }
    }
    document()->setModified(false);
    return inserted;
}

void COutputPane::OnFilePrint() {
    QPrinter printer;
    QPrintDialog dialog(&printer, window());
    if (dialog.exec() != QDialog::Accepted) return;
    document()->print(&printer);
}

#include "shell/output_pane.h"

#include <QPrintDialog>
#include <QPrinter>
#include <QTextBlock>
#include <QTextCursor>
#include <algorithm>

namespace {
constexpr int kSideMargin = 5;
constexpr int kLinesPerParagraph = 16;
const QString kLineBreak = QStringLiteral("\r\n");
}  // namespace

COutputPane::COutputPane(QWidget* parent) : QPlainTextEdit(parent) {
    setReadOnly(true);
    // Read-only as an edit control is: the caret still moves with the keys (Ctrl+End, the arrows).
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setViewportMargins(kSideMargin, 0, kSideMargin, 0);
    document()->setUndoRedoEnabled(false);
    // As in an edit view, a long line scrolls sideways instead of wrapping.
    setLineWrapMode(QPlainTextEdit::NoWrap);
    SetBounds(kMaxLines, kMaxCharacters);
}

void COutputPane::SetBounds(int maxLines, int maxCharacters) {
    setMaximumBlockCount(std::max(1, maxLines / kLinesPerParagraph));
    maxCharacters_ = std::max(1, maxCharacters);
}

bool COutputPane::IsEmpty() const { return document()->isEmpty(); }

bool COutputPane::AddText(const QString& text, int append, int crlfBefore, int crlfAfter) {
    bool inserted = false;
    if (append == 0) {
        linesInLastParagraph_ = 0;
        setPlainText(Paragraphed(text));
        DropOldestCharacters();
    } else {
        QString s;
        if (crlfBefore && !IsEmpty()) s = kLineBreak;
        s += text;
        if (crlfAfter) s += kLineBreak;
        // The caret goes to the end and into view before the insertion, and the view follows it
        // there after: the end of the output is what shows.
        moveCursor(QTextCursor::End);
        ensureCursorVisible();
        if (!s.isEmpty()) {
            insertPlainText(Paragraphed(s));
            inserted = true;
            DropOldestCharacters();
            ensureCursorVisible();
        }
    }
    document()->setModified(false);
    return inserted;
}

QString COutputPane::Paragraphed(const QString& text) {
    QString kept;
    kept.reserve(text.size());
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n')) {
            kept += c;
            continue;
        }
        if (c == QLatin1Char('\r') && i + 1 < size && text.at(i + 1) == QLatin1Char('\n')) ++i;
        if (++linesInLastParagraph_ < kLinesPerParagraph) {
            kept += QChar(QChar::LineSeparator);
        } else {
            kept += QChar(QChar::ParagraphSeparator);
            linesInLastParagraph_ = 0;
        }
    }
    return kept;
}

void COutputPane::DropOldestCharacters() {
    QTextDocument* doc = document();
    const int excess = doc->characterCount() - maxCharacters_;
    if (excess <= 0) return;
    // A sixteenth more goes at once, so that a script printing long lines does not pay for a cut
    // with every batch.
    const int cut = std::min(doc->characterCount() - 1, excess + maxCharacters_ / 16);
    const QTextBlock block = doc->findBlock(cut);
    QTextCursor oldest(doc);
    const bool withinLast = block == doc->lastBlock();
    oldest.setPosition(withinLast ? cut : block.next().position(), QTextCursor::KeepAnchor);
    oldest.removeSelectedText();
    // A cut within the last paragraph leaves fewer lines in it.
    if (withinLast) linesInLastParagraph_ = static_cast<int>(doc->lastBlock().text().count(QChar(QChar::LineSeparator)));
}

void COutputPane::OnFilePrint() {
    QPrinter printer;
    QPrintDialog dialog(&printer, window());
    if (dialog.exec() != QDialog::Accepted) return;
    document()->print(&printer);
}

#include "shell/output_pane.h"

#include <QPrintDialog>
#include <QPrinter>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <algorithm>
#include <limits>

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
    // A row wider than the pane brings the horizontal scroll bar after the insertion has scrolled,
    // and the end would slip out of view under it: while the caret is at the end, it stays in view.
    connect(horizontalScrollBar(), &QScrollBar::rangeChanged, this, [this] {
        if (textCursor().atEnd()) QMetaObject::invokeMethod(this, &COutputPane::ensureCursorVisible, Qt::QueuedConnection);
    });
}

void COutputPane::SetBounds(int maxLines, int maxCharacters) {
    maxLines_ = std::max(1, maxLines);
    maxCharacters_ = std::max(1, maxCharacters);
}

bool COutputPane::IsEmpty() const { return document()->isEmpty(); }

bool COutputPane::AddText(const QString& text, int append, int crlfBefore, int crlfAfter) {
    bool inserted = false;
    if (append == 0) {
        lineBreaks_ = 0;
        linesInLastParagraph_ = lastParagraphCharacters_ = rowCharacters_ = 0;
        lastAdded_ = QChar();
        removed_ = 0;
        rowEnds_.clear();
        setPlainText(Paragraphed(text, 0));
        KeepWithinBounds();
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
            insertPlainText(Paragraphed(s, removed_ + document()->characterCount() - 1));
            inserted = true;
            KeepWithinBounds();
            ensureCursorVisible();
        }
    }
    document()->setModified(false);
    return inserted;
}

QString COutputPane::Paragraphed(const QString& text, qint64 at) {
    QString kept;
    kept.reserve(text.size() + text.size() / kRowCharacters);
    const auto endParagraph = [this, &kept] {
        kept += QChar(QChar::ParagraphSeparator);
        linesInLastParagraph_ = lastParagraphCharacters_ = rowCharacters_ = 0;
    };
    for (const QChar c : text) {
        const bool continued = output_bound::ContinuesBreak(lastAdded_.unicode(), c.unicode());
        lastAdded_ = c;
        if (continued) continue;
        if (!output_bound::IsLineBreak(c.unicode())) {
            if (rowCharacters_ == kRowCharacters) {
                rowEnds_.push_back(at + kept.size());
                endParagraph();
            }
            kept += c;
            ++rowCharacters_;
            ++lastParagraphCharacters_;
            continue;
        }
        ++lineBreaks_;
        if (++linesInLastParagraph_ < kLinesPerParagraph && lastParagraphCharacters_ < kRowCharacters) {
            kept += QChar(QChar::LineSeparator);
            ++lastParagraphCharacters_;
            rowCharacters_ = 0;
        } else {
            endParagraph();
        }
    }
    return kept;
}

void COutputPane::KeepWithinBounds() {
    const qint64 lines = output_bound::Lines(lineBreaks_, rowCharacters_ > 0);
    if (const qint64 over = output_bound::LinesOver(lines, maxLines_)) {
        RemoveOldest(OldestUpTo(over, std::numeric_limits<int>::max()));
    }
    // The document ends in a paragraph end of its own, and the row ends of long lines are no
    // characters of the output.
    QTextDocument* doc = document();
    const int characters = doc->characterCount() - 1 - static_cast<int>(rowEnds_.size());
    int cut = output_bound::CharactersOver(characters, maxCharacters_);
    if (cut == 0) return;
    for (const qint64 rowEnd : rowEnds_) {
        if (rowEnd - removed_ >= cut) break;
        ++cut;
    }
    RemoveOldest(ThroughLineAt(cut));
}

COutputPane::Front COutputPane::ThroughLineAt(int position) const {
    const Front front = OldestUpTo(std::numeric_limits<qint64>::max(), position);
    if (BreaksLineAt(position - 1)) return front;
    const Front lineEnd = OldestUpTo(front.lineBreaks + 1, std::numeric_limits<int>::max());
    return lineEnd.position < document()->characterCount() - 1 ? lineEnd : front;
}

bool COutputPane::BreaksLineAt(int position) const {
    const QChar c = document()->characterAt(position);
    return c == QChar(QChar::LineSeparator) || (c == QChar(QChar::ParagraphSeparator) && EndsLine(position));
}

bool COutputPane::EndsLine(int position) const {
    return !std::binary_search(rowEnds_.begin(), rowEnds_.end(), removed_ + position);
}

COutputPane::Front COutputPane::OldestUpTo(qint64 lines, int position) const {
    Front front;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        const QString text = block.text();
        const int start = block.position();
        for (int i = 0; i < text.size(); ++i) {
            if (start + i >= position) return {position, front.lineBreaks};
            if (text.at(i) == QChar(QChar::LineSeparator) && ++front.lineBreaks == lines) return {start + i + 1, lines};
        }
        const int end = start + static_cast<int>(text.size());
        if (!block.next().isValid() || end >= position) return {std::min(position, end), front.lineBreaks};
        if (EndsLine(end) && ++front.lineBreaks == lines) return {end + 1, lines};
    }
    return front;
}

void COutputPane::RemoveOldest(const Front& front) {
    if (front.position <= 0) return;
    QTextCursor oldest(document());
    oldest.setPosition(front.position, QTextCursor::KeepAnchor);
    oldest.removeSelectedText();
    lineBreaks_ -= front.lineBreaks;
    removed_ += front.position;
    while (!rowEnds_.empty() && rowEnds_.front() < removed_) rowEnds_.pop_front();
    // The cut may have reached into the last paragraph.
    const QString last = document()->lastBlock().text();
    linesInLastParagraph_ = static_cast<int>(last.count(QChar(QChar::LineSeparator)));
    lastParagraphCharacters_ = static_cast<int>(last.size());
    rowCharacters_ = static_cast<int>(last.size() - last.lastIndexOf(QChar(QChar::LineSeparator)) - 1);
}

void COutputPane::OnFilePrint() {
    QPrinter printer;
    QPrintDialog dialog(&printer, window());
    if (dialog.exec() != QDialog::Accepted) return;
    document()->print(&printer);
}

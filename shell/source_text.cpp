#include "shell/source_text.h"

#include <QTextDocument>

#include "platform/cp1256.h"

namespace {

// Paragraph and line separators, and the marks of a table's or frame's start and end, all stand
// where the editor shows a line end.
bool IsLineEnd(char16_t unit) {
    return unit == 0x2029 || unit == 0x2028 || unit == 0xFDD0 || unit == 0xFDD1 || unit == u'\n' || unit == u'\r';
}

}  // namespace

QString FromScriptText(const std::string& cp1256Text) { return QString::fromStdString(cp1256::ToUtf8(cp1256Text)); }

std::string ToScriptText(const QString& text) { return cp1256::FromUtf8(text.toStdString()); }

SourceText SourceText::FromRawText(const QString& raw) {
    SourceText source;
    source.bytes_.reserve(static_cast<std::size_t>(raw.size()));
    bool shifted = false;
    const qsizetype size = raw.size();
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t unit = raw.at(i).unicode();
        if (shifted) source.editorPositions_.push_back(static_cast<int>(i));
        if (IsLineEnd(unit)) {
            source.bytes_.push_back('\n');
        } else if (QChar::isHighSurrogate(unit) && i + 1 < size && QChar::isLowSurrogate(raw.at(i + 1).unicode())) {
            // One character, one byte: the editor counts it as two from here on.
            if (!shifted) {
                shifted = true;
                for (qsizetype j = 0; j <= i; ++j) source.editorPositions_.push_back(static_cast<int>(j));
            }
            source.bytes_.push_back('?');
            ++i;
        } else {
            source.bytes_.push_back(cp1256::FromCodePoint(unit));
        }
    }
    if (shifted) source.editorPositions_.push_back(static_cast<int>(size));
    return source;
}

SourceText SourceText::FromDocument(const QTextDocument& document) { return FromRawText(document.toRawText()); }

int SourceText::EditorPosition(int bytePosition) const {
    if (editorPositions_.empty() || bytePosition < 0) return bytePosition;
    const int end = static_cast<int>(bytes_.size());
    if (bytePosition >= end) return editorPositions_.back() + (bytePosition - end);
    return editorPositions_[static_cast<std::size_t>(bytePosition)];
}

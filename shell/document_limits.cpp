#include "shell/document_limits.h"

#include <string>

#include "platform/rich_document.h"

namespace doc_limits {
namespace {

// Characters of UTF-8 text: every byte that does not continue a character.
qint64 CharacterCount(const std::string& utf8) {
    qint64 count = 0;
    for (const char c : utf8) count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return count;
}

QString Number(qint64 n) { return QString::number(n); }

}  // namespace

QString TooLargeToEdit(const rich::Document& document) {
    const auto lines = static_cast<qint64>(document.paragraphs.size());
    if (lines > kMaxLines) {
        return QString("it has %1 lines; the editor takes at most %2 (more would keep the program from answering "
                       "for too long)")
            .arg(Number(lines), Number(kMaxLines));
    }
    qint64 total = 0;
    for (qint64 line = 0; line < lines; ++line) {
        qint64 length = 0;
        for (const rich::Run& run : document.paragraphs[static_cast<std::size_t>(line)].runs) {
            length += CharacterCount(run.text);
        }
        if (length > kMaxLineCharacters) {
            return QString("line %1 has %2 characters; the editor takes at most %3 in a line (more would keep the "
                           "program from answering for too long)")
                .arg(Number(line + 1), Number(length), Number(kMaxLineCharacters));
        }
        total += length;
    }
    if (total > kMaxCharacters) {
        return QString("it holds %1 characters; the editor takes at most %2 (more would keep the program from "
                       "answering for too long)")
            .arg(Number(total), Number(kMaxCharacters));
    }
    return QString();
}

}  // namespace doc_limits

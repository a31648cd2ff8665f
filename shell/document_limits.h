// How much text the editor takes: beyond these the editor's layout (in the GUI thread) would
// keep the whole desktop from answering for more than a few seconds, so such a document is
// refused before it is loaded into the editor. Measured with bench/document_size.cpp on a
// real display: about 14 us a line of script (200,000 lines: 3 s); a line's cost grows faster
// than its length (300,000 characters: 0.3 s a line; 1,000,000: minutes).
#pragma once

#include <QString>
#include <QtGlobal>

namespace rich {
struct Document;
}

namespace doc_limits {

// Files above this are refused before they are read (reading them alone takes seconds).
constexpr qint64 kMaxFileBytes = 32LL * 1024 * 1024;
constexpr qint64 kMaxLines = 200000;
constexpr qint64 kMaxLineCharacters = 100000;
constexpr qint64 kMaxCharacters = 8LL * 1024 * 1024;

// Why the editor cannot take document ("" when it can).
QString TooLargeToEdit(const rich::Document& document);

}  // namespace doc_limits

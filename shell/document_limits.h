// How much text the editor takes: beyond these the editor's layout (in the GUI thread) would
// keep the whole desktop from answering for more than 2 s, so such a document is refused while
// it is read, before more of it is built. Measured with bench/document_size.cpp on a real
// display: a line of script costs about 14 us (200,000 lines: 3 s). A stretch of text without a
// space costs about its length squared (the editor breaks it only after seeing where it ends:
// 100,000 letters, 2.3 s), and a stack of combining marks on one letter more still (30,000: 0.9 s).
#pragma once

#include <QtGlobal>

#include "platform/document_tally.h"

namespace doc_limits {

// Files above this are refused before they are read (reading them alone takes seconds).
constexpr qint64 kMaxFileBytes = 32LL * 1024 * 1024;
constexpr qint64 kMaxLines = 200000;
constexpr qint64 kMaxLineCharacters = 100000;
constexpr qint64 kMaxCharacters = 8LL * 1024 * 1024;
constexpr qint64 kMaxFormatChanges = 500000;

// What a document read for the editor may hold.
rich::Bounds EditorBounds();

}  // namespace doc_limits

// How much text the editor takes: beyond these the editor's layout (in the GUI thread) would
// keep the whole desktop from answering for more than 2 s, so such a document is refused while
// it is read, before more of it is built. Measured with bench/document_size.cpp on a real
// display, as the longest time the desktop did not answer: 188,000 lines of script 1.0 s, 7 MB in
// lines of 100,000 characters 1.0 s, 500,000 changes of format 0.9 s (2,000,000: 3.7 s). A
// stretch of text without a space costs about its length squared, as the editor looks for where
// it ends before it breaks it (100,000 letters: 2.1 s, 30,000: 0.2 s), and accents stacked on one
// letter cost more still (30,000: 1.0 s; 64 stacks of 10,000: 11 s): the sums of their squares
// are bounded together, at a cost that stays below 0.5 s.
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

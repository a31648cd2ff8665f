// What an output pane keeps, the same in every host: like a terminal's scroll-back, the newest
// kMaxLines lines and at most kMaxCharacters characters, so that a script that prints without end
// exhausts neither memory nor a toolkit's int text positions.
//
// A line break is CR LF, a lone CR or a lone LF, and counts as one character, also when its CR and
// LF arrive in two pieces. A break ends a line; a final break starts none, so that a script
// printing exactly kMaxLines lines keeps them all and one more drops exactly the first.
#pragma once

#include <cstdint>

namespace output_bound {

constexpr std::int64_t kMaxLines = 1000000;
constexpr std::int64_t kMaxCharacters = std::int64_t{1} << 26;

template <class Char>
constexpr bool IsLineBreak(Char c) {
    return c == Char('\r') || c == Char('\n');
}

// c is the LF of a CR LF whose CR is before: it adds neither a character nor a break.
template <class Char>
constexpr bool ContinuesBreak(Char before, Char c) {
    return before == Char('\r') && c == Char('\n');
}

// The lines of text with lineBreaks breaks, whose last line has characters after the last break or not.
template <class Count>
constexpr Count Lines(Count lineBreaks, bool lastLineUnfinished) {
    return lineBreaks + (lastLineUnfinished ? 1 : 0);
}

// How many of the oldest lines leave so that at most maxLines stay.
template <class Count>
constexpr Count LinesOver(Count lines, Count maxLines) {
    return lines > maxLines ? lines - maxLines : 0;
}

// How many of the oldest characters leave past the character bound: the excess and a sixteenth more
// at once, so that a script printing long lines does not pay for a cut with every line. The rest of
// the line the cut falls in leaves with them, unless it is the newest line: that is cut, not lost.
template <class Count>
constexpr Count CharactersOver(Count characters, Count maxCharacters) {
    if (characters <= maxCharacters) return 0;
    const Count over = characters - maxCharacters + maxCharacters / 16;
    return over < characters ? over : characters;
}

}  // namespace output_bound

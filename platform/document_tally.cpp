#include "platform/document_tally.h"

#include <array>
#include <utility>

#include "platform/cp1256.h"

namespace rich {
namespace {

const std::string kTooLong = " (more would keep the program from answering for too long)";

// Where a line may break: spaces and line separators.
bool IsBreak(char32_t cp) { return cp == U' ' || cp == U'\t' || cp == 0x2028 || cp == 0x3000; }

// The blocks of combining marks: enough of them to see a stack of marks for what it costs.
bool IsCombiningMark(char32_t cp) {
    static constexpr std::array<std::pair<char32_t, char32_t>, 12> kRanges = {{
        {0x0300, 0x036F}, {0x0483, 0x0489}, {0x0591, 0x05C7}, {0x0610, 0x061A}, {0x064B, 0x065F},
        {0x0670, 0x0670}, {0x06D6, 0x06ED}, {0x0900, 0x0903}, {0x1AB0, 0x1AFF}, {0x1DC0, 0x1DFF},
        {0x20D0, 0x20FF}, {0xFE20, 0xFE2F},
    }};
    for (const auto& [first, last] : kRanges) {
        if (cp >= first && cp <= last) return true;
    }
    return false;
}

std::string Number(std::int64_t n) { return std::to_string(n); }

}  // namespace

bool Tally::Pass(std::string why) {
    why_ = std::move(why) + kTooLong;
    return false;
}

bool Tally::PassLines() {
    return Pass("it has more than " + Number(bounds_.lines) + " lines; the editor takes at most " + Number(bounds_.lines));
}

std::int64_t Tally::StretchCost() const {
    return stretchSquares_ / bounds_.stretchDivisor + markSquares_ / bounds_.markDivisor;
}

void Tally::EndStretch() { stretch_ = 0; }
void Tally::EndMarks() { marks_ = 0; }

bool Tally::Character(char32_t cp) {
    if (Passed()) return false;
    if (lineCharacters_ == 0 && endedLines_ >= bounds_.lines) return PassLines();
    if (++lineCharacters_ > bounds_.lineCharacters) {
        return Pass("line " + Number(endedLines_ + 1) + " has more than " + Number(bounds_.lineCharacters) +
                    " characters; the editor takes at most " + Number(bounds_.lineCharacters) + " in a line");
    }
    if (++characters_ > bounds_.characters) {
        return Pass("it holds more than " + Number(bounds_.characters) + " characters; the editor takes at most " +
                    Number(bounds_.characters));
    }
    if (IsBreak(cp)) {
        EndStretch();
        EndMarks();
        return true;
    }
    stretchSquares_ += 2 * stretch_++ + 1;  // (n + 1)^2 - n^2
    if (IsCombiningMark(cp)) {
        markSquares_ += 2 * marks_++ + 1;
    } else {
        EndMarks();
    }
    if (StretchCost() > bounds_.stretchCost) {
        return Pass("its text without spaces and its accents stacked on one letter, up to line " +
                    Number(endedLines_ + 1) + ", are more than the editor lays out in time");
    }
    return true;
}

bool Tally::Text(const std::string& utf8) {
    for (std::size_t pos = 0; pos < utf8.size();) {
        char32_t cp = 0;
        if (!cp1256::DecodeUtf8(utf8, pos, cp)) {
            cp = U'?';
            ++pos;
        }
        if (!Character(cp)) return false;
    }
    return !Passed();
}

bool Tally::FormatChange() {
    if (Passed()) return false;
    if (++formatChanges_ > bounds_.formatChanges) {
        return Pass("it changes the character format more than " + Number(bounds_.formatChanges) +
                    " times; the editor takes at most " + Number(bounds_.formatChanges) + " changes");
    }
    return true;
}

bool Tally::LineEnd() {
    if (Passed()) return false;
    EndStretch();
    EndMarks();
    lineCharacters_ = 0;
    return ++endedLines_ <= bounds_.lines || PassLines();
}

}  // namespace rich

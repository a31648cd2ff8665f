// Counts what a document reader takes in, as it takes it in, against the bounds of what may be
// held: a reader stops at the first bound passed, before it has built what lies beyond it.
#pragma once

#include <cstdint>
#include <limits>
#include <string>

namespace rich {

struct Bounds {
    static constexpr std::int64_t kNone = std::numeric_limits<std::int64_t>::max();
    std::int64_t lines = kNone;  // a final line break starts no line
    std::int64_t lineCharacters = kNone;
    std::int64_t characters = kNone;
    std::int64_t formatChanges = kNone;  // runs after the first of each line
    // Laying out a stretch without a break (no space) or a stack of combining marks costs about
    // its length squared: the sum of their squares over stretchDivisor (and the marks' over
    // markDivisor) may be at most stretchCost.
    std::int64_t stretchCost = kNone;
    std::int64_t stretchDivisor = 1;
    std::int64_t markDivisor = 1;
};

class Tally {
public:
    explicit Tally(const Bounds& bounds) : bounds_(bounds) {}

    // Each returns false once a bound has been passed (and then counts nothing more).
    bool Character(char32_t cp);
    bool Text(const std::string& utf8);
    bool FormatChange();
    bool LineEnd();

    bool Passed() const { return !why_.empty(); }
    // Why the document is refused, "" while no bound is passed.
    const std::string& Why() const { return why_; }

private:
    bool Pass(std::string why);
    bool PassLines();
    void EndStretch();
    void EndMarks();
    std::int64_t StretchCost() const;

    Bounds bounds_;
    std::int64_t endedLines_ = 0;
    std::int64_t lineCharacters_ = 0;
    std::int64_t characters_ = 0;
    std::int64_t formatChanges_ = 0;
    std::int64_t stretch_ = 0;  // characters since the last break
    std::int64_t marks_ = 0;    // combining marks in a row
    std::int64_t stretchSquares_ = 0;
    std::int64_t markSquares_ = 0;
    std::string why_;
};

}  // namespace rich

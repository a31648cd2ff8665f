// The token history: where each word read since the pass began starts in the text and how long
// it is, and how many entries count. It is what putting a word back returns to and what an error
// highlights, so it must hold exactly what reading the text word by word leaves, whichever way
// (the lexer, a built-in value, compiled code) the words were taken. This class is its one owner:
// every write goes through the operations below.
//
// Compiled code also knows which entries already hold the words it is about to take: entries
// from the count up to Known() hold the words that follow the scan position in the text, in
// order, because a loop's last pass wrote them there. Such words are taken by moving the count
// only. Anything that may have written other words there (the reader, a called body) disturbs
// that knowledge; a loop pass that ran undisturbed vouches for what it wrote.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

class TokenHistory {
public:
    static constexpr int kSize = 100000;
    static constexpr int kLast = 99999;  // the count never passes it

    // ----- reading -----
    int Count() const { return count_; }
    int Start(int entry) const { return starts_[static_cast<std::size_t>(entry)]; }
    int Length(int entry) const { return lengths_[static_cast<std::size_t>(entry)]; }
    // The last entry counted (the word an error highlights); 0 for an empty history.
    int LastStart() const { return count_ <= 0 ? 0 : Start((count_ < kLast ? count_ : kLast) - 1); }
    int LastLength() const { return count_ <= 0 ? 0 : Length((count_ < kLast ? count_ : kLast) - 1); }
    // Room for `words` more entries before the count meets its limit.
    bool HasRoom(int words) const { return count_ + words + 1 < kLast; }

    // ----- the pass: made, emptied, freed -----
    void Allocate() {
        starts_.assign(kSize, 0);
        lengths_.assign(kSize, 0);
    }
    void Free() {
        std::vector<int>().swap(starts_);
        std::vector<int>().swap(lengths_);
    }
    // A new pass: no entries, every one zero.
    void Clear() {
        count_ = 0;
        starts_.assign(starts_.size(), 0);
        lengths_.assign(lengths_.size(), 0);
    }

    // ----- the lexer -----
    // A word read: its entry is the next one, or the last one again once the history is full
    // (so that the last entry always describes the word just read).
    __attribute__((always_inline)) void Record(int start, int length) {
        if (count_ < 0) count_ = 0;
        int slot = count_;
        if (count_ >= kLast) {
            count_ = kLast;
            slot = kLast - 1;
        } else {
            ++count_;
        }
        starts_[static_cast<std::size_t>(slot)] = start;
        lengths_[static_cast<std::size_t>(slot)] = length;
    }
    // A word put back: one entry less (never below none); the entry's start is where reading resumes.
    int StepBack() {
        count_ = count_ <= 0 ? 0 : count_ > kLast ? kLast : count_ - 1;
        return Start(count_);
    }
    // A word read and put back: its entry, past the count, holds it (the count does not move).
    void PutBack(int start, int length) {
        starts_[static_cast<std::size_t>(count_)] = start;
        lengths_[static_cast<std::size_t>(count_)] = length;
    }
    // Back (or on) to a count kept before: a saved mark, a loop's next pass, a called body's words.
    void MoveTo(int count) { count_ = count; }

    // ----- built-in values -----
    // A built-in value read again: its entry stands for the keyword and its arguments.
    void SetLength(int entry, int length) { lengths_[static_cast<std::size_t>(entry)] = length; }
    // A built-in value replaced by its literal: one entry for the keyword and its arguments, the
    // entry after it marked as no word, so that a literal read again can tell it is the same.
    void JoinLiteral(int entry, int length) {
        count_ = entry + 1;
        SetLength(entry, length);
        starts_[static_cast<std::size_t>(entry + 1)] = kNoWord;
    }
    bool NoWordAt(int entry) const { return Start(entry) == kNoWord; }

    // ----- compiled code -----
    // count words from the count on (the entries already known to hold them are not written again).
    __attribute__((always_inline)) void Write(const int* starts, const int* lengths, int count) {
        if (count_ + count <= known_) {
            CheckKnown(count_, starts, lengths, count);
            count_ += count;
            return;
        }
        CopyInts(starts_.data() + count_, starts, count);
        CopyInts(lengths_.data() + count_, lengths, count);
        count_ += count;
    }
    __attribute__((always_inline)) void WriteOne(int start, int length) {
        const int at = count_++;
        if (at < known_) {
            CheckKnown(at, &start, &length, 1);
            return;
        }
        starts_[static_cast<std::size_t>(at)] = start;
        lengths_[static_cast<std::size_t>(at)] = length;
    }
    // Words the reading leaves past the count (a built-in value's arguments behind its one entry,
    // the word read after the value over its first): written whatever is known, and nothing past
    // the count is known after them.
    void WriteBeyond(const int* starts, const int* lengths, int count) {
        for (int k = 0; k < count; ++k) {
            starts_[static_cast<std::size_t>(count_ + k)] = starts[k];
            lengths_[static_cast<std::size_t>(count_ + k)] = lengths[k];
        }
        if (known_ > count_) known_ = count_;
    }
    // Entries from the count up to here hold the words that follow the scan position.
    int Known() const { return known_; }
    // Something may have written other words than those the text has next.
    void Disturb() {
        known_ = 0;
        ++disturbances_;
    }
    std::uint64_t Disturbances() const { return disturbances_; }
    // A loop's pass ended and the next starts at the same entry and text: where nothing disturbed
    // the pass, it read its text in order and the next pass finds its words where it wrote them.
    __attribute__((always_inline)) void Passed(std::uint64_t disturbancesBefore) {
        if (disturbancesBefore != disturbances_)
            known_ = 0;
        else if (count_ > known_)
            known_ = count_;
    }

private:
    static constexpr int kNoWord = -1;
    // The checked builds abort where an entry left unwritten as known holds another word.
#ifdef KESTRUM_CHECK_KNOWN_HISTORY
    void CheckKnown(int entry, const int* starts, const int* lengths, int count) const {
        for (int k = 0; k < count; ++k) {
            if (Start(entry + k) != starts[k] || Length(entry + k) != lengths[k]) {
                std::fprintf(stderr, "history entry %d is known as the word %d+%d but holds %d+%d\n", entry + k, starts[k],
                             lengths[k], Start(entry + k), Length(entry + k));
                std::abort();
            }
        }
    }
#else
    void CheckKnown(int, const int*, const int*, int) const {}
#endif
    // count ints: from 2 to 8 as two copies of a fixed size that overlap, one test of the size's
    // range instead of one case for each size.
    __attribute__((always_inline)) static void CopyInts(int* to, const int* from, int count) {
        if (count >= 4 && count <= 8) {
            __builtin_memcpy(to, from, 4 * sizeof(int));
            __builtin_memcpy(to + count - 4, from + count - 4, 4 * sizeof(int));
        } else if (count >= 2 && count < 4) {
            __builtin_memcpy(to, from, 2 * sizeof(int));
            __builtin_memcpy(to + count - 2, from + count - 2, 2 * sizeof(int));
        } else if (count == 1) {
            *to = *from;
        } else {
            __builtin_memcpy(to, from, static_cast<std::size_t>(count) * sizeof(int));
        }
    }

    std::vector<int> starts_;
    std::vector<int> lengths_;
    int count_ = 0;
    int known_ = 0;
    std::uint64_t disturbances_ = 0;
};

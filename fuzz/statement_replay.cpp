// Loop bodies made mostly of assignments of arithmetic (what statements are replayed from) and
// of the words around them, run as a For loop's pass three times by an interpreter that replays
// statements and by one that reads them word by word: both must leave exactly the same state.
// The input bytes steer a small generator, so every input is such a body; none of its words
// loops, waits or touches a file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "tests/interpreter/replay_comparison.h"

namespace {

const char* const kNames[] = {"i", "x", "n", "f", "s", "a", "m", "k", "a[2]", "x\xdc"};
const char* const kNumbers[] = {"0", "2", "7", "1.5", ".5", "99999999999", "2147483647", "1.5.2", ("1\xdc" "2"), "3e2"};
const char* const kOperators[] = {"+", "-", "*", "/", "Mod", "^", "+", "-", "*", "/"};
const char* const kEnds[] = {":", ";", "Next", ":", ";", "Endif", ")", "Else", "}", ""};
// Any other word the statements may meet.
const char* const kWords[] = {
    "=", "(", ")", "[", "]", ":", ";", "Next", "Endif", "If", "Then", "Else", "{", "}", "/*", "*/", "//",
    "True", "Integer", "Float", "String", "\n", "\r\n", "\t", "<", ">", "'a'", ",", "Int", "Wend", "EndSub",
};

template <std::size_t N>
const char* Pick(const char* const (&words)[N], int byte) {
    return words[static_cast<std::size_t>(byte) % N];
}

class BodyWriter {
public:
    BodyWriter(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    std::string Write() {
        while (pos_ < size_) Statement();
        return text_;
    }

private:
    int Next() { return pos_ < size_ ? data_[pos_++] : 0; }

    // Half the words are glued to the one before.
    void Word(const char* word) {
        if (!text_.empty() && (Next() & 1)) text_ += ' ';
        text_ += word;
    }

    void Statement() {
        const int choice = Next() % 8;
        if (choice < 5) {
            Word(Pick(kNames, Next()));
            Word("=");
            Expression(0);
            Word(Pick(kEnds, Next()));
        } else if (choice < 7) {
            Word(Pick(kEnds, Next()));
        } else {
            Word(Pick(kWords, Next()));
        }
    }

    void Expression(int depth) {
        Operand(depth);
        for (int k = 0; k < 6 && Next() % 3 != 0; ++k) {
            Word(Pick(kOperators, Next()));
            Operand(depth);
        }
    }

    void Operand(int depth) {
        const int choice = Next() % 8;
        if (choice < 3) {
            Word(Pick(kNames, Next()));
        } else if (choice < 5) {
            Word(Pick(kNumbers, Next()));
        } else if (choice == 5 && depth < 4) {
            Word("(");
            Expression(depth + 1);
            if (Next() % 8 != 0) Word(")");
        } else if (choice == 6) {
            Word(Next() & 1 ? "-" : "+");
            Operand(depth + 1);
        } else {
            Word(Pick(kWords, Next()));
        }
    }

    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
    std::string text_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text = BodyWriter(data, size).Write();
    ReplaySide replaying(true, text);
    ReplaySide reading(false, text);
    for (int pass = 0; pass < 3; ++pass) {
        if (replaying.Execute() != reading.Execute()) std::abort();
    }
    return 0;
}

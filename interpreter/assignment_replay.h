// What the right-hand side of a scalar assignment scans to, kept per text position: the words
// from "=" to the word that ends the expression, and the arithmetic they spell in the order the
// expression levels evaluate it. A run that comes to the same position again (every loop pass,
// every call) replays it instead of reading it word by word, with every effect of the reading:
// each word's history entry, the scan position, the word put back after the expression, the
// variables looked up by name in the current tables, the value stored.
//
// Only expressions of numbers, scalar Integer and Float variables, "+", "-", "Mod", "*", "/", one
// sign per operand and parentheses are kept. Anything that could report, wait or stop (a pause or
// stop pending, a division by zero, a name that is no scalar number now, a full history, the
// nesting limit) is left to the word-by-word reading, which then does exactly what it always did.
#pragma once

#include <cstdint>
#include <vector>

class CTesselParser;

class AssignmentReplays {
public:
    // Forgets everything kept (the text changed).
    void Clear();
    // At the position after an assignment's target, in a run: true when the statement was carried
    // out whole; false when nothing was done and the statement must be read word by word.
    bool TryExecute(CTesselParser& parser, int record);
    // How many statements were replayed since the object was made.
    std::uint64_t Replayed() const { return replayed_; }

private:
    enum class Op : std::uint8_t { kConstant, kVariable, kAdd, kSubtract, kModulo, kMultiply, kDivide, kNegate };
    struct Instruction {
        Op op;
        int argument;  // a constant's index, or the text position a variable's name is read from
    };
    struct Number {
        bool integer;
        std::int32_t i;
        double d;
    };
    struct Compiled {
        int firstWord = 0;         // history entries of the words from "=" on, in words_
        int wordCount = 0;
        int terminator = 0;        // the text position the word after the expression is read from
        int firstInstruction = 0;  // in instructions_
        int instructionCount = 0;
        int parenDepth = 0;        // deepest parenthesis nesting
    };
    class Compiler;
    static constexpr int kMaxStack = 32;
    static constexpr int kMaxParenDepth = 32;

    // 0 when it cannot be kept, else its index in compiled_ plus 1.
    int Compile(CTesselParser& parser, int position);
    bool Evaluate(CTesselParser& parser, const Compiled& compiled, Number& result) const;
    static void Store(CTesselParser& parser, int record, const Number& result);

    // By text position: 0 not yet looked at, -1 not kept, k > 0 compiled_[k - 1].
    std::vector<int> index_;
    std::vector<Compiled> compiled_;
    std::vector<Instruction> instructions_;
    std::vector<Number> constants_;
    std::vector<int> words_;  // start, length pairs
    std::uint64_t replayed_ = 0;
};

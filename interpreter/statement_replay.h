// What a run of simple statements scans to, kept per text position: statement separators and
// scalar assignments whose right-hand side is plain arithmetic. For each assignment it keeps the
// words from the target to the word that ends the expression, and the arithmetic they spell in
// the order the expression levels evaluate it. A block that comes to the same position again
// (every loop pass, every call) replays them instead of reading them word by word, with every
// effect of the reading: each word's history entry, the scan position, the word put back after an
// expression, the variables looked up by name in the current tables, the values stored.
//
// Only numbers, scalar Integer and Float variables, "+", "-", "Mod", "*", "/", one sign per operand
// and parentheses are kept. Anything that could report, wait or stop (a pause or stop pending, a
// division by zero, a name that is no scalar variable now, a full history, the nesting limit) is
// left to the word-by-word reading from that statement on, which then does what it always did.
#pragma once

#include <cstdint>
#include <vector>

class CTesselParser;

class StatementReplays {
public:
    // Forgets everything kept (the text changed).
    void Clear();
    // At the top of a block's statement loop in a run, before its next word is read: replays the
    // statements from here that can be, leaving the scan as reading them would have. Returns how
    // many statements (separators included) were replayed.
    int Replay(CTesselParser& parser);
    // The word at the scan position is a separator or a name, read as a run reads it (no brace).
    static bool StartsWithPlainWord(CTesselParser& parser);
    // How many assignments were replayed since the object was made.
    std::uint64_t ReplayedAssignments() const { return replayedAssignments_; }

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
    // A separator, or an assignment with the separator after it if there is one.
    struct Statement {
        int readPosition = 0;      // where its first word is read from
        int firstWord = 0;         // history entries of its words in words_ (start, length pairs)
        int wordCount = 0;
        bool assignment = false;
        // Where the last word read is read from when the statement is the last one replayed: its
        // own last word (a separator), or the word after the expression, which is put back.
        int settleFrom = 0;
        bool putBack = false;
        int firstInstruction = 0;  // in instructions_
        int instructionCount = 0;
        int parenDepth = 0;        // deepest parenthesis nesting of the expression
        int next = 0;              // where the word after it is read from
    };
    class Compiler;
    static constexpr int kMaxStack = 32;
    static constexpr int kMaxParenDepth = 32;

    // -1 when the statement read from here cannot be kept, else its index in statements_ plus 1.
    int Compile(CTesselParser& parser, int position);
    bool CompileAssignment(CTesselParser& parser, int position, Statement& statement);
    bool Evaluate(const CTesselParser& parser, const Statement& statement, Number& result) const;
    static void Store(CTesselParser& parser, int record, const Number& result);
    void AddWord(int start, int end);  // a word's history entry, from its bounds in the text

    // By text position: 0 not yet looked at, -1 not kept, k > 0 statements_[k - 1].
    std::vector<int> index_;
    std::vector<Statement> statements_;
    std::vector<Instruction> instructions_;
    std::vector<Number> constants_;
    std::vector<int> words_;
    std::uint64_t replayedAssignments_ = 0;
};

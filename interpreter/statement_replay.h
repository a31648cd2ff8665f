// What the text at a position scans to, kept per position: expressions, and runs of simple
// statements (separators and assignments). An expression keeps its words from the first to the
// word that ends it, and the operations they spell in the order the expression levels evaluate
// them; an assignment keeps its target's words and the expressions of its element index and its
// value. Wherever an expression is read in a run (an assignment's value, a condition's operands,
// an index, a For bound, a command's argument) and wherever a block comes to the same statements
// again (every loop pass, every call), they are replayed instead of read word by word, with every
// effect of the reading: each word's history entry, the scan position, the word put back after an
// expression and how the lexer classed it, the variables and elements looked up by name in the
// current tables, the values stored.
//
// Kept are numbers, string literals of plain words, Integer, Float and String variables, array
// elements and matrix elements (as operands and as targets), "+", "-", "Mod", "*", "/", one sign per operand and parentheses.
// Anything that could report, wait or stop (a pause or stop pending, a division by zero, an index
// out of range, a name that is no such variable now, a type the operators refuse, a full history,
// the nesting limit) is left to the word-by-word reading, which then does what it always did.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "interpreter/number_operators.h"
#include "interpreter/value.h"

class CTesselParser;
struct Value;

class StatementReplays {
public:
    // Forgets everything kept (the text changed).
    void Clear();
    // At the top of a block's statement loop in a run, before its next word is read: replays the
    // statements from here that can be, leaving the scan as reading them would have. Returns how
    // many statements (separators included) were replayed.
    int Replay(CTesselParser& parser);
    // At an expression's first word in a run: true when it was replayed into result (the scan as
    // reading it leaves it); false when it is to be read word by word (nothing has changed).
    bool ReplayExpression(CTesselParser& parser, Value& result);
    // At a condition's first word in a run: true when it was replayed (its truth in result, the
    // scan as reading it leaves it); false when it is to be read word by word (nothing changed).
    bool ReplayCondition(CTesselParser& parser, int& result);
    // A skip over a branch or a loop body (words read raw up to the closing word `closing` names)
    // from the scan position: replayed as the reading it kept did it, with its result and found
    // Else; -1 when it is to be read. KeepSkip keeps a skip just read from `from` (its history
    // count fromCount) when every word it read can be replayed.
    int ReplaySkip(CTesselParser& parser, int closing, int& found);
    void KeepSkip(CTesselParser& parser, int closing, int from, int fromCount, int result, int found);
    // The word at the scan position is a separator or a name, read as a run reads it (no brace).
    static bool StartsWithPlainWord(CTesselParser& parser);
    // How many assignments, and expressions and conditions, were replayed since the object was made.
    std::uint64_t ReplayedAssignments() const { return replayedAssignments_; }
    std::uint64_t ReplayedExpressions() const { return replayedExpressions_; }

private:
    enum class Op : std::uint8_t {
        kConstant, kText, kVariable, kElement, kMatrixElement,
        kAdd, kSubtract, kModulo, kMultiply, kDivide, kNegate,
    };
    // The arithmetic instructions in NumberOp's order.
    static NumberOp NumberOpOf(Op op) {
        static_assert(static_cast<int>(Op::kDivide) - static_cast<int>(Op::kAdd) == static_cast<int>(NumberOp::kDivide));
        return static_cast<NumberOp>(static_cast<int>(op) - static_cast<int>(Op::kAdd));
    }
    struct Instruction {
        Op op;
        // A constant's or a text's index, or the text position an operand's name is read from.
        int argument;
    };
    // An operand: an Integer, a Float, or a String whose text is texts_ at its stack slot.
    using Number = NumberOperand;
    // A string literal: its text, and the positions of the names read inside it.
    struct Text {
        std::string text;
        int firstName = 0;
        int nameCount = 0;
    };
    struct Expression {
        int firstWord = 0;  // history entries of its words in words_ (start, length pairs)
        int wordCount = 0;
        int firstInstruction = 0;
        int instructionCount = 0;
        int depth = 0;     // nesting levels it enters below its own
        int leftmost = 0;  // the instruction of its leftmost operand, which writes the result
        int after = 0;     // where the word after it is read from (it is put back)
        bool keyword = false;  // a keyword is among its words
        bool text = false;     // a string literal is among its operands
    };
    // A separator, or an assignment with the separator after it if there is one.
    struct Statement {
        int readPosition = 0;  // where its first word (the target's name) is read from
        int firstWord = 0;     // all its words in words_
        int wordCount = 0;
        int index = -1;        // the element index's expression (a matrix's row), -1 for a plain variable
        int column = -1;       // a matrix element's column expression, -1 for any other target
        int value = -1;        // the value's expression, -1 for a separator
        // Where the last word read is read from when the statement is the last one replayed: its
        // own last word (a separator), or the word after the value, which is put back.
        int settleFrom = 0;
        bool putBack = false;
        int next = 0;  // where the word after it is read from
    };
    // One comparison of a condition: [NOT] a [op b], then And or Or and the next part, or the end.
    struct ConditionPart {
        int a = -1;
        int op = -1;  // a comparison's keyword code, -1 for a's truth alone
        int b = -1;
        bool invert = false;
        int chain = -1;  // And, Or, or -1 for the last part
    };
    struct Condition {
        int firstWord = 0;  // its words in words_, the word put back after it excluded
        int wordCount = 0;
        int firstPart = 0;  // in conditionParts_
        int partCount = 0;
        int depth = 0;
        int after = 0;  // where the word put back after it is read from
        bool keyword = false;
    };
    // Words read raw from one position to a closing word, and the names among them.
    struct Skip {
        int closing = 0;   // which skip: the closing word it was asked for
        int result = 0;
        int found = 0;
        int firstWord = 0; // in words_, the closing word last
        int wordCount = 0;
        int firstName = 0; // in textNames_
        int nameCount = 0;
    };
    // What the leftmost operand leaves on the result besides its value.
    struct Leftmost {
        ElementRef element;  // what is copied in (a variable or an element), or the matrix's record
        bool matrix = false; // a matrix element: only the matrix's name comes with it
    };
    class Compiler;
    static constexpr int kMaxStack = 32;
    static constexpr int kMaxDepth = 32;

    // -1 when what is read from here cannot be kept, else its index plus 1.
    int CompileStatement(CTesselParser& parser, int position);
    int CompileExpression(CTesselParser& parser, int position);
    int CompileCondition(CTesselParser& parser, int position);
    // The truth of one part; false where the reading would report.
    bool EvaluatePart(CTesselParser& parser, const ConditionPart& part, bool& truth);
    bool Evaluate(CTesselParser& parser, const Expression& expression, Number& result, Leftmost& left);
    // A one-word number or Integer or Float variable, evaluated as Evaluate does; false for any other.
    bool EvaluateSingle(CTesselParser& parser, const Expression& expression, Number& result, Leftmost& left) const;
    bool Operand(CTesselParser& parser, const Instruction& instruction, Number* stack, int& top, Leftmost& left,
                 bool leftmost);
    bool Combine(Op op, Number& a, int slot, const Number& b);
    bool CombineTexts(Op op, Number& a, int slot, const Number& b);
    // Whether the expression can be replayed now (room in the history, below the nesting limit).
    static bool Fits(const CTesselParser& parser, int words, int depth);
    static bool ScanIsPlain(const CTesselParser& parser);
    void SetResult(CTesselParser& parser, const Number& n, const Leftmost& left, Value& result) const;
    void SetValue(Value& v, const Number& n) const;  // n's type and value (a String's text from the stack's first slot)
    // The lexer's lookups of the names inside the texts evaluated, as reading them makes them.
    void ResolveTextNames(CTesselParser& parser, const Expression& expression) const;
    // The lookups of names read in order (their text positions), the last first; keywordSet: a
    // later name has set the keyword id. True once a name has set the network variable index.
    static bool ResolveNames(CTesselParser& parser, const int* names, int count, bool& keywordSet);
    static bool NamesLookedUp(const CTesselParser& parser, const int* names, int count);
    ElementRef StoredElement(CTesselParser& parser, const Statement& statement);
    // The matrix element a statement stores into, as a pointer; null where the reading would report.
    double* MatrixTarget(CTesselParser& parser, const Statement& statement);
    // A number index: an Integer expression's value; false for any other.
    bool IndexValue(CTesselParser& parser, int expression, std::int32_t& index);
    void Store(CTesselParser& parser, ElementRef target, const Number& result);
    void AddWord(int start, int end);  // a word's history entry, from its bounds in the text

    // By text position: 0 not yet looked at, -1 not kept, k > 0 the item k - 1.
    std::vector<int> statementAt_;
    std::vector<int> expressionAt_;
    std::vector<Statement> statements_;
    std::vector<Expression> expressions_;
    std::vector<Instruction> instructions_;
    std::vector<Number> constants_;
    std::vector<Text> texts_;
    std::vector<int> textNames_;  // the names inside texts, then those of skips
    std::vector<int> conditionAt_;
    std::vector<Condition> conditions_;
    std::vector<ConditionPart> conditionParts_;
    std::string leftText_;  // a compared String while the other side is evaluated
    std::vector<int> skipAt_;
    std::vector<Skip> skips_;
    std::vector<int> words_;
    std::string stackTexts_[kMaxStack];  // the String operands on the evaluation stack
    std::uint64_t replayedAssignments_ = 0;
    std::uint64_t replayedExpressions_ = 0;
};

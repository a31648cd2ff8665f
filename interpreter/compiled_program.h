// The compiled program of the regions: each statement at a text position as a node (a separator,
// a closing word, an assignment, an output statement, a command that only sets a value, an If, a
// For, a While, a Do, a Call) or an interpreted node that the word-by-word reader runs, the
// expressions as instructions for a small stack machine, the conditions as parts, the skips, the
// straight passes and the words every item stands for. It is made the first time a run reaches a
// text position, from the scan cache alone, and nothing in it changes while it runs: what a run
// finds out about names (their records, types, the extension's answers) is kept beside it, in
// BindingCaches, and what a run is in the middle of in RegionRunState. CompiledRegions runs it.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "interpreter/number_operators.h"
#include "interpreter/value.h"

class CTesselParser;

class CompiledProgram {
public:
    enum class Op : std::uint8_t {
        kConstant, kText, kVariable, kElement, kMatrixElement, kMember,
        kAdd, kSubtract, kModulo, kMultiply, kDivide, kNegate,
        // The built-in functions, their arguments on the stack: a ^ b, a function of one number
        // (argument: its index in the math table), Pow, INT and RGB.
        kPower, kFunction, kPow, kInt, kRgb,
    };
    // How many stack slots a built-in function takes.
    static int ArgumentsOf(Op op) { return op == Op::kRgb ? 3 : op == Op::kPower || op == Op::kPow ? 2 : 1; }
    // The arithmetic instructions in NumberOp's order.
    static NumberOp NumberOpOf(Op op) {
        static_assert(static_cast<int>(Op::kDivide) - static_cast<int>(Op::kAdd) == static_cast<int>(NumberOp::kDivide));
        return static_cast<NumberOp>(static_cast<int>(op) - static_cast<int>(Op::kAdd));
    }
    struct Instruction {
        Op op;
        // A constant's or a text's index, or the text position an operand's name is read from.
        int argument;
        std::int32_t integer = 0;  // an Integer constant's value
    };
    // A network variable's member as an operand (name . member): where its two names are read
    // from, and the member word's keyword id.
    struct Member {
        int name = 0;
        int word = 0;
        int id = 0;
    };
    // An operand: an Integer, a Float, or a String whose text is RegionRunState::stackTexts at its stack slot.
    using Number = NumberOperand;
    // A string literal: its text, and the positions of the names read inside it.
    struct Text {
        std::string text;
        int firstName = 0;
        int nameCount = 0;
    };
    // The names read inside the texts of an expression, a condition or an assignment, in the order
    // they are read: one run of textNames.
    struct TextNames {
        int first = 0;
        int count = 0;
        // The run from this one's first name to the other's last (read after it).
        TextNames Through(const TextNames& later) const { return {first, later.first + later.count - first}; }
    };
    struct Expression {
        TextNames names;
        int firstWord = 0;  // its words in words
        int wordCount = 0;
        int firstInstruction = 0;
        int instructionCount = 0;
        int depth = 0;     // nesting levels it enters below its own
        int after = 0;     // where the word after it is read from (it is put back)
        bool text = false; // names the extension looks up are among its operands (a text's, a member's)
        // A text, a variable or an element indexed by a number or a variable: a String it names
        // is read where it is kept, without a copy.
        bool leaf = false;
        // One operand, an element indexed by one, or two operands and an arithmetic operator:
        // evaluated without a stack first.
        bool shaped = false;
        // A shape of constants and variables only: evaluated as Integers while its names name
        // Integers (BindingCaches::Expression says at which version of the names they did).
        bool integers = false;
    };
    // An assignment, with the separator after it if there is one.
    struct Statement {
        int readPosition = 0;  // where its first word (the target's name) is read from
        Instruction target{Op::kVariable, 0};  // the target's name, as an operand's
        int firstWord = 0;     // all its words in words
        int wordCount = 0;
        int index = -1;        // the element index's expression (a matrix's row), -1 for a plain variable
        int column = -1;       // a matrix element's column expression, -1 for any other target
        int value = -1;        // the value's expression
        int depth = 0;
        bool text = false;     // names the extension looks up are among its operands
        TextNames names;
        // An Integer variable or Integer array element given an Integer shape (a matrix element
        // never): stored into directly while the target is one (BindingCaches::Statement).
        bool integers = false;
        // A plain variable (no element): stored into as a Float while the target is one.
        bool floats = false;
        // The last word read: its own last word (a separator), or the word after the value, put back.
        int settleFrom = 0;
        bool putBack = false;
        int next = 0;  // where the word after it is read from
        int slot = 0;  // its index in statements, and its binding caches'
    };
    // One comparison of a condition: [NOT] a [op b], then And or Or and the next part, or the end.
    struct ConditionPart {
        int a = -1;
        int op = -1;  // a comparison's keyword code, -1 for a's truth alone
        int b = -1;
        bool invert = false;
        bool texts = false;  // two leaves, not both numbers: compared where their texts are kept first
        bool integers = false;  // shapes that may be of Integer operands: compared as Integers first
        // The orders of two Integers (a alone: of a and 0) the part holds for, NOT included (OrderMask).
        unsigned char orders = 0;
        int chain = -1;  // And, Or, or -1 for the last part
    };
    struct Condition {
        int firstWord = 0;  // its words in words, the word put back after it excluded
        int wordCount = 0;
        int firstPart = 0;  // in conditionParts
        int partCount = 0;
        int depth = 0;
        int after = 0;  // where the word put back after it is read from
        bool text = false;  // names the extension looks up are among its operands
        TextNames names;
        // Where that word is first read from when it is a name (-1 for any other word); what the
        // extension answered for it is BindingCaches::conditionAnswers beside conditions.
        int afterName = -1;
    };
    // Words read raw from one position to a closing word, and the names among them.
    struct SkipWords {
        int closing = 0;   // which skip: the closing word it was asked for
        int result = 0;
        int found = 0;
        int firstWord = 0; // in words, the closing word last
        int wordCount = 0;
        int firstName = 0; // in textNames
        int nameCount = 0;
    };
    // Kinds from kIf on have bodies.
    enum class NodeKind : std::uint8_t {
        kInterpreted, kSeparator, kClosing, kAssign, kCommand, kOutput, kFileWrite, kFileRead,
        kIf, kFor, kWhile, kDo, kCall
    };
    // One statement from the text position it is read from. Its own words are words from
    // firstWord on (the statement's keyword first, where it has one).
    struct Node {
        NodeKind kind = NodeKind::kInterpreted;
        int code = 0;        // its keyword's code
        int closes = 0;      // the kinds of block its keyword closes
        int firstWord = 0;
        int wordCount = 0;   // the words up to the first expression, condition or body
        int next = 0;        // where the reading goes on after its words (a separator's, a closing word's)
        int item = -1;       // the assignment's or command's statement, the If's or While's condition
        int start = -1, end = -1, step = -1;  // a For's bounds (expressions); step -1: none
        int name = 0;        // where a For's variable or a Call's subroutine name is read from
        int headerWords = 0; // a For's words from its keyword to its last bound's last word
        int body = 0;        // where the body or branch starts
        int depth = 0;
        std::string text;    // a Call's subroutine name
        int keywordId = -2;  // an output statement's extension keyword
        bool lineBreak = false;  // Println
        bool keywordAfter = false;  // a file read's word put back after it is a keyword
        int slot = 0;        // its index in nodes, and its binding caches'
    };
    // A loop (For, While or Do) whose pass is assignments, separators and Ifs of conditions whose
    // branches hold the same (Ifs inside Ifs), up to its closing word, with the While's or the Do's
    // condition: nothing in it reads the world, calls, declares or asks the extension. Once the
    // history holds a pass's words, its passes run step by step without the statement layer;
    // where a guard fails, the statement layer takes the pass over at that step. Every step's
    // words stand at the same entries whichever way the Ifs go, the text's order.
    enum class StepKind : std::uint8_t { kAssign, kWord, kIf, kSkip };
    // A last word read by a step: where from, its entry from the pass's first, read raw.
    struct LastWordAt {
        int from = 0;
        int offset = 0;
        bool raw = false;
    };
    struct StraightStep {
        StepKind kind = StepKind::kWord;
        int item = -1;       // an assignment's statement, an If's condition, a skip's kept skip
        int at = 0;          // where it is read from
        int offset = 0;      // its first entry from the pass's first
        int next = -1;       // the step after it (an If's when true); -1 after the Wend
        int otherwise = -1;  // an If's step when false: the skip of its Then branch
        LastWordAt last;     // the last word read once it has run
        int branchOf = -1;   // the If whose branch it is in (a skip: whose branch it passes), -1: the body's
        bool elseSide = false;  // in the Else branch; a skip: the one after a Then branch closed by Else
        // An If's branches' blocks: where each is entered, and its entry's offset.
        int thenAt = 0, thenOffset = 0, elseAt = 0, elseOffset = 0;
    };
    struct StraightPass {
        int firstStep = 0;  // in straightSteps
        int stepCount = 0;
        int words = 0;      // the pass's words: a While's condition first, a Do's last
        int levels = 0;     // the nesting levels its blocks and conditions need above the loop's
        NodeKind loop = NodeKind::kWhile;
        int scope = 0;      // the scope counter a pass moves on
        int blockKind = 0;  // the body's block, where the statement layer takes a pass over
        int bodyAt = 0;     // where the body starts, and its first entry's offset
        int bodyOffset = 0;
        int test = -1;       // the condition read before each pass (While) or after it (Do)
        int testOffset = 0;  // the Do's condition's first entry
        int endAt = 0;       // where the scan stands after the body's closing word
        LastWordAt start;    // the last word read when a pass begins
    };
    // Words as the history keeps them: their starts and their lengths side by side.
    struct WordList {
        std::vector<int> starts;
        std::vector<int> lengths;
        int Size() const { return static_cast<int>(starts.size()); }
        void Add(int start, int end) {
            starts.push_back(start);
            lengths.push_back(end - start);
        }
        void Resize(int size) {
            starts.resize(static_cast<std::size_t>(size));
            lengths.resize(static_cast<std::size_t>(size));
        }
    };
    static constexpr int kMaxStack = 32;
    static constexpr int kMaxDepth = 32;

    // Forgets everything compiled (the text changed).
    void Clear();
    // The node read from a position, compiled (the first time it is asked for).
    Node& CompileNodeAt(CTesselParser& parser, int position);
    // The condition read from a position, compiled the first time: its index, -1 where it is not kept.
    int ConditionAt(CTesselParser& parser, int position);
    void AddWord(int start, int end) { words.Add(start, end); }  // a word's entry, from its bounds in the text
    void AddTextName(int at) { textNames.push_back(at); }
    void CutTextNames(int size) { textNames.resize(static_cast<std::size_t>(size)); }

    std::vector<Node*> nodeAt;  // by text position: null until compiled
    std::deque<Node> nodes;  // a node stays where it is while the nodes in its body are compiled
    std::vector<Statement> statements;
    std::vector<Expression> expressions;
    std::vector<Instruction> instructions;
    std::vector<Number> constants;
    std::vector<Text> texts;
    std::vector<Member> members;
    std::vector<int> textNames;  // the names inside texts, then those of skips
    std::vector<int> conditionAt;  // by text position: 0 not yet looked at, -1 not kept, k > 0 the item k - 1
    std::vector<Condition> conditions;
    std::vector<ConditionPart> conditionParts;
    std::vector<StraightPass> straightPasses;
    std::vector<StraightStep> straightSteps;
    std::vector<int> skipAt;
    std::vector<SkipWords> skips;
    WordList words;

private:
    class Compiler;
    // ----- compiling (region_compiler.cpp) -----
    // The item compiled from a text position: its index, -1 where it is not kept.
    // An assignment, or with keyword >= 0 a command of that keyword followed by "=" and a value.
    int CompileStatement(CTesselParser& parser, int position, int keyword = -1);
    int CompileCondition(CTesselParser& parser, int position);
    Node CompileNode(CTesselParser& parser, int position);
    bool CompileIf(CTesselParser& parser, Node& node);
    bool CompileWhile(CTesselParser& parser, Node& node);
    bool CompileFor(CTesselParser& parser, Node& node, int position);
    bool CompileCall(CTesselParser& parser, Node& node);
    // An output statement: the extension's keyword, then an expression (the word after it put back).
    bool CompileOutput(CTesselParser& parser, Node& node, int position);
    // A statement of one expression, its words ending at the last added: its depth, texts and
    // names are the expression's.
    void TakeValue(Statement& statement) const;
    // The statement kept: its index, which is its binding caches' too.
    int AddStatement(Statement& statement);
    // ----- commands (region_commands.cpp) -----
    // A command that only sets a value the run reads later: `keyword = number`.
    bool CompileCommand(CTesselParser& parser, Node& node, int position);
    // ----- file commands and reads (region_compiler.cpp) -----
    // FileWriteString ( text , fileVar ) or FileWrite1b ( fileVar , number ) and its siblings: the
    // value's expression and a plain File variable.
    bool CompileFileWrite(CTesselParser& parser, Node& node, int position);
    // name = FileReadString ( count , fileVar ), the word after it no operator: the one statement
    // form in which the file is read once, where it is read, and nothing read after it can fail.
    // Its words: the target, "=", the value's one entry, the word put back after it, then the
    // argument words the reading leaves past the count (the count's, ",", the variable, ")").
    bool CompileFileRead(CTesselParser& parser, Node& node, int position);
};

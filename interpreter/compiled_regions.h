// A run's loops, branches and called bodies, compiled the first time the run enters them: each
// statement at a text position becomes a node (a separator, a closing word, an assignment, an
// output statement, a command that only sets a value, a file write, a String given a file read,
// an If, a For, a While, a Do, a Call), or an
// interpreted node that the word-by-word reader runs. Operands are numbers, texts, variables,
// elements and network members (whose values the extension gives); operators include the built-in
// functions and powers. Nodes keep the words they stand for and count them into the token history
// (TokenHistory) as they run, so that the history, the token count and the scan position are
// always those of the reading; they write only the entries that do not hold those words from a
// loop's last pass already. What the last word read leaves behind (the current token, the word,
// the variable it named, the extension's lookups) is settled only when the reader takes over or a
// region is left. A While of Integer assignments and Ifs runs its later passes as straight steps
// that keep no scan position or count until the statement layer takes over (region_straight.cpp).
//
// Whatever would make the reading report, wait or stop (a pause or stop pending, a division by
// zero, an index out of range, a type an operator refuses, a function argument its test refuses,
// a name that is no such variable now, a full history, the nesting limit) fails a guard before
// the node has any effect; the reader then runs that statement, or that part of it, and reports
// on the same word. Names are looked up where they are read, in the current tables.
//
// docs/compiled_regions.md explains the mechanism for a newcomer, with an example.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "interpreter/name_index.h"
#include "interpreter/number_operators.h"
#include "interpreter/value.h"

class CTesselParser;
namespace crt { class CrtFile; }

class CompiledRegions {
public:
    // Forgets everything compiled (the text changed).
    void Clear();
    // A run's block of this kind from the scan position, compiled: what the reading's block
    // returns, with the lexer as the reading leaves it; -1 when the reading is to run it.
    int RunBlock(CTesselParser& parser, int kind);
    // A run's For, While or Do statement whose first word has just been read; -1 when the reading
    // is to run it (nothing has changed then).
    int RunLoopStatement(CTesselParser& parser);
    // A skip over a branch or a loop body (words read raw up to the closing word `closing` names,
    // Else standing for Else-or-Endif) from the scan position, as the reading does it: its result,
    // and whether an Else was found. Kept where it was read before.
    int Skip(CTesselParser& parser, int closing, int& found);
    // How many statements ran as compiled nodes since the object was made.
    std::uint64_t CompiledStatements() const { return compiledStatements_; }

private:
    // How a node ran: the reading is to run it (nothing has changed), it failed (the failure is
    // reported), it is done, or it was a word that closes the block. The first three are the
    // values a statement of the reading returns, -1 standing for "not run".
    enum class Ran : std::int8_t { kHandOver = -1, kFailed = 0, kDone = 1, kClosesBlock = 2 };
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
        // The binding cell of a name: the record it named as of the name index's version.
        mutable int record = -1;
        mutable NamesVersion version = 0;
        std::int32_t integer = 0;  // an Integer constant's value
    };
    // A network variable's member as an operand (name . member): where its two names are read
    // from, the member word's keyword id, and the variable the name last found.
    struct Member {
        int name = 0;
        int word = 0;
        int id = 0;
        mutable int variable = -1;
    };
    // An operand: an Integer, a Float, or a String whose text is texts_ at its stack slot.
    using Number = NumberOperand;
    // A string literal: its text, and the positions of the names read inside it.
    struct Text {
        std::string text;
        int firstName = 0;
        int nameCount = 0;
    };
    // The names read inside the texts of an expression, a condition or an assignment, in the order
    // they are read: one run of textNames_.
    struct TextNames {
        int first = 0;
        int count = 0;
        // The run from this one's first name to the other's last (read after it).
        TextNames Through(const TextNames& later) const { return {first, later.first + later.count - first}; }
    };
    struct Expression {
        TextNames names;
        int firstWord = 0;  // its words in words_
        int wordCount = 0;
        int firstInstruction = 0;
        int instructionCount = 0;
        int depth = 0;     // nesting levels it enters below its own
        int after = 0;     // where the word after it is read from (it is put back)
        bool text = false; // names the extension looks up are among its operands (a text's, a member's)
        // A text, a variable or an element indexed by a number or a variable: a String it names
        // is read where it is kept, without a copy.
        bool leaf = false;
        // Its typed code (in typedCode_) for the operand types it last met, -1 while it has none.
        mutable int typedFirst = -1;
        mutable int typedCount = 0;
        mutable NamesVersion typedVersion = 0;  // the name index's version its records were found at
        mutable std::uint8_t typedResult = 0;  // the type the typed code leaves
        mutable std::uint8_t typedTries = 0;   // how often typed code was made for it
        // One operand, an element indexed by one, or two operands and an arithmetic operator:
        // evaluated without a stack first.
        bool shaped = false;
        // A shape of constants and variables only: evaluated as Integers while its names name
        // Integers. A record's type and count stay as they are while the name index's version
        // does, so they are looked at once per version: integersAt is the version at which every
        // name was found an Integer of the shape's count, integersTried the last one looked at.
        bool integers = false;
        mutable NamesVersion integersAt = 0;
        mutable NamesVersion integersTried = 0;
    };
    // An expression's operations for known operand types: no type travels on the stack.
    enum class TypedOp : std::uint8_t {
        kIntegerConstant, kFloatConstant, kIntegerVariable, kFloatVariable, kIntegerElement, kFloatElement,
        kMatrixElement,  // read as a Float: only where it meets a Float, which makes it one anyway
        kIntegerMember, kFloatMember,
        kWiden, kWidenBelow,  // the Integer on the stack's top, or in the slot below it, made a Float
        kIntegerNegate, kFloatNegate,
        kIntegerAdd, kIntegerSubtract, kIntegerModulo, kIntegerMultiply, kIntegerDivide,
        kFloatAdd, kFloatSubtract, kFloatModulo, kFloatMultiply, kFloatDivide,
        kFloatPower, kFloatFunction, kFloatPow,  // Floats only: their Integers widened before
        kWhole,  // the Float `argument` slots below the top made an Integer as INT makes it
        kRgb,    // three Integers
        // Two Float operands and their operator in one: two variables (`record`, `record2`), a
        // variable and a constant, a constant and a variable; +, - or * in that order.
        kVariablesAdd, kVariablesSubtract, kVariablesMultiply,
        kVariableConstantAdd, kVariableConstantSubtract, kVariableConstantMultiply,
        kConstantVariableAdd, kConstantVariableSubtract, kConstantVariableMultiply,
    };
    struct TypedInstruction {
        TypedOp op;
        int argument = 0;  // the instruction whose name it reads
        int record = -1;   // the record that name found, as of the expression's typedVersion
        union {
            std::int32_t i;
            double d;
        } constant{};
        int argument2 = 0;  // a fused operation's second name, and its record
        int record2 = -1;
    };
    // The expression's typed code from `first` on with operand pairs fused into one operation.
    void FuseTypedCode(std::size_t first) const;
    // An assignment, with the separator after it if there is one.
    struct Statement {
        int readPosition = 0;  // where its first word (the target's name) is read from
        Instruction target{Op::kVariable, 0};  // the target's name, as an operand's
        int firstWord = 0;     // all its words in words_
        int wordCount = 0;
        int index = -1;        // the element index's expression (a matrix's row), -1 for a plain variable
        int column = -1;       // a matrix element's column expression, -1 for any other target
        int value = -1;        // the value's expression
        int depth = 0;
        bool text = false;     // names the extension looks up are among its operands
        TextNames names;
        // An Integer variable or Integer array element given an Integer shape (a matrix element
        // never): stored into directly while the target, as of targetAt's version, is one.
        bool integers = false;
        mutable NamesVersion targetAt = 0;
        mutable NamesVersion targetTried = 0;
        // A plain variable (no element): stored into as a Float while the target, as of
        // floatAt's version, is one.
        bool floats = false;
        mutable NamesVersion floatAt = 0;
        mutable NamesVersion floatTried = 0;
        // The last word read: its own last word (a separator), or the word after the value, put back.
        int settleFrom = 0;
        bool putBack = false;
        int next = 0;  // where the word after it is read from
    };
    // What the extension answered for a name that is no variable, as of its names' version.
    struct ExtensionAnswer {
        std::uint32_t version = 0;
        int keywordId = -2;
        int variableIndex = -1;
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
        int firstWord = 0;  // its words in words_, the word put back after it excluded
        int wordCount = 0;
        int firstPart = 0;  // in conditionParts_
        int partCount = 0;
        int depth = 0;
        int after = 0;  // where the word put back after it is read from
        bool text = false;  // names the extension looks up are among its operands
        TextNames names;
        // Where that word is first read from when it is a name (-1 for any other word), and what
        // the extension answered for it.
        int afterName = -1;
        mutable ExtensionAnswer afterAnswer;
    };
    // Words read raw from one position to a closing word, and the names among them.
    struct SkipWords {
        int closing = 0;   // which skip: the closing word it was asked for
        int result = 0;
        int found = 0;
        int firstWord = 0; // in words_, the closing word last
        int wordCount = 0;
        int firstName = 0; // in textNames_
        int nameCount = 0;
        // The name index's version when every name was last found a variable: while it is the
        // same, the lookups are not made again.
        NamesVersion variablesVersion = 0;
    };
    // Kinds from kIf on have bodies.
    enum class NodeKind : std::uint8_t {
        kInterpreted, kSeparator, kClosing, kAssign, kCommand, kOutput, kFileWrite, kFileRead,
        kIf, kFor, kWhile, kDo, kCall
    };
    // One statement from the text position it is read from. Its own words are words_ from
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
        int subroutine = -1; // a Call's subroutine as last found
        int subroutineCount = -1;  // the table's length when it was found
        std::string text;    // a Call's subroutine name
        ExtensionAnswer nameAnswer;  // the extension's answer for a Call's subroutine name, an output keyword
        int keywordId = -2;  // an output statement's extension keyword
        bool lineBreak = false;  // Println
        bool keywordAfter = false;  // a file read's word put back after it is a keyword
        // A While's straight pass (in straightPasses_); kNotLookedAt until a pass has run clean.
        mutable int straight = kNotLookedAt;
        mutable int straightTries = 0;
    };
    static constexpr int kNotLookedAt = -1;
    static constexpr int kNotStraight = -2;
    // A While whose pass is a condition comparing two Integer shapes, then assignments of Integer
    // shapes, separators and Ifs of such conditions whose branches hold only those, up to its
    // Wend. Once the history holds a pass's words, its passes run step by step without the
    // statement layer; where a guard fails, the statement layer takes the pass from that step on.
    // Every step's words stand at the same entries whichever way the Ifs go, the text's order.
    enum class StepKind : std::uint8_t { kAssign, kWord, kIf, kSkip };
    struct StraightStep {
        StepKind kind = StepKind::kWord;
        int item = -1;       // an assignment's statement, an If's condition, a skip's kept skip
        int at = 0;          // where it is read from
        int offset = 0;      // its first entry from the pass's first
        int next = -1;       // the step after it (an If's when true); -1 after the Wend
        int otherwise = -1;  // an If's step when false: the skip of its Then branch
        // The last word read once it has run: where from, its entry from the pass's first, raw.
        int lastFrom = 0;
        int lastOffset = 0;
        bool lastRaw = false;
        int branchOf = -1;   // the If whose branch it is in (a skip: whose branch it passes), -1: the body's
        bool elseSide = false;  // in the Else branch; a skip: the one after a Then branch closed by Else
        // An If's branches' blocks: where each is entered, and its entry's offset.
        int thenAt = 0, thenOffset = 0, elseAt = 0, elseOffset = 0;
    };
    struct StraightPass {
        int firstStep = 0;  // in straightSteps_
        int stepCount = 0;
        int words = 0;      // the pass's words, the condition's first
        int levels = 0;     // the nesting levels its blocks and conditions need above the While's
    };
    static constexpr int kStraightTries = 8;  // clean passes that may find a branch not yet compiled
    // A bound Integer shape with its operands as pointers to their values (a constant's in its
    // instruction, a variable's in its record): made for each evaluation, or once on entering
    // straight passes, during which no record, element table or instruction moves.
    enum class ShapeForm : std::uint8_t { kOne, kElement, kTwo, kLeft, kRight };
    struct PointedShape {
        ShapeForm form = ShapeForm::kOne;
        NumberOp first = NumberOp::kAdd;   // (a first b) second c, or a second (b first c)
        NumberOp second = NumberOp::kAdd;
        const std::int32_t* a = nullptr;
        const std::int32_t* b = nullptr;
        const std::int32_t* c = nullptr;
        const Value* array = nullptr;  // the array an element is read from, indexed by a
    };
    // A step's shapes: an assignment's index (an element's) and value, an If's two sides.
    struct PointedStep {
        PointedShape x;
        PointedShape y;
        std::int32_t* scalar = nullptr;  // a variable target
        Value* array = nullptr;          // an element target's array (x its index, y the value)
        unsigned char orders = 0;        // a condition's
        bool alone = false;              // a condition that is one shape's truth
    };
    // The last word a node read: what it leaves behind is settled when the reading takes over.
    struct LastWord {
        int from = -1;       // where it is read from; -1: the parser's own state is current
        int index = 0;       // its history entry (past the count for a word put back)
        bool raw = false;    // read raw (a skip's closing word)
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
    class Compiler;
    static constexpr int kMaxStack = 32;
    // Levels a compiled block keeps free below the nesting limit: its own, and those its closing and
    // control words are read at, so that no word it reads meets the limit.
    static constexpr int kBlockLevels = 4;
    // The end a room check passes where it writes no words (entering a block writes none).
    static constexpr int kNoWords = 0;
    static constexpr int kMaxDepth = 32;

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
    // ----- commands and members (region_commands.cpp) -----
    // A command that only sets a value the run reads later: `keyword = number`.
    bool CompileCommand(CTesselParser& parser, Node& node, int position);
    Ran RunCommand(CTesselParser& parser, const Node& node);
    // ----- file commands and reads (region_files.cpp) -----
    // FileWriteString ( text , fileVar ) or FileWrite1b ( fileVar , number ) and its siblings: the
    // value's expression and a plain File variable.
    bool CompileFileWrite(CTesselParser& parser, Node& node, int position);
    // name = FileReadString ( count , fileVar ), the word after it no operator: the one statement
    // form in which the file is read once, where it is read, and nothing read after it can fail.
    // Its words: the target, "=", the value's one entry, the word put back after it, then the
    // argument words the reading leaves past the count (the count's, ",", the variable, ")").
    bool CompileFileRead(CTesselParser& parser, Node& node, int position);
    Ran RunFileWrite(CTesselParser& parser, const Node& node);
    Ran RunFileRead(CTesselParser& parser, const Node& node);
    // The open file of the plain File variable named at a position, or null.
    static crt::CrtFile* OpenFileNamedAt(const CTesselParser& parser, int name);
    // The reading would take the value's literal from its last reading instead of reading the file.
    static bool LiteralReadAgain(const CTesselParser& parser, int keywordStart);
    // A member operand's value; false where the reading would read on, report or find a variable.
    bool MemberValue(CTesselParser& parser, const Instruction& instruction, Number& value) const;
    int ConditionAt(CTesselParser& parser, int position);
    // The node read from a position, compiled the first time.
    Node& NodeAt(CTesselParser& parser, int position) {
        return nodeAt_.empty() ? CompileNodeAt(parser, position) : NodeAfterFirst(parser, position);
    }
    // The same once a node has been compiled (the table of nodes is made).
    Node& NodeAfterFirst(CTesselParser& parser, int position) {
        Node* node = nodeAt_[static_cast<std::size_t>(position)];
        return node != nullptr ? *node : CompileNodeAt(parser, position);
    }
    Node& CompileNodeAt(CTesselParser& parser, int position);
    void AddWord(int start, int end);  // a word's history entry, from its bounds in the text

    // ----- evaluating (region_expressions.cpp) -----
    // The truth of a condition, every part evaluated; false where the reading would report.
    bool Truth(CTesselParser& parser, const Condition& condition, bool& truth);
    bool TruthOtherwise(CTesselParser& parser, const Condition& condition, bool& truth);
    bool EvaluatePart(CTesselParser& parser, const ConditionPart& part, bool& truth);
    bool IntegerPart(const CTesselParser& parser, const ConditionPart& part, bool& truth) const;
    // A part that is no comparison of Integer shapes: texts compared in place, or the general evaluation.
    bool EvaluatePartOtherwise(CTesselParser& parser, const ConditionPart& part, bool& truth);
    const std::string* TextLeaf(CTesselParser& parser, const Expression& expression) const;
    bool Evaluate(CTesselParser& parser, const Expression& expression, Number& result);
    // Typed code, or the general evaluation with a type on every stack slot.
    bool EvaluateOtherwise(CTesselParser& parser, const Expression& expression, Number& result);
    bool Leaf(CTesselParser& parser, const Instruction& leaf, Number& result) const;
    bool EvaluateShape(CTesselParser& parser, const Expression& expression, Number& result) const;
    bool TwoOperators(CTesselParser& parser, const Instruction* at, Number& result) const;
    // Whether an Integer shape's names name Integers of its counts at this version of the names
    // (their records then kept in its instructions).
    bool IntegersBound(const CTesselParser& parser, const Expression& expression, NamesVersion version) const;
    bool BindIntegers(const CTesselParser& parser, const Expression& expression) const;
    // A bound Integer shape evaluated; false (the other ways take it) for an index out of range or
    // a division by zero.
    bool IntegerShape(const Value* variables, const Expression& expression, std::int32_t& value) const;
    // An Integer shape's value where it is bound; false where the other ways are to take it.
    bool IntegerValue(const CTesselParser& parser, const Expression& expression, NamesVersion version, std::int32_t& value) const;
    // ----- typed code (region_typed_code.cpp) -----
    // Makes the expression's typed code for its operands' types now; false for an expression
    // that has none (a text, a matrix element, an operand that is no number now).
    bool MakeTypedCode(CTesselParser& parser, const Expression& expression);
    // The typed code run; false where an operand's type has changed or the reading would report.
    bool RunTypedCode(CTesselParser& parser, const Expression& expression, Number& result) const;
    // The records the typed code's names find now; false where one finds none.
    bool BindTypedCode(const CTesselParser& parser, const Expression& expression) const;
    // A For bound: an Integer or Float; false for any other, or where the reading would report.
    bool Bound(CTesselParser& parser, int expression, double& value);
    bool Operand(CTesselParser& parser, const Instruction& instruction, Number* stack, int& top);
    // The record an operand's name names now (its binding cell kept), or -1.
    static int RecordOf(const CTesselParser& parser, const Instruction& instruction);
    bool Combine(Op op, Number& a, int slot, const Number& b);
    // A built-in function of the operands on the stack's top; false where the reading would
    // report (a String argument, an argument its test refuses).
    static bool Builtin(const Instruction& instruction, Number* stack, int& top);
    bool CombineTexts(Op op, Number& a, int slot, const Number& b);
    // The one room check: the history can reach entry `end` (the count after the words and the
    // one put back) and the nesting can take `levels` more levels below its limit. Every guard
    // of room comes here, so that the compiled code hands over exactly where the reading would
    // meet a limit.
    static bool Room(const CTesselParser& parser, int end, int levels);
    // Room for a statement's words after the count, and for its depth below a block's two levels.
    static bool Fits(const CTesselParser& parser, int words, int depth);
    void SetValue(Value& v, const Number& n) const;
    // n as text wherever a value becomes text (a String's from the stack's first slot); scratch
    // holds a number's.
    const std::string& ResultText(const Number& n, std::string& scratch) const;  // n's type and value (a String's text from the stack's first slot)
    // The lexer's lookups of the names inside the texts evaluated, as reading them makes them.
    void ResolveTextNames(CTesselParser& parser, const TextNames& names) const {
        bool keywordSet = false;
        if (names.count > 0)
            ResolveNames(parser, textNames_.data() + names.first, nameAnswers_.data() + names.first, names.count, keywordSet);
    }
    // The lookups of names read in order (their text positions), the last first; keywordSet: a
    // later name has set the keyword id. True once a name has set the network variable index.
    // The extension is asked again only when its names' version has changed.
    static bool ResolveNames(CTesselParser& parser, const int* names, ExtensionAnswer* answers, int count, bool& keywordSet);
    void AddTextName(int at) {
        textNames_.push_back(at);
        nameAnswers_.emplace_back();
    }
    void CutTextNames(int size) {
        textNames_.resize(static_cast<std::size_t>(size));
        nameAnswers_.resize(static_cast<std::size_t>(size));
    }
    static bool NamesLookedUp(const CTesselParser& parser, const int* names, int count);
    // Every name names a variable now (its lookups then leave nothing behind).
    static bool AllVariables(const CTesselParser& parser, const int* names, int count);
    ElementRef StoredElement(CTesselParser& parser, const Statement& statement);
    // The matrix element a statement stores into, as a pointer; null where the reading would report.
    double* MatrixTarget(CTesselParser& parser, const Statement& statement);
    // A number index: an Integer expression's value; false for any other.
    bool IndexValue(CTesselParser& parser, int expression, std::int32_t& index);
    void Store(CTesselParser& parser, ElementRef target, const Number& result);
    static bool TakesText(int type) { return type == kTypeInteger || type == kTypeFloat || type == kTypeString; }
    static void StoreText(Value::Payload& target, int type, const std::string& text);
    // An assignment run; false (nothing changed) where the reading is to run it.
    bool RunAssignment(CTesselParser& parser, const Statement& statement);
    std::int32_t* IntegerTarget(CTesselParser& parser, const Statement& statement, std::int32_t& value);
    bool TargetBound(const CTesselParser& parser, const Statement& statement, NamesVersion version) const;
    bool AssignmentBound(const CTesselParser& parser, const Statement& statement, NamesVersion version) const;
    std::int32_t* BoundTarget(Value* variables, const Statement& statement, std::int32_t& value) const;
    // The assignment's store by the shapes, typed code or the general evaluation.
    bool AssignOtherwise(CTesselParser& parser, const Statement& statement);
    // A Float variable given a number; false (nothing changed) where the other ways are to take it.
    bool AssignFloat(CTesselParser& parser, const Statement& statement);

    // ----- running (region_runner.cpp) -----
    // A block compiled, or -1 (nothing changed); the last word is left to settle.
    int Block(CTesselParser& parser, int kind);
    // The same with the block entered at another word than the scan position's (part of it has run).
    int Block(CTesselParser& parser, int kind, int entryPosition, int entryCount);
    // A block compiled, or else read.
    int BlockOrReading(CTesselParser& parser, int kind);
    int BlockOrReading(CTesselParser& parser, int kind, int entryPosition, int entryCount);
    int ReadBlock(CTesselParser& parser, int kind);  // the reading's block, the last word settled
    int AfterBodyStatement(CTesselParser& parser, int kind, int entryPosition, int entryCount, int entryLength);
    // A statement the reader runs, in a block of this kind that started at entry with entryLength
    // variables: kGoesOn or the block's result.
    int Interpret(CTesselParser& parser, int at, int kind, int entryPosition, int entryCount, int entryLength);
    // The statements of a block, its nesting level entered; closing: the closing word that ended it.
    int Statements(CTesselParser& parser, int kind, int& closing, int entryPosition, int entryCount);
    // ----- straight passes (region_straight.cpp) -----
    // The While's straight pass, found the first time it is asked for; -1 where it has none.
    int StraightOf(CTesselParser& parser, const Node& node);
    bool IntegerCondition(const Condition& condition) const;  // one part comparing Integer shapes
    // The steps of a body or a branch from `at` (left after its closing word) up to its closing
    // word: that word's code, or -1 where the text is no straight pass. `open`: the steps whose
    // next step is the one added next.
    int AddStraightSteps(CTesselParser& parser, int& at, StraightPass& pass, int branchOf, bool elseSide,
                         std::vector<int>& open);
    bool AddStraightIf(CTesselParser& parser, const Node& node, int& at, StraightPass& pass, std::vector<int>& open);
    // The kept skip from `at` to `closing` (finding an Else or not) as a step at `offset`; -1 where
    // none is kept that reads those `words` words and leaves the scan at `end`.
    int AddStraightSkip(StraightPass& pass, int branchOf, int at, int closing, bool found, int offset, int words, int end);
    int AddStep(StraightPass& pass, const StraightStep& step, std::vector<int>& open);
    // How straight passes from the condition ended: the loop ended (the Wend skipped), the
    // condition is to be read by the compiled While (nothing has changed since the pass began),
    // or the statement layer is to take the pass over at a step.
    struct StraightEnd {
        enum Kind : std::uint8_t { kLoopEnded, kAtCondition, kTakeOver } kind = kAtCondition;
        int step = -1;  // kTakeOver's step
    };
    StraightEnd RunStraight(CTesselParser& parser, const Node& node, int conditionCount);
    bool StraightBound(const CTesselParser& parser, const Condition& condition, const StraightPass& pass) const;
    PointedShape PointTo(const Value* variables, const Expression& expression) const;
    PointedStep PointToCondition(Value* variables, const Condition& condition) const;
    static bool PointedValue(const PointedShape& shape, std::int32_t& value);
    static bool PointedTruth(const PointedStep& step, bool& truth);
    static bool PointedStore(const PointedStep& step);
    void PointSteps(CTesselParser& parser, const Condition& condition, const StraightPass& pass);
    // The scan, the count and the last word as the steps up to `before` (-1: none) left them.
    void StraightStopAt(CTesselParser& parser, const Node& node, const StraightStep* steps, int step, int before,
                        int conditionCount);
    // The rest of a While's body from the scan position, its block entered where the body begins.
    int RestOfBody(CTesselParser& parser, const Node& node, int conditionCount);
    // The rest of a pass the statement layer takes over at a step.
    int TakeOverPass(CTesselParser& parser, const Node& node, int step, int conditionCount);
    // The rest of an If of the body taken over at a step of its (where the step is in its
    // branches or skips them), then what the statement layer looks at after an If.
    int TakeOverIf(CTesselParser& parser, const Node& node, const StraightStep& at, const StraightStep& ifStep,
                   int conditionCount);
    // An If's end once its Then branch has run, and its way when false, as RunIf takes them.
    int AfterThenBranch(CTesselParser& parser);
    int ElseOfIf(CTesselParser& parser);
    // The nodes with bodies. keywordRead: the reader has read the statement's first word.
    Ran RunIf(CTesselParser& parser, const Node& node);
    // The one entry into a compiled loop, from the statement layer or from a region's node.
    Ran RunLoop(CTesselParser& parser, const Node& node, int at, bool keywordRead);
    Ran RunFor(CTesselParser& parser, const Node& node, bool keywordRead);
    Ran RunWhile(CTesselParser& parser, const Node& node, int at, bool keywordRead);
    Ran RunDo(CTesselParser& parser, const Node& node, int at, bool keywordRead);
    // What a loop's pass leaves: another pass, or the loop's end.
    enum class Pass : std::int8_t { kAgain, kDone, kFailed };
    // The one loop-pass skeleton: every pass starts at `position` with the history's count at
    // `count`; a pass that nothing disturbed vouches for the words it wrote, then afterPass looks.
    template <typename RunPass, typename AfterPass>
    Ran Passes(CTesselParser& parser, int position, int count, RunPass runPass, AfterPass afterPass);
    bool TakeLoopKeyword(CTesselParser& parser, const Node& node, int at, bool keywordRead);
    Ran RunCall(CTesselParser& parser, Node& node);
    Ran RunOutput(CTesselParser& parser, Node& node);
    // The name read at `name` is still the extension keyword `id`: no variable of its name, and
    // the extension's answer for it (asked again when its names change) is the same.
    static bool StillKeyword(CTesselParser& parser, int name, ExtensionAnswer& answer, int id);
    // The extension's answers for a name that is no variable, asked again only when its names changed.
    static const ExtensionAnswer& Answered(CTesselParser& parser, int name, ExtensionAnswer& answer);
    static void AskExtension(CTesselParser& parser, int name, ExtensionAnswer& answer);
    // A statement node in a block of this kind.
    Ran RunNode(CTesselParser& parser, Node& node, int at, int kind);
    // A While or Do condition from the scan position: false after the reading has reported.
    // lookAfter: the word put back after it is not read again next (a Do going round again), so
    // its lookups are made here, as reading it made them.
    bool LoopCondition(CTesselParser& parser, int condition, bool& truth, bool lookAfter = false);
    bool LoopConditionOtherwise(CTesselParser& parser, int condition, bool& truth, bool lookAfter);
    void TakeCondition(CTesselParser& parser, const Condition& condition);
    void PutBackAfter(CTesselParser& parser, const Condition& condition);
    int SkipInner(CTesselParser& parser, int closing, int& found);
    // The skip read (and kept for the next time).
    int ReadSkip(CTesselParser& parser, int closing, int& found);
    // The node's words from `from` on (count of them) into the history.
    void Write(CTesselParser& parser, int firstWord, int count);
    void WriteWord(CTesselParser& parser, int word);
    void FinishStatement(CTesselParser& parser, const Statement& statement);
    void Took(int from, int index, bool raw = false) { last_ = {from, index, raw}; }
    // What the last word read leaves behind, as reading it leaves it (scan position and history untouched).
    void Settle(CTesselParser& parser);
    // A run reading its own cached text, with nothing pending that the reader would wait for,
    // stop at or end with.
    static bool ScanIsPlain(const CTesselParser& parser);
    static bool Polled(const CTesselParser& parser);
    static void ClearError(CTesselParser& parser);
    int ReplaySkip(CTesselParser& parser, int closing, int& found);
    bool LookUpSkipNames(CTesselParser& parser, SkipWords& skip);
    void KeepSkip(CTesselParser& parser, int closing, int from, int fromCount, int result, int found);

    std::vector<Node*> nodeAt_;  // by text position: null until compiled
    std::deque<Node> nodes_;  // a node stays where it is while the nodes in its body are compiled
    std::vector<Statement> statements_;
    std::vector<Expression> expressions_;
    std::vector<Instruction> instructions_;
    mutable std::vector<TypedInstruction> typedCode_;
    std::vector<Number> constants_;
    std::vector<Text> texts_;
    std::vector<Member> members_;
    std::vector<int> textNames_;  // the names inside texts, then those of skips
    mutable std::vector<ExtensionAnswer> nameAnswers_;  // beside textNames_
    std::vector<int> conditionAt_;  // by text position: 0 not yet looked at, -1 not kept, k > 0 the item k - 1
    std::vector<Condition> conditions_;
    std::vector<ConditionPart> conditionParts_;
    std::string readText_;  // the text a compiled file read read
    std::string leftText_;  // a compared String while the other side is evaluated
    std::vector<StraightPass> straightPasses_;
    std::vector<StraightStep> straightSteps_;
    std::vector<PointedStep> pointedSteps_;  // the running pass's steps, then its condition
    std::vector<int> skipAt_;
    std::vector<SkipWords> skips_;
    WordList words_;
    std::string stackTexts_[kMaxStack];  // the String operands on the evaluation stack
    LastWord last_;
    int closedBy_ = 0;  // the closing word that ended the block just run compiled, 0: another end
    std::uint64_t compiledStatements_ = 0;
};

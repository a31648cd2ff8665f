// The runner of a run's loops, branches and called bodies, compiled the first time the run enters
// them. It owns three things: the compiled program (CompiledProgram: each statement at a text
// position a node, an assignment, an output statement, a command that only sets a value, a file
// write, a String given a file read, an If, a For, a While, a Do, a Call, or an interpreted node
// that the word-by-word reader runs), which
// does not change while it runs; the binding caches (BindingCaches: what the run found the
// program's names to be); and the run's state (RegionRunState: the last word read, the stack's
// texts, the running straight pass). Operands are numbers, texts, variables, elements and network
// members (whose values the extension gives); operators include the built-in functions and powers. Nodes keep the words they stand for and count them into the token history
// (TokenHistory) as they run, so that the history, the token count and the scan position are
// always those of the reading; they write only the entries that do not hold those words from a
// loop's last pass already. What the last word read leaves behind (the current token, the word,
// the variable it named, the extension's lookups) is settled only when the reader takes over or a
// region is left. A loop of assignments and Ifs runs its later passes as straight steps that keep
// no scan position or count until the statement layer takes over (region_straight.cpp).
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

#include "interpreter/binding_caches.h"
#include "interpreter/compiled_program.h"
#include "interpreter/name_index.h"
#include "interpreter/number_operators.h"
#include "interpreter/region_run_state.h"
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
    std::uint64_t CompiledStatements() const { return run_.compiledStatements; }
    // How many of those ran as steps of straight passes.
    std::uint64_t StraightStatements() const { return run_.straightStatements; }

private:
    // How a node ran: the reading is to run it (nothing has changed), it failed (the failure is
    // reported), it is done, or it was a word that closes the block. The first three are the
    // values a statement of the reading returns, -1 standing for "not run".
    enum class Ran : std::int8_t { kHandOver = -1, kFailed = 0, kDone = 1, kClosesBlock = 2 };
    using Op = CompiledProgram::Op;
    using Instruction = CompiledProgram::Instruction;
    using Member = CompiledProgram::Member;
    using Number = CompiledProgram::Number;
    using Text = CompiledProgram::Text;
    using TextNames = CompiledProgram::TextNames;
    using Expression = CompiledProgram::Expression;
    using Statement = CompiledProgram::Statement;
    using ConditionPart = CompiledProgram::ConditionPart;
    using Condition = CompiledProgram::Condition;
    using SkipWords = CompiledProgram::SkipWords;
    using NodeKind = CompiledProgram::NodeKind;
    using Node = CompiledProgram::Node;
    using StepKind = CompiledProgram::StepKind;
    using StraightStep = CompiledProgram::StraightStep;
    using StraightPass = CompiledProgram::StraightPass;
    using LastWordAt = CompiledProgram::LastWordAt;
    using ExtensionAnswer = BindingCaches::ExtensionAnswer;
    using TypedOp = BindingCaches::TypedOp;
    using TypedInstruction = BindingCaches::TypedInstruction;
    using ShapeForm = RegionRunState::ShapeForm;
    using PointedShape = RegionRunState::PointedShape;
    using PointedStep = RegionRunState::PointedStep;
    using PointedPart = RegionRunState::PointedPart;
    using NumberLeaf = RegionRunState::NumberLeaf;
    using StepForm = RegionRunState::StepForm;
    using PointedFor = RegionRunState::PointedFor;
    static constexpr int kMaxStack = CompiledProgram::kMaxStack;
    static constexpr int kMaxDepth = CompiledProgram::kMaxDepth;
    static constexpr int kNotLookedAt = BindingCaches::kNotLookedAt;
    static constexpr int kNotStraight = BindingCaches::kNotStraight;
    static int ArgumentsOf(Op op) { return CompiledProgram::ArgumentsOf(op); }
    static NumberOp NumberOpOf(Op op) { return CompiledProgram::NumberOpOf(op); }
    // The expression's typed code from `first` on with operand pairs fused into one operation.
    void FuseTypedCode(std::size_t first);
    // Looks that may find a branch not yet compiled: after 1, 2, 4, ... clean passes more, since a
    // branch may be taken once in thousands of passes.
    static constexpr int kStraightTries = 16;
    static constexpr int kTypedTries = 4;  // typed code is made again when operand types change, a few times at most
    // Levels a compiled block keeps free below the nesting limit: its own, and those its closing and
    // control words are read at, so that no word it reads meets the limit.
    static constexpr int kBlockLevels = 4;
    // The end a room check passes where it writes no words (entering a block writes none).
    static constexpr int kNoWords = 0;

    // The node read from a position, compiled the first time.
    Node& NodeAt(CTesselParser& parser, int position) {
        return program_.nodeAt.empty() ? CompileNodeAt(parser, position) : NodeAfterFirst(parser, position);
    }
    // The same once a node has been compiled (the table of nodes is made).
    Node& NodeAfterFirst(CTesselParser& parser, int position) {
        Node* node = program_.nodeAt[static_cast<std::size_t>(position)];
        return node != nullptr ? *node : CompileNodeAt(parser, position);
    }
    // The node compiled, with room for its items in the caches.
    Node& CompileNodeAt(CTesselParser& parser, int position) {
        Node& node = program_.CompileNodeAt(parser, position);
        caches_.Fit(program_);
        return node;
    }
    int ConditionAt(CTesselParser& parser, int position) {
        const int condition = program_.ConditionAt(parser, position);
        if (static_cast<std::size_t>(condition + 1) > caches_.conditionAnswers.size()) caches_.Fit(program_);
        return condition;
    }
    // ----- commands and members (region_commands.cpp, region_members.cpp) -----
    Ran RunCommand(CTesselParser& parser, const Node& node);
    // ----- file commands and reads (region_files.cpp) -----
    Ran RunFileWrite(CTesselParser& parser, const Node& node);
    Ran RunFileRead(CTesselParser& parser, const Node& node);
    // The open file of the plain File variable named at a position, or null.
    static crt::CrtFile* OpenFileNamedAt(const CTesselParser& parser, int name);
    // A member operand's value; false where the reading would read on, report or find a variable.
    bool MemberValue(CTesselParser& parser, const Instruction& instruction, Number& value);

    // ----- evaluating (region_expressions.cpp) -----
    // The truth of a condition, every part evaluated; false where the reading would report.
    bool Truth(CTesselParser& parser, const Condition& condition, bool& truth);
    bool TruthOtherwise(CTesselParser& parser, const Condition& condition, bool& truth);
    bool EvaluatePart(CTesselParser& parser, const ConditionPart& part, bool& truth);
    bool IntegerPart(const CTesselParser& parser, const ConditionPart& part, bool& truth);
    // A part that is no comparison of Integer shapes: texts compared in place, or the general evaluation.
    bool EvaluatePartOtherwise(CTesselParser& parser, const ConditionPart& part, bool& truth);
    const std::string* TextLeaf(CTesselParser& parser, const Expression& expression);
    bool Evaluate(CTesselParser& parser, const Expression& expression, Number& result);
    // Typed code, or the general evaluation with a type on every stack slot.
    bool EvaluateOtherwise(CTesselParser& parser, const Expression& expression, BindingCaches::Instruction* cells, Number& result);
    bool Leaf(CTesselParser& parser, const Instruction& leaf, BindingCaches::Name& cell, Number& result);
    bool EvaluateShape(CTesselParser& parser, const Expression& expression, BindingCaches::Instruction* cells, Number& result);
    bool TwoOperators(CTesselParser& parser, const Instruction* at, BindingCaches::Instruction* cells, Number& result);
    // Whether an Integer shape's names name Integers of its counts at this version of the names
    // (their records then kept in its instructions).
    bool IntegersBound(const CTesselParser& parser, const Expression& expression, BindingCaches::Instruction* cells,
                       NamesVersion version);
    __attribute__((always_inline)) bool IntegersBound(const CTesselParser& parser, const Expression& expression, NamesVersion version) {
        return IntegersBound(parser, expression, CellsOf(expression), version);
    }
    bool BindIntegers(const CTesselParser& parser, const Expression& expression);
    // A bound Integer shape evaluated; false (the other ways take it) for an index out of range or
    // a division by zero.
    bool IntegerShape(const Value* variables, const Expression& expression, const BindingCaches::Instruction* cells,
                      std::int32_t& value);
    __attribute__((always_inline)) bool IntegerShape(const Value* variables, const Expression& expression, std::int32_t& value) {
        return IntegerShape(variables, expression, CellsOf(expression), value);
    }
    // An Integer shape's value where it is bound; false where the other ways are to take it.
    bool IntegerValue(const CTesselParser& parser, const Expression& expression, BindingCaches::Instruction* cells,
                      NamesVersion version, std::int32_t& value);
    __attribute__((always_inline)) bool IntegerValue(const CTesselParser& parser, const Expression& expression, NamesVersion version, std::int32_t& value) {
        return IntegerValue(parser, expression, CellsOf(expression), version, value);
    }
    // ----- typed code (region_typed_code.cpp) -----
    // Makes the expression's typed code for its operands' types now; false for an expression
    // that has none (a text, a matrix element, an operand that is no number now).
    bool MakeTypedCode(CTesselParser& parser, const Expression& expression);
    // The typed code run; false where an operand's type has changed or the reading would report.
    bool RunTypedCode(CTesselParser& parser, const Expression& expression, BindingCaches::Expression& bound, Number& result);
    // The records the typed code's names find now; false where one finds none.
    bool BindTypedCode(const CTesselParser& parser, const Expression& expression);
    // A For bound: an Integer or Float; false for any other, or where the reading would report.
    bool Bound(CTesselParser& parser, int expression, double& value);
    bool Operand(CTesselParser& parser, const Instruction& instruction, BindingCaches::Name& cell, Number* stack, int& top);
    // The record an operand's name names now (its binding cell kept), or -1.
    static int RecordOf(const CTesselParser& parser, const Instruction& instruction, BindingCaches::Name& cell);
    // The same for an instruction of the program's instructions.
    int RecordOf(const CTesselParser& parser, const Instruction& instruction) {
        return RecordOf(parser, instruction, CellOf(instruction));
    }
    BindingCaches::Name& CellOf(const Instruction& instruction) {
        return caches_.instructions[static_cast<std::size_t>(&instruction - program_.instructions.data())].name;
    }
    // The caches of an expression's instructions (the first one's holding the expression's).
    __attribute__((always_inline)) BindingCaches::Instruction* CellsOf(const Expression& expression) {
        return caches_.instructions.data() + expression.firstInstruction;
    }
    // An item's binding caches.
    __attribute__((always_inline)) BindingCaches::Expression& CacheOf(const Expression& expression) {
        return caches_.instructions[static_cast<std::size_t>(expression.firstInstruction)].expression;
    }
    BindingCaches::Statement& CacheOf(const Statement& statement) {
        return caches_.statements[static_cast<std::size_t>(statement.slot)];
    }
    BindingCaches::Node& CacheOf(const Node& node) { return caches_.nodes[static_cast<std::size_t>(node.slot)]; }
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
    void SetValue(Value& v, const Number& n) const;  // n's type and value (a String's text from the stack's first slot)
    // n as text wherever a value becomes text (a String's from the stack's first slot); scratch
    // holds a number's.
    const std::string& ResultText(const Number& n, std::string& scratch) const;
    // The lexer's lookups of the names inside the texts evaluated, as reading them makes them.
    void ResolveTextNames(CTesselParser& parser, const TextNames& names) {
        bool keywordSet = false;
        if (names.count > 0)
            ResolveNames(parser, program_.textNames.data() + names.first, caches_.nameAnswers.data() + names.first, names.count, keywordSet);
    }
    // The lookups of names read in order (their text positions), the last first; keywordSet: a
    // later name has set the keyword id. True once a name has set the network variable index.
    // The extension is asked again only when its names' version has changed.
    static bool ResolveNames(CTesselParser& parser, const int* names, ExtensionAnswer* answers, int count, bool& keywordSet);
    static bool NamesLookedUp(const CTesselParser& parser, const int* names, int count);
    // Every name names a variable now (its lookups then leave nothing behind).
    static bool AllVariables(const CTesselParser& parser, const int* names, int count);
    ElementRef StoredElement(CTesselParser& parser, const Statement& statement, BindingCaches::Statement& bound);
    // The matrix element a statement stores into, as a pointer; null where the reading would report.
    double* MatrixTarget(CTesselParser& parser, const Statement& statement, BindingCaches::Statement& bound);
    // A number index: an Integer expression's value; false for any other.
    bool IndexValue(CTesselParser& parser, int expression, std::int32_t& index);
    void Store(CTesselParser& parser, ElementRef target, const Number& result);
    // A variable of this type takes a String (AssignTextToSlot converts it).
    static bool TakesText(int type) { return type == kTypeInteger || type == kTypeFloat || type == kTypeString; }
    // An assignment run; false (nothing changed) where the reading is to run it.
    bool RunAssignment(CTesselParser& parser, const Statement& statement, BindingCaches::Statement& bound);
    // Its store alone, no word taken; false (nothing changed) where the reading is to run it.
    bool StoreAssignment(CTesselParser& parser, const Statement& statement, BindingCaches::Statement& bound);
    std::int32_t* IntegerTarget(CTesselParser& parser, const Statement& statement, BindingCaches::Statement& bound,
                                std::int32_t& value);
    bool TargetBound(const CTesselParser& parser, const Statement& statement, BindingCaches::Statement& bound,
                     NamesVersion version);
    bool AssignmentBound(const CTesselParser& parser, const Statement& statement, BindingCaches::Statement& bound,
                         NamesVersion version);
    __attribute__((always_inline)) bool AssignmentBound(const CTesselParser& parser, const Statement& statement, NamesVersion version) {
        return AssignmentBound(parser, statement, CacheOf(statement), version);
    }
    std::int32_t* BoundTarget(Value* variables, const Statement& statement, const BindingCaches::Statement& bound,
                              std::int32_t& value);
    // The assignment's store by the shapes, typed code or the general evaluation.
    bool AssignOtherwise(CTesselParser& parser, const Statement& statement, BindingCaches::Statement& bound);
    // A Float variable given a number; false (nothing changed) where the other ways are to take it.
    bool AssignFloat(CTesselParser& parser, const Statement& statement, BindingCaches::Statement& bound);

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
    // The loop's straight pass, found the first time it is asked for; -1 where it has none.
    int StraightOf(CTesselParser& parser, const Node& node);
    // The pass's loop test, body entry and the last word a pass begins after; false where the
    // loop can have no straight pass.
    bool StraightLoop(const Node& node, StraightPass& pass) const;
    // What a straight step may evaluate: no name the extension looks up (texts without names
    // inside, no members).
    static bool StraightCondition(const Condition& condition) { return condition.names.count == 0; }
    // The steps of a block of this kind from `at` (left after its closing word) up to its closing
    // word: that word's code, or -1 where the text is no straight pass. `open`: the steps whose
    // next step is the one added next.
    int AddStraightSteps(CTesselParser& parser, int& at, StraightPass& pass, int kind, int branchOf, bool elseSide,
                         std::vector<int>& open);
    // An If of the block of `branchOf`'s branch (-1: the body's), with its branches' steps.
    bool AddStraightIf(CTesselParser& parser, const Node& node, int& at, StraightPass& pass, int branchOf, bool elseSide,
                       std::vector<int>& open);
    // An assignment's step in a block `branches` branches deep; false where it is no straight step.
    bool AddStraightAssignment(const Node& node, StraightPass& pass, StraightStep& step, int branches);
    // How many If branches a step of `branchOf`'s branch is in (0: the body's).
    int BranchesAround(const StraightPass& pass, int branchOf) const;
    // The kept skip from `at` to `closing` (finding an Else or not) as a step at `offset`; -1 where
    // none is kept that reads those `words` words and leaves the scan at `end`.
    int AddStraightSkip(StraightPass& pass, int branchOf, int at, int closing, bool found, int offset, int words, int end);
    int AddStep(StraightPass& pass, const StraightStep& step, std::vector<int>& open);
    // How straight passes ended: the loop ended (a While's Wend skipped, a For's variable past its
    // end), a pass is to run the compiled way from its start (nothing has changed since it began),
    // a Do's condition is to be read after the body, or the statement layer is to take the pass
    // over at a step.
    struct StraightEnd {
        enum Kind : std::uint8_t { kLoopEnded, kAtStart, kAtTest, kTakeOver } kind = kAtStart;
        int step = -1;  // kTakeOver's step
    };
    // A For's variable and how it moves, for the passes that step it.
    struct ForStepping {
        ElementRef element;
        double step = 1.0;
        double end = 0.0;
    };
    // Straight passes from the pass that begins at entry passCount.
    StraightEnd RunStraight(CTesselParser& parser, const Node& node, int passCount, const ForStepping* stepping = nullptr);
    // The steps of one pass from the first; false where one's guard failed (the scan, the count and
    // the last word then set as the steps before it left them, `stopped` that step).
    bool RunSteps(CTesselParser& parser, const StraightPass& pass, int passCount, std::uint64_t& ran, int& stopped);
    // The loop's test after a pass's body: false where the loop ends or the test is the compiled
    // way's (the scan, the count and the last word then as the body's closing word left them).
    bool GoesRound(CTesselParser& parser, const StraightPass& pass, int passCount, const ForStepping* stepping);
    // Every skip's names known to be variables at this version of the names.
    bool StraightBound(const CTesselParser& parser, const StraightPass& pass) const;
    // What the pointed steps of the pass would be made for now.
    PointedFor PointedNow(const CTesselParser& parser, int pass) const;
    bool DoTestLookedUp(const CTesselParser& parser, const StraightPass& pass) const;
    PointedShape PointTo(const Value* variables, const Expression& expression, const BindingCaches::Instruction* cells) const;
    __attribute__((always_inline)) PointedShape PointTo(const Value* variables, const Expression& expression) const {
        return PointTo(variables, expression, caches_.instructions.data() + expression.firstInstruction);
    }
    PointedStep PointToCondition(CTesselParser& parser, Value* variables, const Condition& condition);
    static bool PointedValue(const PointedShape& shape, std::int32_t& value);
    static bool PointedTruth(const PointedStep& step, bool& truth);
    static bool PointedStore(const PointedStep& step);
    // ----- typed steps (region_typed_steps.cpp) -----
    // The expression's typed code, made where it has none yet and bound to the records its names
    // find now; false for an expression that has none.
    bool TypedNow(CTesselParser& parser, const Expression& expression);
    // An assignment whose target is a number variable, element or matrix element and whose
    // expressions have typed code, as a typed store; false for any other.
    bool BindTypedStore(CTesselParser& parser, const Statement& statement, PointedStep& step);
    // A condition whose every part compares Integer shapes or numbers of typed code, as parts in
    // the run's pointedParts: the first one's index, or -1.
    int BindTypedCondition(CTesselParser& parser, const Condition& condition);
    // They run; false (nothing changed) where a guard fails.
    bool TypedStore(CTesselParser& parser, const PointedStep& step);
    bool TypedTruth(CTesselParser& parser, const PointedStep& step, bool& truth);
    bool TypedPart(CTesselParser& parser, const PointedPart& part, bool& truth);
    // The leaf a bound typed expression is, or none.
    NumberLeaf LeafOf(const Value* variables, const Expression& expression);
    // A typed expression's value: its leaf's, or its typed code run.
    bool TypedNumber(CTesselParser& parser, const NumberLeaf& leaf, const Expression& expression, Number& result);
    // A loop test's or a step's truth, its shapes as pointers, typed code or the general way; the
    // others' truth and store.
    bool StepTruth(CTesselParser& parser, const PointedStep& step, bool& truth);
    bool OtherTruth(CTesselParser& parser, const PointedStep& step, bool& truth);
    bool OtherStore(CTesselParser& parser, const PointedStep& step);
    void PointSteps(CTesselParser& parser, const StraightPass& pass);
    // The scan, the count and the last word as running the steps up to `before` (-1: none) left them.
    void StraightStopAt(CTesselParser& parser, const StraightPass& pass, int step, int before, int passCount);
    // The scan at `at`, the count at the pass's entry `offset`, the last word `last` of the pass.
    void StraightAt(CTesselParser& parser, int at, int offset, const LastWordAt& last, int passCount);
    // The rest of a loop's body from the scan position, its block entered where the body begins.
    int RestOfBody(CTesselParser& parser, const StraightPass& pass, int passCount);
    // The rest of a pass the statement layer takes over at a step.
    int TakeOverPass(CTesselParser& parser, const Node& node, int step, int passCount);
    // The rest of a pass taken over at a step in an If's branch or skipping one: the rest of that
    // If, then of each block around it out to the body's.
    int TakeOverIf(CTesselParser& parser, const StraightPass& pass, const StraightStep* steps, const StraightStep& at,
                   int passCount);
    // A For's or a Do's pass: straight passes where it has them, then the rest of a pass taken
    // over, or else the compiled body: the body's result, 1 also where the loop ended (`ended`
    // set) or the body has run up to a Do's condition.
    int StraightOrBody(CTesselParser& parser, const Node& node, int passCount, const ForStepping* stepping, bool& ended);
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
    // After a loop's pass: one that ran clean may show the loop straight.
    void LookForStraight(CTesselParser& parser, const Node& node, std::uint64_t disturbances);
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
    void Took(int from, int index, bool raw = false) { run_.last = {from, index, raw}; }
    // What the last word read leaves behind, as reading it leaves it (scan position and history untouched).
    void Settle(CTesselParser& parser);
    // A run reading its own cached text, with nothing pending that the reader would wait for,
    // stop at or end with.
    static bool ScanIsPlain(const CTesselParser& parser);
    static bool Polled(const CTesselParser& parser);
    static void ClearError(CTesselParser& parser);
    int ReplaySkip(CTesselParser& parser, int closing, int& found);
    bool LookUpSkipNames(CTesselParser& parser, int skip);  // the kept skip of that index
    void KeepSkip(CTesselParser& parser, int closing, int from, int fromCount, int result, int found);

    CompiledProgram program_;
    BindingCaches caches_;
    RegionRunState run_;
};

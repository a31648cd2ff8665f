// What a run has found out about the names of the compiled program, kept beside its items: the
// record a name found, the types an expression's operands had (its typed code), whether an
// assignment's target was an Integer or a Float, the extension's answers, a Call's subroutine, a
// loop's straight pass. Each is valid for the version of the names (or of the extension's names,
// or the length of the subroutine table) it was found at and is looked at again when that has
// changed. Items index their caches by their slot, instructions by their index; an expression's
// own caches are kept with its first instruction's, so that evaluating it finds its caches and its
// names' in one place. Fit makes room for the items compiled since.
#pragma once

#include <cstdint>
#include <vector>

#include "interpreter/compiled_program.h"
#include "interpreter/name_index.h"

class BindingCaches {
public:
    // The binding cell of a name: the record it named as of the name index's version.
    struct Name {
        int record = -1;
        NamesVersion version = 0;
    };
    struct Expression {
        // Its typed code (in typedCode) for the operand types it last met, -1 while it has none.
        int typedFirst = -1;
        int typedCount = 0;
        NamesVersion typedVersion = 0;  // the name index's version its records were found at
        std::uint8_t typedResult = 0;  // the type the typed code leaves
        std::uint8_t typedTries = 0;   // how often typed code was made for it
        // An Integer shape's records' type and count stay as they are while the name index's
        // version does, so they are looked at once per version: integersAt is the version at which
        // every name was found an Integer of the shape's count, integersTried the last one looked at.
        NamesVersion integersAt = 0;
        NamesVersion integersTried = 0;
    };
    // An instruction's: its name's binding cell, and for an expression's first instruction the
    // expression's caches.
    struct alignas(64) Instruction {
        Name name;
        Expression expression;
    };
    struct alignas(64) Statement {
        // The versions at which the target was last found an Integer of its kind (an Integer
        // statement's) and last looked at.
        NamesVersion targetAt = 0;
        NamesVersion targetTried = 0;
        // The same for a Float variable (a Float statement's).
        NamesVersion floatAt = 0;
        NamesVersion floatTried = 0;
        Name target;  // the target's name
    };
    // What the extension answered for a name that is no variable, as of its names' version.
    struct ExtensionAnswer {
        std::uint32_t version = 0;
        int keywordId = -2;
        int variableIndex = -1;
    };
    static constexpr int kNotLookedAt = -1;
    static constexpr int kNotStraight = -2;
    struct Node {
        int subroutine = -1;       // a Call's subroutine as last found
        int subroutineCount = -1;  // the table's length when it was found
        ExtensionAnswer nameAnswer;  // the extension's answer for a Call's subroutine name, an output keyword
        // A loop's straight pass (in the program's straightPasses); kNotLookedAt until a pass has
        // run clean.
        int straight = kNotLookedAt;
        int straightTries = 0;
        int straightWait = 0;  // clean passes before the next look
    };
    // An expression's operations for known operand types: no type travels on the stack.
    enum class TypedOp : std::uint8_t {
        kIntegerConstant, kFloatConstant, kIntegerVariable, kFloatVariable, kIntegerElement, kFloatElement,
        kMatrixElement,  // read as a Float: where it meets a Float, which makes it one anyway
        kMatrixEither,   // read as the reading reads it: an Integer when whole, else a Float, its type kept
        kIntegerMember, kFloatMember,
        kWiden, kWidenBelow,  // the Integer on the stack's top, or in the slot below it, made a Float
        kIntegerNegate, kFloatNegate,
        kIntegerAdd, kIntegerSubtract, kIntegerModulo, kIntegerMultiply, kIntegerDivide,
        kFloatAdd, kFloatSubtract, kFloatModulo, kFloatMultiply, kFloatDivide,
        kFloatPower, kFloatFunction, kFloatPow,  // Floats only: their Integers widened before
        kWhole,  // the Float `argument` slots below the top made an Integer as INT makes it
        kRgb,    // three Integers
        kEitherFloat,  // the slot `argument` below the top, of a type known only at run time, made a Float
        // The operator `argument` (a NumberOp) on two operands of which at least one has its type
        // known only at run time (argument2: 1 the left one, 2 the right one, 3 both), the others Integers.
        kEitherArithmetic,
        // Two Float operands and their operator in one: two variables (`record`, `record2`), a
        // variable and a constant, a constant and a variable; +, - or * in that order.
        kVariablesAdd, kVariablesSubtract, kVariablesMultiply,
        kVariableConstantAdd, kVariableConstantSubtract, kVariableConstantMultiply,
        kConstantVariableAdd, kConstantVariableSubtract, kConstantVariableMultiply,
        // The same of Integers, in the same order.
        kIntegerVariablesAdd, kIntegerVariablesSubtract, kIntegerVariablesMultiply,
        kIntegerVariableConstantAdd, kIntegerVariableConstantSubtract, kIntegerVariableConstantMultiply,
        kIntegerConstantVariableAdd, kIntegerConstantVariableSubtract, kIntegerConstantVariableMultiply,
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

    // Room for every item of the program, the new ones not looked at yet. The caches may move: no
    // reference to one is held across anything that compiles (a block, a body, a condition).
    void Fit(const CompiledProgram& program) {
        instructions.resize(program.instructions.size());
        memberVariables.resize(program.members.size(), -1);
        statements.resize(program.statements.size());
        nameAnswers.resize(program.textNames.size());
        conditionAnswers.resize(program.conditions.size());
        nodes.resize(program.nodes.size());
        skipVariables.resize(program.skips.size());
    }
    void Clear() { *this = BindingCaches(); }

    std::vector<Instruction> instructions;
    std::vector<int> memberVariables;  // beside members: the variable a member's name last found
    std::vector<TypedInstruction> typedCode;
    std::vector<Statement> statements;
    std::vector<ExtensionAnswer> nameAnswers;  // beside textNames
    std::vector<ExtensionAnswer> conditionAnswers;  // beside conditions: for the name put back after one
    std::vector<Node> nodes;
    // Beside skips: the name index's version when every name of the skip was last found a
    // variable; while it is the same, the lookups are not made again.
    std::vector<NamesVersion> skipVariables;
};

// Typed code: an expression's operations made again for the types its operands have, so that a
// run of it carries no type on the stack and dispatches once per operation. Every load checks
// that its operand still has the type the code was made for; where one has not (or an operation
// refuses), the general evaluation takes the expression.
#include <cstddef>

#include "interpreter/compiled_regions.h"
#include "base/matrix.h"
#include "interpreter/math_functions.h"
#include "interpreter/number_operators.h"
#include "interpreter/region_guards.h"
#include "interpreter/tessel_parser.h"
#include "interpreter/wrapping_arithmetic.h"

namespace {

// The operation for two operands of one type (Integer, or Float after widening).
template <typename TypedOp>
TypedOp Arithmetic(NumberOp op, bool integers) {
    const int first = static_cast<int>(integers ? TypedOp::kIntegerAdd : TypedOp::kFloatAdd);
    return static_cast<TypedOp>(first + static_cast<int>(op));
}

// A matrix element's type on the stack while the code is made: an Integer when its value is
// whole, else a Float, known when the code runs; so is the type of arithmetic on one and an Integer.
constexpr std::uint8_t kEitherType = 0xFF;

// An Integer or Float stack slot.
union Slot {
    std::int32_t i;
    double d;
};

NumberOperand EitherOperand(const Slot& slot, std::uint8_t type) {
    return type == kTypeInteger ? NumberOperand{kTypeInteger, slot.i, 0.0} : NumberOperand{kTypeFloat, 0, slot.d};
}

// A matrix element in its bounds; false where the reading reports.
bool MatrixCell(const Value& v, std::int32_t row, std::int32_t col, double& d) {
    if (v.count != 1 || v.type != kTypeMatrix || v.value.matrix == nullptr) return false;
    const CMatrix& m = *v.value.matrix;
    if (!m.IsAllocated() || row < 1 || row > m.GetRows() || col < 1 || col > m.GetCols()) return false;
    d = m.Row(row - 1)[col - 1];
    return true;
}

}  // namespace

bool CompiledRegions::MakeTypedCode(CTesselParser& parser, const Expression& expression) {
    BindingCaches::Expression& bound = CacheOf(expression);
    ++bound.typedTries;
    // The stack's depth, not the length, is bounded: the compiler keeps every expression's
    // depth within kMaxStack, which the types below are indexed by.
    const std::size_t first = caches_.typedCode.size();
    std::uint8_t types[kMaxStack];
    // Where a slot's type is kEitherType: the matrix element load that left it there, -1 for arithmetic.
    int eitherLoad[kMaxStack];
    int top = -1;
    const auto emit = [this](TypedOp op, int argument) { caches_.typedCode.push_back({op, argument}); };
    // A slot of either type that meets a Float becomes one: a load reads the element as a Float at once.
    const auto asFloat = [&](int depth) {
        const int slot = top - depth;
        if (types[slot] != kEitherType) return;
        if (eitherLoad[slot] >= 0)
            caches_.typedCode[static_cast<std::size_t>(eitherLoad[slot])].op = TypedOp::kMatrixElement;
        else
            emit(TypedOp::kEitherFloat, depth);
        types[slot] = kTypeFloat;
    };
    bound.typedVersion = parser.names_.Version() - 1;  // bound when it first runs
    for (int k = 0; k < expression.instructionCount; ++k) {
        const int index = expression.firstInstruction + k;
        const Instruction& instruction = program_.instructions[static_cast<std::size_t>(index)];
        bool kept = true;
        switch (instruction.op) {
            case Op::kConstant: {
                const Number& n = program_.constants[static_cast<std::size_t>(instruction.argument)];
                emit(n.type == kTypeInteger ? TypedOp::kIntegerConstant : TypedOp::kFloatConstant, 0);
                if (n.type == kTypeInteger)
                    caches_.typedCode.back().constant.i = n.i;
                else
                    caches_.typedCode.back().constant.d = n.d;
                types[++top] = n.type;
                break;
            }
            case Op::kVariable:
            case Op::kElement: {
                const int record = RecordOf(parser, instruction);
                const bool element = instruction.op == Op::kElement;
                kept = record >= 0 && parser.variables[record].IsNumber() && (element ? types[top] == kTypeInteger : true);
                if (!kept) break;
                const Value& variable = parser.variables[record];
                kept = element ? variable.count >= 2 : variable.count == 1;
                const bool integer = variable.type == kTypeInteger;
                emit(element ? (integer ? TypedOp::kIntegerElement : TypedOp::kFloatElement)
                             : (integer ? TypedOp::kIntegerVariable : TypedOp::kFloatVariable),
                     index);
                if (!element) ++top;
                types[top] = static_cast<std::uint8_t>(variable.type);
                break;
            }
            case Op::kMember: {
                Number n;
                kept = MemberValue(parser, instruction, n);
                if (!kept) break;
                emit(n.type == kTypeInteger ? TypedOp::kIntegerMember : TypedOp::kFloatMember, index);
                types[++top] = n.type;
                break;
            }
            case Op::kNegate:
                kept = types[top] != kEitherType;
                emit(types[top] == kTypeInteger ? TypedOp::kIntegerNegate : TypedOp::kFloatNegate, 0);
                break;
            case Op::kMatrixElement: {
                const int record = RecordOf(parser, instruction);
                kept = top >= 1 && types[top - 1] == kTypeInteger && types[top] == kTypeInteger && record >= 0 &&
                       parser.variables[record].type == kTypeMatrix;
                eitherLoad[--top] = static_cast<int>(caches_.typedCode.size());
                emit(TypedOp::kMatrixEither, index);
                types[top] = kEitherType;
                break;
            }
            case Op::kText: kept = false; break;
            case Op::kInt:
            case Op::kRgb: {
                const int arguments = ArgumentsOf(instruction.op);
                for (int k = 0; k < arguments; ++k) {
                    asFloat(k);
                    if (types[top - k] != kTypeInteger) emit(TypedOp::kWhole, k);
                }
                if (instruction.op == Op::kRgb) emit(TypedOp::kRgb, 0);
                top -= arguments - 1;
                types[top] = kTypeInteger;
                break;
            }
            case Op::kPower:
            case Op::kFunction:
            case Op::kPow: {
                const int arguments = ArgumentsOf(instruction.op);
                for (int k = 0; k < arguments; ++k) asFloat(k);
                if (arguments == 2 && types[top - 1] == kTypeInteger) emit(TypedOp::kWidenBelow, 0);
                if (types[top] == kTypeInteger) emit(TypedOp::kWiden, 0);
                emit(instruction.op == Op::kPower ? TypedOp::kFloatPower
                     : instruction.op == Op::kPow ? TypedOp::kFloatPow
                                                  : TypedOp::kFloatFunction,
                     instruction.argument);
                top -= arguments - 1;
                types[top] = kTypeFloat;
                break;
            }
            default: {
                const bool leftEither = types[top - 1] == kEitherType;
                const bool rightEither = types[top] == kEitherType;
                if ((leftEither || rightEither) && types[leftEither ? top : top - 1] == kTypeFloat) {
                    asFloat(0);
                    asFloat(1);
                } else if (leftEither || rightEither) {
                    // With an Integer or another of either type, the types met decide the operation.
                    emit(TypedOp::kEitherArithmetic, static_cast<int>(NumberOpOf(instruction.op)));
                    caches_.typedCode.back().argument2 = (leftEither ? 1 : 0) | (rightEither ? 2 : 0);
                    types[--top] = kEitherType;
                    eitherLoad[top] = -1;
                    break;
                }
                const bool integers = types[top - 1] == kTypeInteger && types[top] == kTypeInteger;
                if (!integers && types[top - 1] == kTypeInteger) emit(TypedOp::kWidenBelow, 0);
                if (!integers && types[top] == kTypeInteger) emit(TypedOp::kWiden, 0);
                emit(Arithmetic<TypedOp>(NumberOpOf(instruction.op), integers), 0);
                --top;
                types[top] = integers ? kTypeInteger : kTypeFloat;
                break;
            }
        }
        if (!kept) {
            caches_.typedCode.resize(first);
            return false;
        }
    }
    FuseTypedCode(first);
    bound.typedFirst = static_cast<int>(first);
    bound.typedCount = static_cast<int>(caches_.typedCode.size() - first);
    bound.typedResult = types[0];
    return true;
}

// Dispatching costs as much as an operation: an operator whose two operands are a variable or
// constant each of one type (not both constants) is one operation that loads them itself.
void CompiledRegions::FuseTypedCode(std::size_t first) {
    constexpr int kIntegerForms = static_cast<int>(TypedOp::kIntegerVariablesAdd) - static_cast<int>(TypedOp::kVariablesAdd);
    const auto fusedOffset = [](TypedOp op) {
        switch (op) {
            case TypedOp::kFloatAdd: return 0;
            case TypedOp::kFloatSubtract: return 1;
            case TypedOp::kFloatMultiply: return 2;
            case TypedOp::kIntegerAdd: return kIntegerForms;
            case TypedOp::kIntegerSubtract: return kIntegerForms + 1;
            case TypedOp::kIntegerMultiply: return kIntegerForms + 2;
            default: return -1;
        }
    };
    std::size_t out = first;
    for (std::size_t k = first; k < caches_.typedCode.size(); ++k) {
        const TypedInstruction& a = caches_.typedCode[k];
        if (k + 2 < caches_.typedCode.size()) {
            const TypedInstruction& b = caches_.typedCode[k + 1];
            const int offset = fusedOffset(caches_.typedCode[k + 2].op);
            const bool integers = offset >= kIntegerForms;
            const TypedOp variable = integers ? TypedOp::kIntegerVariable : TypedOp::kFloatVariable;
            const TypedOp constant = integers ? TypedOp::kIntegerConstant : TypedOp::kFloatConstant;
            const bool aVariable = a.op == variable;
            const bool bVariable = b.op == variable;
            const bool aConstant = a.op == constant;
            const bool bConstant = b.op == constant;
            if (offset >= 0 && (aVariable || bVariable) && (aVariable || aConstant) && (bVariable || bConstant)) {
                TypedInstruction fused = aVariable ? a : b;
                const TypedOp base = aVariable && bVariable ? TypedOp::kVariablesAdd
                                     : aVariable            ? TypedOp::kVariableConstantAdd
                                                            : TypedOp::kConstantVariableAdd;
                fused.op = static_cast<TypedOp>(static_cast<int>(base) + offset);
                if (aVariable && bVariable) {
                    fused.argument2 = b.argument;
                } else {
                    fused.constant = aVariable ? b.constant : a.constant;
                }
                caches_.typedCode[out++] = fused;
                k += 2;
                continue;
            }
        }
        caches_.typedCode[out++] = a;
    }
    caches_.typedCode.resize(out);
}

// A record's type and count stay as they are while the name index's version does: they are
// looked at here, once per version, and the loads run without looking at them again.
bool CompiledRegions::BindTypedCode(const CTesselParser& parser, const Expression& expression) {
    BindingCaches::Expression& bound = CacheOf(expression);
    const auto bindVariable = [&](int argument, int& record, int type) {
        record = RecordOf(parser, program_.instructions[static_cast<std::size_t>(argument)]);
        return record >= 0 && parser.variables[record].type == type && parser.variables[record].count == 1;
    };
    TypedInstruction* const first = caches_.typedCode.data() + bound.typedFirst;
    for (TypedInstruction* at = first; at != first + bound.typedCount; ++at) {
        if (at->op >= TypedOp::kVariablesAdd) {
            const bool integers = at->op >= TypedOp::kIntegerVariablesAdd;
            const int type = integers ? kTypeInteger : kTypeFloat;
            const bool two = at->op <= (integers ? TypedOp::kIntegerVariablesMultiply : TypedOp::kVariablesMultiply);
            if (!bindVariable(at->argument, at->record, type) || (two && !bindVariable(at->argument2, at->record2, type)))
                return false;
            continue;
        }
        if (at->op < TypedOp::kIntegerVariable || at->op > TypedOp::kMatrixEither) continue;
        at->record = RecordOf(parser, program_.instructions[static_cast<std::size_t>(at->argument)]);
        if (at->record < 0) return false;
        const Value& v = parser.variables[at->record];
        const bool integer = at->op == TypedOp::kIntegerVariable || at->op == TypedOp::kIntegerElement;
        const bool element = at->op == TypedOp::kIntegerElement || at->op == TypedOp::kFloatElement;
        const bool fits = at->op == TypedOp::kMatrixElement || at->op == TypedOp::kMatrixEither
                              ? v.type == kTypeMatrix
                              : v.type == (integer ? kTypeInteger : kTypeFloat) && (element ? v.count >= 2 : v.count == 1);
        if (!fits) return false;
    }
    bound.typedVersion = parser.names_.Version();
    return true;
}

bool CompiledRegions::RunTypedCode(CTesselParser& parser, const Expression& expression, BindingCaches::Expression& bound,
                                   Number& result) {
    if (bound.typedVersion != parser.names_.Version() && !BindTypedCode(parser, expression)) return false;
    const Value* const variables = parser.variables.GetData();
    Slot stack[kMaxStack];
    std::uint8_t types[kMaxStack];  // the types of the slots of either type
    int top = -1;
    const TypedInstruction* at = caches_.typedCode.data() + bound.typedFirst;
    const TypedInstruction* const end = at + bound.typedCount;
    for (; at != end; ++at) {
        switch (at->op) {
            case TypedOp::kIntegerConstant: stack[++top].i = at->constant.i; break;
            case TypedOp::kFloatConstant: stack[++top].d = at->constant.d; break;
            // Types and counts as bound (BindTypedCode).
            case TypedOp::kIntegerVariable: stack[++top].i = variables[at->record].value.integer; break;
            case TypedOp::kFloatVariable: stack[++top].d = variables[at->record].value.number; break;
            case TypedOp::kIntegerElement:
            case TypedOp::kFloatElement: {
                const Value& v = variables[at->record];
                const bool integer = at->op == TypedOp::kIntegerElement;
                const std::int32_t k = stack[top].i;
                if (k < 1 || k > v.count) return false;
                if (integer)
                    stack[top].i = v.Element(k).integer;
                else
                    stack[top].d = v.Element(k).number;
                break;
            }
            case TypedOp::kMatrixElement: {
                double d = 0.0;
                if (!MatrixCell(variables[at->record], stack[top - 1].i, stack[top].i, d)) return false;
                // A whole value is read as an Integer and widened: -0 becomes 0.
                stack[--top].d = d + 0.0;
                break;
            }
            case TypedOp::kMatrixEither: {
                double d = 0.0;
                if (!MatrixCell(variables[at->record], stack[top - 1].i, stack[top].i, d)) return false;
                const std::int32_t whole = DoubleToInt32(d);
                if (static_cast<double>(whole) == d) {
                    stack[--top].i = whole;
                    types[top] = kTypeInteger;
                } else {
                    stack[--top].d = d;
                    types[top] = kTypeFloat;
                }
                break;
            }
            case TypedOp::kEitherFloat: {
                Slot& slot = stack[top - at->argument];
                if (types[top - at->argument] == kTypeInteger) slot.d = slot.i;
                break;
            }
            case TypedOp::kEitherArithmetic: {
                --top;
                const std::uint8_t integer = kTypeInteger;
                NumberOperand a = EitherOperand(stack[top], (at->argument2 & 1) != 0 ? types[top] : integer);
                const NumberOperand b = EitherOperand(stack[top + 1], (at->argument2 & 2) != 0 ? types[top + 1] : integer);
                if (!ApplyNumberOp(static_cast<NumberOp>(at->argument), a, b)) return false;
                types[top] = a.type;
                if (a.type == kTypeInteger)
                    stack[top].i = a.i;
                else
                    stack[top].d = a.d;
                break;
            }
            case TypedOp::kIntegerMember:
            case TypedOp::kFloatMember: {
                Number n;
                const std::uint8_t type = at->op == TypedOp::kIntegerMember ? kTypeInteger : kTypeFloat;
                if (!MemberValue(parser, program_.instructions[static_cast<std::size_t>(at->argument)], n) || n.type != type)
                    return false;
                ++top;
                if (type == kTypeInteger)
                    stack[top].i = n.i;
                else
                    stack[top].d = n.d;
                break;
            }
            case TypedOp::kWiden: stack[top].d = stack[top].i; break;
            case TypedOp::kWidenBelow: stack[top - 1].d = stack[top - 1].i; break;
            case TypedOp::kIntegerNegate: stack[top].i = WrapNegate(stack[top].i); break;
            case TypedOp::kFloatNegate: stack[top].d = -stack[top].d; break;
            case TypedOp::kIntegerAdd: --top; stack[top].i = WrapAdd(stack[top].i, stack[top + 1].i); break;
            case TypedOp::kIntegerSubtract: --top; stack[top].i = WrapSubtract(stack[top].i, stack[top + 1].i); break;
            case TypedOp::kIntegerMultiply: --top; stack[top].i = WrapMultiply(stack[top].i, stack[top + 1].i); break;
            case TypedOp::kIntegerModulo:
            case TypedOp::kIntegerDivide: {
                --top;
                const NumberOp op = at->op == TypedOp::kIntegerModulo ? NumberOp::kModulo : NumberOp::kDivide;
                if (!ApplyIntegerOp(op, stack[top].i, stack[top + 1].i)) return false;
                break;
            }
            case TypedOp::kVariablesAdd:
                stack[++top].d = OperationResult(variables[at->record].value.number + variables[at->record2].value.number);
                break;
            case TypedOp::kVariablesSubtract:
                stack[++top].d = OperationResult(variables[at->record].value.number - variables[at->record2].value.number);
                break;
            case TypedOp::kVariablesMultiply:
                stack[++top].d = OperationResult(variables[at->record].value.number * variables[at->record2].value.number);
                break;
            case TypedOp::kVariableConstantAdd:
                stack[++top].d = OperationResult(variables[at->record].value.number + at->constant.d);
                break;
            case TypedOp::kVariableConstantSubtract:
                stack[++top].d = OperationResult(variables[at->record].value.number - at->constant.d);
                break;
            case TypedOp::kVariableConstantMultiply:
                stack[++top].d = OperationResult(variables[at->record].value.number * at->constant.d);
                break;
            case TypedOp::kConstantVariableAdd:
                stack[++top].d = OperationResult(at->constant.d + variables[at->record].value.number);
                break;
            case TypedOp::kConstantVariableSubtract:
                stack[++top].d = OperationResult(at->constant.d - variables[at->record].value.number);
                break;
            case TypedOp::kConstantVariableMultiply:
                stack[++top].d = OperationResult(at->constant.d * variables[at->record].value.number);
                break;
            case TypedOp::kIntegerVariablesAdd:
                stack[++top].i = WrapAdd(variables[at->record].value.integer, variables[at->record2].value.integer);
                break;
            case TypedOp::kIntegerVariablesSubtract:
                stack[++top].i = WrapSubtract(variables[at->record].value.integer, variables[at->record2].value.integer);
                break;
            case TypedOp::kIntegerVariablesMultiply:
                stack[++top].i = WrapMultiply(variables[at->record].value.integer, variables[at->record2].value.integer);
                break;
            case TypedOp::kIntegerVariableConstantAdd:
                stack[++top].i = WrapAdd(variables[at->record].value.integer, at->constant.i);
                break;
            case TypedOp::kIntegerVariableConstantSubtract:
                stack[++top].i = WrapSubtract(variables[at->record].value.integer, at->constant.i);
                break;
            case TypedOp::kIntegerVariableConstantMultiply:
                stack[++top].i = WrapMultiply(variables[at->record].value.integer, at->constant.i);
                break;
            case TypedOp::kIntegerConstantVariableAdd:
                stack[++top].i = WrapAdd(at->constant.i, variables[at->record].value.integer);
                break;
            case TypedOp::kIntegerConstantVariableSubtract:
                stack[++top].i = WrapSubtract(at->constant.i, variables[at->record].value.integer);
                break;
            case TypedOp::kIntegerConstantVariableMultiply:
                stack[++top].i = WrapMultiply(at->constant.i, variables[at->record].value.integer);
                break;
            // The commonest Float operations without a second dispatch.
            case TypedOp::kFloatAdd: --top; stack[top].d = OperationResult(stack[top].d + stack[top + 1].d); break;
            case TypedOp::kFloatSubtract: --top; stack[top].d = OperationResult(stack[top].d - stack[top + 1].d); break;
            case TypedOp::kFloatMultiply: --top; stack[top].d = OperationResult(stack[top].d * stack[top + 1].d); break;
            case TypedOp::kFloatPower:
                --top;
                stack[top].d = std::pow(stack[top].d, stack[top + 1].d);
                break;
            case TypedOp::kFloatFunction: {
                const MathFunction& f = MathFunctionAt(at->argument);
                if (!ArgumentInRange(f.test, stack[top].d)) return false;
                stack[top].d = f.compute(stack[top].d);
                break;
            }
            case TypedOp::kFloatPow:
                --top;
                if (!PowInRange(stack[top].d, stack[top + 1].d)) return false;
                stack[top].d = std::pow(stack[top].d, stack[top + 1].d);
                break;
            case TypedOp::kWhole: {
                Slot& slot = stack[top - at->argument];
                const double d = slot.d;
                slot.i = DoubleToInt32(d);
                break;
            }
            case TypedOp::kRgb: {
                top -= 2;
                std::int32_t colour = 0;
                for (int channel = 0; channel < 3; ++channel) colour = AddRgbChannel(colour, stack[top + channel].i, channel);
                stack[top].i = colour;
                break;
            }
            default: {
                --top;
                const auto op = static_cast<NumberOp>(static_cast<int>(at->op) - static_cast<int>(TypedOp::kFloatAdd));
                if (!ApplyFloatOp(op, stack[top].d, stack[top + 1].d)) return false;
                break;
            }
        }
    }
    result.type = bound.typedResult == kEitherType ? types[0] : bound.typedResult;
    if (result.type == kTypeInteger)
        result.i = stack[0].i;
    else
        result.d = stack[0].d;
    return true;
}

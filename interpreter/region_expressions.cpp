// The compiled expressions, conditions and assignments evaluated: the values the reading computes,
// or false, before any effect, wherever the reading would report or read differently.
#include "interpreter/compiled_regions.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string_view>

#include "base/matrix.h"
#include "base/number_text.h"
#include "interpreter/comparisons.h"
#include "interpreter/keyword_codes.h"
#include "interpreter/math_functions.h"
#include "interpreter/region_guards.h"
#include "interpreter/tessel_parser.h"
#include "interpreter/value.h"
#include "interpreter/wrapping_arithmetic.h"

bool CompiledRegions::Bound(CTesselParser& parser, int expression, double& value) {
    const Expression& e = program_.expressions[static_cast<std::size_t>(expression)];
    Number n{};
    if (!Fits(parser, e.wordCount, e.depth) || !Evaluate(parser, e, n) || n.type == kTypeString) return false;
    value = n.AsDouble();
    return true;
}

double* CompiledRegions::MatrixTarget(CTesselParser& parser, const Statement& statement, BindingCaches::Statement& bound) {
    const int record = RecordOf(parser, statement.target, bound.target);
    if (record < 0) return nullptr;
    const Value& variable = parser.variables[record];
    std::int32_t row = 0;
    std::int32_t col = 0;
    if (variable.count != 1 || variable.type != kTypeMatrix || variable.value.matrix == nullptr ||
        !IndexValue(parser, statement.index, row) || !IndexValue(parser, statement.column, col)) {
        return nullptr;
    }
    CMatrix& m = *variable.value.matrix;
    if (!m.IsAllocated() || row < 1 || row > m.GetRows() || col < 1 || col > m.GetCols()) return nullptr;
    return m.Row(row - 1) + (col - 1);
}

// A variable, an array element or a matrix element (their indices on the stack) replaces the
// indices on the stack by its value; false where the reading would report or take another form.
__attribute__((always_inline)) inline bool CompiledRegions::Operand(CTesselParser& parser, const Instruction& instruction,
                                                                    BindingCaches::Name& cell, Number* stack, int& top) {
    const int record = RecordOf(parser, instruction, cell);
    if (record < 0) return false;
    const Value& variable = parser.variables[record];
    if (instruction.op == Op::kMatrixElement) {
        const Number& row = stack[top - 1];
        const Number& col = stack[top];
        if (variable.count != 1 || variable.type != kTypeMatrix || variable.value.matrix == nullptr ||
            row.type != kTypeInteger || col.type != kTypeInteger) {
            return false;
        }
        const CMatrix& m = *variable.value.matrix;
        if (!m.IsAllocated() || row.i < 1 || row.i > m.GetRows() || col.i < 1 || col.i > m.GetCols()) return false;
        const double d = m.Row(row.i - 1)[col.i - 1];
        const std::int32_t whole = DoubleToInt32(d);
        Number& n = stack[--top];
        n = static_cast<double>(whole) == d ? Number{kTypeInteger, whole, 0.0} : Number{kTypeFloat, 0, d};
        return true;
    }
    int element = 1;
    const Value::Payload* slot = &variable.value;
    if (instruction.op == Op::kElement) {
        const Number& k = stack[top--];
        if (variable.count < 2 || k.type != kTypeInteger || k.i < 1 || k.i > variable.count) return false;
        element = k.i;
        slot = &variable.Element(element);
    } else if (variable.count != 1) {
        return false;
    }
    const Value::Payload& v = *slot;
    Number& n = stack[++top];
    switch (variable.type) {
        case kTypeInteger: n = {kTypeInteger, v.integer, 0.0}; break;
        case kTypeFloat: n = {kTypeFloat, 0, v.number}; break;
        case kTypeString:
            n = {kTypeString, 0, 0.0};
            run_.stackTexts[top] = Value::SlotText(v);
            break;
        default: return false;
    }
    return true;
}

bool CompiledRegions::TruthOtherwise(CTesselParser& parser, const Condition& condition, bool& truth) {
    const int count = condition.partCount;
    if (!Fits(parser, condition.wordCount, condition.depth + 1) || count > kMaxDepth + 1 || count < 1) return false;
    // Every part is evaluated (no short cut); the chain groups from the right. Evaluating has no
    // effect, so the parts are taken from the right too.
    const ConditionPart* parts = &program_.conditionParts[static_cast<std::size_t>(condition.firstPart)];
    if (!EvaluatePart(parser, parts[count - 1], truth)) return false;
    for (int k = count - 2; k >= 0; --k) {
        bool left = false;
        if (!EvaluatePart(parser, parts[k], left)) return false;
        truth = parts[k].chain == kw::kAnd ? left && truth : left || truth;
    }
    if (condition.text) ResolveTextNames(parser, condition.names);
    return true;
}

bool CompiledRegions::EvaluatePartOtherwise(CTesselParser& parser, const ConditionPart& part, bool& truth) {
    if (part.texts) {
        // Texts, String variables and elements compared where they are kept.
        const std::string* const a = TextLeaf(parser, program_.expressions[static_cast<std::size_t>(part.a)]);
        const std::string* const b = a != nullptr ? TextLeaf(parser, program_.expressions[static_cast<std::size_t>(part.b)]) : nullptr;
        if (b != nullptr) {
            truth = Compare(part.op, std::strcmp(a->c_str(), b->c_str())) != part.invert;
            return true;
        }
    }
    Number a;
    if (!Evaluate(parser, program_.expressions[static_cast<std::size_t>(part.a)], a)) return false;
    if (part.op < 0) {
        truth = a.type == kTypeInteger ? a.i != 0 : a.type == kTypeFloat ? a.d != 0.0 : !run_.stackTexts[0].empty();
    } else {
        // The right side's String is evaluated into the stack's first slot too: the left one is kept.
        if (a.type == kTypeString) run_.leftText = run_.stackTexts[0];
        Number b;
        if (!Evaluate(parser, program_.expressions[static_cast<std::size_t>(part.b)], b)) return false;
        if ((a.type == kTypeString) != (b.type == kTypeString)) return false;  // reported by the reading
        if (a.type == kTypeString)
            truth = Compare(part.op, std::strcmp(run_.leftText.c_str(), run_.stackTexts[0].c_str()));
        else if (a.type == kTypeInteger && b.type == kTypeInteger)
            truth = Compare(part.op, (a.i > b.i) - (a.i < b.i));
        else
            truth = CompareNumbers(part.op, a.AsDouble(), b.AsDouble());
    }
    truth = truth != part.invert;
    return true;
}

bool CompiledRegions::BindIntegers(const CTesselParser& parser, const Expression& expression) {
    const Instruction* const first = program_.instructions.data() + expression.firstInstruction;
    for (const Instruction* at = first; at != first + expression.instructionCount; ++at) {
        if (at->op == Op::kConstant) {
            if (program_.constants[static_cast<std::size_t>(at->argument)].type != kTypeInteger) return false;
        } else if (at->op == Op::kVariable || at->op == Op::kElement) {
            const int record = RecordOf(parser, *at);
            if (record < 0) return false;
            const Value& v = parser.variables[record];
            if (v.type != kTypeInteger || (at->op == Op::kElement ? v.count < 2 : v.count != 1)) return false;
        } else if (at->op < Op::kAdd || at->op > Op::kDivide) {
            return false;
        }
    }
    return true;
}

// Two operators on three operands: (a op b) op c, or a op (b op c).
bool CompiledRegions::TwoOperators(CTesselParser& parser, const Instruction* at, BindingCaches::Instruction* cells, Number& result) {
    Number b;
    Number c;
    if (!Leaf(parser, at[0], cells[0].name, result) || !Leaf(parser, at[1], cells[1].name, b)) return false;
    if (at[2].op >= Op::kAdd) {
        return ApplyNumberOp(NumberOpOf(at[2].op), result, b) && Leaf(parser, at[3], cells[3].name, c) &&
               ApplyNumberOp(NumberOpOf(at[4].op), result, c);
    }
    return Leaf(parser, at[2], cells[2].name, c) && ApplyNumberOp(NumberOpOf(at[3].op), b, c) && ApplyNumberOp(NumberOpOf(at[4].op), result, b);
}

bool CompiledRegions::EvaluateOtherwise(CTesselParser& parser, const Expression& expression, BindingCaches::Instruction* cells,
                                        Number& result) {
    BindingCaches::Expression& bound = cells->expression;
    if (bound.typedFirst >= 0 || (bound.typedTries < kTypedTries && MakeTypedCode(parser, expression))) {
        if (RunTypedCode(parser, expression, bound, result)) return true;
        bound.typedFirst = -1;
        ++run_.typedDropped;
    }
    Number stack[kMaxStack];
    int top = -1;
    const Instruction* const first = program_.instructions.data() + expression.firstInstruction;
    const Instruction* const end = first + expression.instructionCount;
    BindingCaches::Instruction* cell = cells;  // the instruction's caches
    for (const Instruction* at = first; at != end; ++at, ++cell) {
        const Instruction& instruction = *at;
        switch (instruction.op) {
            case Op::kConstant:
                stack[++top] = program_.constants[static_cast<std::size_t>(instruction.argument)];
                break;
            case Op::kText: {
                const Text& text = program_.texts[static_cast<std::size_t>(instruction.argument)];
                // A name not looked up since the names changed: the reading does it.
                if (!NamesLookedUp(parser, program_.textNames.data() + text.firstName, text.nameCount)) return false;
                // Joined at once to the String below it: appended there, as CombineTexts joins them,
                // without a copy of its own on the stack.
                if (at + 1 != end && at[1].op == Op::kAdd && top >= 0 && stack[top].type == kTypeString &&
                    run_.stackTexts[top].size() + text.text.size() < kJoinCheckedForMemory) {
                    run_.stackTexts[top] += text.text;
                    ++at;
                    break;
                }
                stack[++top] = {kTypeString, 0, 0.0};
                run_.stackTexts[top] = text.text;
                break;
            }
            case Op::kVariable:
            case Op::kElement:
            case Op::kMatrixElement:
                if (!Operand(parser, instruction, cell->name, stack, top)) return false;
                break;
            case Op::kMember:
                if (!MemberValue(parser, instruction, stack[++top])) return false;
                break;
            case Op::kNegate:
                if (stack[top].type == kTypeString) return false;
                NegateNumber(stack[top]);
                break;
            case Op::kPower:
            case Op::kFunction:
            case Op::kPow:
            case Op::kInt:
            case Op::kRgb:
                if (!Builtin(instruction, stack, top)) return false;
                break;
            default:
                --top;
                if (!Combine(instruction.op, stack[top], top, stack[top + 1])) return false;
                break;
        }
    }
    // Field by field: the slot's fields were stored one by one, and one wide load of them would
    // wait for all of those stores to land.
    result.type = stack[0].type;
    result.i = stack[0].i;
    result.d = stack[0].d;
    return true;
}

bool CompiledRegions::Builtin(const Instruction& instruction, Number* stack, int& top) {
    const int arguments = ArgumentsOf(instruction.op);
    Number* const first = stack + top - arguments + 1;
    for (int k = 0; k < arguments; ++k)
        if (first[k].type == kTypeString) return false;
    const double x = first[0].AsDouble();
    switch (instruction.op) {
        case Op::kPower: *first = {kTypeFloat, 0, std::pow(x, first[1].AsDouble())}; break;
        case Op::kFunction: {
            const MathFunction& f = MathFunctionAt(instruction.argument);
            if (!ArgumentInRange(f.test, x)) return false;
            *first = {kTypeFloat, 0, f.compute(x)};
            break;
        }
        case Op::kPow: {
            const double y = first[1].AsDouble();
            if (!PowInRange(x, y)) return false;
            *first = {kTypeFloat, 0, std::pow(x, y)};
            break;
        }
        case Op::kInt: *first = {kTypeInteger, WholeOf(first[0]), 0.0}; break;
        default: {
            std::int32_t colour = 0;
            for (int channel = 0; channel < 3; ++channel) colour = AddRgbChannel(colour, WholeOf(first[channel]), channel);
            *first = {kTypeInteger, colour, 0.0};
            break;
        }
    }
    top -= arguments - 1;
    return true;
}

// A String on either side: only "+" joins, the number's text on its side.
bool CompiledRegions::CombineTexts(Op op, Number& a, int slot, const Number& b) {
    if (op != Op::kAdd) return false;
    std::string& text = run_.stackTexts[slot];
    // A long join is the reading's: it asks whether memory has room for it, and reports if not.
    const std::size_t joined = (a.type == kTypeString ? text.size() : 0) + (b.type == kTypeString ? run_.stackTexts[slot + 1].size() : 0);
    if (joined >= kJoinCheckedForMemory) return false;
    if (a.type != kTypeString) {
        text.clear();
        AppendNumberText(text, a);
        a.type = kTypeString;
    }
    if (b.type == kTypeString)
        text += run_.stackTexts[slot + 1];
    else
        AppendNumberText(text, b);
    return true;
}

// a op b, a at the stack slot `slot` and b above it, as the expression levels combine them;
// false where they report (a division by zero, an operator that refuses a String).
__attribute__((always_inline)) inline bool CompiledRegions::Combine(Op op, Number& a, int slot, const Number& b) {
    if (a.type == kTypeString || b.type == kTypeString) return CombineTexts(op, a, slot, b);
    return ApplyNumberOp(NumberOpOf(op), a, b);
}

void CompiledRegions::SetValue(Value& v, const Number& n) const {
    if (n.type == kTypeInteger)
        v.SetInteger(n.i);
    else if (n.type == kTypeFloat)
        v.SetFloat(n.d);
    else
        v.SetString(run_.stackTexts[0]);
}

const std::string& CompiledRegions::ResultText(const Number& n, std::string& scratch) const {
    if (n.type == kTypeString) return run_.stackTexts[0];
    scratch.clear();
    AppendNumberText(scratch, n);
    return scratch;
}

// The answers are kept; asking again is rare (the extension's names changed).
__attribute__((noinline)) void CompiledRegions::AskExtension(CTesselParser& parser, int name, ExtensionAnswer& answer) {
    const std::string word(parser.CachedWordText(parser.scanCache_[static_cast<std::size_t>(name)]));
    answer.keywordId = parser.FindObjectKeyword(word.c_str());
    answer.variableIndex = answer.keywordId == -2 ? parser.FindObjectVariable(word.c_str()) : -1;
    answer.version = parser.objectNamesVersion;
}

__attribute__((always_inline)) inline const CompiledRegions::ExtensionAnswer& CompiledRegions::Answered(CTesselParser& parser, int name,
                                                                                                     ExtensionAnswer& answer) {
    if (answer.version != parser.objectNamesVersion) AskExtension(parser, name, answer);
    return answer;
}

// Reading a name that is no variable asks the extension for a keyword and then for a network
// variable of that name; the last such name read leaves its answers (the keyword's always, the
// variable's only when it is no keyword, else an earlier name's).
bool CompiledRegions::ResolveNames(CTesselParser& parser, const int* names, ExtensionAnswer* answers, int count,
                                   bool& keywordSet) {
    for (int k = count - 1; k >= 0; --k) {
        if (parser.RecordNamedAt(names[k]) >= 0) continue;
        const ExtensionAnswer& answer = Answered(parser, names[k], answers[k]);
        if (!keywordSet) parser.TakeExtensionKeyword(answer.keywordId);
        keywordSet = true;
        if (answer.keywordId != -2) continue;
        parser.TakeExtensionVariable(answer.variableIndex);
        return true;
    }
    return false;
}

bool CompiledRegions::StillKeyword(CTesselParser& parser, int name, ExtensionAnswer& answer, int id) {
    return NamesLookedUp(parser, &name, 1) && parser.RecordNamedAt(name) < 0 && Answered(parser, name, answer).keywordId == id;
}

// Every name has been looked up since the names last changed (else the reading looks it up anew).
bool CompiledRegions::AllVariables(const CTesselParser& parser, const int* names, int count) {
    for (int k = 0; k < count; ++k) {
        if (parser.RecordNamedAt(names[k]) < 0) return false;
    }
    return true;
}

bool CompiledRegions::NamesLookedUp(const CTesselParser& parser, const int* names, int count) {
    for (int k = 0; k < count; ++k) {
        if (parser.scanCache_[static_cast<std::size_t>(names[k])].nameGeneration != parser.names_.Generation()) return false;
    }
    return true;
}

// The checks, lookups, history writes and the commonest evaluations every compiled node makes,
// inline where the nodes run.
#pragma once

#include <cstddef>
#include <cstring>

#include "interpreter/comparisons.h"
#include "interpreter/compiled_regions.h"
#include "interpreter/keyword_codes.h"
#include "interpreter/number_operators.h"
#include "interpreter/tessel_parser.h"

__attribute__((always_inline)) inline bool CompiledRegions::Room(const CTesselParser& parser, int end, int levels) {
    return end < TokenHistory::kLast && parser.nestingDepth + levels < CTesselParser::kMaxNestingDepth;
}

__attribute__((always_inline)) inline bool CompiledRegions::Fits(const CTesselParser& parser, int words, int depth) {
    return Room(parser, parser.history.Count() + words + 1, 2 + depth);
}

// A statement's keyword, a separator, a closing word: one entry.
__attribute__((always_inline)) inline void CompiledRegions::WriteWord(CTesselParser& parser, int word) {
    parser.history.WriteOne(program_.words.starts[static_cast<std::size_t>(word)], program_.words.lengths[static_cast<std::size_t>(word)]);
}

__attribute__((always_inline)) inline void CompiledRegions::Write(CTesselParser& parser, int firstWord, int count) {
    parser.history.Write(program_.words.starts.data() + firstWord, program_.words.lengths.data() + firstWord, count);
}

// An assignment's or a setting command's words taken, its last word left to settle.
__attribute__((always_inline)) inline void CompiledRegions::FinishStatement(CTesselParser& parser, const Statement& statement) {
    Write(parser, statement.firstWord, statement.wordCount);
    Took(statement.settleFrom, statement.putBack ? parser.history.Count() : parser.history.Count() - 1);
    parser.MoveScanTo(statement.next);
    ++run_.compiledStatements;
}

__attribute__((always_inline)) inline int CompiledRegions::RecordOf(const CTesselParser& parser, const Instruction& instruction,
                                                                    BindingCaches::Name& cell) {
    const NamesVersion version = parser.names_.Version();
    if (cell.version == version) return cell.record;
    const int record = parser.RecordNamedAt(instruction.argument);
    if (record >= 0) {
        cell.record = record;
        cell.version = version;
    }
    return record;
}

// A number or a plain Integer or Float variable; false for any other operand.
__attribute__((always_inline)) inline bool CompiledRegions::Leaf(CTesselParser& parser, const Instruction& leaf, BindingCaches::Name& cell,
                                                                 Number& result) {
    if (leaf.op == Op::kConstant) {
        const Number& n = program_.constants[static_cast<std::size_t>(leaf.argument)];
        result.type = n.type;
        result.i = n.i;
        result.d = n.d;
        return true;
    }
    if (leaf.op != Op::kVariable) return false;
    const int record = RecordOf(parser, leaf, cell);
    if (record < 0) return false;
    const Value& v = parser.variables[record];
    if (v.count != 1 || !v.IsNumber()) return false;  // the general way takes it, or reports it
    result.type = static_cast<std::uint8_t>(v.type);
    result.i = v.type == kTypeInteger ? v.value.integer : 0;
    result.d = v.type == kTypeFloat ? v.value.number : 0.0;
    return true;
}

// The shapes most expressions have, without the stack: a lone operand, an array element indexed
// by one, and two operands with an operator between them.
__attribute__((always_inline)) inline bool CompiledRegions::EvaluateShape(CTesselParser& parser, const Expression& expression,
                                                                          BindingCaches::Instruction* cells, Number& result) {
    const Instruction* const at = program_.instructions.data() + expression.firstInstruction;
    if (expression.instructionCount == 1) return Leaf(parser, at[0], cells[0].name, result);
    if (expression.instructionCount == 2) {
        Number k;
        if (!Leaf(parser, at[0], cells[0].name, k) || k.type != kTypeInteger) return false;
        const int record = RecordOf(parser, at[1], cells[1].name);
        if (record < 0) return false;
        const Value& v = parser.variables[record];
        if (v.count < 2 || k.i < 1 || k.i > v.count || !v.IsNumber()) return false;
        const Value::Payload& element = v.Element(k.i);
        result.type = static_cast<std::uint8_t>(v.type);
        result.i = v.type == kTypeInteger ? element.integer : 0;
        result.d = v.type == kTypeFloat ? element.number : 0.0;
        return true;
    }
    if (expression.instructionCount == 5) return TwoOperators(parser, at, cells, result);
    Number b;
    return Leaf(parser, at[0], cells[0].name, result) && Leaf(parser, at[1], cells[1].name, b) && ApplyNumberOp(NumberOpOf(at[2].op), result, b);
}

__attribute__((always_inline)) inline bool CompiledRegions::IntegersBound(const CTesselParser& parser,
                                                                          const Expression& expression,
                                                                          BindingCaches::Instruction* cells,
                                                                          NamesVersion version) {
    BindingCaches::Expression& bound = cells->expression;
    if (bound.integersAt == version) return true;
    if (!expression.integers || bound.integersTried == version) return false;
    bound.integersTried = version;
    if (!BindIntegers(parser, expression)) return false;
    bound.integersAt = version;
    return true;
}

// A bound Integer shape with its operands as pointers to their values: a constant's in its
// instruction, a variable's in its record. The shapes' forms have their one home here.
__attribute__((always_inline)) inline CompiledRegions::PointedShape CompiledRegions::PointTo(const Value* variables,
                                                                                         const Expression& expression,
                                                                                         const BindingCaches::Instruction* cells) const {
    const Instruction* const at = program_.instructions.data() + expression.firstInstruction;
    const auto operand = [variables, at, cells](int k) {
        return cells[k].name.record < 0 ? &at[k].integer : &variables[cells[k].name.record].value.integer;
    };
    PointedShape shape;
    shape.a = operand(0);
    // The commonest first: a lone operand, then two operands and an operator.
    const int count = expression.instructionCount;
    if (count == 1) return shape;
    if (count == 3) {
        shape.form = ShapeForm::kTwo;
        shape.b = operand(1);
        shape.first = NumberOpOf(at[2].op);
        return shape;
    }
    if (count == 2) {
        shape.form = ShapeForm::kElement;
        shape.array = &variables[cells[1].name.record];
        return shape;
    }
    // (a first b) second c, or a second (b first c)
    shape.b = operand(1);
    shape.second = NumberOpOf(at[4].op);
    const bool left = at[2].op >= Op::kAdd;
    shape.form = left ? ShapeForm::kLeft : ShapeForm::kRight;
    shape.first = NumberOpOf(at[left ? 2 : 3].op);
    shape.c = operand(left ? 3 : 2);
    return shape;
}

__attribute__((always_inline)) inline bool CompiledRegions::PointedValue(const PointedShape& shape, std::int32_t& value) {
    value = *shape.a;
    switch (shape.form) {
        case ShapeForm::kOne: return true;
        case ShapeForm::kElement:
            if (value < 1 || value > shape.array->count) return false;
            value = shape.array->Element(value).integer;
            return true;
        case ShapeForm::kTwo: return ApplyIntegerOp(shape.first, value, *shape.b);
        case ShapeForm::kLeft: return ApplyIntegerOp(shape.first, value, *shape.b) && ApplyIntegerOp(shape.second, value, *shape.c);
        case ShapeForm::kRight: {
            std::int32_t b = *shape.b;
            return ApplyIntegerOp(shape.first, b, *shape.c) && ApplyIntegerOp(shape.second, value, b);
        }
    }
    return false;
}

__attribute__((always_inline)) inline bool CompiledRegions::IntegerShape(const Value* variables, const Expression& expression,
                                                                         const BindingCaches::Instruction* cells,
                                                                         std::int32_t& value) {
    return PointedValue(PointTo(variables, expression, cells), value);
}

__attribute__((always_inline)) inline bool CompiledRegions::IntegerValue(const CTesselParser& parser, const Expression& expression,
                                                                         BindingCaches::Instruction* cells,
                                                                         NamesVersion version, std::int32_t& value) {
    return IntegersBound(parser, expression, cells, version) && IntegerShape(parser.variables.Data(), expression, cells, value);
}

__attribute__((always_inline)) inline bool CompiledRegions::Evaluate(CTesselParser& parser, const Expression& expression,
                                                                     Number& result) {
    BindingCaches::Instruction* const cells = CellsOf(expression);
    if (IntegerValue(parser, expression, cells, parser.names_.Version(), result.i)) {
        result.type = kTypeInteger;
        return true;
    }
    return (expression.shaped && EvaluateShape(parser, expression, cells, result)) || EvaluateOtherwise(parser, expression, cells, result);
}

// A text's, a String variable's or a String element's text where it is kept, without a copy; null
// for any other expression or value, or where evaluating it would read differently (a name of the
// text not looked up since the names changed, an index the reading reports).
inline const std::string* CompiledRegions::TextLeaf(CTesselParser& parser, const Expression& expression) {
    if (!expression.leaf) return nullptr;
    const Instruction* const at = program_.instructions.data() + expression.firstInstruction;
    if (at->op == Op::kText) {
        const Text& text = program_.texts[static_cast<std::size_t>(at->argument)];
        return NamesLookedUp(parser, program_.textNames.data() + text.firstName, text.nameCount) ? &text.text : nullptr;
    }
    const bool element = expression.instructionCount == 2;
    BindingCaches::Instruction* const cells = CellsOf(expression);
    const int record = RecordOf(parser, at[element ? 1 : 0], cells[element ? 1 : 0].name);
    if (record < 0) return nullptr;
    const Value& v = parser.variables[record];
    if (v.type != kTypeString) return nullptr;
    if (!element) return v.count == 1 ? &Value::SlotText(v.value) : nullptr;
    Number k;
    if (!Leaf(parser, at[0], cells[0].name, k) || k.type != kTypeInteger || v.count < 2 || k.i < 1 || k.i > v.count) return nullptr;
    return &Value::SlotText(v.Element(k.i));
}

// A comparison of two Integer shapes (or one's truth) where both are bound; false where the
// other ways are to take it.
__attribute__((always_inline)) inline bool CompiledRegions::IntegerPart(const CTesselParser& parser, const ConditionPart& part,
                                                                        bool& truth) {
    const NamesVersion version = parser.names_.Version();
    std::int32_t x = 0;
    std::int32_t y = 0;
    if (!part.integers || !IntegerValue(parser, program_.expressions[static_cast<std::size_t>(part.a)], version, x) ||
        (part.op >= 0 && !IntegerValue(parser, program_.expressions[static_cast<std::size_t>(part.b)], version, y))) {
        return false;
    }
    truth = IntegersHold(part.orders, x, y);
    return true;
}

__attribute__((always_inline)) inline bool CompiledRegions::EvaluatePart(CTesselParser& parser, const ConditionPart& part, bool& truth) {
    return IntegerPart(parser, part, truth) || EvaluatePartOtherwise(parser, part, truth);
}

// One comparison of Integer shapes, the commonest condition, inline where it is used.
__attribute__((always_inline)) inline bool CompiledRegions::Truth(CTesselParser& parser, const Condition& condition, bool& truth) {
    if (condition.partCount == 1 && !condition.text && Fits(parser, condition.wordCount, condition.depth + 1) &&
        IntegerPart(parser, program_.conditionParts[static_cast<std::size_t>(condition.firstPart)], truth)) {
        return true;
    }
    return TruthOtherwise(parser, condition, truth);
}

__attribute__((always_inline)) inline bool CompiledRegions::IndexValue(CTesselParser& parser, int expression, std::int32_t& index) {
    Number k{};
    if (!Evaluate(parser, program_.expressions[static_cast<std::size_t>(expression)], k) || k.type != kTypeInteger)
        return false;
    index = k.i;
    return true;
}

// What an assignment stores into: the variable named, or its element; none when the reading
// would do anything else (report, or take another kind of assignment).
__attribute__((always_inline)) inline ElementRef CompiledRegions::StoredElement(CTesselParser& parser, const Statement& statement,
                                                                              BindingCaches::Statement& bound) {
    const int record = RecordOf(parser, statement.target, bound.target);
    if (statement.index < 0) {
        if (record < 0) return {};
        const Value& v = parser.variables[record];
        return {v.count == 1 && v.type != kTypeMatrix ? record : -1, 1};
    }
    if (record < 0) return {};
    const Value& variable = parser.variables[record];
    std::int32_t k = 0;
    if (variable.count < 2 || !IndexValue(parser, statement.index, k) || k < 1 || k > variable.count) return {};
    return variable.type == kTypeMatrix ? ElementRef{} : ElementRef{record, k};
}

__attribute__((always_inline)) inline bool CompiledRegions::Polled(const CTesselParser& parser) {
    return parser.view->paused.load(std::memory_order_relaxed) || parser.view->stopRequested.load(std::memory_order_relaxed);
}

// Whether an assignment's target is an Integer variable or Integer array of its kind at this
// version of the names (its record then kept in its binding cell).
__attribute__((always_inline)) inline bool CompiledRegions::TargetBound(const CTesselParser& parser, const Statement& statement,
                                                                        BindingCaches::Statement& bound, NamesVersion version) {
    if (bound.targetAt == version) return true;
    if (bound.targetTried == version) return false;
    bound.targetTried = version;
    const int record = RecordOf(parser, statement.target, bound.target);
    if (record < 0) return false;
    const Value& v = parser.variables[record];
    if (v.type != kTypeInteger || (statement.index < 0 ? v.count != 1 : v.count < 2)) return false;
    bound.targetAt = version;
    return true;
}

// An Integer assignment's target, index and value all bound at this version of the names.
__attribute__((always_inline)) inline bool CompiledRegions::AssignmentBound(const CTesselParser& parser, const Statement& statement,
                                                                            BindingCaches::Statement& bound, NamesVersion version) {
    return TargetBound(parser, statement, bound, version) &&
           (statement.index < 0 || IntegersBound(parser, program_.expressions[static_cast<std::size_t>(statement.index)], version)) &&
           IntegersBound(parser, program_.expressions[static_cast<std::size_t>(statement.value)], version);
}

// A bound Integer target's slot and its value; null for an index out of range or a division by zero.
__attribute__((always_inline)) inline std::int32_t* CompiledRegions::BoundTarget(Value* variables, const Statement& statement,
                                                                               const BindingCaches::Statement& bound,
                                                                               std::int32_t& value) {
    Value& v = variables[bound.target.record];
    std::int32_t k = 1;
    if ((statement.index >= 0 &&
         (!IntegerShape(variables, program_.expressions[static_cast<std::size_t>(statement.index)], k) || k < 1 || k > v.count)) ||
        !IntegerShape(variables, program_.expressions[static_cast<std::size_t>(statement.value)], value)) {
        return nullptr;
    }
    return &v.Element(k).integer;
}

// An Integer variable or Integer array element given the value of a shape of Integer operands:
// the slot it stores into, or null where the general way is to take the statement.
__attribute__((always_inline)) inline std::int32_t* CompiledRegions::IntegerTarget(CTesselParser& parser,
                                                                                 const Statement& statement,
                                                                                 BindingCaches::Statement& bound,
                                                                                 std::int32_t& value) {
    return AssignmentBound(parser, statement, bound, parser.names_.Version())
               ? BoundTarget(parser.variables.GetData(), statement, bound, value)
               : nullptr;
}

// A loop condition's words taken, the word after it put back.
__attribute__((always_inline)) inline void CompiledRegions::TakeCondition(CTesselParser& parser, const Condition& condition) {
    Write(parser, condition.firstWord, condition.wordCount);
    Took(condition.after, parser.history.Count());
    parser.MoveScanTo(condition.after);
}

__attribute__((always_inline)) inline int CompiledRegions::Block(CTesselParser& parser, int kind) {
    return Block(parser, kind, parser.position, parser.history.Count());
}

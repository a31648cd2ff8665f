// Typed steps of straight passes: an assignment or a condition whose expressions have typed code
// for the operand types they meet on entering the passes runs that code directly, bound once,
// without looking for shapes or types at every step. No step can change a record's type or
// count (only a declaration can, and the names' version with it), so the binding holds for the
// passes; a guard that fails in the typed code hands the step over as any other.
#include <cstddef>

#include "base/matrix.h"
#include "interpreter/comparisons.h"
#include "interpreter/compiled_regions.h"
#include "interpreter/keyword_codes.h"
#include "interpreter/region_guards.h"
#include "interpreter/tessel_parser.h"
#include "interpreter/value.h"

bool CompiledRegions::TypedNow(CTesselParser& parser, const Expression& expression) {
    const BindingCaches::Expression& bound = CacheOf(expression);
    if (bound.typedFirst < 0 && (bound.typedTries >= kTypedTries || !MakeTypedCode(parser, expression))) return false;
    return bound.typedVersion == parser.names_.Version() || BindTypedCode(parser, expression);
}

bool CompiledRegions::BindTypedStore(CTesselParser& parser, const Statement& statement, PointedStep& step) {
    const int record = RecordOf(parser, statement.target, CacheOf(statement).target);
    if (record < 0) return false;
    Value& target = parser.variables[record];
    const bool matrix = statement.column >= 0;
    const bool fits = matrix ? target.type == kTypeMatrix && target.count == 1
                             : target.IsNumber() && (statement.index < 0 ? target.count == 1 : target.count >= 2);
    if (!fits || !TypedNow(parser, program_.expressions[static_cast<std::size_t>(statement.value)])) return false;
    // Indices are Integers, or the reading's.
    for (const int index : {statement.index, statement.column}) {
        if (index < 0) continue;
        const Expression& e = program_.expressions[static_cast<std::size_t>(index)];
        if (!TypedNow(parser, e) || CacheOf(e).typedResult != kTypeInteger) return false;
    }
    step.value = &program_.expressions[static_cast<std::size_t>(statement.value)];
    step.leaf = LeafOf(parser.variables.Data(), *step.value);
    step.index = statement.index >= 0 ? &program_.expressions[static_cast<std::size_t>(statement.index)] : nullptr;
    step.column = matrix ? &program_.expressions[static_cast<std::size_t>(statement.column)] : nullptr;
    if (step.index != nullptr) step.indexLeaf = LeafOf(parser.variables.Data(), *step.index);
    if (step.column != nullptr) step.columnLeaf = LeafOf(parser.variables.Data(), *step.column);
    step.target = &target;
    return true;
}

int CompiledRegions::BindTypedCondition(CTesselParser& parser, const Condition& condition) {
    if (condition.partCount > kMaxDepth + 1) return -1;
    const int first = static_cast<int>(run_.pointedParts.size());
    const NamesVersion version = parser.names_.Version();
    Value* const variables = parser.variables.GetData();
    for (int k = 0; k < condition.partCount; ++k) {
        const ConditionPart& part = program_.conditionParts[static_cast<std::size_t>(condition.firstPart + k)];
        const Expression& a = program_.expressions[static_cast<std::size_t>(part.a)];
        const Expression* const b = part.op >= 0 ? &program_.expressions[static_cast<std::size_t>(part.b)] : nullptr;
        PointedPart pointed;
        pointed.orders = part.orders;
        pointed.alone = b == nullptr;
        pointed.chain = part.chain;
        if (part.integers && IntegersBound(parser, a, version) && (b == nullptr || IntegersBound(parser, *b, version))) {
            pointed.x = PointTo(variables, a);
            if (b != nullptr) pointed.y = PointTo(variables, *b);
        } else if (TypedNow(parser, a) && (b == nullptr || TypedNow(parser, *b))) {
            pointed.typed = &part;
            pointed.a = LeafOf(variables, a);
            if (b != nullptr) pointed.b = LeafOf(variables, *b);
        } else {
            run_.pointedParts.resize(static_cast<std::size_t>(first));
            return -1;
        }
        run_.pointedParts.push_back(pointed);
    }
    return first;
}

CompiledRegions::NumberLeaf CompiledRegions::LeafOf(const Value* variables, const Expression& expression) {
    NumberLeaf leaf;
    const BindingCaches::Expression& bound = CacheOf(expression);
    if (bound.typedCount != 1) return leaf;
    const TypedInstruction& load = caches_.typedCode[static_cast<std::size_t>(bound.typedFirst)];
    switch (load.op) {
        case TypedOp::kIntegerConstant: leaf.integerConstant = load.constant.i; break;
        case TypedOp::kFloatConstant: leaf.numberConstant = load.constant.d; break;
        case TypedOp::kIntegerVariable: leaf.integer = &variables[load.record].value.integer; break;
        case TypedOp::kFloatVariable: leaf.number = &variables[load.record].value.number; break;
        default: return leaf;
    }
    leaf.type = bound.typedResult;
    return leaf;
}

__attribute__((always_inline)) inline bool CompiledRegions::TypedNumber(CTesselParser& parser, const NumberLeaf& leaf,
                                                                        const Expression& expression, Number& result) {
    if (leaf.type == 0) return RunTypedCode(parser, expression, CacheOf(expression), result);
    result.type = leaf.type;
    if (leaf.type == kTypeInteger)
        result.i = leaf.integer != nullptr ? *leaf.integer : leaf.integerConstant;
    else
        result.d = leaf.number != nullptr ? *leaf.number : leaf.numberConstant;
    return true;
}

// The element an index selects, in its bounds; null where the reading reports.
static Value::Payload* IndexedSlot(Value& target, const NumberOperand& k) {
    return k.i < 1 || k.i > target.count ? nullptr : &target.Element(k.i);
}

bool CompiledRegions::TypedStore(CTesselParser& parser, const PointedStep& step) {
    Number row{};
    Number column{};
    Number n{};
    if ((step.index != nullptr && !TypedNumber(parser, step.indexLeaf, *step.index, row)) ||
        (step.column != nullptr && !TypedNumber(parser, step.columnLeaf, *step.column, column)) ||
        !TypedNumber(parser, step.leaf, *step.value, n)) {
        return false;
    }
    Value& target = *step.target;
    const double number = n.type == kTypeInteger ? n.i : n.d;
    if (step.column != nullptr) {
        CMatrix* const m = target.value.matrix;
        if (m == nullptr || !m->IsAllocated() || row.i < 1 || row.i > m->GetRows() || column.i < 1 || column.i > m->GetCols())
            return false;
        m->Row(row.i - 1)[column.i - 1] = number;
        return true;
    }
    Value::Payload* const slot = step.index != nullptr ? IndexedSlot(target, row) : &target.value;
    if (slot == nullptr) return false;
    if (target.type == kTypeInteger)
        slot->integer = n.type == kTypeInteger ? n.i : DoubleToInt32(n.d);
    else
        slot->number = number;
    return true;
}

__attribute__((always_inline)) inline bool CompiledRegions::TypedPart(CTesselParser& parser, const PointedPart& pointed,
                                                                      bool& truth) {
    if (pointed.typed == nullptr) {
        std::int32_t x = 0;
        std::int32_t y = 0;
        if (!PointedValue(pointed.x, x) || (!pointed.alone && !PointedValue(pointed.y, y))) return false;
        truth = IntegersHold(pointed.orders, x, y);
        return true;
    }
    const ConditionPart& part = *pointed.typed;
    Number a{};
    if (!TypedNumber(parser, pointed.a, program_.expressions[static_cast<std::size_t>(part.a)], a)) return false;
    if (part.op < 0) {
        truth = a.type == kTypeInteger ? a.i != 0 : a.d != 0.0;
    } else {
        Number b{};
        if (!TypedNumber(parser, pointed.b, program_.expressions[static_cast<std::size_t>(part.b)], b)) return false;
        if (a.type == kTypeInteger && b.type == kTypeInteger)
            truth = Compare(part.op, (a.i > b.i) - (a.i < b.i));
        else
            truth = CompareNumbers(part.op, a.AsDouble(), b.AsDouble());
    }
    truth = truth != part.invert;
    return true;
}

// As the general way evaluates a condition: every part, grouped from the right.
bool CompiledRegions::TypedTruth(CTesselParser& parser, const PointedStep& step, bool& truth) {
    const PointedPart* const parts = run_.pointedParts.data() + step.firstPart;
    const int count = step.condition->partCount;
    if (!TypedPart(parser, parts[count - 1], truth)) return false;
    for (int k = count - 2; k >= 0; --k) {
        bool left = false;
        if (!TypedPart(parser, parts[k], left)) return false;
        truth = parts[k].chain == kw::kAnd ? left && truth : left || truth;
    }
    return true;
}

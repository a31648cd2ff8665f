// Straight passes: a While whose condition compares two Integer shapes and whose body is only
// assignments of Integer shapes, separators and Ifs of such conditions runs its passes step by
// step, without the statement layer, once the history holds a pass's words. Nothing is written
// then: the scan position, the count and the last word are set only where the statement layer
// takes over, as running the steps before would have left them.
#include <algorithm>
#include <cstddef>
#include <vector>

#include "interpreter/compiled_regions.h"
#include "interpreter/keyword_codes.h"
#include "interpreter/region_guards.h"
#include "interpreter/tessel_parser.h"

int CompiledRegions::StraightOf(CTesselParser& parser, const Node& node) {
    const Condition& condition = program_.conditions[static_cast<std::size_t>(node.item)];
    if (!IntegerCondition(condition)) {
        CacheOf(node).straight = kNotStraight;
        return -1;
    }
    StraightPass pass{static_cast<int>(program_.straightSteps.size()), 0, condition.wordCount,
                      std::max(kBlockLevels, 3 + condition.depth)};
    std::vector<int> open;  // steps whose next step is the one added next
    int at = condition.after;
    // A branch no pass has taken yet is not compiled: a later pass may find it.
    if (AddStraightSteps(parser, at, pass, -1, false, open) != kw::kWend) {
        program_.straightSteps.resize(static_cast<std::size_t>(pass.firstStep));
        if (++CacheOf(node).straightTries >= kStraightTries) CacheOf(node).straight = kNotStraight;
        return -1;
    }
    pass.stepCount = static_cast<int>(program_.straightSteps.size()) - pass.firstStep;
    program_.straightPasses.push_back(pass);
    CacheOf(node).straight = static_cast<int>(program_.straightPasses.size()) - 1;
    return CacheOf(node).straight;
}

bool CompiledRegions::IntegerCondition(const Condition& condition) const {
    return condition.partCount == 1 && !condition.text &&
           program_.conditionParts[static_cast<std::size_t>(condition.firstPart)].integers;
}

int CompiledRegions::AddStep(StraightPass& pass, const StraightStep& step, std::vector<int>& open) {
    const int index = static_cast<int>(program_.straightSteps.size()) - pass.firstStep;
    program_.straightSteps.push_back(step);
    for (int from : open) program_.straightSteps[static_cast<std::size_t>(pass.firstStep + from)].next = index;
    open.assign(1, index);
    return index;
}

int CompiledRegions::AddStraightSteps(CTesselParser& parser, int& at, StraightPass& pass, int branchOf, bool elseSide,
                                      std::vector<int>& open) {
    for (;;) {
        const Node* node = at >= 0 && at <= parser.sourceLength_ ? program_.nodeAt[static_cast<std::size_t>(at)] : nullptr;
        if (node == nullptr || pass.words >= CTesselParser::kHistoryLast) return -1;
        if (node->kind == NodeKind::kIf && branchOf < 0) {
            if (!AddStraightIf(parser, *node, at, pass, open)) return -1;
            continue;
        }
        StraightStep step;
        step.at = at;
        step.offset = pass.words;
        step.branchOf = branchOf;
        step.elseSide = elseSide;
        int next = 0;
        if (node->kind == NodeKind::kAssign) {
            const Statement& statement = program_.statements[static_cast<std::size_t>(node->item)];
            // Deeper statements check the nesting one by one: a block's room covers two levels.
            if (!statement.integers || statement.text || statement.depth > 1) return -1;
            step.kind = StepKind::kAssign;
            step.item = node->item;
            pass.words += statement.wordCount;
            step.lastFrom = statement.settleFrom;
            step.lastOffset = statement.putBack ? pass.words : pass.words - 1;
            next = statement.next;
        } else if (node->kind == NodeKind::kSeparator || node->kind == NodeKind::kClosing) {
            pass.words += 1;
            step.lastFrom = at;
            step.lastOffset = pass.words - 1;
            next = node->next;
        } else {
            return -1;
        }
        if (next <= at) return -1;
        AddStep(pass, step, open);
        at = next;
        if (node->kind == NodeKind::kClosing) return node->code;
    }
}

bool CompiledRegions::AddStraightIf(CTesselParser& parser, const Node& node, int& at, StraightPass& pass,
                                    std::vector<int>& open) {
    const Condition& condition = program_.conditions[static_cast<std::size_t>(node.item)];
    if (!IntegerCondition(condition) || node.body <= at) return false;
    pass.levels = std::max({pass.levels, 1 + kBlockLevels, 4 + condition.depth});
    StraightStep step;
    step.kind = StepKind::kIf;
    step.item = node.item;
    step.at = at;
    step.offset = pass.words;
    pass.words += condition.wordCount + 2;  // If, the condition, Then
    step.lastFrom = condition.after;
    step.lastOffset = pass.words - 1;
    step.thenAt = node.body;
    step.thenOffset = pass.words;
    const int ifStep = AddStep(pass, step, open);
    int branch = node.body;
    const int closing = AddStraightSteps(parser, branch, pass, ifStep, false, open);
    if (closing != kw::kElse && closing != kw::kEndif) return false;
    // Where the If is false, the Then branch is skipped to its closing word.
    const int thenWords = pass.words - step.thenOffset;
    const int falseSkip =
        AddStraightSkip(pass, ifStep, node.body, kw::kElse, closing == kw::kElse, step.thenOffset, thenWords, branch);
    if (falseSkip < 0) return false;
    program_.straightSteps[static_cast<std::size_t>(pass.firstStep + ifStep)].otherwise = falseSkip;
    if (closing == kw::kEndif) {
        open.push_back(falseSkip);
        at = branch;
        return true;
    }
    // After a Then branch closed by Else, the Else branch is skipped to its Endif.
    const std::vector<int> thenEnd = open;
    const int elseOffset = pass.words;
    std::vector<int> elseOpen{falseSkip};
    int elseAt = branch;
    if (AddStraightSteps(parser, elseAt, pass, ifStep, true, elseOpen) != kw::kEndif) return false;
    const int thenSkip = AddStraightSkip(pass, ifStep, branch, kw::kEndif, false, elseOffset, pass.words - elseOffset, elseAt);
    if (thenSkip < 0) return false;
    program_.straightSteps[static_cast<std::size_t>(pass.firstStep + thenSkip)].elseSide = true;
    for (int from : thenEnd) program_.straightSteps[static_cast<std::size_t>(pass.firstStep + from)].next = thenSkip;
    StraightStep& added = program_.straightSteps[static_cast<std::size_t>(pass.firstStep + ifStep)];
    added.elseAt = branch;
    added.elseOffset = elseOffset;
    open = elseOpen;
    open.push_back(thenSkip);
    at = elseAt;
    return true;
}

int CompiledRegions::AddStraightSkip(StraightPass& pass, int branchOf, int at, int closing, bool found, int offset, int words,
                                     int end) {
    const int kept = program_.skipAt.empty() || at < 0 || static_cast<std::size_t>(at) >= program_.skipAt.size()
                         ? 0
                         : program_.skipAt[static_cast<std::size_t>(at)];
    if (kept <= 0) return -1;
    const SkipWords& skip = program_.skips[static_cast<std::size_t>(kept - 1)];
    if (skip.closing != closing || skip.result != 1 || (skip.found != 0) != found || skip.wordCount != words) return -1;
    const std::size_t last = static_cast<std::size_t>(skip.firstWord + skip.wordCount - 1);
    if (program_.words.starts[last] + program_.words.lengths[last] != end) return -1;
    StraightStep step;
    step.kind = StepKind::kSkip;
    step.item = kept - 1;
    step.at = at;
    step.offset = offset;
    step.lastFrom = program_.words.starts[last];
    step.lastOffset = offset + words - 1;
    step.lastRaw = true;
    step.branchOf = branchOf;
    program_.straightSteps.push_back(step);
    return static_cast<int>(program_.straightSteps.size()) - 1 - pass.firstStep;
}

// Every shape and target of the pass bound at this version of the names, every skip's names known
// to be variables: the steps then run without looking at the version, which no step can change.
bool CompiledRegions::StraightBound(const CTesselParser& parser, const Condition& condition, const StraightPass& pass) {
    const NamesVersion version = parser.names_.Version();
    const auto partBound = [&](const Condition& test) {
        const ConditionPart& part = program_.conditionParts[static_cast<std::size_t>(test.firstPart)];
        return IntegersBound(parser, program_.expressions[static_cast<std::size_t>(part.a)], version) &&
               (part.op < 0 || IntegersBound(parser, program_.expressions[static_cast<std::size_t>(part.b)], version));
    };
    if (!partBound(condition)) return false;
    for (int k = 0; k < pass.stepCount; ++k) {
        const StraightStep& step = program_.straightSteps[static_cast<std::size_t>(pass.firstStep + k)];
        if (step.kind == StepKind::kAssign) {
            if (!AssignmentBound(parser, program_.statements[static_cast<std::size_t>(step.item)], version)) return false;
        } else if (step.kind == StepKind::kIf) {
            if (!partBound(program_.conditions[static_cast<std::size_t>(step.item)])) return false;
        } else if (step.kind == StepKind::kSkip) {
            if (caches_.skipVariables[static_cast<std::size_t>(step.item)] != version) return false;  // looked up again
        }
    }
    return true;
}

CompiledRegions::PointedStep CompiledRegions::PointToCondition(Value* variables, const Condition& condition) const {
    const ConditionPart& part = program_.conditionParts[static_cast<std::size_t>(condition.firstPart)];
    PointedStep step;
    step.x = PointTo(variables, program_.expressions[static_cast<std::size_t>(part.a)]);
    step.alone = part.op < 0;
    if (!step.alone) step.y = PointTo(variables, program_.expressions[static_cast<std::size_t>(part.b)]);
    step.orders = part.orders;
    return step;
}

__attribute__((always_inline)) inline bool CompiledRegions::PointedTruth(const PointedStep& step, bool& truth) {
    std::int32_t x = 0;
    std::int32_t y = 0;
    if (!PointedValue(step.x, x) || (!step.alone && !PointedValue(step.y, y))) return false;
    truth = IntegersHold(step.orders, x, y);
    return true;
}

// An assignment's store; false (nothing stored) for an index out of range or a division by zero.
__attribute__((always_inline)) inline bool CompiledRegions::PointedStore(const PointedStep& step) {
    std::int32_t value = 0;
    if (step.array == nullptr) {
        if (!PointedValue(step.y, value)) return false;
        *step.scalar = value;
        return true;
    }
    std::int32_t k = 0;
    if (!PointedValue(step.x, k) || k < 1 || k > step.array->count || !PointedValue(step.y, value)) return false;
    step.array->Element(k).integer = value;
    return true;
}

// The pass's steps with their operands as pointers, the condition last.
void CompiledRegions::PointSteps(CTesselParser& parser, const Condition& condition, const StraightPass& pass) {
    Value* const variables = parser.variables.GetData();
    run_.pointedSteps.assign(static_cast<std::size_t>(pass.stepCount) + 1, PointedStep{});
    for (int k = 0; k < pass.stepCount; ++k) {
        const StraightStep& step = program_.straightSteps[static_cast<std::size_t>(pass.firstStep + k)];
        PointedStep& pointed = run_.pointedSteps[static_cast<std::size_t>(k)];
        if (step.kind == StepKind::kIf) {
            pointed = PointToCondition(variables, program_.conditions[static_cast<std::size_t>(step.item)]);
        } else if (step.kind == StepKind::kAssign) {
            const Statement& statement = program_.statements[static_cast<std::size_t>(step.item)];
            Value& target = variables[CacheOf(statement).target.record];
            if (statement.index >= 0) {
                pointed.array = &target;
                pointed.x = PointTo(variables, program_.expressions[static_cast<std::size_t>(statement.index)]);
            } else {
                pointed.scalar = &target.value.integer;
            }
            pointed.y = PointTo(variables, program_.expressions[static_cast<std::size_t>(statement.value)]);
        }
    }
    run_.pointedSteps.back() = PointToCondition(variables, condition);
}

CompiledRegions::StraightEnd CompiledRegions::RunStraight(CTesselParser& parser, const Node& node, int conditionCount) {
    const StraightPass& pass = program_.straightPasses[static_cast<std::size_t>(CacheOf(node).straight)];
    const Condition& condition = program_.conditions[static_cast<std::size_t>(node.item)];
    // The history holding the pass's words, room for them all, and for the levels of its blocks
    // and conditions.
    if (parser.history.Known() < conditionCount + pass.words || !Room(parser, conditionCount + pass.words + 1, pass.levels) ||
        !StraightBound(parser, condition, pass)) {
        return {StraightEnd::kAtCondition};
    }
    const StraightStep* const steps = program_.straightSteps.data() + pass.firstStep;
    PointSteps(parser, condition, pass);
    const PointedStep* const pointed = run_.pointedSteps.data();
    const PointedStep& test = run_.pointedSteps.back();
    std::uint64_t ran = 0;
    bool passed = false;
    for (;; passed = true) {
        bool truth = false;
        if (!PointedTruth(test, truth)) break;
        if (!truth) {
            run_.compiledStatements += ran;
            TakeCondition(parser, condition);
            int found = 0;
            SkipInner(parser, kw::kWend, found);
            return {StraightEnd::kLoopEnded};
        }
        parser.NextScopeNumber(CTesselParser::kWhile);
        for (int k = 0, before = -1; k >= 0;) {
            const StraightStep& step = steps[k];
            int next = step.next;
            bool held = !Polled(parser);
            if (held && step.kind == StepKind::kAssign) {
                held = PointedStore(pointed[k]);
            } else if (held && step.kind == StepKind::kIf) {
                bool taken = false;
                held = PointedTruth(pointed[k], taken);
                if (held && taken)
                    parser.NextScopeNumber(CTesselParser::kThen);
                else if (held)
                    next = step.otherwise;
            } else if (held && step.kind == StepKind::kSkip && !step.elseSide && program_.skips[static_cast<std::size_t>(step.item)].found) {
                parser.NextScopeNumber(CTesselParser::kElse);
            }
            if (!held) {
                run_.compiledStatements += ran;
                StraightStopAt(parser, node, steps, k, before, conditionCount);
                return {StraightEnd::kTakeOver, k};
            }
            ran += step.kind == StepKind::kAssign || step.kind == StepKind::kIf ? 1 : 0;
            before = k;
            k = next;
        }
    }
    run_.compiledStatements += ran;
    // Where a pass has run, the last word read is its Wend.
    if (passed) {
        const StraightStep& wend = steps[pass.stepCount - 1];
        Took(wend.lastFrom, conditionCount + wend.lastOffset, wend.lastRaw);
    }
    return {StraightEnd::kAtCondition};
}

void CompiledRegions::StraightStopAt(CTesselParser& parser, const Node& node, const StraightStep* steps, int step, int before,
                                     int conditionCount) {
    parser.MoveScanTo(steps[step].at);
    parser.history.MoveTo(conditionCount + steps[step].offset);
    if (before < 0) {
        const Condition& condition = program_.conditions[static_cast<std::size_t>(node.item)];
        Took(condition.after, conditionCount + condition.wordCount);  // put back
    } else {
        Took(steps[before].lastFrom, conditionCount + steps[before].lastOffset, steps[before].lastRaw);
    }
}

int CompiledRegions::TakeOverPass(CTesselParser& parser, const Node& node, int step, int conditionCount) {
    const StraightStep* const steps =
        program_.straightSteps.data() + program_.straightPasses[static_cast<std::size_t>(CacheOf(node).straight)].firstStep;
    const StraightStep& at = steps[step];
    if (at.branchOf < 0) return RestOfBody(parser, node, conditionCount);
    return TakeOverIf(parser, node, at, steps[at.branchOf], conditionCount);
}

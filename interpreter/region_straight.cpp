// Straight passes: a While whose condition compares two Integer shapes and whose body is only
// assignments of Integer shapes and separators runs its passes step by step, without the statement
// layer, once the history holds a pass's words. Nothing is written then: the scan position, the
// count and the last word are set only where the statement layer takes over, as running the steps
// before would have left them.
#include <cstddef>

#include "interpreter/compiled_regions.h"
#include "interpreter/keyword_codes.h"
#include "interpreter/region_guards.h"
#include "interpreter/tessel_parser.h"

int CompiledRegions::StraightOf(CTesselParser& parser, const Node& node) {
    node.straight = kNotStraight;
    const Condition& condition = conditions_[static_cast<std::size_t>(node.item)];
    if (condition.partCount != 1 || condition.text || !conditionParts_[static_cast<std::size_t>(condition.firstPart)].integers)
        return -1;
    StraightPass pass{static_cast<int>(straightSteps_.size()), 0, condition.wordCount};
    // The pass that has just run compiled every node of the body; each step reads on from the last.
    for (int at = condition.after;;) {
        const Node* step = at >= 0 && at <= parser.sourceLength_ ? nodeAt_[static_cast<std::size_t>(at)] : nullptr;
        if (step == nullptr || !AddStraightStep(parser, *step, at, pass)) {
            straightSteps_.resize(static_cast<std::size_t>(pass.firstStep));
            return -1;
        }
        if (step->kind == NodeKind::kClosing) break;
        at = step->kind == NodeKind::kAssign ? statements_[static_cast<std::size_t>(step->item)].next : step->next;
    }
    pass.stepCount = static_cast<int>(straightSteps_.size()) - pass.firstStep;
    straightPasses_.push_back(pass);
    node.straight = static_cast<int>(straightPasses_.size()) - 1;
    return node.straight;
}

bool CompiledRegions::AddStraightStep(const CTesselParser& parser, const Node& step, int at, StraightPass& pass) {
    StraightStep added;
    added.at = at;
    added.offset = pass.words;
    if (step.kind == NodeKind::kAssign) {
        const Statement& statement = statements_[static_cast<std::size_t>(step.item)];
        // Deeper statements check the nesting one by one, as the block's room covers two levels.
        if (!statement.integers || statement.text || statement.depth > 1 || statement.next <= at) return false;
        added.statement = step.item;
        pass.words += statement.wordCount;
        added.lastFrom = statement.settleFrom;
        added.lastOffset = statement.putBack ? pass.words : pass.words - 1;
    } else if (step.kind == NodeKind::kSeparator || (step.kind == NodeKind::kClosing && step.code == kw::kWend)) {
        if (step.next <= at) return false;
        pass.words += 1;
        added.lastFrom = at;
        added.lastOffset = pass.words - 1;
    } else {
        return false;
    }
    if (pass.words >= CTesselParser::kHistoryLast || parser.sourceLength_ < at) return false;
    straightSteps_.push_back(added);
    return true;
}

int CompiledRegions::RunStraight(CTesselParser& parser, const Node& node, const StraightPass& pass, int conditionCount) {
    const Condition& condition = conditions_[static_cast<std::size_t>(node.item)];
    // Room for a whole pass's words, and for the levels of the body's block and the condition.
    if (conditionCount + pass.words + 1 >= CTesselParser::kHistoryLast ||
        parser.nestingDepth + kBlockLevels >= CTesselParser::kMaxNestingDepth ||
        parser.nestingDepth + 3 + condition.depth >= CTesselParser::kMaxNestingDepth) {
        return kAtCondition;
    }
    const ConditionPart& part = conditionParts_[static_cast<std::size_t>(condition.firstPart)];
    const StraightStep* const steps = straightSteps_.data() + pass.firstStep;
    std::uint64_t ran = 0;
    bool passed = false;
    for (;; passed = true) {
        bool truth = false;
        if (!IntegerPart(parser, part, truth)) break;
        if (!truth) {
            compiledStatements_ += ran;
            TakeCondition(parser, condition);
            int found = 0;
            SkipInner(parser, kw::kWend, found);
            return kLoopEnded;
        }
        parser.NextScopeNumber(CTesselParser::kWhile);
        for (int k = 0; k < pass.stepCount; ++k) {
            const StraightStep& step = steps[k];
            std::int32_t value = 0;
            std::int32_t* const slot =
                Polled(parser) ? nullptr
                : step.statement < 0 ? &value
                                     : IntegerTarget(parser, statements_[static_cast<std::size_t>(step.statement)], value);
            if (slot == nullptr) {
                compiledStatements_ += ran;
                StraightStopAt(parser, node, pass, k, conditionCount);
                return k;
            }
            *slot = value;
            ran += step.statement >= 0 ? 1 : 0;
        }
    }
    compiledStatements_ += ran;
    // Where a pass has run, the last word read is its Wend.
    if (passed) StraightStopAt(parser, node, pass, pass.stepCount, conditionCount);
    return kAtCondition;
}

void CompiledRegions::StraightStopAt(CTesselParser& parser, const Node& node, const StraightPass& pass, int step,
                                     int conditionCount) {
    const StraightStep* const steps = straightSteps_.data() + pass.firstStep;
    if (step == 0) {
        const Condition& condition = conditions_[static_cast<std::size_t>(node.item)];
        Took(condition.after, conditionCount + condition.wordCount);
    } else {
        const StraightStep& before = steps[step - 1];
        Took(before.lastFrom, conditionCount + before.lastOffset);
    }
    // After a whole pass, the condition is read next from where it always is.
    if (step < pass.stepCount) {
        parser.position = steps[step].at;
        parser.tokenCount = conditionCount + steps[step].offset;
    }
}

int CompiledRegions::RestOfBody(CTesselParser& parser, const Node& node, int conditionCount) {
    const Condition& condition = conditions_[static_cast<std::size_t>(node.item)];
    const int result = Block(parser, WhileBody, condition.after, conditionCount + condition.wordCount);
    return result >= 0 ? result : ReadBlock(parser, WhileBody);
}

// Straight passes: a For, While or Do whose body is only assignments, separators and Ifs (with
// their Else branches, and Ifs inside those) runs its passes step by step, without the statement
// layer, once the history holds a pass's words. Nothing is written then: the scan position, the
// count and the last word are set only where the statement layer takes over, as running the steps
// before would have left them. A step whose shapes are Integers bound at entry runs on pointers,
// one whose numbers have typed code runs that code bound at entry (region_typed_steps.cpp); any
// other takes the general evaluation, whose guards fail before any effect as a node's do.
#include <algorithm>
#include <cstddef>
#include <vector>

#include "interpreter/compiled_regions.h"
#include "interpreter/keyword_codes.h"
#include "interpreter/region_guards.h"
#include "interpreter/tessel_parser.h"

int CompiledRegions::StraightOf(CTesselParser& parser, const Node& node) {
    StraightPass pass;
    pass.firstStep = static_cast<int>(program_.straightSteps.size());
    if (!StraightLoop(node, pass)) {
        CacheOf(node).straight = kNotStraight;
        return -1;
    }
    std::vector<int> open;  // steps whose next step is the one added next
    int at = pass.bodyAt;
    const int closing = AddStraightSteps(parser, at, pass, pass.blockKind, -1, false, open);
    const int closes = node.kind == NodeKind::kFor ? kw::kNext : node.kind == NodeKind::kDo ? kw::kWhile : kw::kWend;
    pass.stepCount = static_cast<int>(program_.straightSteps.size()) - pass.firstStep;
    const StraightStep* closingStep = pass.stepCount > 0 ? &program_.straightSteps.back() : nullptr;
    const Node* doTest = closing == kw::kWhile ? program_.nodeAt[static_cast<std::size_t>(closingStep->at)] : nullptr;
    // A branch no pass has taken yet is not compiled: a later pass may find it.
    if (closing != closes || (doTest != nullptr && (doTest->kind != NodeKind::kWhile || !StraightCondition(
                                                        program_.conditions[static_cast<std::size_t>(doTest->item)])))) {
        program_.straightSteps.resize(static_cast<std::size_t>(pass.firstStep));
        CacheOf(node).straightWait = 1 << CacheOf(node).straightTries;
        if (++CacheOf(node).straightTries >= kStraightTries) CacheOf(node).straight = kNotStraight;
        return -1;
    }
    pass.endAt = at;
    if (node.kind == NodeKind::kFor) {
        pass.start = closingStep->last;  // a For's pass begins after its Next
    } else if (doTest != nullptr) {
        // The Do's condition follows its While; the word after it is put back.
        const Condition& test = program_.conditions[static_cast<std::size_t>(doTest->item)];
        pass.test = doTest->item;
        pass.testOffset = pass.words;
        pass.words += test.wordCount;
        pass.levels = std::max(pass.levels, 3 + test.depth);
        pass.start = {test.after, pass.words, false};
    }
    program_.straightPasses.push_back(pass);
    CacheOf(node).straight = static_cast<int>(program_.straightPasses.size()) - 1;
    return CacheOf(node).straight;
}

bool CompiledRegions::StraightLoop(const Node& node, StraightPass& pass) const {
    pass.loop = node.kind;
    pass.levels = kBlockLevels;
    pass.bodyAt = node.body;
    switch (node.kind) {
        case NodeKind::kFor:
            pass.scope = CTesselParser::kFor;
            pass.blockKind = ForBody;
            return true;
        case NodeKind::kDo:
            pass.scope = CTesselParser::kDo;
            pass.blockKind = DoBody;
            return true;
        case NodeKind::kWhile: {
            const Condition& condition = program_.conditions[static_cast<std::size_t>(node.item)];
            if (!StraightCondition(condition)) return false;
            pass.scope = CTesselParser::kWhile;
            pass.blockKind = WhileBody;
            pass.test = node.item;
            pass.words = condition.wordCount;
            pass.levels = std::max(kBlockLevels, 3 + condition.depth);
            pass.bodyAt = condition.after;
            pass.bodyOffset = condition.wordCount;
            pass.start = {condition.after, condition.wordCount, false};  // put back
            return true;
        }
        default: return false;
    }
}

int CompiledRegions::AddStep(StraightPass& pass, const StraightStep& step, std::vector<int>& open) {
    const int index = static_cast<int>(program_.straightSteps.size()) - pass.firstStep;
    program_.straightSteps.push_back(step);
    for (int from : open) program_.straightSteps[static_cast<std::size_t>(pass.firstStep + from)].next = index;
    open.assign(1, index);
    return index;
}

bool CompiledRegions::AddStraightAssignment(const Node& node, StraightPass& pass, StraightStep& step, int branches) {
    const Statement& statement = program_.statements[static_cast<std::size_t>(node.item)];
    if (statement.names.count != 0) return false;
    // A statement checks the nesting at its depth below its block's levels (each branch one more).
    pass.levels = std::max(pass.levels, 3 + branches + statement.depth);
    step.kind = StepKind::kAssign;
    step.item = node.item;
    pass.words += statement.wordCount;
    step.last = {statement.settleFrom, statement.putBack ? pass.words : pass.words - 1, false};
    return true;
}

int CompiledRegions::AddStraightSteps(CTesselParser& parser, int& at, StraightPass& pass, int kind, int branchOf,
                                      bool elseSide, std::vector<int>& open) {
    for (;;) {
        const Node* node = at >= 0 && at <= parser.sourceLength_ ? program_.nodeAt[static_cast<std::size_t>(at)] : nullptr;
        if (node == nullptr || pass.words >= CTesselParser::kHistoryLast) return -1;
        if (node->kind == NodeKind::kIf) {
            if (!AddStraightIf(parser, *node, at, pass, branchOf, elseSide, open)) return -1;
            continue;
        }
        StraightStep step;
        step.at = at;
        step.offset = pass.words;
        step.branchOf = branchOf;
        step.elseSide = elseSide;
        // A While closes a Do's body (its condition read after it); in any other block it is a loop.
        const bool closing =
            node->kind == NodeKind::kClosing || (node->kind == NodeKind::kWhile && (node->closes & kind) != 0);
        int next = 0;
        if (node->kind == NodeKind::kAssign) {
            if (!AddStraightAssignment(*node, pass, step, BranchesAround(pass, branchOf))) return -1;
            next = program_.statements[static_cast<std::size_t>(node->item)].next;
        } else if (node->kind == NodeKind::kSeparator || (closing && (node->closes & kind) != 0)) {
            pass.words += 1;
            step.last = {at, pass.words - 1, false};
            next = node->next;
        } else {
            return -1;
        }
        if (next <= at) return -1;
        AddStep(pass, step, open);
        at = next;
        if (closing) return node->code;
    }
}

// The If is read a level below its block's, which is one below the block around it for each
// branch it is in: its condition and its branches' blocks need as many levels more.
bool CompiledRegions::AddStraightIf(CTesselParser& parser, const Node& node, int& at, StraightPass& pass, int branchOf,
                                    bool elseSide, std::vector<int>& open) {
    const Condition& condition = program_.conditions[static_cast<std::size_t>(node.item)];
    if (!StraightCondition(condition) || node.body <= at) return false;
    const int branches = BranchesAround(pass, branchOf);
    pass.levels = std::max({pass.levels, 1 + branches + kBlockLevels, 4 + branches + condition.depth});
    StraightStep step;
    step.kind = StepKind::kIf;
    step.item = node.item;
    step.at = at;
    step.offset = pass.words;
    step.branchOf = branchOf;
    step.elseSide = elseSide;
    pass.words += condition.wordCount + 2;  // If, the condition, Then
    step.last = {condition.after, pass.words - 1, false};
    step.thenAt = node.body;
    step.thenOffset = pass.words;
    const int ifStep = AddStep(pass, step, open);
    int branch = node.body;
    const int closing = AddStraightSteps(parser, branch, pass, ThenBranch, ifStep, false, open);
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
    if (AddStraightSteps(parser, elseAt, pass, ElseBranch, ifStep, true, elseOpen) != kw::kEndif) return false;
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

int CompiledRegions::BranchesAround(const StraightPass& pass, int branchOf) const {
    int branches = 0;
    for (int k = branchOf; k >= 0; k = program_.straightSteps[static_cast<std::size_t>(pass.firstStep + k)].branchOf) ++branches;
    return branches;
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
    step.last = {program_.words.starts[last], offset + words - 1, true};
    step.branchOf = branchOf;
    program_.straightSteps.push_back(step);
    return static_cast<int>(program_.straightSteps.size()) - 1 - pass.firstStep;
}

CompiledRegions::PointedFor CompiledRegions::PointedNow(const CTesselParser& parser, int pass) const {
    return {pass,
            parser.names_.Version(),
            parser.variables.Data(),
            {program_.instructions.data(), program_.expressions.data(), program_.statements.data(), program_.conditions.data(), program_.conditionParts.data()},
            run_.typedDropped};
}

// The name after a Do's condition is looked up once per generation of the names, which no step
// can change: the lookups it leaves are those the pass before left.
bool CompiledRegions::DoTestLookedUp(const CTesselParser& parser, const StraightPass& pass) const {
    if (pass.loop != NodeKind::kDo) return true;
    const int after = program_.conditions[static_cast<std::size_t>(pass.test)].afterName;
    return after < 0 || NamesLookedUp(parser, &after, 1);
}

// The skips' names are looked up once per version of the names, which no step can change.
bool CompiledRegions::StraightBound(const CTesselParser& parser, const StraightPass& pass) const {
    const NamesVersion version = parser.names_.Version();
    for (int k = 0; k < pass.stepCount; ++k) {
        const StraightStep& step = program_.straightSteps[static_cast<std::size_t>(pass.firstStep + k)];
        if (step.kind == StepKind::kSkip && caches_.skipVariables[static_cast<std::size_t>(step.item)] != version) return false;
    }
    return true;
}

// One comparison of Integer shapes bound now: its sides as pointers; any other: its condition,
// typed where its parts compare numbers.
CompiledRegions::PointedStep CompiledRegions::PointToCondition(CTesselParser& parser, Value* variables,
                                                               const Condition& condition) {
    const ConditionPart& part = program_.conditionParts[static_cast<std::size_t>(condition.firstPart)];
    const NamesVersion version = parser.names_.Version();
    PointedStep step;
    if (condition.partCount != 1 || !part.integers ||
        !IntegersBound(parser, program_.expressions[static_cast<std::size_t>(part.a)], version) ||
        (part.op >= 0 && !IntegersBound(parser, program_.expressions[static_cast<std::size_t>(part.b)], version))) {
        step.condition = &condition;
        step.firstPart = BindTypedCondition(parser, condition);
        return step;
    }
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

// The general ways check the room below their own levels, which the pass's entry has checked.
// The pointed forms inline, the others apart: the loop of Integer steps stays small.
__attribute__((always_inline)) inline bool CompiledRegions::StepTruth(CTesselParser& parser, const PointedStep& step, bool& truth) {
    return step.condition == nullptr ? PointedTruth(step, truth) : OtherTruth(parser, step, truth);
}

__attribute__((noinline)) bool CompiledRegions::OtherTruth(CTesselParser& parser, const PointedStep& step, bool& truth) {
    return step.firstPart >= 0 ? TypedTruth(parser, step, truth) : Truth(parser, *step.condition, truth);
}

// The pass's steps with their operands as pointers where they are bound Integer shapes, the
// loop's test last.
void CompiledRegions::PointSteps(CTesselParser& parser, const StraightPass& pass) {
    Value* const variables = parser.variables.GetData();
    const NamesVersion version = parser.names_.Version();
    run_.pointedSteps.assign(static_cast<std::size_t>(pass.stepCount) + 1, PointedStep{});
    run_.pointedParts.clear();
    for (int k = 0; k < pass.stepCount; ++k) {
        const StraightStep& step = program_.straightSteps[static_cast<std::size_t>(pass.firstStep + k)];
        PointedStep& pointed = run_.pointedSteps[static_cast<std::size_t>(k)];
        if (step.kind == StepKind::kIf) {
            pointed = PointToCondition(parser, variables, program_.conditions[static_cast<std::size_t>(step.item)]);
            pointed.form = pointed.condition == nullptr ? StepForm::kPointedTest : StepForm::kOtherTest;
        } else if (step.kind == StepKind::kSkip && !step.elseSide && program_.skips[static_cast<std::size_t>(step.item)].found) {
            pointed.form = StepForm::kElseSkip;
        }
        pointed.next = step.next;
        pointed.otherwise = step.otherwise;
        if (step.kind == StepKind::kAssign) {
            const Statement& statement = program_.statements[static_cast<std::size_t>(step.item)];
            if (!statement.integers || !AssignmentBound(parser, statement, version)) {
                if (!BindTypedStore(parser, statement, pointed)) pointed.statement = &statement;
                pointed.form = StepForm::kOtherStore;
                continue;
            }
            pointed.form = StepForm::kPointedStore;
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
    if (pass.test >= 0) run_.pointedSteps.back() = PointToCondition(parser, variables, program_.conditions[static_cast<std::size_t>(pass.test)]);
}

__attribute__((always_inline)) inline bool CompiledRegions::RunSteps(CTesselParser& parser, const StraightPass& pass,
                                                                     int passCount, std::uint64_t& ran, int& stopped) {
    const PointedStep* const pointed = run_.pointedSteps.data();
    for (int k = 0, before = -1; k >= 0;) {
        const PointedStep& step = pointed[k];
        int next = step.next;
        bool held = !Polled(parser);
        bool taken = false;
        if (held) {
            switch (step.form) {
                case StepForm::kWord: break;
                case StepForm::kElseSkip: parser.NextScopeNumber(CTesselParser::kElse); break;
                case StepForm::kPointedStore: held = PointedStore(step); break;
                case StepForm::kOtherStore: held = OtherStore(parser, step); break;
                case StepForm::kPointedTest: held = PointedTruth(step, taken); break;
                case StepForm::kOtherTest: held = OtherTruth(parser, step, taken); break;
            }
        }
        if (!held) {
            StraightStopAt(parser, pass, k, before, passCount);
            stopped = k;
            return false;
        }
        if (step.form >= StepForm::kPointedTest) {
            if (taken)
                parser.NextScopeNumber(CTesselParser::kThen);
            else
                next = step.otherwise;
        }
        ran += step.form >= StepForm::kPointedStore ? 1 : 0;
        before = k;
        k = next;
    }
    return true;
}

__attribute__((always_inline)) inline bool CompiledRegions::GoesRound(CTesselParser& parser, const StraightPass& pass,
                                                                      int passCount, const ForStepping* stepping) {
    bool again = false;
    int offset = pass.words;
    if (pass.loop == NodeKind::kFor) {
        again = !parser.StepForVariable(stepping->element, stepping->step, stepping->end) && parser.runState == kRunning;
    } else {
        // A Do's condition is read again the compiled way where it ends the loop: reading it has no effect.
        offset = pass.testOffset;
        bool truth = false;
        again = StepTruth(parser, run_.pointedSteps.back(), truth) && truth;
    }
    if (!again) {
        const StraightStep& closing = program_.straightSteps[static_cast<std::size_t>(pass.firstStep + pass.stepCount - 1)];
        StraightAt(parser, pass.endAt, offset, closing.last, passCount);
    }
    return again;
}

CompiledRegions::StraightEnd CompiledRegions::RunStraight(CTesselParser& parser, const Node& node, int passCount,
                                                          const ForStepping* stepping) {
    const StraightPass& pass = program_.straightPasses[static_cast<std::size_t>(CacheOf(node).straight)];
    // The history holding the pass's words, room for them all and the word put back after them,
    // and for the levels of its blocks and conditions.
    if (parser.history.Known() < passCount + pass.words || !Room(parser, passCount + pass.words + 1, pass.levels) ||
        !DoTestLookedUp(parser, pass)) {
        return {StraightEnd::kAtStart};
    }
    const PointedFor pointedFor = PointedNow(parser, CacheOf(node).straight);
    if (!(run_.pointedFor == pointedFor)) {
        if (!StraightBound(parser, pass)) return {StraightEnd::kAtStart};
        PointSteps(parser, pass);
        run_.pointedFor = pointedFor;
    }
    const PointedStep& test = run_.pointedSteps.back();
    std::uint64_t ran = 0;
    StraightEnd end{StraightEnd::kAtStart};
    for (bool passed = false;; passed = true) {
        if (pass.loop == NodeKind::kWhile) {
            bool truth = false;
            if (!StepTruth(parser, test, truth)) {
                // Where a pass has run, the last word read is its Wend.
                if (passed) {
                    const LastWordAt& wend = program_.straightSteps[static_cast<std::size_t>(pass.firstStep + pass.stepCount - 1)].last;
                    Took(wend.from, passCount + wend.offset, wend.raw);
                }
                break;
            }
            if (!truth) {
                TakeCondition(parser, program_.conditions[static_cast<std::size_t>(pass.test)]);
                int found = 0;
                SkipInner(parser, kw::kWend, found);
                end.kind = StraightEnd::kLoopEnded;
                break;
            }
        }
        parser.NextScopeNumber(pass.scope);
        if (!RunSteps(parser, pass, passCount, ran, end.step)) {
            run_.pointedFor = {};  // the statement layer may drop typed code the steps run
            end.kind = StraightEnd::kTakeOver;
            break;
        }
        if (pass.loop != NodeKind::kWhile && !GoesRound(parser, pass, passCount, stepping)) {
            end.kind = pass.loop == NodeKind::kFor ? StraightEnd::kLoopEnded : StraightEnd::kAtTest;
            break;
        }
    }
    run_.compiledStatements += ran;
    run_.straightStatements += ran;
    return end;
}

void CompiledRegions::StraightAt(CTesselParser& parser, int at, int offset, const LastWordAt& last, int passCount) {
    parser.MoveScanTo(at);
    parser.history.MoveTo(passCount + offset);
    Took(last.from, passCount + last.offset, last.raw);
}

void CompiledRegions::StraightStopAt(CTesselParser& parser, const StraightPass& pass, int step, int before, int passCount) {
    const StraightStep* const steps = program_.straightSteps.data() + pass.firstStep;
    StraightAt(parser, steps[step].at, steps[step].offset, before < 0 ? pass.start : steps[before].last, passCount);
}

int CompiledRegions::TakeOverPass(CTesselParser& parser, const Node& node, int step, int passCount) {
    const StraightPass& pass = program_.straightPasses[static_cast<std::size_t>(CacheOf(node).straight)];
    const StraightStep* const steps = program_.straightSteps.data() + pass.firstStep;
    const StraightStep& at = steps[step];
    if (at.branchOf < 0) return RestOfBody(parser, pass, passCount);
    return TakeOverIf(parser, pass, steps, at, passCount);
}

// The compiled regions run: a block's statements node by node, each compiled the first time it is
// reached, with the statement layer's own steps in the reading's order; the reader is called for
// every statement, condition, skip or block that is not compiled or fails a guard.
#include <cstddef>
#include <cstdio>
#include <cstdlib>

#include "interpreter/compiled_regions.h"
#include "interpreter/keyword_codes.h"
#include "interpreter/region_guards.h"
#include "interpreter/tessel_parser.h"

void CompiledRegions::Clear() {
    program_.Clear();
    caches_.Clear();
    run_.last = {};
    run_.closedBy = 0;
    run_.pointedFor = {};
}

__attribute__((always_inline)) inline void CompiledRegions::ClearError(CTesselParser& parser) { parser.ClearErrorText(); }

bool CompiledRegions::ScanIsPlain(const CTesselParser& parser) {
    return parser.RegionsTakeOver() && parser.ScanIsCached() && !Polled(parser) &&
           parser.runState == kRunning && parser.history.Count() >= 0 && parser.position >= 0 &&
           parser.position <= parser.sourceLength_;
}

void CompiledRegions::Settle(CTesselParser& parser) {
    parser.history.Disturb();  // the reader takes over, or the region is left
    if (run_.last.from < 0) return;
    const int position = parser.position;
    const int count = parser.history.Count();
    parser.history.MoveTo(run_.last.index);
    if (run_.last.raw)
        parser.SettleRawWord(run_.last.from);
    else
        parser.SettleWord(run_.last.from, false);  // a put-back only moves the scan, which is restored
    parser.MoveScanTo(position);
    parser.history.MoveTo(count);
    // A keyword has been read since the reader last read (a statement's, or its closing word).
    parser.ForgetBuiltinLiteral();
    run_.last.from = -1;
}

int CompiledRegions::RunBlock(CTesselParser& parser, int kind) {
    if (!ScanIsPlain(parser)) return -1;
    const int result = Block(parser, kind);
    Settle(parser);
    return result;
}

int CompiledRegions::RunLoopStatement(CTesselParser& parser) {
    if (!ScanIsPlain(parser) || parser.history.Count() < 1 || parser.history.Count() >= CTesselParser::kHistoryLast) return -1;
    const int at = parser.history.Start(parser.history.Count() - 1);
    if (at < 0 || at > parser.sourceLength_) return -1;
    const Node& node = NodeAt(parser, at);
    const Ran ran = RunLoop(parser, node, at, true);
    Settle(parser);
    return static_cast<int>(ran);
}

int CompiledRegions::Skip(CTesselParser& parser, int closing, int& found) {
    if (!ScanIsPlain(parser)) return parser.ReadSkip(closing, found);
    const int result = SkipInner(parser, closing, found);
    Settle(parser);
    return result;
}

__attribute__((always_inline)) inline int CompiledRegions::ReplaySkip(CTesselParser& parser, int closing, int& found) {
    if (program_.skipAt.empty() || Polled(parser)) return -1;
    const int slot = program_.skipAt[static_cast<std::size_t>(parser.position)];
    if (slot <= 0) return -1;
    SkipWords& skip = program_.skips[static_cast<std::size_t>(slot - 1)];
    if (skip.closing != closing || !Fits(parser, skip.wordCount, 0)) return -1;
    if (caches_.skipVariables[static_cast<std::size_t>(slot - 1)] != parser.names_.Version() && !LookUpSkipNames(parser, slot - 1))
        return -1;
    Write(parser, skip.firstWord, skip.wordCount);
    const std::size_t last = static_cast<std::size_t>(skip.firstWord + skip.wordCount - 1);
    Took(program_.words.starts[last], parser.history.Count() - 1, true);
    parser.MoveScanTo(program_.words.starts[last] + program_.words.lengths[last]);
    found = skip.found;
    return skip.result;
}

// The names a kept skip passes looked up as reading them does; false where the reading is to skip.
__attribute__((noinline)) bool CompiledRegions::LookUpSkipNames(CTesselParser& parser, int index) {
    const SkipWords& skip = program_.skips[static_cast<std::size_t>(index)];
    const int* names = program_.textNames.data() + skip.firstName;
    if (!NamesLookedUp(parser, names, skip.nameCount)) return false;
    bool keywordSet = false;
    ResolveNames(parser, names, caches_.nameAnswers.data() + skip.firstName, skip.nameCount, keywordSet);
    if (AllVariables(parser, names, skip.nameCount)) caches_.skipVariables[static_cast<std::size_t>(index)] = parser.names_.Version();
    return true;
}

int CompiledRegions::SkipInner(CTesselParser& parser, int closing, int& found) {
    found = 0;
    const int replayed = ReplaySkip(parser, closing, found);
    return replayed >= 0 ? replayed : ReadSkip(parser, closing, found);
}

__attribute__((noinline)) int CompiledRegions::ReadSkip(CTesselParser& parser, int closing, int& found) {
    Settle(parser);
    const int from = parser.position;
    const int fromCount = parser.history.Count();
    const int result = parser.ReadSkip(closing, found);
    KeepSkip(parser, closing, from, fromCount, result, found);
    return result;
}

// What the statement layer looks at after a statement with a body (an If, a loop, a call), in a
// block of this kind entered at the given marks: kBlockGoesOn, or the block's result.
__attribute__((always_inline)) inline int CompiledRegions::AfterBodyStatement(CTesselParser& parser, int kind, int entryPosition,
                                                                              int entryCount, int entryLength) {
    if (parser.runState != kRunning || parser.returning || (run_.last.from < 0 && parser.currentToken == token::kEnd)) {
        Settle(parser);
        const int result = parser.AfterStatement(kind, 0, ScanMark{entryPosition, entryCount}, entryLength);
        if (result != CTesselParser::kBlockGoesOn) return result;
    }
    ClearError(parser);
    return CTesselParser::kBlockGoesOn;
}

// Inside a region the scan stays plain: every way the reading could have changed that ends the
// statement that changed it, so only the nesting is looked at here.
int CompiledRegions::Block(CTesselParser& parser, int kind, int entryPosition, int entryCount) {
    // Where the reading is to run the block, ReadBlock sets run_.closedBy.
    if (!Room(parser, kNoWords, kBlockLevels)) return -1;
    // A braced block, or one that starts with a comment, a built-in value or the text's end, is read.
    if (NodeAt(parser, parser.position).kind == NodeKind::kInterpreted) {
        const CTesselParser::ScanCacheEntry* first = parser.CachedEntryAt(parser.position);
        if (first == nullptr || !first->flat || first->kind == kw::kOpenBrace) return -1;
    }
    NestingLevel level(parser);
    int closing = 0;
    const int result = Statements(parser, kind, closing, entryPosition, entryCount);
    run_.closedBy = closing;
    return result;
}

__attribute__((always_inline)) inline int CompiledRegions::BlockOrReading(CTesselParser& parser, int kind, int entryPosition,
                                                                          int entryCount) {
    const int result = Block(parser, kind, entryPosition, entryCount);
    return result >= 0 ? result : ReadBlock(parser, kind);
}

__attribute__((always_inline)) inline int CompiledRegions::BlockOrReading(CTesselParser& parser, int kind) {
    return BlockOrReading(parser, kind, parser.position, parser.history.Count());
}

__attribute__((noinline)) int CompiledRegions::ReadBlock(CTesselParser& parser, int kind) {
    Settle(parser);
    const int read = parser.ReadBlock(1, kind);
    run_.closedBy = 0;
    return read;
}

int CompiledRegions::Statements(CTesselParser& parser, int kind, int& closing, int entryPosition, int entryCount) {
    const int entryLength = parser.variables.GetCount();
    // The reading clears the error text before every statement; only a statement the reading runs,
    // or a body, can have left one.
    ClearError(parser);
    for (;;) {
        const int at = parser.position;
        Node& node = NodeAfterFirst(parser, at);  // the block's first node is compiled
        Ran ran = Ran::kHandOver;
        if (Polled(parser))
            ran = Ran::kHandOver;
        else if (node.kind == NodeKind::kAssign)  // the commonest statement, without the dispatch
            ran = RunAssignment(parser, program_.statements[static_cast<std::size_t>(node.item)],
                                caches_.statements[static_cast<std::size_t>(node.item)])
                      ? Ran::kDone
                      : Ran::kHandOver;
        else
            ran = RunNode(parser, node, at, kind);
        if (ran == Ran::kClosesBlock) {
            parser.CutBlock(kind, entryLength);
            closing = node.code;
            return 1;
        }
        if (ran == Ran::kFailed) return 0;
        if (ran == Ran::kHandOver) {
            const int result = Interpret(parser, at, kind, entryPosition, entryCount, entryLength);
            if (result != CTesselParser::kBlockGoesOn) return result;
            ClearError(parser);
            continue;
        }
        // What the statement layer looks at after every statement: only a body can have changed it.
        if (node.kind >= NodeKind::kIf) {
            const int result = AfterBodyStatement(parser, kind, entryPosition, entryCount, entryLength);
            if (result != CTesselParser::kBlockGoesOn) return result;
        }
    }
}

int CompiledRegions::Interpret(CTesselParser& parser, int at, int kind, int entryPosition, int entryCount, int entryLength) {
    Settle(parser);
    parser.MoveScanTo(at);
    return parser.BlockStatement(1, kind, 0, ScanMark{entryPosition, entryCount}, entryLength, false);
}

CompiledRegions::Ran CompiledRegions::RunNode(CTesselParser& parser, Node& node, int at, int kind) {
    switch (node.kind) {
        case NodeKind::kSeparator:
        case NodeKind::kClosing:
        case NodeKind::kWhile: {
            const bool closes = (node.closes & kind) != 0;
            if (node.kind == NodeKind::kWhile && !closes) return RunLoop(parser, node, at, false);
            if ((node.kind == NodeKind::kClosing && !closes) || !Fits(parser, 1, 0)) return Ran::kHandOver;
            WriteWord(parser, node.firstWord);
            Took(at, parser.history.Count() - 1);
            parser.MoveScanTo(node.next);
            return node.kind == NodeKind::kSeparator ? Ran::kDone : Ran::kClosesBlock;
        }
        case NodeKind::kIf: return RunIf(parser, node);
        case NodeKind::kFor:
        case NodeKind::kDo: return RunLoop(parser, node, at, false);
        case NodeKind::kCall: return RunCall(parser, node);
        case NodeKind::kCommand: return RunCommand(parser, node);
        case NodeKind::kOutput: return RunOutput(parser, node);
        case NodeKind::kFileWrite: return RunFileWrite(parser, node);
        case NodeKind::kFileRead: return RunFileRead(parser, node);
        default: return Ran::kHandOver;
    }
}

__attribute__((always_inline)) inline void CompiledRegions::Store(CTesselParser& parser, ElementRef element,
                                                                  const Number& result) {
    const int type = parser.variables[element.record].type;
    Value::Payload& target = parser.ElementValue(element);
    if (type == kTypeInteger && result.type != kTypeString) {
        target.integer = result.type == kTypeInteger ? result.i : DoubleToInt32(result.d);
    } else if (type == kTypeFloat && result.type != kTypeString) {
        target.number = result.type == kTypeInteger ? result.i : result.d;
    } else if (result.type == kTypeString && TakesText(type)) {
        AssignTextToSlot(target, type, run_.stackTexts[0]);
    } else {
        Value v;
        SetValue(v, result);
        parser.AssignScalar(element, v);
    }
}

__attribute__((noinline)) bool CompiledRegions::AssignOtherwise(CTesselParser& parser, const Statement& statement,
                                                                BindingCaches::Statement& bound) {
    double* element = nullptr;
    ElementRef target;
    if (statement.column >= 0)
        element = MatrixTarget(parser, statement, bound);
    else
        target = StoredElement(parser, statement, bound);
    if (!target.Found() && element == nullptr) return false;
    const Expression& value = program_.expressions[static_cast<std::size_t>(statement.value)];
    if (value.leaf && target.Found() && TakesText(parser.variables[target.record].type)) {
        // A String from where it is kept: into a String with one copy, into a number with none.
        if (const std::string* text = TextLeaf(parser, value)) {
            AssignTextToSlot(parser.ElementValue(target), parser.variables[target.record].type, *text);
            if (statement.text) ResolveTextNames(parser, statement.names);
            return true;
        }
    }
    Number n{};
    if (!Evaluate(parser, value, n)) return false;
    if (element != nullptr && n.type == kTypeString) return false;  // no text goes into a matrix
    if (statement.text) ResolveTextNames(parser, statement.names);
    if (element != nullptr)
        *element = n.type == kTypeInteger ? n.i : n.d;
    else
        Store(parser, target, n);
    return true;
}

__attribute__((always_inline)) inline bool CompiledRegions::AssignFloat(CTesselParser& parser, const Statement& statement,
                                                                        BindingCaches::Statement& bound) {
    const NamesVersion version = parser.names_.Version();
    if (bound.floatAt != version) {
        if (bound.floatTried == version) return false;
        bound.floatTried = version;
        const int record = RecordOf(parser, statement.target, bound.target);
        if (record < 0 || parser.variables[record].count != 1 || parser.variables[record].type != kTypeFloat) return false;
        bound.floatAt = version;
    }
    Number n{};
    if (!Evaluate(parser, program_.expressions[static_cast<std::size_t>(statement.value)], n) || n.type == kTypeString) return false;
    if (statement.text) ResolveTextNames(parser, statement.names);
    parser.variables[bound.target.record].value.number = n.type == kTypeInteger ? n.i : n.d;
    return true;
}

__attribute__((always_inline)) inline bool CompiledRegions::StoreAssignment(CTesselParser& parser, const Statement& statement,
                                                                           BindingCaches::Statement& bound) {
    std::int32_t value = 0;
    std::int32_t* const slot = statement.integers ? IntegerTarget(parser, statement, bound, value) : nullptr;
    if (slot != nullptr) {
        *slot = value;
        return true;
    }
    return (statement.floats && AssignFloat(parser, statement, bound)) || AssignOtherwise(parser, statement, bound);
}

bool CompiledRegions::RunAssignment(CTesselParser& parser, const Statement& statement, BindingCaches::Statement& bound) {
    // Inside a compiled block the nesting leaves room for a statement's first two levels.
    if (statement.depth > 1 ? !Fits(parser, statement.wordCount, statement.depth)
                            : parser.history.Count() + statement.wordCount + 1 >= CTesselParser::kHistoryLast) {
        return false;
    }
    if (!StoreAssignment(parser, statement, bound)) return false;
    FinishStatement(parser, statement);
    return true;
}

// A straight step's store that is no Integer shape's.
__attribute__((noinline)) bool CompiledRegions::OtherStore(CTesselParser& parser, const PointedStep& step) {
    return step.value != nullptr ? TypedStore(parser, step) : StoreAssignment(parser, *step.statement, CacheOf(*step.statement));
}


CompiledRegions::Ran CompiledRegions::RunIf(CTesselParser& parser, const Node& node) {
    const Condition& condition = program_.conditions[static_cast<std::size_t>(node.item)];
    bool truth = false;
    if (!Fits(parser, condition.wordCount + 2, 0) || !Truth(parser, condition, truth)) return Ran::kHandOver;
    Write(parser, node.firstWord, condition.wordCount + 2);  // If, the condition, Then
    Took(condition.after, parser.history.Count() - 1);
    parser.MoveScanTo(node.body);
    ++run_.compiledStatements;
    if (truth) {
        parser.NextScopeNumber(CTesselParser::kThen);
        return BlockOrReading(parser, ThenBranch) && AfterThenBranch(parser) ? Ran::kDone : Ran::kFailed;
    }
    return ElseOfIf(parser) ? Ran::kDone : Ran::kFailed;
}

__attribute__((always_inline)) inline int CompiledRegions::AfterThenBranch(CTesselParser& parser) {
    if (run_.closedBy == kw::kElse) {
        int found = 0;
        SkipInner(parser, kw::kEndif, found);
    } else if (run_.closedBy != kw::kEndif) {
        Settle(parser);
        if (!parser.returning) parser.LeaveThenBranch();
    }
    return 1;
}

__attribute__((always_inline)) inline int CompiledRegions::ElseOfIf(CTesselParser& parser) {
    int found = 0;
    SkipInner(parser, kw::kElse, found);
    if (!found) return 1;
    parser.NextScopeNumber(CTesselParser::kElse);
    return BlockOrReading(parser, ElseBranch) ? 1 : 0;
}

int CompiledRegions::RestOfBody(CTesselParser& parser, const StraightPass& pass, int passCount) {
    return BlockOrReading(parser, pass.blockKind, pass.bodyAt, passCount + pass.bodyOffset);
}

namespace {

// Levels entered together and left one at a time, the innermost first; those still entered are
// left on every way out.
class NestingLevels {
public:
    NestingLevels(CTesselParser& parser, int count) : parser_(parser) {
        while (entered_ < count && parser.EnterNesting()) ++entered_;
    }
    ~NestingLevels() {
        while (entered_ > 0) Leave();
    }
    NestingLevels(const NestingLevels&) = delete;
    NestingLevels& operator=(const NestingLevels&) = delete;
    void Leave() {
        if (entered_ == 0) return;
        --entered_;
        parser_.LeaveNesting();
    }

private:
    CTesselParser& parser_;
    int entered_ = 0;
};

}  // namespace

// The reading is inside the If's statement, in the block around it, and in every block around
// that: each is finished from the inside out as the statement layer finishes it (the statement's
// result, what it looks at after a statement, the rest of the block, the If's end after a Then
// branch).
int CompiledRegions::TakeOverIf(CTesselParser& parser, const StraightPass& pass, const StraightStep* steps,
                                const StraightStep& at, int passCount) {
    const StraightStep* ifStep = &steps[at.branchOf];
    NestingLevels levels(parser, 1 + BranchesAround(pass, ifStep->branchOf));
    const int entryLength = parser.variables.GetCount();
    int result = 0;
    if (at.kind == StepKind::kSkip && at.elseSide) {
        run_.closedBy = kw::kElse;
        result = AfterThenBranch(parser);
    } else if (at.kind == StepKind::kSkip) {
        result = ElseOfIf(parser);
    } else {
        const int kind = at.elseSide ? ElseBranch : ThenBranch;
        const int entry = at.elseSide ? ifStep->elseAt : ifStep->thenAt;
        result = BlockOrReading(parser, kind, entry, passCount + (at.elseSide ? ifStep->elseOffset : ifStep->thenOffset));
        if (result && !at.elseSide) result = AfterThenBranch(parser);
    }
    for (;;) {
        if (!result) return 0;
        const StraightStep* const outer = ifStep->branchOf < 0 ? nullptr : &steps[ifStep->branchOf];
        const bool elseSide = ifStep->elseSide;
        const int kind = outer == nullptr ? pass.blockKind : elseSide ? ElseBranch : ThenBranch;
        const int entryPosition = outer == nullptr ? pass.bodyAt : elseSide ? outer->elseAt : outer->thenAt;
        const int entryCount =
            passCount + (outer == nullptr ? pass.bodyOffset : elseSide ? outer->elseOffset : outer->thenOffset);
        int block = AfterBodyStatement(parser, kind, entryPosition, entryCount, entryLength);
        levels.Leave();
        if (block == CTesselParser::kBlockGoesOn)
            block = BlockOrReading(parser, kind, entryPosition, entryCount);
        else
            run_.closedBy = 0;  // as a block ended before its closing word leaves it
        if (outer == nullptr) return block;
        result = block && !elseSide ? AfterThenBranch(parser) : block;
        ifStep = outer;
    }
}

__attribute__((always_inline)) inline void CompiledRegions::LookForStraight(CTesselParser& parser, const Node& node,
                                                                         std::uint64_t disturbances) {
    BindingCaches::Node& cache = CacheOf(node);
    if (cache.straight != kNotLookedAt || disturbances != parser.history.Disturbances()) return;
    if (cache.straightWait > 0)
        --cache.straightWait;
    else
        StraightOf(parser, node);
}

__attribute__((always_inline)) inline int CompiledRegions::StraightOrBody(CTesselParser& parser, const Node& node, int passCount,
                                                                           const ForStepping* stepping, bool& ended) {
    ended = false;
    const bool isFor = node.kind == NodeKind::kFor;
    if (CacheOf(node).straight >= 0) {
        const StraightEnd straight = RunStraight(parser, node, passCount, stepping);
        ended = straight.kind == StraightEnd::kLoopEnded;
        if (straight.kind == StraightEnd::kTakeOver) return TakeOverPass(parser, node, straight.step, passCount);
        if (straight.kind != StraightEnd::kAtStart) return 1;
    }
    if (isFor) {
        parser.NextScopeNumber(CTesselParser::kFor);
        return BlockOrReading(parser, ForBody);
    }
    parser.NextScopeNumber(CTesselParser::kDo);
    return BlockOrReading(parser, DoBody);
}

CompiledRegions::Ran CompiledRegions::RunLoop(CTesselParser& parser, const Node& node, int at, bool keywordRead) {
    switch (node.kind) {
        case NodeKind::kFor: return RunFor(parser, node, keywordRead);
        case NodeKind::kWhile: return RunWhile(parser, node, at, keywordRead);
        case NodeKind::kDo: return RunDo(parser, node, at, keywordRead);
        default: return Ran::kHandOver;
    }
}

template <typename RunPass, typename AfterPass>
__attribute__((always_inline)) inline CompiledRegions::Ran CompiledRegions::Passes(CTesselParser& parser, int position, int count,
                                                                                  RunPass runPass, AfterPass afterPass) {
    for (;;) {
        parser.MoveScanTo(position);
        parser.history.MoveTo(count);
        const std::uint64_t disturbances = parser.history.Disturbances();
        const Pass pass = runPass();
        if (pass != Pass::kAgain) return pass == Pass::kDone ? Ran::kDone : Ran::kFailed;
        parser.history.Passed(disturbances);
        afterPass(disturbances);
    }
}

CompiledRegions::Ran CompiledRegions::RunFor(CTesselParser& parser, const Node& node, bool keywordRead) {
    const int record = parser.RecordNamedAt(node.name);
    if (record < 0 || !Fits(parser, node.headerWords, node.depth)) return Ran::kHandOver;
    Value& variable = parser.variables[record];
    if (variable.count != 1 || !variable.IsNumber()) return Ran::kHandOver;
    double start = 0.0;
    double end = 0.0;
    double step = 1.0;
    if (!Bound(parser, node.start, start)) return Ran::kHandOver;
    // The end and the step are read with the start stored (they may name the variable); where the
    // reading is to take them, the variable is as it was and the reading starts over.
    const Value::Payload before = variable.value;
    const ElementRef element{record, 1};
    parser.StoreForStart(element, start);
    if (!Bound(parser, node.end, end) || (node.step >= 0 && (!Bound(parser, node.step, step) || step == 0.0))) {
        parser.variables[record].value = before;
        return Ran::kHandOver;
    }
    // A member in a bound leaves its lookups once every bound has passed its guards.
    const int last = node.step >= 0 ? node.step : node.end;
    ResolveTextNames(parser, program_.expressions[static_cast<std::size_t>(node.start)].names.Through(
                                 program_.expressions[static_cast<std::size_t>(last)].names));
    const int skipped = keywordRead ? 1 : 0;
    Write(parser, node.firstWord + skipped, node.headerWords - skipped);
    const int headerCount = parser.history.Count();
    Took(program_.expressions[static_cast<std::size_t>(node.step >= 0 ? node.step : node.end)].after, headerCount);
    parser.MoveScanTo(node.body);
    ++run_.compiledStatements;
    if ((step > 0 && start > end) || (step <= 0 && end > start)) {
        Settle(parser);
        return parser.SkipToNext() ? Ran::kDone : Ran::kFailed;
    }
    const ForStepping stepping{element, step, end};
    return Passes(
        parser, node.body, headerCount,
        [&] {
            bool ended = false;
            if (!StraightOrBody(parser, node, headerCount, &stepping, ended)) return Pass::kFailed;
            if (ended) return Pass::kDone;
            if (parser.returning || parser.StepForVariable(element, step, end) || parser.runState != kRunning) return Pass::kDone;
            return Pass::kAgain;
        },
        [&](std::uint64_t disturbances) { LookForStraight(parser, node, disturbances); });
}

__attribute__((always_inline)) inline bool CompiledRegions::LoopCondition(CTesselParser& parser, int index, bool& truth,
                                                                         bool lookAfter) {
    if (index >= 0 && !lookAfter) {
        const Condition& condition = program_.conditions[static_cast<std::size_t>(index)];
        if (Truth(parser, condition, truth)) {
            TakeCondition(parser, condition);
            return true;
        }
    }
    return LoopConditionOtherwise(parser, index, truth, lookAfter);
}

bool CompiledRegions::LoopConditionOtherwise(CTesselParser& parser, int index, bool& truth, bool lookAfter) {
    if (index >= 0) {
        const Condition& condition = program_.conditions[static_cast<std::size_t>(index)];
        const bool looked = !lookAfter || condition.afterName < 0;
        if ((looked || NamesLookedUp(parser, &condition.afterName, 1)) && Truth(parser, condition, truth)) {
            TakeCondition(parser, condition);
            if (lookAfter) PutBackAfter(parser, condition);
            bool keywordSet = false;
            if (!looked) ResolveNames(parser, &condition.afterName, &caches_.conditionAnswers[static_cast<std::size_t>(index)], 1, keywordSet);
            return true;
        }
    }
    Settle(parser);
    int value = 0;
    if (!parser.EvaluateCondition(value)) return false;
    truth = value != 0;
    return true;
}

// The word after a Do's condition, read and put back: a pass that goes round again starts lower in
// the history and does not read it again, so its entry is left as reading it leaves it (a call
// whose body's words start past it shows it).
void CompiledRegions::PutBackAfter(CTesselParser& parser, const Condition& condition) {
    const CTesselParser::ScanCacheEntry* after = parser.CachedEntryAt(condition.after);
    if (after != nullptr) parser.history.PutBack(after->start, after->end - after->start);
}

// A loop's keyword, unless the reader has read it; false (nothing changed) where it does not fit.
bool CompiledRegions::TakeLoopKeyword(CTesselParser& parser, const Node& node, int at, bool keywordRead) {
    if (!Fits(parser, 1, 0)) return false;
    if (!keywordRead) {
        WriteWord(parser, node.firstWord);
        Took(at, parser.history.Count() - 1);
    }
    ++run_.compiledStatements;
    return true;
}

CompiledRegions::Ran CompiledRegions::RunWhile(CTesselParser& parser, const Node& node, int at, bool keywordRead) {
    if (!TakeLoopKeyword(parser, node, at, keywordRead)) return Ran::kHandOver;
    const int conditionCount = parser.history.Count();
    return Passes(
        parser, node.next, conditionCount,
        [&] {
            const StraightEnd straight = CacheOf(node).straight >= 0 ? RunStraight(parser, node, conditionCount) : StraightEnd{};
            if (straight.kind == StraightEnd::kLoopEnded) return Pass::kDone;
            int body = 0;
            if (straight.kind == StraightEnd::kTakeOver) {
                body = TakeOverPass(parser, node, straight.step, conditionCount);
            } else {
                bool truth = false;
                if (!LoopCondition(parser, node.item, truth)) return Pass::kFailed;
                if (!truth) {
                    int found = 0;
                    SkipInner(parser, kw::kWend, found);
                    return Pass::kDone;
                }
                parser.NextScopeNumber(CTesselParser::kWhile);
                body = BlockOrReading(parser, WhileBody);
            }
            if (!body) return Pass::kFailed;
            if (parser.returning || parser.runState != kRunning) return Pass::kDone;
            return Pass::kAgain;
        },
        [&](std::uint64_t disturbances) { LookForStraight(parser, node, disturbances); });
}

CompiledRegions::Ran CompiledRegions::RunDo(CTesselParser& parser, const Node& node, int at, bool keywordRead) {
    if (!TakeLoopKeyword(parser, node, at, keywordRead)) return Ran::kHandOver;
    const int bodyCount = parser.history.Count();
    return Passes(
        parser, node.body, bodyCount,
        [&] {
            bool ended = false;
            if (!StraightOrBody(parser, node, bodyCount, nullptr, ended)) return Pass::kFailed;
            if (parser.returning) return Pass::kDone;
            bool truth = false;
            if (parser.runState == kRunning && !LoopCondition(parser, ConditionAt(parser, parser.position), truth, true)) {
                return Pass::kFailed;
            }
            if (!truth || parser.runState != kRunning) return Pass::kDone;
            return Pass::kAgain;
        },
        [&](std::uint64_t disturbances) { LookForStraight(parser, node, disturbances); });
}

CompiledRegions::Ran CompiledRegions::RunCall(CTesselParser& parser, Node& node) {
    BindingCaches::Node& bound = CacheOf(node);
    // Call and the name, the word put back, and a block's levels for the body.
    if (!Room(parser, parser.history.Count() + 3, kBlockLevels) || !NamesLookedUp(parser, &node.name, 1)) {
        return Ran::kHandOver;
    }
    // The subroutine found by name again only when the table has changed.
    const int count = parser.subroutines.GetCount();
    if (bound.subroutineCount != count || bound.subroutine < 0 || parser.subroutines[bound.subroutine].name != node.text) {
        bound.subroutine = parser.FindSubroutine(node.text);
        bound.subroutineCount = count;
    }
    if (bound.subroutine < 0) return Ran::kHandOver;  // the reading reports it
    Write(parser, node.firstWord, 2);
    bool keywordSet = false;
    ResolveNames(parser, &node.name, &bound.nameAnswer, 1, keywordSet);
    Took(node.name, parser.history.Count() - 1);
    const int afterCount = parser.history.Count();
    ++run_.compiledStatements;
    NestingLevel level(parser);
    const SubroutineRecord& target = parser.subroutines[bound.subroutine];
    parser.MoveScanTo(target.position);
    parser.history.MoveTo(target.tokenCount);
    const int outer = parser.EnterCalledBody();
    parser.NextScopeNumber(CTesselParser::kCall);
    parser.history.Disturb();  // the body's words go where its definition's went
    const int ok = BlockOrReading(parser, CalledBody);
    parser.history.Disturb();
    parser.LeaveCalledBody(outer);
    if (!ok) return Ran::kFailed;
    parser.EndReturn();
    parser.MoveScanTo(node.next);
    parser.history.MoveTo(afterCount);
    return Ran::kDone;
}

CompiledRegions::Ran CompiledRegions::RunOutput(CTesselParser& parser, Node& node) {
    BindingCaches::Node& bound = CacheOf(node);
    const Statement& statement = program_.statements[static_cast<std::size_t>(node.item)];
    if (!parser.execute || !Fits(parser, statement.wordCount, statement.depth) ||
        !StillKeyword(parser, node.name, bound.nameAnswer, node.keywordId)) {
        return Ran::kHandOver;
    }
    // A String printed from where it is kept, without a copy.
    const Expression& value = program_.expressions[static_cast<std::size_t>(statement.value)];
    const std::string* kept = value.leaf ? TextLeaf(parser, value) : nullptr;
    Number n{kTypeString, 0, 0.0};
    if (kept == nullptr && !Evaluate(parser, value, n)) return Ran::kHandOver;
    // The lookups as reading leaves them: the expression's names were read after the keyword.
    bool keywordSet = false;
    const TextNames& names = statement.names;
    if (names.count == 0 || !ResolveNames(parser, program_.textNames.data() + names.first, caches_.nameAnswers.data() + names.first,
                                          names.count, keywordSet)) {
        ResolveNames(parser, &node.name, &bound.nameAnswer, 1, keywordSet);
    }
    FinishStatement(parser, statement);
    std::string number;
    parser.PrintText(kept != nullptr ? *kept : ResultText(n, number), node.lineBreak);
    return Ran::kDone;
}

void CompiledRegions::KeepSkip(CTesselParser& parser, int closing, int from, int fromCount, int result, int found) {
    if (!ScanIsPlain(parser) || from < 0 || from > parser.sourceLength_) return;
    const int count = parser.history.Count() - fromCount;
    if (result != 1 || count < 1 || parser.history.Count() >= CTesselParser::kHistoryLast) return;
    if (program_.skipAt.empty()) program_.skipAt.assign(static_cast<std::size_t>(parser.sourceLength_) + 1, 0);
    if (program_.skipAt[static_cast<std::size_t>(from)] != 0) return;
    SkipWords skip{closing, result, found, program_.words.Size(), count, static_cast<int>(program_.textNames.size()), 0};
    for (int k = fromCount, readFrom = from; k < parser.history.Count(); ++k) {
        const int start = parser.history.Start(k);
        const int readAt = readFrom;  // a name's lookup is kept with the position it is read from
        readFrom = start + parser.history.Length(k);
        const CTesselParser::ScanCacheEntry* entry = parser.CachedEntryAt(start);
        // A comment's words are read by the lexer, not the skipper: such a skip is always read.
        const bool plain = entry != nullptr && entry->start == start &&
                           ((entry->kind >= 0 && entry->kind != kw::kCommentOpen) ||
                            entry->kind == CTesselParser::kScanNumber || entry->kind == CTesselParser::kScanName);
        if (!plain) {
            program_.words.Resize(skip.firstWord);
            program_.CutTextNames(skip.firstName);
            program_.skipAt[static_cast<std::size_t>(from)] = -1;
            return;
        }
        if (entry->kind == CTesselParser::kScanName) program_.AddTextName(readAt);
        program_.AddWord(start, entry->end);
    }
    skip.nameCount = static_cast<int>(program_.textNames.size()) - skip.firstName;
    program_.skips.push_back(skip);
    program_.skipAt[static_cast<std::size_t>(from)] = static_cast<int>(program_.skips.size());
    caches_.Fit(program_);
}


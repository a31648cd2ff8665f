// The replays: what StatementReplays keeps (see statement_replay.h) replayed with every effect of
// the reading; statement_replay_compiler.cpp writes it down.
#include "interpreter/statement_replay.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string_view>

#include "base/matrix.h"
#include "base/number_text.h"
#include "interpreter/comparisons.h"
#include "interpreter/keyword_codes.h"
#include "interpreter/tessel_parser.h"
#include "interpreter/value.h"
#include "interpreter/wrapping_arithmetic.h"

void StatementReplays::Clear() {
    statementAt_.clear();
    expressionAt_.clear();
    statements_.clear();
    expressions_.clear();
    instructions_.clear();
    constants_.clear();
    texts_.clear();
    textNames_.clear();
    words_.clear();
    skipAt_.clear();
    skips_.clear();
    conditionAt_.clear();
    conditions_.clear();
    conditionParts_.clear();
}

bool StatementReplays::EvaluatePart(CTesselParser& parser, const ConditionPart& part, bool& truth) {
    Number a{};
    Leftmost left;
    if (!Evaluate(parser, expressions_[static_cast<std::size_t>(part.a)], a, left)) return false;
    if (a.type == kTypeString) leftText_ = stackTexts_[0];
    truth = a.type == kTypeInteger ? a.i != 0 : a.type == kTypeFloat ? a.d != 0.0 : !leftText_.empty();
    if (part.op >= 0) {
        Number b{};
        if (!Evaluate(parser, expressions_[static_cast<std::size_t>(part.b)], b, left)) return false;
        if ((a.type == kTypeString) != (b.type == kTypeString)) return false;  // reported by the reading
        if (a.type == kTypeString)
            truth = Compare(part.op, std::strcmp(leftText_.c_str(), stackTexts_[0].c_str()));
        else
            truth = CompareNumbers(part.op, a.type == kTypeInteger ? a.i : a.d, b.type == kTypeInteger ? b.i : b.d);
    }
    truth = truth != part.invert;
    return true;
}

bool StatementReplays::ReplayCondition(CTesselParser& parser, int& result) {
    if (!ScanIsPlain(parser)) return false;
    if (conditionAt_.empty()) conditionAt_.assign(static_cast<std::size_t>(parser.sourceLength_) + 1, 0);
    int& slot = conditionAt_[static_cast<std::size_t>(parser.position)];
    if (slot == 0) slot = CompileCondition(parser, parser.position);
    if (slot < 0) return false;
    const Condition& condition = conditions_[static_cast<std::size_t>(slot - 1)];
    if (!Fits(parser, condition.wordCount, condition.depth + 1)) return false;
    // Every part is evaluated (no short cut); the chain groups from the right.
    bool truths[kMaxDepth + 1];
    if (condition.partCount > kMaxDepth + 1) return false;
    const ConditionPart* parts = &conditionParts_[static_cast<std::size_t>(condition.firstPart)];
    for (int k = 0; k < condition.partCount; ++k) {
        if (!EvaluatePart(parser, parts[k], truths[k])) return false;
    }
    bool truth = truths[condition.partCount - 1];
    for (int k = condition.partCount - 2; k >= 0; --k) truth = parts[k].chain == kw::kAnd ? truths[k] && truth : truths[k] || truth;
    for (int k = 0; k < condition.partCount; ++k) {
        ResolveTextNames(parser, expressions_[static_cast<std::size_t>(parts[k].a)]);
        if (parts[k].b >= 0) ResolveTextNames(parser, expressions_[static_cast<std::size_t>(parts[k].b)]);
    }
    parser.WriteReplayedHistory(&words_[static_cast<std::size_t>(condition.firstWord)], condition.wordCount);
    if (condition.keyword) parser.lastBuiltinLiteral.historyIndex = -1;
    parser.SettleReplay(condition.after, true);
    result = truth ? 1 : 0;
    ++replayedExpressions_;
    return true;
}

bool StatementReplays::StartsWithPlainWord(CTesselParser& parser) {
    if (!parser.compiledRegions) return false;
    const CTesselParser::ScanCacheEntry* entry = parser.CachedEntryAt(parser.position);
    return entry != nullptr && entry->flat &&
           (entry->kind == kw::kColon || entry->kind == kw::kSemicolon || entry->kind == CTesselParser::kScanName);
}

// A run reading its own cached text, with nothing pending that a word-by-word reading would
// wait for, stop at or end with.
__attribute__((always_inline)) inline bool StatementReplays::ScanIsPlain(const CTesselParser& parser) {
    return parser.compiledRegions && parser.execute && parser.ScanIsCached() &&
           !parser.view->paused.load(std::memory_order_relaxed) &&
           !parser.view->stopRequested.load(std::memory_order_relaxed) && parser.runState == kRunning &&
           parser.tokenCount >= 0 && parser.position >= 0 && parser.position <= parser.sourceLength_;
}

bool StatementReplays::Fits(const CTesselParser& parser, int words, int depth) {
    return parser.tokenCount + words + 1 < CTesselParser::kHistoryLast &&
           parser.nestingDepth + 2 + depth < CTesselParser::kMaxNestingDepth;
}

bool StatementReplays::ReplayExpression(CTesselParser& parser, Value& result) {
    if (!ScanIsPlain(parser)) return false;
    if (expressionAt_.empty()) expressionAt_.assign(static_cast<std::size_t>(parser.sourceLength_) + 1, 0);
    int& slot = expressionAt_[static_cast<std::size_t>(parser.position)];
    if (slot == 0) slot = CompileExpression(parser, parser.position);
    if (slot < 0) return false;
    const Expression& e = expressions_[static_cast<std::size_t>(slot - 1)];
    Number n{};
    Leftmost left;
    if (!Fits(parser, e.wordCount, e.depth) || !Evaluate(parser, e, n, left)) return false;
    SetResult(parser, n, left, result);
    ResolveTextNames(parser, e);
    parser.WriteReplayedHistory(&words_[static_cast<std::size_t>(e.firstWord)], e.wordCount);
    if (e.keyword) parser.lastBuiltinLiteral.historyIndex = -1;
    parser.SettleReplay(e.after, true);
    ++replayedExpressions_;
    return true;
}

int StatementReplays::Replay(CTesselParser& parser) {
    if (!ScanIsPlain(parser)) return 0;
    if (statementAt_.empty()) statementAt_.assign(static_cast<std::size_t>(parser.sourceLength_) + 1, 0);
    int last = -1;
    int done = 0;
    // Positions only grow from one statement to the next, so this ends within the text.
    for (int at = parser.position;; ++done) {
        int& slot = statementAt_[static_cast<std::size_t>(at)];
        if (slot == 0) slot = CompileStatement(parser, at);
        if (slot < 0) break;
        const Statement& statement = statements_[static_cast<std::size_t>(slot - 1)];
        if (statement.value >= 0) {
            const Expression& value = expressions_[static_cast<std::size_t>(statement.value)];
            int depth = value.depth;
            for (int index : {statement.index, statement.column})
                if (index >= 0) depth = std::max(depth, expressions_[static_cast<std::size_t>(index)].depth);
            if (!Fits(parser, statement.wordCount, depth)) break;
            double* element = nullptr;
            ElementRef target;
            if (statement.column >= 0)
                element = MatrixTarget(parser, statement);
            else
                target = StoredElement(parser, statement);
            Number n{};
            Leftmost left;
            if ((!target.Found() && element == nullptr) || !Evaluate(parser, value, n, left)) break;
            if (element != nullptr && n.type == kTypeString) break;  // no text goes into a matrix
            for (int index : {statement.index, statement.column})
                if (index >= 0) ResolveTextNames(parser, expressions_[static_cast<std::size_t>(index)]);
            ResolveTextNames(parser, value);
            if (element != nullptr)
                *element = n.type == kTypeInteger ? n.i : n.d;
            else
                Store(parser, target, n);
            ++replayedAssignments_;
        } else if (!Fits(parser, statement.wordCount, 0)) {
            break;
        }
        parser.WriteReplayedHistory(&words_[static_cast<std::size_t>(statement.firstWord)], statement.wordCount);
        last = slot - 1;
        at = statement.next;
    }
    if (last < 0) return 0;
    const Statement& statement = statements_[static_cast<std::size_t>(last)];
    if (!statement.putBack) --parser.tokenCount;  // its own last word is taken again as the last word read
    parser.lastBuiltinLiteral.historyIndex = -1;   // "=" or a separator was read
    parser.SettleReplay(statement.settleFrom, statement.putBack);
    return done;
}

bool StatementReplays::IndexValue(CTesselParser& parser, int expression, std::int32_t& index) {
    Number k{};
    Leftmost left;
    if (!Evaluate(parser, expressions_[static_cast<std::size_t>(expression)], k, left) || k.type != kTypeInteger)
        return false;
    index = k.i;
    return true;
}

// What an assignment stores into: the variable named, or its element; none when the reading
// would do anything else (report, or take another kind of assignment).
ElementRef StatementReplays::StoredElement(CTesselParser& parser, const Statement& statement) {
    if (statement.index < 0) return {parser.AssignableRecordNamedAt(statement.readPosition), 1};
    const int record = parser.RecordNamedAt(statement.readPosition);
    if (record < 0) return {};
    const Value& variable = parser.variables[record];
    std::int32_t k = 0;
    if (variable.count < 2 || !IndexValue(parser, statement.index, k) || k < 1 || k > variable.count) return {};
    return variable.type == kTypeMatrix ? ElementRef{} : ElementRef{record, k};
}

double* StatementReplays::MatrixTarget(CTesselParser& parser, const Statement& statement) {
    const int record = parser.RecordNamedAt(statement.readPosition);
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
__attribute__((always_inline)) inline bool StatementReplays::Operand(CTesselParser& parser, const Instruction& instruction,
                                                                    Number* stack, int& top, Leftmost& left, bool leftmost) {
    const int record = parser.RecordNamedAt(instruction.argument);
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
        if (leftmost) left = {{record, 1}, true};
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
            stackTexts_[top] = Value::SlotText(v);
            break;
        default: return false;
    }
    if (leftmost) left = {{record, element}, false};
    return true;
}

__attribute__((always_inline)) inline bool StatementReplays::EvaluateSingle(CTesselParser& parser, const Expression& expression,
                                                                           Number& result, Leftmost& left) const {
    const Instruction& only = instructions_[static_cast<std::size_t>(expression.firstInstruction)];
    if (only.op == Op::kConstant) {
        const Number& n = constants_[static_cast<std::size_t>(only.argument)];
        result.type = n.type;
        result.i = n.i;
        result.d = n.d;
        return true;
    }
    if (only.op != Op::kVariable) return false;
    const int record = parser.RecordNamedAt(only.argument);
    if (record < 0) return false;
    const Value& v = parser.variables[record];
    if (v.count != 1 || !v.IsNumber()) return false;  // the general way takes it, or reports it
    result.type = static_cast<std::uint8_t>(v.type);
    result.i = v.type == kTypeInteger ? v.value.integer : 0;
    result.d = v.type == kTypeFloat ? v.value.number : 0.0;
    left = {{record, 1}, false};
    return true;
}

bool StatementReplays::Evaluate(CTesselParser& parser, const Expression& expression, Number& result, Leftmost& left) {
    // Most conditions compare a lone number or variable, and most indices are one: no stack.
    if (expression.instructionCount == 1 && EvaluateSingle(parser, expression, result, left)) return true;
    Number stack[kMaxStack];
    int top = -1;
    const Instruction* const first = instructions_.data() + expression.firstInstruction;
    const Instruction* const end = first + expression.instructionCount;
    const Instruction* const leftmost = instructions_.data() + expression.leftmost;
    for (const Instruction* at = first; at != end; ++at) {
        const Instruction& instruction = *at;
        switch (instruction.op) {
            case Op::kConstant:
                stack[++top] = constants_[static_cast<std::size_t>(instruction.argument)];
                break;
            case Op::kText: {
                const Text& text = texts_[static_cast<std::size_t>(instruction.argument)];
                for (int k = 0; k < text.nameCount; ++k) {
                    const int from = textNames_[static_cast<std::size_t>(text.firstName + k)];
                    if (parser.scanCache_[static_cast<std::size_t>(from)].nameGeneration != parser.names_.Generation())
                        return false;  // not looked up since the names changed: the reading does it
                }
                stack[++top] = {kTypeString, 0, 0.0};
                stackTexts_[top] = text.text;
                break;
            }
            case Op::kVariable:
            case Op::kElement:
            case Op::kMatrixElement:
                if (!Operand(parser, instruction, stack, top, left, at == leftmost)) return false;
                break;
            case Op::kNegate:
                if (stack[top].type == kTypeString) return false;
                NegateNumber(stack[top]);
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

// A String on either side: only "+" joins, the number's text on its side.
bool StatementReplays::CombineTexts(Op op, Number& a, int slot, const Number& b) {
    if (op != Op::kAdd) return false;
    std::string& text = stackTexts_[slot];
    if (a.type != kTypeString) {
        text.clear();
        AppendNumberText(text, a);
        a.type = kTypeString;
    }
    if (b.type == kTypeString)
        text += stackTexts_[slot + 1];
    else
        AppendNumberText(text, b);
    return true;
}

// a op b, a at the stack slot `slot` and b above it, as the expression levels combine them;
// false where they report (a division by zero, an operator that refuses a String).
__attribute__((always_inline)) inline bool StatementReplays::Combine(Op op, Number& a, int slot, const Number& b) {
    if (a.type == kTypeString || b.type == kTypeString) return CombineTexts(op, a, slot, b);
    return ApplyNumberOp(NumberOpOf(op), a, b);
}

// The result as the expression levels leave it: the leftmost operand written into it (a variable
// or an element copied whole, a matrix element with the matrix's name), then the value.
void StatementReplays::SetResult(CTesselParser& parser, const Number& n, const Leftmost& left, Value& result) const {
    if (left.element.Found()) {
        if (left.matrix)
            result.name = parser.variables[left.element.record].name;
        else
            parser.CopyElement(left.element, result);
    }
    SetValue(result, n);
}

void StatementReplays::SetValue(Value& v, const Number& n) const {
    if (n.type == kTypeInteger)
        v.SetInteger(n.i);
    else if (n.type == kTypeFloat)
        v.SetFloat(n.d);
    else
        v.SetString(stackTexts_[0]);
}

// Reading a name that is no variable asks the extension for a keyword and then for a network
// variable of that name; the last such name read leaves its answers (the keyword's always, the
// variable's only when it is no keyword, else an earlier name's).
void StatementReplays::ResolveTextNames(CTesselParser& parser, const Expression& expression) const {
    if (!expression.text) return;
    bool keywordSet = false;
    for (int at = expression.firstInstruction + expression.instructionCount - 1; at >= expression.firstInstruction; --at) {
        const Instruction& instruction = instructions_[static_cast<std::size_t>(at)];
        if (instruction.op != Op::kText) continue;
        const Text& text = texts_[static_cast<std::size_t>(instruction.argument)];
        if (ResolveNames(parser, textNames_.data() + text.firstName, text.nameCount, keywordSet)) return;
    }
}

bool StatementReplays::ResolveNames(CTesselParser& parser, const int* names, int count, bool& keywordSet) {
    for (int k = count - 1; k >= 0; --k) {
        if (parser.RecordNamedAt(names[k]) >= 0) continue;
        const std::string name(parser.CachedWordText(parser.scanCache_[static_cast<std::size_t>(names[k])]));
        const int id = parser.FindObjectKeyword(name.c_str());
        if (!keywordSet) parser.objectKeywordId = id;
        keywordSet = true;
        if (id != -2) continue;
        parser.objectVariableIndex = parser.FindObjectVariable(name.c_str());
        return true;
    }
    return false;
}

// Every name has been looked up since the names last changed (else the reading looks it up anew).
bool StatementReplays::NamesLookedUp(const CTesselParser& parser, const int* names, int count) {
    for (int k = 0; k < count; ++k) {
        if (parser.scanCache_[static_cast<std::size_t>(names[k])].nameGeneration != parser.names_.Generation()) return false;
    }
    return true;
}

int StatementReplays::ReplaySkip(CTesselParser& parser, int closing, int& found) {
    if (!ScanIsPlain(parser) || skipAt_.empty()) return -1;
    const int slot = skipAt_[static_cast<std::size_t>(parser.position)];
    if (slot <= 0) return -1;
    const Skip& skip = skips_[static_cast<std::size_t>(slot - 1)];
    if (skip.closing != closing || !Fits(parser, skip.wordCount, 0) ||
        !NamesLookedUp(parser, textNames_.data() + skip.firstName, skip.nameCount)) {
        return -1;
    }
    bool keywordSet = false;
    ResolveNames(parser, textNames_.data() + skip.firstName, skip.nameCount, keywordSet);
    const int* words = &words_[static_cast<std::size_t>(skip.firstWord)];
    parser.WriteReplayedHistory(words, skip.wordCount - 1);
    parser.SettleRawWord(words[2 * (skip.wordCount - 1)]);
    found = skip.found;
    return skip.result;
}

void StatementReplays::KeepSkip(CTesselParser& parser, int closing, int from, int fromCount, int result, int found) {
    if (!ScanIsPlain(parser) || from < 0 || from > parser.sourceLength_) return;
    const int count = parser.tokenCount - fromCount;
    if (result != 1 || count < 1 || parser.tokenCount >= CTesselParser::kHistoryLast) return;
    if (skipAt_.empty()) skipAt_.assign(static_cast<std::size_t>(parser.sourceLength_) + 1, 0);
    if (skipAt_[static_cast<std::size_t>(from)] != 0) return;
    Skip skip{closing, result, found, static_cast<int>(words_.size()), count, static_cast<int>(textNames_.size()), 0};
    for (int k = fromCount, readFrom = from; k < parser.tokenCount; ++k) {
        const int start = parser.tokenStart[static_cast<std::size_t>(k)];
        const int readAt = readFrom;  // a name's lookup is kept with the position it is read from
        readFrom = start + parser.tokenLength[static_cast<std::size_t>(k)];
        const CTesselParser::ScanCacheEntry* entry = parser.CachedEntryAt(start);
        // A comment's words are read by the lexer, not the skipper: such a skip is always read.
        const bool plain = entry != nullptr && entry->start == start &&
                           ((entry->kind >= 0 && entry->kind != kw::kCommentOpen) ||
                            entry->kind == CTesselParser::kScanNumber || entry->kind == CTesselParser::kScanName);
        if (!plain) {
            words_.resize(static_cast<std::size_t>(skip.firstWord));
            textNames_.resize(static_cast<std::size_t>(skip.firstName));
            skipAt_[static_cast<std::size_t>(from)] = -1;
            return;
        }
        if (entry->kind == CTesselParser::kScanName) textNames_.push_back(readAt);
        AddWord(start, entry->end);
    }
    skip.nameCount = static_cast<int>(textNames_.size()) - skip.firstName;
    skips_.push_back(skip);
    skipAt_[static_cast<std::size_t>(from)] = static_cast<int>(skips_.size());
}

__attribute__((always_inline)) inline void StatementReplays::Store(CTesselParser& parser, ElementRef element,
                                                                  const Number& result) {
    const int type = parser.variables[element.record].type;
    Value::Payload& target = parser.ElementValue(element);
    if (type == kTypeInteger && result.type != kTypeString) {
        target.integer = result.type == kTypeInteger ? result.i : DoubleToInt32(result.d);
    } else if (type == kTypeFloat && result.type != kTypeString) {
        target.number = result.type == kTypeInteger ? result.i : result.d;
    } else if (type == kTypeString && result.type == kTypeString) {
        Value::SetSlotText(target, stackTexts_[0]);
    } else {
        Value v;
        SetValue(v, result);
        parser.AssignScalar(element, v);
    }
}

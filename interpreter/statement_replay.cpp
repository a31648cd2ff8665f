#include "interpreter/statement_replay.h"

#include <cmath>
#include <string_view>

#include "interpreter/keyword_codes.h"
#include "base/number_text.h"
#include "interpreter/tessel_parser.h"
#include "interpreter/value.h"
#include "interpreter/wrapping_arithmetic.h"

// Reads the words from a position the way the expression levels would, from the scan cache
// alone (nothing observable happens), and writes down the arithmetic; any word or form outside
// the kept subset ends it unkept.
class StatementReplays::Compiler {
public:
    Compiler(CTesselParser& parser, StatementReplays& out, int position) : parser_(parser), out_(out), next_(position) {}

    // From "=" to the word after the expression; the statement's words so far are already in words_.
    bool Run(Statement& statement) {
        statement.firstInstruction = static_cast<int>(out_.instructions_.size());
        if (!Advance() || code_ != kw::kEquals || !Advance() || !Additive()) return false;
        // The word that ends the expression is put back: it must be a keyword read on the flat path.
        if (kind_ != Kind::kKeyword || IsOperator(code_)) return false;
        statement.assignment = true;
        statement.settleFrom = at_;
        statement.putBack = true;
        statement.next = entry_->start;  // the put-back word is read again there
        if ((code_ == kw::kColon || code_ == kw::kSemicolon) && parser_.CachedEntryAt(entry_->start) != nullptr) {
            // The separator after it, read again where it was put back, ends the statement.
            statement.putBack = false;
            statement.settleFrom = entry_->start;
            statement.next = entry_->end;
        } else {
            out_.words_.resize(out_.words_.size() - 2);
        }
        statement.wordCount = static_cast<int>(out_.words_.size() - static_cast<std::size_t>(statement.firstWord)) / 2;
        statement.instructionCount = static_cast<int>(out_.instructions_.size()) - statement.firstInstruction;
        statement.parenDepth = maxParen_;
        return true;
    }

private:
    enum class Kind { kKeyword, kNumber, kName };

    static bool IsOperator(int code) {
        return code == kw::kPlus || code == kw::kMinus || code == kw::kMod || code == kw::kTimes ||
               code == kw::kDivide || code == kw::kPower;
    }

    // The next word, as a cached flat reading gives it.
    bool Advance() {
        const CTesselParser::ScanCacheEntry* entry = parser_.CachedEntryAt(next_);
        if (entry == nullptr || !entry->flat) return false;
        at_ = next_;
        entry_ = entry;
        code_ = entry->kind;
        kind_ = entry->kind >= 0 ? Kind::kKeyword
                : entry->kind == CTesselParser::kScanNumber ? Kind::kNumber
                                                            : Kind::kName;
        out_.AddWord(entry->start, entry->end);
        next_ = entry->end;
        return true;
    }

    void Emit(Op op, int argument = 0) { out_.instructions_.push_back({op, argument}); }

    bool Push(Op op, int argument) {
        if (++depth_ > kMaxStack) return false;
        Emit(op, argument);
        return true;
    }

    bool Binary(Op op) {
        --depth_;
        Emit(op);
        return true;
    }

    bool Additive() {
        if (!Multiplicative()) return false;
        while (kind_ == Kind::kKeyword && (code_ == kw::kPlus || code_ == kw::kMinus || code_ == kw::kMod)) {
            const Op op = code_ == kw::kPlus ? Op::kAdd : code_ == kw::kMinus ? Op::kSubtract : Op::kModulo;
            if (!Advance() || !Multiplicative()) return false;
            Binary(op);
        }
        return true;
    }

    bool Multiplicative() {
        if (!Unary()) return false;
        while (kind_ == Kind::kKeyword && (code_ == kw::kTimes || code_ == kw::kDivide)) {
            const Op op = code_ == kw::kTimes ? Op::kMultiply : Op::kDivide;
            if (!Advance() || !Unary()) return false;
            Binary(op);
        }
        // A power is not kept.
        return !(kind_ == Kind::kKeyword && code_ == kw::kPower);
    }

    // One optional sign, then a parenthesis or a primary; leaves the word after it read.
    bool Unary() {
        const bool minus = kind_ == Kind::kKeyword && code_ == kw::kMinus;
        if ((minus || (kind_ == Kind::kKeyword && code_ == kw::kPlus)) && !Advance()) return false;
        if (!Parenthesis()) return false;
        if (minus) Emit(Op::kNegate);
        return true;
    }

    bool Parenthesis() {
        if (kind_ == Kind::kKeyword && code_ == kw::kOpenParen) {
            if (++paren_ > kMaxParenDepth) return false;
            if (paren_ > maxParen_) maxParen_ = paren_;
            if (!Advance() || !Additive()) return false;
            if (kind_ != Kind::kKeyword || code_ != kw::kCloseParen) return false;
            --paren_;
            return Advance();
        }
        if (kind_ == Kind::kNumber) {
            if (!Push(Op::kConstant, static_cast<int>(out_.constants_.size()))) return false;
            out_.constants_.push_back(Literal());
            return Advance();
        }
        if (kind_ == Kind::kName) return Push(Op::kVariable, at_) && Advance();
        return false;
    }

    Number Literal() const {
        const std::string_view word = parser_.CachedWordText(*entry_);
        if (HasDecimalPoint(word)) return {false, 0, DecimalTextToDouble(word)};
        return {true, IntegerLiteral(word), 0.0};
    }

    CTesselParser& parser_;
    StatementReplays& out_;
    int next_;
    int at_ = 0;
    const CTesselParser::ScanCacheEntry* entry_ = nullptr;
    int code_ = 0;
    Kind kind_ = Kind::kKeyword;
    int depth_ = 0;
    int paren_ = 0;
    int maxParen_ = 0;
};

void StatementReplays::Clear() {
    index_.clear();
    statements_.clear();
    instructions_.clear();
    constants_.clear();
    words_.clear();
}

void StatementReplays::AddWord(int start, int end) {
    words_.push_back(start);
    words_.push_back(end - start);
}

int StatementReplays::Compile(CTesselParser& parser, int position) {
    const CTesselParser::ScanCacheEntry* entry = parser.CachedEntryAt(position);
    if (entry == nullptr || !entry->flat) return -1;
    Statement statement;
    statement.readPosition = position;
    statement.firstWord = static_cast<int>(words_.size());
    if (entry->kind == kw::kColon || entry->kind == kw::kSemicolon) {
        AddWord(entry->start, entry->end);
        statement.wordCount = 1;
        statement.settleFrom = position;
        statement.next = entry->end;
    } else if (entry->kind != CTesselParser::kScanName || !CompileAssignment(parser, position, statement)) {
        return -1;
    }
    statements_.push_back(statement);
    return static_cast<int>(statements_.size());
}

bool StatementReplays::CompileAssignment(CTesselParser& parser, int position, Statement& statement) {
    const std::size_t words = words_.size();
    const std::size_t instructions = instructions_.size();
    const std::size_t constants = constants_.size();
    const CTesselParser::ScanCacheEntry* target = parser.CachedEntryAt(position);
    AddWord(target->start, target->end);
    if (Compiler(parser, *this, target->end).Run(statement)) return true;
    words_.resize(words);
    instructions_.resize(instructions);
    constants_.resize(constants);
    return false;
}

bool StatementReplays::StartsWithPlainWord(CTesselParser& parser) {
    if (!parser.statementReplay) return false;
    const CTesselParser::ScanCacheEntry* entry = parser.CachedEntryAt(parser.position);
    return entry != nullptr && entry->flat &&
           (entry->kind == kw::kColon || entry->kind == kw::kSemicolon || entry->kind == CTesselParser::kScanName);
}

int StatementReplays::Replay(CTesselParser& parser) {
    if (!parser.statementReplay || !parser.execute || !parser.ScanIsCached()) return 0;
    // Where a word-by-word reading would wait, stop or end, it is left to do so.
    if (parser.view->paused.load(std::memory_order_relaxed) ||
        parser.view->stopRequested.load(std::memory_order_relaxed) || parser.runState != kRunning ||
        parser.tokenCount < 0 || parser.position < 0 || parser.position > parser.sourceLength_) {
        return 0;
    }
    if (index_.empty()) index_.assign(static_cast<std::size_t>(parser.sourceLength_) + 1, 0);
    int last = -1;
    int done = 0;
    // Positions only grow from one statement to the next, so this ends within the text.
    for (int at = parser.position;; ++done) {
        int& slot = index_[static_cast<std::size_t>(at)];
        if (slot == 0) slot = Compile(parser, at);
        if (slot < 0) break;
        const Statement& statement = statements_[static_cast<std::size_t>(slot - 1)];
        // Room in the history for its words and the word read after them; no nesting limit met.
        if (parser.tokenCount + statement.wordCount + 1 >= CTesselParser::kHistoryLast ||
            parser.nestingDepth + 1 + statement.parenDepth >= CTesselParser::kMaxNestingDepth) {
            break;
        }
        if (statement.assignment) {
            const int record = parser.AssignableRecordNamedAt(statement.readPosition);
            Number result{};
            if (record < 0 || !Evaluate(parser, statement, result)) break;
            Store(parser, record, result);
            ++replayedAssignments_;
        }
        parser.WriteReplayedHistory(&words_[static_cast<std::size_t>(statement.firstWord)], statement.wordCount);
        last = slot - 1;
        at = statement.next;
    }
    if (last < 0) return 0;
    const Statement& statement = statements_[static_cast<std::size_t>(last)];
    if (!statement.putBack) --parser.tokenCount;  // its own last word is taken again as the last word read
    parser.SettleReplay(statement.settleFrom, statement.putBack);
    return done;
}

namespace {

// a op b for two Integers, as the expression levels combine them; false for a division by zero.
inline bool CombineIntegers(std::uint8_t op, std::int32_t& a, std::int32_t b) {
    switch (op) {
        case 2: a = WrapAdd(a, b); return true;
        case 3: a = WrapSubtract(a, b); return true;
        case 4: a = DoubleToInt32(std::fmod(static_cast<double>(a), static_cast<double>(b))); return true;
        case 5: a = WrapMultiply(a, b); return true;
        default:
            if (b == 0) return false;
            a = WrapDivide(a, b);
            return true;
    }
}

// x op y when either side is a Float; the result is a Float.
inline bool CombineFloats(std::uint8_t op, double& x, double y) {
    switch (op) {
        case 2: x += y; return true;
        case 3: x -= y; return true;
        case 4: x = std::fmod(x, y); return true;
        case 5: x *= y; return true;
        default:
            if (y == 0.0) return false;
            x /= y;
            return true;
    }
}

}  // namespace

bool StatementReplays::Evaluate(const CTesselParser& parser, const Statement& statement, Number& result) const {
    static_assert(static_cast<int>(Op::kAdd) == 2 && static_cast<int>(Op::kSubtract) == 3 &&
                  static_cast<int>(Op::kModulo) == 4 && static_cast<int>(Op::kMultiply) == 5 &&
                  static_cast<int>(Op::kDivide) == 6);
    Number stack[kMaxStack];
    int top = -1;
    const Instruction* instruction = &instructions_[static_cast<std::size_t>(statement.firstInstruction)];
    const Instruction* const end = instruction + statement.instructionCount;
    for (; instruction != end; ++instruction) {
        switch (instruction->op) {
            case Op::kConstant:
                stack[++top] = constants_[static_cast<std::size_t>(instruction->argument)];
                break;
            case Op::kVariable: {
                const Value* v = parser.ScalarNumberNamedAt(instruction->argument);
                if (v == nullptr) return false;
                Number& n = stack[++top];
                n.integer = v->type == kTypeInteger;
                if (n.integer)
                    n.i = v->value.integer;
                else
                    n.d = v->value.number;
                break;
            }
            case Op::kNegate: {
                Number& a = stack[top];
                if (a.integer)
                    a.i = WrapNegate(a.i);
                else
                    a.d = -a.d;
                break;
            }
            default: {
                const Number& b = stack[top--];
                Number& a = stack[top];
                const auto op = static_cast<std::uint8_t>(instruction->op);
                if (a.integer && b.integer) {
                    if (!CombineIntegers(op, a.i, b.i)) return false;
                } else {
                    double x = a.integer ? a.i : a.d;
                    if (!CombineFloats(op, x, b.integer ? b.i : b.d)) return false;
                    a.integer = false;
                    a.d = x;
                }
                break;
            }
        }
    }
    result = stack[0];
    return true;
}

void StatementReplays::Store(CTesselParser& parser, int record, const Number& result) {
    Value& target = parser.variables[record];
    if (target.type == kTypeInteger) {
        target.value.integer = result.integer ? result.i : DoubleToInt32(result.d);
    } else if (target.type == kTypeFloat) {
        target.value.number = result.integer ? result.i : result.d;
    } else {
        Value v;
        if (result.integer)
            v.SetInteger(result.i);
        else
            v.SetFloat(result.d);
        parser.AssignScalar(record, v);
    }
}

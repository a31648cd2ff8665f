#include "interpreter/assignment_replay.h"

#include <cmath>
#include <string_view>

#include "interpreter/keyword_codes.h"
#include "interpreter/number_text.h"
#include "interpreter/tessel_parser.h"
#include "interpreter/value.h"
#include "interpreter/wrapping_arithmetic.h"

// Reads the words from a position the way the expression levels would, from the scan cache
// alone (nothing observable happens), and writes down the arithmetic; any word or form outside
// the kept subset ends it unkept.
class AssignmentReplays::Compiler {
public:
    Compiler(CTesselParser& parser, AssignmentReplays& out, int position) : parser_(parser), out_(out), next_(position) {}

    bool Run(Compiled& compiled) {
        compiled.firstWord = static_cast<int>(out_.words_.size());
        compiled.firstInstruction = static_cast<int>(out_.instructions_.size());
        if (!Advance() || code_ != kw::kEquals || !Advance() || !Additive()) return false;
        // The word that ends the expression is put back: it must be a keyword read on the flat path.
        if (kind_ != Kind::kKeyword || IsOperator(code_)) return false;
        compiled.terminator = at_;
        compiled.wordCount = static_cast<int>(out_.words_.size()) / 2 - compiled.firstWord / 2 - 1;
        out_.words_.resize(out_.words_.size() - 2);
        compiled.instructionCount = static_cast<int>(out_.instructions_.size()) - compiled.firstInstruction;
        compiled.parenDepth = maxParen_;
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
        out_.words_.push_back(entry->start);
        out_.words_.push_back(entry->end - entry->start);
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
    AssignmentReplays& out_;
    int next_;
    int at_ = 0;
    const CTesselParser::ScanCacheEntry* entry_ = nullptr;
    int code_ = 0;
    Kind kind_ = Kind::kKeyword;
    int depth_ = 0;
    int paren_ = 0;
    int maxParen_ = 0;
};

void AssignmentReplays::Clear() {
    index_.clear();
    compiled_.clear();
    instructions_.clear();
    constants_.clear();
    words_.clear();
}

int AssignmentReplays::Compile(CTesselParser& parser, int position) {
    const std::size_t words = words_.size();
    const std::size_t instructions = instructions_.size();
    const std::size_t constants = constants_.size();
    Compiled compiled;
    if (!Compiler(parser, *this, position).Run(compiled)) {
        words_.resize(words);
        instructions_.resize(instructions);
        constants_.resize(constants);
        return -1;
    }
    compiled_.push_back(compiled);
    return static_cast<int>(compiled_.size());
}

bool AssignmentReplays::TryExecute(CTesselParser& parser, int record) {
    if (!parser.statementReplay || !parser.execute || !parser.ScanIsCached()) return false;
    const int at = parser.position;
    if (index_.empty()) index_.assign(static_cast<std::size_t>(parser.sourceLength_) + 1, 0);
    int& slot = index_[static_cast<std::size_t>(at)];
    if (slot == 0) slot = Compile(parser, at);
    if (slot < 0) return false;
    const Compiled& compiled = compiled_[static_cast<std::size_t>(slot - 1)];
    // Where a word-by-word reading would wait, stop, report or meet a limit, it is left to do so.
    if (parser.view->paused.load(std::memory_order_relaxed) ||
        parser.view->stopRequested.load(std::memory_order_relaxed) || parser.runState == kEndedByError ||
        parser.tokenCount < 0 || parser.tokenCount + compiled.wordCount + 1 >= CTesselParser::kHistoryLast ||
        parser.nestingDepth + 1 + compiled.parenDepth >= CTesselParser::kMaxNestingDepth) {
        return false;
    }
    Number result{};
    if (!Evaluate(parser, compiled, result)) return false;
    parser.ReplayWords(&words_[static_cast<std::size_t>(compiled.firstWord)], compiled.wordCount, compiled.terminator);
    Store(parser, record, result);
    ++replayed_;
    return true;
}

bool AssignmentReplays::Evaluate(CTesselParser& parser, const Compiled& compiled, Number& result) const {
    Number stack[kMaxStack];
    int top = -1;
    const Instruction* instruction = &instructions_[static_cast<std::size_t>(compiled.firstInstruction)];
    const Instruction* const end = instruction + compiled.instructionCount;
    for (; instruction != end; ++instruction) {
        if (instruction->op == Op::kConstant) {
            stack[++top] = constants_[static_cast<std::size_t>(instruction->argument)];
            continue;
        }
        if (instruction->op == Op::kVariable) {
            const Value* v = parser.ScalarNumberNamedAt(instruction->argument);
            if (v == nullptr) return false;
            stack[++top] = v->type == kTypeInteger ? Number{true, v->value.integer, 0.0} : Number{false, 0, v->value.number};
            continue;
        }
        Number& a = instruction->op == Op::kNegate ? stack[top] : stack[top - 1];
        if (instruction->op == Op::kNegate) {
            if (a.integer)
                a.i = WrapNegate(a.i);
            else
                a.d = -a.d;
            continue;
        }
        const Number b = stack[top--];
        const bool integers = a.integer && b.integer;
        const double x = a.integer ? a.i : a.d;
        const double y = b.integer ? b.i : b.d;
        switch (instruction->op) {
            case Op::kAdd:
                if (integers) a.i = WrapAdd(a.i, b.i); else a = {false, 0, x + y};
                break;
            case Op::kSubtract:
                if (integers) a.i = WrapSubtract(a.i, b.i); else a = {false, 0, x - y};
                break;
            case Op::kModulo:
                if (integers) a.i = DoubleToInt32(std::fmod(x, y)); else a = {false, 0, std::fmod(x, y)};
                break;
            case Op::kMultiply:
                if (integers) a.i = WrapMultiply(a.i, b.i); else a = {false, 0, x * y};
                break;
            default:  // kDivide: by zero is reported by the word-by-word reading
                if (integers) {
                    if (b.i == 0) return false;
                    a.i = WrapDivide(a.i, b.i);
                } else {
                    if (y == 0.0) return false;
                    a = {false, 0, x / y};
                }
                break;
        }
    }
    result = stack[0];
    return true;
}

void AssignmentReplays::Store(CTesselParser& parser, int record, const Number& result) {
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

// The compiler of the regions: reads the words from a text position the way the statement layer,
// the expression levels and the condition would, from the scan cache alone (nothing observable
// happens), and writes down the nodes they spell.
#include <algorithm>
#include <string_view>

#include "base/number_text.h"
#include "interpreter/comparisons.h"
#include "interpreter/keyword_codes.h"
#include "interpreter/math_functions.h"
#include "interpreter/compiled_program.h"
#include "interpreter/tessel_parser.h"
#include "interpreter/value.h"

namespace {

constexpr int kMaxTextWords = 64;
constexpr int kMaxTextBytes = 1000;

bool IsOperator(int code) {
    return code == kw::kPlus || code == kw::kMinus || code == kw::kMod || code == kw::kTimes || code == kw::kDivide ||
           code == kw::kPower;
}

}  // namespace

// Reads the words from a position the way the expression levels would, from the scan cache
// alone (nothing observable happens), and writes down what they spell; any word or form outside
// the kept subset ends it unkept. Every word read is appended to the words as it is read.
class CompiledProgram::Compiler {
public:
    Compiler(CTesselParser& parser, CompiledProgram& out, int position) : parser_(parser), out_(out), next_(position) {}

    // The next word, as a cached flat reading gives it.
    bool Advance() {
        const CTesselParser::ScanCacheEntry* entry = parser_.CachedEntryAt(next_);
        if (entry == nullptr || !entry->flat) return false;
        at_ = next_;
        entry_ = entry;
        code_ = entry->kind;
        kind_ = entry->kind >= 0 ? Kind::kKeyword : entry->kind == CTesselParser::kScanNumber ? Kind::kNumber : Kind::kName;
        out_.AddWord(entry->start, entry->end);
        next_ = entry->end;
        return true;
    }
    bool Is(int code) const { return kind_ == Kind::kKeyword && code_ == code; }
    bool IsKeyword() const { return kind_ == Kind::kKeyword; }
    int Code() const { return code_; }
    // The next word is read from `position`.
    void ReadFrom(int position) { next_ = position; }
    // The word just read (and put back) read again where it starts, as a reading does.
    bool ReadAgain() {
        next_ = entry_->start;
        return Advance();
    }
    bool IsName() const { return kind_ == Kind::kName; }
    // The word just read goes back: it is read again where it starts.
    void PutBack() { out_.words.Resize(out_.words.Size() - 1); }
    void TakeAgain() { out_.AddWord(entry_->start, entry_->end); }
    const CTesselParser::ScanCacheEntry& Entry() const { return *entry_; }
    int At() const { return at_; }

    // The expression read from the next word on, up to the word after it (read, then put back):
    // its index in expressions, or -1.
    int Top() {
        Expression e;
        e.firstWord = out_.words.Size();
        e.firstInstruction = static_cast<int>(out_.instructions.size());
        e.names.first = static_cast<int>(out_.textNames.size());
        depth_ = 0;
        maxDepth_ = 0;
        stack_ = 0;
        text_ = false;
        if (!Advance() || !Additive() || (kind_ == Kind::kKeyword && IsOperator(code_))) return -1;
        PutBack();
        e.wordCount = out_.words.Size() - e.firstWord;
        e.instructionCount = static_cast<int>(out_.instructions.size()) - e.firstInstruction;
        e.depth = maxDepth_;
        e.after = at_;
        e.text = text_;
        e.names.count = static_cast<int>(out_.textNames.size()) - e.names.first;
        const Instruction* code = out_.instructions.data() + e.firstInstruction;
        const auto leaf = [](const Instruction& i) { return i.op == Op::kConstant || i.op == Op::kVariable; };
        const auto arithmetic = [](const Instruction& i) { return i.op >= Op::kAdd && i.op <= Op::kDivide; };
        const int n = e.instructionCount;
        e.shaped = n == 1 || (n == 2 && leaf(code[0]) && code[1].op == Op::kElement) ||
                   (n == 3 && leaf(code[0]) && leaf(code[1]) && arithmetic(code[2])) ||
                   (n == 5 && leaf(code[0]) && leaf(code[1]) && arithmetic(code[4]) &&
                    ((arithmetic(code[2]) && leaf(code[3])) || (leaf(code[2]) && arithmetic(code[3]))));
        e.integers = e.shaped && !e.text;
        e.leaf = (n == 1 && (code[0].op == Op::kText || code[0].op == Op::kVariable)) ||
                 (n == 2 && leaf(code[0]) && code[1].op == Op::kElement);
        out_.expressions.push_back(e);
        return static_cast<int>(out_.expressions.size()) - 1;
    }

private:
    enum class Kind { kKeyword, kNumber, kName };

    void Emit(Op op, int argument = 0) { out_.instructions.push_back({op, argument}); }

    bool Push(Op op, int argument) {
        if (++stack_ > kMaxStack) return false;
        Emit(op, argument);
        return true;
    }

    bool Binary(Op op) {
        --stack_;
        Emit(op);
        return true;
    }

    bool Deeper() {
        if (++depth_ > kMaxDepth) return false;
        if (depth_ > maxDepth_) maxDepth_ = depth_;
        return true;
    }

    bool Additive() {
        if (!Multiplicative()) return false;
        while (Is(kw::kPlus) || Is(kw::kMinus) || Is(kw::kMod)) {
            const Op op = code_ == kw::kPlus ? Op::kAdd : code_ == kw::kMinus ? Op::kSubtract : Op::kModulo;
            if (!Advance() || !Multiplicative()) return false;
            Binary(op);
        }
        return true;
    }

    bool Multiplicative() {
        if (!Power()) return false;
        while (Is(kw::kTimes) || Is(kw::kDivide)) {
            const Op op = code_ == kw::kTimes ? Op::kMultiply : Op::kDivide;
            if (!Advance() || !Power()) return false;
            Binary(op);
        }
        return true;
    }

    // a ^ b, grouped from the right: the right side is read one level down.
    bool Power() {
        if (!Unary()) return false;
        if (!Is(kw::kPower)) return true;
        if (!Deeper() || !Advance() || !Power()) return false;
        --depth_;
        return Binary(Op::kPower);
    }

    // One optional sign, then a parenthesis or a primary; leaves the word after it read.
    bool Unary() {
        const bool minus = Is(kw::kMinus);
        if ((minus || Is(kw::kPlus)) && !Advance()) return false;
        if (!Parenthesis()) return false;
        if (minus) Emit(Op::kNegate);
        return true;
    }

    bool Parenthesis() {
        if (!Is(kw::kOpenParen)) return Primary();
        if (!Deeper() || !Advance() || !Additive() || !Is(kw::kCloseParen)) return false;
        --depth_;
        return Advance();
    }

    bool Primary() {
        if (kind_ == Kind::kNumber) {
            if (!Push(Op::kConstant, static_cast<int>(out_.constants.size()))) return false;
            out_.constants.push_back(Literal());
            out_.instructions.back().integer = out_.constants.back().i;
            return Advance();
        }
        if (Is(kw::kDoubleQuote) || Is(kw::kSingleQuote)) return StringLiteral();
        if (kind_ == Kind::kKeyword) return Function();
        if (kind_ != Kind::kName) return false;
        const int name = at_;
        if (!Advance()) return false;
        if (Is(kw::kDot)) return Member(name);
        if (!Is(kw::kOpenBracket)) return Push(Op::kVariable, name);
        // name [ index ] or name [ row ] [ column ]: each index is a whole expression one level down.
        if (!Index()) return false;
        Op op = Op::kElement;
        if (Is(kw::kOpenBracket)) {
            if (!Index()) return false;
            --stack_;
            op = Op::kMatrixElement;
        }
        --stack_;
        return Push(op, name);
    }

    // keyword "(" argument { "," argument } ")": the function's own level and its arguments' below
    // it, as the reading enters them. RND draws a number: it is the reading's.
    bool Function() {
        const int function = MathFunctionIndex(code_);
        const Op op = function >= 0        ? Op::kFunction
                      : code_ == kPowCode   ? Op::kPow
                      : code_ == kw::kInt   ? Op::kInt
                      : code_ == kw::kRgb   ? Op::kRgb
                                            : Op::kConstant;
        if (op == Op::kConstant) return false;
        const int arguments = ArgumentsOf(op);
        if (!Advance() || !Is(kw::kOpenParen) || !Deeper() || !Deeper()) return false;
        for (int k = 0; k < arguments; ++k)
            if ((k > 0 && !Is(kw::kComma)) || !Advance() || !Additive()) return false;
        if (!Is(kw::kCloseParen)) return false;
        depth_ -= 2;
        stack_ -= arguments - 1;
        Emit(op, function);
        return Advance();
    }

    // name . member, the "." read: a name that is no extension keyword, and one that is. What the
    // reading makes of it is asked when it runs.
    bool Member(int name) {
        if (ExtensionKeyword(*parser_.CachedEntryAt(name)) != -2 || !Advance() || !IsName()) return false;
        const int id = ExtensionKeyword(*entry_);
        if (id == -2 || !Push(Op::kMember, static_cast<int>(out_.members.size()))) return false;
        out_.members.push_back({name, at_, id});
        // Both names are looked up where they are read, with the names of the texts around them.
        out_.AddTextName(name);
        out_.AddTextName(at_);
        text_ = true;
        return Advance();
    }

    int ExtensionKeyword(const CTesselParser::ScanCacheEntry& entry) const {
        return parser_.FindObjectKeyword(std::string(parser_.CachedWordText(entry)).c_str());
    }

    // "[" expression "]", the "[" read; leaves the word after "]" read.
    bool Index() {
        if (!Deeper() || !Advance() || Is(kw::kCloseBracket) || !Additive() || !Is(kw::kCloseBracket)) return false;
        --depth_;
        return Advance();
    }

    // Its words up to the closing quote of the same kind, every one a plain word, as the literal
    // reader reads them; the text is the raw text between the quotes.
    bool StringLiteral() {
        const int quote = code_;
        const int start = entry_->end;
        Text text;
        text.firstName = static_cast<int>(out_.textNames.size());
        for (int words = 0;; ++words) {
            if (words > kMaxTextWords || !Advance()) return false;
            if (Is(quote)) break;
            if (IsName()) out_.AddTextName(at_);
        }
        const int end = entry_->start;
        if (end - start > kMaxTextBytes) return false;
        text.nameCount = static_cast<int>(out_.textNames.size()) - text.firstName;
        text.text.assign(parser_.scriptText.data() + start, static_cast<std::size_t>(end - start));
        CTesselParser::UnescapeString(text.text);
        if (!Push(Op::kText, static_cast<int>(out_.texts.size()))) return false;
        out_.texts.push_back(std::move(text));
        text_ = true;
        return Advance();
    }

    Number Literal() const {
        const std::string_view word = parser_.CachedWordText(*entry_);
        if (HasDecimalPoint(word)) return {kTypeFloat, 0, DecimalTextToDouble(word)};
        return {kTypeInteger, IntegerLiteral(word), 0.0};
    }

    CTesselParser& parser_;
    CompiledProgram& out_;
    int next_;
    int at_ = 0;
    const CTesselParser::ScanCacheEntry* entry_ = nullptr;
    int code_ = 0;
    Kind kind_ = Kind::kKeyword;
    bool text_ = false;
    int depth_ = 0;
    int maxDepth_ = 0;
    int stack_ = 0;
};

void CompiledProgram::Clear() {
    nodeAt.clear();
    nodes.clear();
    statements.clear();
    expressions.clear();
    instructions.clear();
    constants.clear();
    texts.clear();
    members.clear();
    CutTextNames(0);
    words.Resize(0);
    skipAt.clear();
    skips.clear();
    straightPasses.clear();
    straightSteps.clear();
    conditionAt.clear();
    conditions.clear();
    conditionParts.clear();
}

int CompiledProgram::CompileStatement(CTesselParser& parser, int position, int keyword) {
    const int firstWord = words.Size();
    Statement statement;
    statement.readPosition = position;
    statement.target.argument = position;
    statement.firstWord = firstWord;
    Compiler c(parser, *this, position);
    // name [ "[" index "]" ] "=" value, or keyword "=" value
    bool kept = c.Advance() && (keyword >= 0 ? c.Is(keyword) : c.IsName()) && c.Advance();
    // An array element's index, or a matrix element's row and column.
    for (int* index : {&statement.index, &statement.column}) {
        if (!kept || keyword >= 0 || !c.Is(kw::kOpenBracket)) break;
        *index = c.Top();
        kept = *index >= 0 && c.Is(kw::kCloseBracket);
        if (kept) {
            c.TakeAgain();
            kept = c.Advance();
        }
    }
    kept = kept && c.Is(kw::kEquals) && (statement.value = c.Top()) >= 0;
    if (!kept) {
        words.Resize(firstWord);
        return -1;
    }
    statement.settleFrom = c.At();
    statement.putBack = true;
    statement.next = c.Entry().start;  // the put-back word is read again there
    if ((c.Is(kw::kColon) || c.Is(kw::kSemicolon)) && parser.CachedEntryAt(c.Entry().start) != nullptr) {
        // The separator after it, read again where it was put back, ends the statement.
        c.TakeAgain();
        statement.putBack = false;
        statement.settleFrom = c.Entry().start;
        statement.next = c.Entry().end;
    }
    for (int index : {statement.index, statement.column, statement.value})
        if (index >= 0) {
            statement.depth = std::max(statement.depth, expressions[static_cast<std::size_t>(index)].depth);
            statement.text = statement.text || expressions[static_cast<std::size_t>(index)].text;
        }
    statement.wordCount = words.Size() - firstWord;
    const int firstExpression = statement.index >= 0 ? statement.index : statement.value;
    statement.names = expressions[static_cast<std::size_t>(firstExpression)].names.Through(
        expressions[static_cast<std::size_t>(statement.value)].names);
    // A value with a text in it is a String or the reading's: no Float store is tried for it.
    const Expression& value = expressions[static_cast<std::size_t>(statement.value)];
    const auto first = instructions.begin() + value.firstInstruction;
    statement.floats = statement.index < 0 && keyword < 0 &&
                       std::none_of(first, first + value.instructionCount, [](const Instruction& i) { return i.op == Op::kText; });
    statement.integers = statement.column < 0 && expressions[static_cast<std::size_t>(statement.value)].integers &&
                         (statement.index < 0 || expressions[static_cast<std::size_t>(statement.index)].integers);
    return AddStatement(statement);
}

void CompiledProgram::TakeValue(Statement& statement) const {
    const Expression& value = expressions[static_cast<std::size_t>(statement.value)];
    statement.wordCount = words.Size() - statement.firstWord;
    statement.depth = value.depth;
    statement.text = value.text;
    statement.names = value.names;
}

int CompiledProgram::AddStatement(Statement& statement) {
    statement.slot = static_cast<int>(statements.size());
    statements.push_back(statement);
    return statement.slot;
}

// [NOT] a [op b] [And|Or ...]: every word as EvaluateCondition reads it, a word it puts back
// read again from where it starts.
int CompiledProgram::CompileCondition(CTesselParser& parser, int position) {
    const int firstWord = words.Size();
    const std::size_t parts = conditionParts.size();
    Condition condition;
    condition.firstWord = firstWord;
    condition.firstPart = static_cast<int>(parts);
    Compiler c(parser, *this, position);
    for (int level = 0;; ++level) {
        ConditionPart part;
        bool kept = c.Advance();
        if (kept && c.Is(kw::kNot)) {
            part.invert = true;
        } else if (kept) {
            c.PutBack();
            c.ReadFrom(c.Entry().start);
        }
        kept = kept && (part.a = c.Top()) >= 0 && c.ReadAgain();
        if (kept && c.IsKeyword() && IsComparison(c.Code())) {
            part.op = c.Code();
            kept = (part.b = c.Top()) >= 0 && c.ReadAgain();
        } else if (kept) {
            c.PutBack();
            kept = c.ReadAgain();  // the word after a, read again as the chain word
        }
        if (!kept) {
            words.Resize(firstWord);
            conditionParts.resize(parts);
            return -1;
        }
        for (int e : {part.a, part.b}) {
            if (e < 0) continue;
            const Expression& expression = expressions[static_cast<std::size_t>(e)];
            condition.depth = std::max(condition.depth, level + expression.depth);
            condition.text = condition.text || expression.text;
        }
        part.orders = static_cast<unsigned char>((part.op < 0 ? OrderMask(kw::kNotEqual) : OrderMask(part.op)) ^ (part.invert ? 7 : 0));
        part.integers = expressions[static_cast<std::size_t>(part.a)].integers &&
                        (part.b < 0 || expressions[static_cast<std::size_t>(part.b)].integers);
        if (part.b >= 0) {
            const Expression& a = expressions[static_cast<std::size_t>(part.a)];
            const Expression& b = expressions[static_cast<std::size_t>(part.b)];
            part.texts = a.leaf && b.leaf;
        }
        if (c.Is(kw::kAnd) || c.Is(kw::kOr)) {
            part.chain = c.Code();
            conditionParts.push_back(part);
            continue;
        }
        conditionParts.push_back(part);
        c.PutBack();
        condition.after = c.Entry().start;
        if (c.IsName() && words.Size() > firstWord) {
            const int last = words.Size() - 1;
            condition.afterName = words.starts[static_cast<std::size_t>(last)] + words.lengths[static_cast<std::size_t>(last)];
        }
        condition.depth = std::max(condition.depth, level);
        break;
    }
    condition.wordCount = words.Size() - firstWord;
    condition.partCount = static_cast<int>(conditionParts.size() - parts);
    const ConditionPart& last = conditionParts.back();
    condition.names = expressions[static_cast<std::size_t>(conditionParts[parts].a)].names.Through(
        expressions[static_cast<std::size_t>(last.b >= 0 ? last.b : last.a)].names);
    conditions.push_back(condition);
    return static_cast<int>(conditions.size()) - 1;
}

int CompiledProgram::ConditionAt(CTesselParser& parser, int position) {
    if (conditionAt.empty()) conditionAt.assign(static_cast<std::size_t>(parser.sourceLength_) + 1, 0);
    int& slot = conditionAt[static_cast<std::size_t>(position)];
    if (slot == 0) {
        const int condition = CompileCondition(parser, position);
        slot = condition < 0 ? -1 : condition + 1;
    }
    return slot < 0 ? -1 : slot - 1;
}

CompiledProgram::Node& CompiledProgram::CompileNodeAt(CTesselParser& parser, int position) {
    if (nodeAt.empty()) nodeAt.assign(static_cast<std::size_t>(parser.sourceLength_) + 1, nullptr);
    Node*& slot = nodeAt[static_cast<std::size_t>(position)];
    if (slot == nullptr) {
        nodes.push_back(CompileNode(parser, position));
        nodes.back().slot = static_cast<int>(nodes.size()) - 1;
        slot = &nodes.back();
    }
    return *slot;
}

CompiledProgram::Node CompiledProgram::CompileNode(CTesselParser& parser, int position) {
    Node node;
    const CTesselParser::ScanCacheEntry* entry = parser.CachedEntryAt(position);
    if (entry == nullptr || !entry->flat) return node;
    if (entry->kind == CTesselParser::kScanName) {
        node.item = CompileStatement(parser, position);
        if (node.item >= 0)
            node.kind = NodeKind::kAssign;
        else if (CompileOutput(parser, node, position))
            node.kind = NodeKind::kOutput;
        else if (CompileFileRead(parser, node, position))
            node.kind = NodeKind::kFileRead;
        return node;
    }
    // A statement's keyword is its first word.
    node.firstWord = words.Size();
    node.wordCount = 1;
    node.code = entry->kind;
    node.closes = CTesselParser::KindsEndedBy(node.code) | (node.code == kw::kWhile ? DoBody : 0);
    node.next = entry->end;
    AddWord(entry->start, entry->end);
    bool kept = true;
    switch (entry->kind) {
        case kw::kColon:
        case kw::kSemicolon: node.kind = NodeKind::kSeparator; break;
        case kw::kNext:
        case kw::kElse:
        case kw::kEndif:
        case kw::kWend:
        case kw::kEndSub: node.kind = NodeKind::kClosing; break;
        // While also closes a Do body: it stays a closing word where its condition is not kept.
        case kw::kWhile: node.kind = CompileWhile(parser, node) ? NodeKind::kWhile : NodeKind::kClosing; break;
        case kw::kDo:
            node.kind = NodeKind::kDo;
            node.body = entry->end;
            break;
        case kw::kIf: kept = CompileIf(parser, node); break;
        case kw::kFor: kept = CompileFor(parser, node, position); break;
        case kw::kCall: kept = CompileCall(parser, node); break;
        default: kept = CompileCommand(parser, node, position); break;
    }
    if (!kept) node.kind = NodeKind::kInterpreted;
    return node;
}

// If condition Then: the branch starts after Then.
bool CompiledProgram::CompileIf(CTesselParser& parser, Node& node) {
    node.item = ConditionAt(parser, node.next);
    if (node.item < 0) return false;
    const Condition& condition = conditions[static_cast<std::size_t>(node.item)];
    const CTesselParser::ScanCacheEntry* then = parser.CachedEntryAt(condition.after);
    if (then == nullptr || then->kind != kw::kThen) return false;
    // The keyword, the condition and Then are one run of words, written as one (a condition
    // compiled before from elsewhere is not: such an If is read).
    if (condition.firstWord != node.firstWord + 1 || words.Size() != condition.firstWord + condition.wordCount) return false;
    node.kind = NodeKind::kIf;
    AddWord(then->start, then->end);
    node.body = then->end;
    node.depth = condition.depth;
    return true;
}

// While condition: the body starts at the word put back after the condition.
bool CompiledProgram::CompileWhile(CTesselParser& parser, Node& node) {
    node.item = ConditionAt(parser, node.next);
    if (node.item < 0) return false;
    const Condition& condition = conditions[static_cast<std::size_t>(node.item)];
    node.body = parser.CachedEntryAt(condition.after)->start;
    node.depth = condition.depth;
    return true;
}

// For name = start To end [Step step]: its words in one run from the keyword on; the body starts
// at the word put back after the last bound.
bool CompiledProgram::CompileFor(CTesselParser& parser, Node& node, int position) {
    words.Resize(node.firstWord);  // the keyword is read again with the rest
    Compiler c(parser, *this, position);
    if (!c.Advance() || !c.Advance() || !c.IsName()) return false;
    node.name = c.At();
    if (!c.Advance() || !c.Is(kw::kEquals)) return false;
    node.start = c.Top();
    if (node.start < 0 || !c.ReadAgain() || !c.Is(kw::kTo)) return false;
    node.end = c.Top();
    if (node.end < 0 || !c.ReadAgain()) return false;
    if (c.Is(kw::kStep)) {
        node.step = c.Top();
        if (node.step < 0) return false;
    } else {
        c.PutBack();
    }
    node.headerWords = words.Size() - node.firstWord;
    node.body = c.Entry().start;
    for (int bound : {node.start, node.end, node.step})
        if (bound >= 0) node.depth = std::max(node.depth, expressions[static_cast<std::size_t>(bound)].depth);
    node.kind = NodeKind::kFor;
    return true;
}

// Call name: the subroutine is found by the name's text, as the reading finds it.
bool CompiledProgram::CompileCall(CTesselParser& parser, Node& node) {
    const CTesselParser::ScanCacheEntry* name = parser.CachedEntryAt(node.next);
    if (name == nullptr || name->kind != CTesselParser::kScanName) return false;
    node.kind = NodeKind::kCall;
    node.name = node.next;
    node.text = std::string(parser.CachedWordText(*name));
    AddWord(name->start, name->end);
    node.wordCount = 2;
    node.next = name->end;
    return true;
}

bool CompiledProgram::CompileOutput(CTesselParser& parser, Node& node, int position) {
    const CTesselParser::ScanCacheEntry& keyword = *parser.CachedEntryAt(position);
    const int id = parser.FindObjectKeyword(std::string(parser.CachedWordText(keyword)).c_str());
    const int lineBreak = id == -2 ? CTesselParser::kNoOutput : parser.OutputStatementOf(id);
    if (lineBreak == CTesselParser::kNoOutput) return false;
    Statement statement;
    statement.readPosition = position;
    statement.firstWord = words.Size();
    AddWord(keyword.start, keyword.end);
    Compiler c(parser, *this, keyword.end);
    statement.value = c.Top();
    if (statement.value < 0) {
        words.Resize(statement.firstWord);
        return false;
    }
    TakeValue(statement);
    statement.settleFrom = c.At();
    statement.putBack = true;
    statement.next = c.Entry().start;
    node.item = AddStatement(statement);
    node.firstWord = statement.firstWord;
    node.wordCount = statement.wordCount;
    node.name = position;
    node.keywordId = id;
    node.lineBreak = lineBreak == 1;
    return true;
}

// FileWriteString ( text , fileVar ), or FileWrite1b and its siblings: ( fileVar , number ).
bool CompiledProgram::CompileFileWrite(CTesselParser& parser, Node& node, int position) {
    words.Resize(node.firstWord);  // the keyword is read again with the rest
    Statement statement;
    statement.readPosition = position;
    statement.firstWord = node.firstWord;
    Compiler c(parser, *this, position);
    bool kept = c.Advance() && c.Advance() && c.Is(kw::kOpenParen);
    int name = 0;
    if (node.code == kw::kFileWriteString) {
        kept = kept && (statement.value = c.Top()) >= 0 && c.ReadAgain() && c.Is(kw::kComma) && c.Advance() && c.IsName();
        name = c.At();
        kept = kept && c.Advance();
    } else {
        kept = kept && c.Advance() && c.IsName();
        name = c.At();
        kept = kept && c.Advance() && c.Is(kw::kComma) && (statement.value = c.Top()) >= 0 && c.ReadAgain();
    }
    kept = kept && c.Is(kw::kCloseParen);
    if (!kept) {
        words.Resize(node.firstWord);
        return false;
    }
    TakeValue(statement);
    statement.settleFrom = c.At();  // ")" is the last word read
    statement.next = c.Entry().end;
    node.item = AddStatement(statement);
    node.name = name;
    node.wordCount = statement.wordCount;
    node.kind = NodeKind::kFileWrite;
    return true;
}

bool CompiledProgram::CompileFileRead(CTesselParser& parser, Node& node, int position) {
    const int first = words.Size();
    Statement statement;
    statement.readPosition = position;
    statement.target.argument = position;
    statement.firstWord = first;
    Compiler c(parser, *this, position);
    bool kept = c.Advance() && c.IsName() && c.Advance() && c.Is(kw::kEquals);
    const CTesselParser::ScanCacheEntry* keyword = kept ? parser.CachedEntryAt(c.Entry().end) : nullptr;
    kept = keyword != nullptr && keyword->kind == kw::kFileReadString;
    if (kept) {
        AddWord(keyword->start, keyword->end);
        c.ReadFrom(keyword->end);
    }
    kept = kept && c.Advance() && c.Is(kw::kOpenParen) && (statement.value = c.Top()) >= 0 &&
           !expressions[static_cast<std::size_t>(statement.value)].text && c.ReadAgain() && c.Is(kw::kComma) &&
           c.Advance() && c.IsName();
    const int name = c.At();
    kept = kept && c.Advance() && c.Is(kw::kCloseParen);
    const int end = c.Entry().end;
    // The value's word after it ends the expression: no operator takes the literal further.
    kept = kept && c.Advance() && !(c.IsKeyword() && IsOperator(c.Code()));
    if (!kept) {
        words.Resize(first);
        return false;
    }
    // Read: the target, "=", the keyword, "(", the arguments' words, the word after. Kept: the
    // target, "=", the keyword joined with its arguments, the word after, the arguments' words.
    const std::vector<int> starts(words.starts.begin() + first, words.starts.end());
    const std::vector<int> lengths(words.lengths.begin() + first, words.lengths.end());
    const auto add = [&](std::size_t k) { AddWord(starts[k], starts[k] + lengths[k]); };
    const std::size_t after = starts.size() - 1;
    words.Resize(first + 2);
    AddWord(starts[2], end);
    add(after);
    for (std::size_t k = 4; k < after; ++k) add(k);

    const Expression& count = expressions[static_cast<std::size_t>(statement.value)];
    statement.wordCount = 3;
    // The value's own level and its count's below it, as the reading enters them.
    statement.depth = count.depth + 3;
    statement.settleFrom = c.At();
    statement.putBack = true;
    statement.next = c.Entry().start;
    node.item = AddStatement(statement);
    node.firstWord = first;
    node.wordCount = words.Size() - first;
    node.name = name;
    node.keywordAfter = c.IsKeyword();
    return true;
}

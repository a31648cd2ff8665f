// Expressions: evaluated while they are scanned, one recursive member per precedence level, each
// writing its result into a caller's Value. The same code serves the check pass and the run; the
// execute flag decides which effects happen, the type rules apply in both passes.
//
// Integer and Float results live inline in Value, so the arithmetic below touches no heap.
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

#include "interpreter/comparisons.h"
#include "interpreter/keyword_codes.h"
#include "interpreter/math_functions.h"
#include "interpreter/number_operators.h"
#include "base/matrix.h"
#include "interpreter/messages.h"
#include "base/number_text.h"
#include "interpreter/tessel_parser.h"
#include "interpreter/wrapping_arithmetic.h"
#include "platform/crt_runtime.h"
#include "platform/memory_budget.h"

namespace {

constexpr const char* kMinusHere = " Syntax Error : Can not use '-' here.";
// A number with a Matrix or File after `+` has no text and no sum; it is refused like `-`.
constexpr const char* kPlusHere = " Syntax Error : Can not use '+' here.";
constexpr const char* kModStrings = " Syntax Error : Can not use \"Mod\" for STRINGS.";
constexpr const char* kTimesStrings = " Syntax Error : Can not use '*' for STRINGS.";
constexpr const char* kDivideStrings = " Syntax Error : Can not use '/' for STRINGS.";
constexpr const char* kDivideByZero = " Runtime Error : Divide By ZERO.";
constexpr const char* kPowerStrings = " Syntax Error : Can not use '^' for STRINGS.";
constexpr const char* kNotTerminated = "String not terminated.";
constexpr const char* kTooLong = "ERROR : Too Long . The Highlighted word is the limit.";
constexpr const char* kCompareStrings = " Syntax Error : Can not Compare STRINGS with NUMERICALS.";

// Two numbers combined by the operator's one meaning; false for a division by zero.
bool CombineNumbers(NumberOp op, Value& left, const Value& right) {
    NumberOperand a = NumberOf(left);
    if (!ApplyNumberOp(op, a, NumberOf(right))) return false;
    SetNumber(left, a);
    return true;
}

// In-place combination of two matrices after their sizes have been tested.
void CombineMatrices(int op, CMatrix& left, const CMatrix& right) {
    if (op == kw::kPlus)
        left.Add(right);
    else
        left.Subtract(right);
}

}  // namespace

// ---------------------------------------------------------------- shared helpers

int CTesselParser::ExpectToken(int code) {
    const int token = ReadToken();
    if (token == code) return 1;
    if (LexerReportedError(token)) return 0;
    return FailExpected(code);
}

int CTesselParser::EndOfOperand(int token) {
    if (LexerReportedError(token)) return 0;
    if (token != token::kEnd) UngetToken();
    return 1;
}

// Every level reads the word after its operand and, if it is not its own operator, puts it back
// for the level above to read again. A word that reads again the same way is handed up instead.
inline int CTesselParser::EndOfOperandFor(int token, Lookahead* next) {
    if (next == nullptr) return EndOfOperand(token);
    next->held = lastReadRepeats_;
    if (!next->held) return EndOfOperand(token);
    next->mark.position = history.Start(history.Count() - 1);
    next->mark.tokenCount = history.Count() - 1;
    return 1;
}

// The scan and currentToken as if the word after the operand had been put back and read again.
inline void CTesselParser::TakeLookahead(Lookahead& next) {
    if (next.held) return;
    SavePosition(next.mark);
    ReadToken();
}

inline void CTesselParser::PutBackLookahead(Lookahead& next) {
    if (!next.held) return;
    RestorePosition(next.mark);
    next.held = false;
}

int CTesselParser::RequireNumber(const Value& v) {
    if (v.IsNumber()) return 1;
    if (v.type == kTypeString) return FailWith(message::kStringsNotAllowed);
    return FailWith(message::kNoNumericValue);
}

int CTesselParser::ReadNumber(double& number, bool* isInteger) {
    Value v;
    if (!ReadExpression(v) || !RequireNumber(v)) return 0;
    number = v.AsDouble();
    if (isInteger != nullptr) *isInteger = v.type == kTypeInteger;
    return 1;
}

int CTesselParser::ReadIntegerExpression(int& number) {
    Value v;
    if (!ReadExpression(v)) return 0;
    if (v.type != kTypeInteger) return FailWith(message::kMustBeInteger);
    number = v.value.integer;
    return 1;
}

int CTesselParser::FailMatrixMismatch() { return FailWith(" Syntax Error : Matrix dimensions mismatch."); }

int CTesselParser::FailMatrixAccess() {
    const std::string text = errorText;
    return FailWith(text);
}

// ---------------------------------------------------------------- entry

int CTesselParser::ReadExpression2(Value& result) { return ReadExpression(result); }

int CTesselParser::ReadExpression(Value& result) {
    if (ReadToken() == token::kEnd) return 0;
    // Every nested sub-expression of a primary (arguments, indices) comes through here.
    NestingLevel nesting(*this);
    if (!nesting.Entered()) return 0;
    return EvalAdditive(result);
}

// ---------------------------------------------------------------- level 1: + - Mod

int CTesselParser::EvalAdditive(Value& result) {
    Lookahead next;
    if (!EvalMultiplicative(result, &next)) return 0;
    for (;;) {
        TakeLookahead(next);
        const int op = currentToken;
        ScanMark afterOperator;
        SavePosition(afterOperator);
        if (op != kw::kPlus && op != kw::kMinus && op != kw::kMod) return EndOfOperand(op);
        ReadToken();
        Value right;
        if (!EvalMultiplicative(right, &next)) return 0;
        // Two numbers combine without a failure, so without using the scan position.
        if (!result.IsNumber() || !right.IsNumber()) PutBackLookahead(next);
        if (!CombineAdditive(op, result, right, afterOperator)) return 0;
    }
}

// Joining two texts holds both and the result at once: what cannot fit is refused before it is
// tried (texts under a megabyte are not worth asking about).
int CTesselParser::RoomForJoinedText(const Value& left, const Value& right) {
    const auto length = [](const Value& v) { return v.type == kTypeString ? v.value.text->size() : std::size_t{0}; };
    const std::size_t joined = length(left) + length(right);
    if (joined < kJoinCheckedForMemory || crt::FitsInMemory(joined, 4)) return 1;
    return FailWith(message::kNotEnoughMemory);
}

int CTesselParser::CombineAdditive(int op, Value& left, const Value& right, const ScanMark& afterOperator) {
    auto failAtOperator = [&](const char* text) {
        RestorePosition(afterOperator);
        return FailWith(text);
    };
    const int lt = left.type;
    const int rt = right.type;
    if (op == kw::kMod) {
        // Only numbers have a remainder; a Matrix or File on the left is refused like a String.
        if (!left.IsNumber() || !right.IsNumber()) return failAtOperator(kModStrings);
        CombineNumbers(NumberOp::kModulo, left, right);  // a remainder never fails
        return 1;
    }
    if (lt == kTypeFile) return 1;  // a File on the left of `+` or `-` stays as it is
    if (left.IsNumber() && right.IsNumber()) {
        CombineNumbers(op == kw::kPlus ? NumberOp::kAdd : NumberOp::kSubtract, left, right);
        return 1;
    }
    if (op == kw::kMinus) {
        if (lt == kTypeMatrix && right.IsNumber()) {
            if (execute) left.value.matrix->SubtractScalar(right.AsDouble());
            return 1;
        }
        if (lt == kTypeMatrix && rt == kTypeFile) return 1;
        if (lt == kTypeMatrix && rt == kTypeMatrix) {
            if (!left.value.matrix->IsSameSize(*right.value.matrix)) return FailMatrixMismatch();
            if (execute) CombineMatrices(op, *left.value.matrix, *right.value.matrix);
            return 1;
        }
        return failAtOperator(kMinusHere);
    }
    // `+` with at least one operand that is not a number.
    if (!RoomForJoinedText(left, right)) return 0;
    if (left.IsNumber()) {
        if (rt != kTypeString) return failAtOperator(kPlusHere);
        std::string text;
        AppendNumberText(text, NumberOf(left));
        text += right.Text();
        left.SetString(text);
        return 1;
    }
    if (lt == kTypeString) {
        std::string& text = *left.value.text;
        if (right.IsNumber())
            AppendNumberText(text, NumberOf(right));
        else if (rt == kTypeString)
            text += right.Text();
        else if (rt == kTypeMatrix)
            text += right.value.matrix->toString();
        return 1;
    }
    if (lt == kTypeMatrix) {
        if (right.IsNumber()) {
            if (execute) left.value.matrix->AddScalar(right.AsDouble());
        } else if (rt == kTypeString) {
            std::string text = execute ? left.value.matrix->toString() : std::string();
            text += right.Text();
            left.SetString(text);
        } else if (rt == kTypeMatrix) {
            if (!left.value.matrix->IsSameSize(*right.value.matrix)) return FailMatrixMismatch();
            if (execute) CombineMatrices(op, *left.value.matrix, *right.value.matrix);
        }
        return 1;
    }
    return 1;  // a value without a type stays as it is
}

// ---------------------------------------------------------------- level 2: * /

int CTesselParser::EvalMultiplicative(Value& result, Lookahead* outer) {
    Lookahead next;
    if (!EvalPower(result, &next)) return 0;
    for (;;) {
        TakeLookahead(next);
        const ScanMark beforeOperator = next.mark;
        const int op = currentToken;
        if (op != kw::kTimes && op != kw::kDivide) return EndOfOperandFor(op, outer);
        ReadToken();
        Value right;
        if (!EvalPower(right, &next)) return 0;
        // Only a product of two numbers is sure to succeed; a division can fail by zero.
        if (op != kw::kTimes || !result.IsNumber() || !right.IsNumber()) PutBackLookahead(next);
        if (!CombineMultiplicative(op, result, right, beforeOperator)) return 0;
    }
}

// The operand read from history entry `first` to the last one is numbers, signs and parentheses
// only: its value is the same in every pass. False when the history no longer holds it all.
bool CTesselParser::OperandIsWrittenNumber(int first) const {
    const int count = history.Count();
    if (first <= 0 || count >= kHistoryLast || first >= count) return false;
    for (int i = first; i < count; ++i) {
        const std::size_t start = static_cast<std::size_t>(history.Start(i));
        const std::size_t length = static_cast<std::size_t>(history.Length(i));
        if (length == 0 || start + length > scriptText.size()) return false;
        const char* text = scriptText.data() + start;
        const bool sign = length == 1 && (*text == '(' || *text == ')' || *text == '-' || *text == '+');
        if (!sign && !IsNumberText(text, length)) return false;
    }
    return true;
}

int CTesselParser::CombineMultiplicative(int op, Value& left, const Value& right, const ScanMark& beforeOperator) {
    const bool times = op == kw::kTimes;
    const char* typeError = times ? kTimesStrings : kDivideStrings;
    auto failBeforeOperator = [&]() {
        RestorePosition(beforeOperator);
        return FailWith(typeError);
    };
    const int lt = left.type;
    const int rt = right.type;
    if (lt == kTypeFile) return 1;
    if (lt == kTypeString) return failBeforeOperator();
    if (left.IsNumber()) {
        if (!right.IsNumber()) return failBeforeOperator();
        if (!times && !execute) {
            // The check pass divides nothing: the quotient of an Integer and a Float is a Float.
            if (lt != kTypeInteger || rt != kTypeInteger) left.SetFloat(left.AsDouble());
            return 1;
        }
        if (!CombineNumbers(times ? NumberOp::kMultiply : NumberOp::kDivide, left, right)) return FailWith(kDivideByZero);
        return 1;
    }
    if (lt != kTypeMatrix) return 1;
    CMatrix& matrix = *left.value.matrix;
    if (rt == kTypeFile) return 1;
    if (rt == kTypeString) return failBeforeOperator();
    if (right.IsNumber()) {
        if (times) {
            if (execute) matrix.Scale(right.AsDouble());
            return 1;
        }
        // In the check pass a divisor known only in a run (a variable, a built-in value) reads as
        // 0, and a valid script must pass the check; a zero written as a number cannot change.
        if (right.AsDouble() == 0.0 && (execute || OperandIsWrittenNumber(beforeOperator.tokenCount + 1)))
            return FailWith(kDivideByZero);
        if (!execute) return 1;
        matrix.DivideScalar(right.AsDouble());
        return 1;
    }
    // Matrix by Matrix.
    if (!times) return FailWith(kDivideStrings);
    if (!matrix.CanMultiply(*right.value.matrix)) return FailMatrixMismatch();
    if (execute)
        matrix.Multiply(*right.value.matrix);
    else
        matrix.ResizeForProduct(*right.value.matrix);
    return 1;
}

// ---------------------------------------------------------------- level 3: ^ (right to left)

int CTesselParser::EvalPower(Value& result, Lookahead* next) {
    if (!EvalUnary(result)) return 0;
    const int op = ReadToken();
    if (op != kw::kPower) return EndOfOperandFor(op, next);
    if (next != nullptr) next->held = false;
    ReadToken();
    Value right;
    {
        NestingLevel nesting(*this);
        if (!nesting.Entered() || !EvalPower(right, nullptr)) return 0;
    }
    // Only numbers have a power; a String, Matrix or File on either side is refused.
    if (!result.IsNumber() || !right.IsNumber()) return FailWith(kPowerStrings);
    result.SetFloat(std::pow(result.AsDouble(), right.AsDouble()));
    return 1;
}

// ---------------------------------------------------------------- level 4: one sign

// Inline: called from one place, once per operand.
__attribute__((always_inline)) inline int CTesselParser::EvalUnary(Value& result) {
    ScanMark afterSign;
    SavePosition(afterSign);
    const int sign = currentToken;
    const bool hasSign = sign == kw::kPlus || sign == kw::kMinus;
    if (hasSign) ReadToken();
    if (!EvalParenthesis(result)) return 0;
    if (!hasSign || sign == kw::kPlus) return 1;
    if (result.IsNumber()) {
        NumberOperand n = NumberOf(result);
        NegateNumber(n);
        SetNumber(result, n);
        return 1;
    }
    // A String, Matrix or File has no negative.
    RestorePosition(afterSign);
    return FailWith(kMinusHere);
}

// ---------------------------------------------------------------- level 5: ( )

// Inline: called from one place, once per operand.
__attribute__((always_inline)) inline int CTesselParser::EvalParenthesis(Value& result) {
    if (currentToken != kw::kOpenParen) return EvalPrimary(result);
    ReadToken();
    {
        NestingLevel nesting(*this);
        if (!nesting.Entered() || !EvalAdditive(result)) return 0;
    }
    return ExpectToken(kw::kCloseParen);
}

// ---------------------------------------------------------------- level 6: primaries

int CTesselParser::EvalPrimary(Value& result) {
    const int code = currentToken;
    switch (code) {
        case token::kNumber:
            if (HasDecimalPoint(word))
                result.SetFloat(DecimalTextToDouble(word));
            else
                result.SetInteger(IntegerLiteral(word));
            return 1;
        case kw::kDoubleQuote:
        case kw::kSingleQuote:
            return EvalStringLiteral(result, code);
        case token::kStringValue:
            result.SetString(word);
            return 1;
        case token::kVariable:
            return EvalVariableOperand(result);
        case token::kObjectVariable:
            return EvaluateObjectMember(result) ? 1 : 0;
        case token::kUnknown:
            // The check pass reads a subroutine body before its caller's variables exist.
            if (inSubroutine && !execute) {
                result.SetFloat(0.0);
                return 1;
            }
            return FailWith(message::kUnknownVariable);
        case kw::kRgb:
            return EvalRgb(result);
        case kw::kInt:
        case kw::kRnd:
            return EvalIntOrRnd(result, code);
        default:
            break;
    }
    if (code == kPowCode || FindMathFunction(code)) return EvalMathFunction(result, code);
    if (!errorText.empty()) return 0;  // the lexer has reported
    if (code != token::kEnd) UngetToken();
    return FailWith(message::kCannotEvaluate);
}

int CTesselParser::EvalStringLiteral(Value& result, int quote) {
    ScanMark afterOpening;
    SavePosition(afterOpening);
    std::string text;
    switch (ReadRawUntilToken(scriptText.data(), textLength, quote, text, kStringLiteralLimit)) {
        case 0:
            RestorePosition(afterOpening);
            return FailWith(kNotTerminated);
        case 2:
            return FailWith(kTooLong);
        default:
            break;
    }
    ReadToken();  // the closing quote
    UnescapeString(text);
    result.SetString(text);
    return 1;
}

int CTesselParser::EvalVariableOperand(Value& result) {
    const ElementRef element = EvaluateArrayIndex();
    if (!element.Found()) return 0;
    if (variables[element.record].type == kTypeMatrix) return EvaluateMatrixOperand(result, element) != 0;
    CopyElement(element, result);
    return 1;
}

int CTesselParser::EvalRgb(Value& result) {
    if (!ExpectToken(kw::kOpenParen)) return 0;
    NestingLevel nesting(*this);
    if (!nesting.Entered()) return 0;
    std::int32_t colour = 0;
    for (int channel = 0; channel < 3; ++channel) {
        if (channel > 0 && !ExpectToken(kw::kComma)) return 0;
        Value argument;
        if (!ReadExpression(argument) || !RequireNumber(argument)) return 0;
        const std::int32_t whole =
            argument.type == kTypeInteger ? argument.value.integer : DoubleToInt32(argument.value.number);
        colour = AddRgbChannel(colour, whole, channel);
    }
    if (!ExpectToken(kw::kCloseParen)) return 0;
    result.SetInteger(colour);
    return 1;
}

int CTesselParser::EvalMathFunction(Value& result, int code) {
    ScanMark beforeParen;
    SavePosition(beforeParen);
    if (!ExpectToken(kw::kOpenParen)) return 0;
    NestingLevel nesting(*this);
    if (!nesting.Entered()) return 0;
    double x = 0.0;
    if (!ReadNumber(x)) return 0;
    double value = 0.0;
    if (code == kPowCode) {
        double y = 0.0;
        if (!ExpectToken(kw::kComma) || !ReadNumber(y)) return 0;
        if (execute) {
            if (!PowInRange(x, y)) {
                RestorePosition(beforeParen);
                return FailWith(kPowOutOfRange);
            }
            value = std::pow(x, y);
        }
    } else {
        const MathFunction& f = *FindMathFunction(code);
        if (f.test == ArgumentTest::kNone) {
            value = f.compute(x);
        } else if (execute) {
            if (!ArgumentInRange(f.test, x)) {
                RestorePosition(beforeParen);
                return FailWith(f.outOfRange);
            }
            value = f.compute(x);
        }
    }
    if (!ExpectToken(kw::kCloseParen)) return 0;
    result.SetFloat(value);
    return 1;
}

int CTesselParser::EvalIntOrRnd(Value& result, int code) {
    if (!ExpectToken(kw::kOpenParen)) return 0;
    NestingLevel nesting(*this);
    if (!nesting.Entered()) return 0;
    Value argument;
    if (!ReadExpression(argument) || !RequireNumber(argument)) return 0;
    if (!ExpectToken(kw::kCloseParen)) return 0;
    if (code == kw::kInt) {
        result.SetInteger(argument.type == kTypeInteger ? argument.value.integer : DoubleToInt32(argument.value.number));
        return 1;
    }
    // n + 1 is formed in the argument's own type; the product is taken in double, so a large n
    // cannot overflow.
    const double limit = argument.type == kTypeInteger ? static_cast<double>(WrapAdd(argument.value.integer, 1))
                                                       : argument.value.number + 1.0;
    const int draw = crt::Rand();
    result.SetInteger(DoubleToInt32(limit * draw / 32767.0));
    return 1;
}

// ---------------------------------------------------------------- conditions

int CTesselParser::EvaluateCondition(int& result) {
    const int first = ReadToken();
    const bool invert = first == kw::kNot;
    if (!invert && !EndOfOperand(first)) return 0;
    Value a;
    if (!ReadExpression(a)) return 0;
    int truth = 0;
    if (a.IsNumber())
        truth = a.AsDouble() != 0.0;
    else if (a.type == kTypeString)
        truth = !a.Text().empty();
    else
        return RequireNumber(a);
    const int op = ReadToken();
    if (IsComparison(op)) {
        Value b;
        if (!ReadExpression(b)) return 0;
        if (!CompareOperands(op, a, b, truth)) return 0;
    } else if (!EndOfOperand(op)) {
        return 0;
    }
    if (invert) truth = !truth;
    const int chain = ReadToken();
    if (chain == kw::kAnd || chain == kw::kOr) {
        int rest = 0;
        NestingLevel nesting(*this);
        if (!nesting.Entered() || !EvaluateCondition(rest)) return 0;
        truth = chain == kw::kAnd ? (truth && rest) : (truth || rest);
    } else if (!EndOfOperand(chain)) {
        return 0;
    }
    result = truth;
    return 1;
}

int CTesselParser::CompareOperands(int op, const Value& a, const Value& b, int& result) {
    if (a.IsNumber() && b.IsNumber()) {
        result = CompareNumbers(op, a.AsDouble(), b.AsDouble());
        return 1;
    }
    if (a.type == kTypeString && b.type == kTypeString) {
        result = Compare(op, std::strcmp(a.Text().c_str(), b.Text().c_str()));
        return 1;
    }
    if (b.IsNumber() || b.type == kTypeString) return FailWith(kCompareStrings);
    return RequireNumber(b);  // a Matrix or File has no order
}

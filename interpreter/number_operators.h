// What the operators do to numbers, and the text a number adds to a join: one home for the
// word-by-word reading and the compiled regions, so the two cannot drift apart. Integer arithmetic wraps
// in 32 bits; an Integer meeting a Float is promoted; the remainder of two Integers is the one of
// the two as doubles, converted back.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>

#include "interpreter/value.h"
#include "interpreter/wrapping_arithmetic.h"

// An Integer or a Float operand.
struct NumberOperand {
    std::uint8_t type;  // kTypeInteger or kTypeFloat
    std::int32_t i;
    double d;

    double AsDouble() const { return type == kTypeInteger ? i : d; }
};

enum class NumberOp : std::uint8_t { kAdd, kSubtract, kModulo, kMultiply, kDivide };

// fmod of the two as doubles converted back, without the doubles: the remainder of a truncating
// division (exact for Integers), 0 for a divisor of -1 (which the Integer remainder would
// overflow on), and the conversion of NaN for a divisor of 0.
__attribute__((always_inline)) inline std::int32_t IntegerModulo(std::int32_t a, std::int32_t b) {
    if (b == 0) return DoubleToInt32(std::nan(""));
    return b == -1 ? 0 : a % b;
}

// a op b of two Integers into a; false, a unchanged, for a division by zero.
__attribute__((always_inline)) inline bool ApplyIntegerOp(NumberOp op, std::int32_t& a, std::int32_t b) {
    switch (op) {
        case NumberOp::kAdd: a = WrapAdd(a, b); return true;
        case NumberOp::kSubtract: a = WrapSubtract(a, b); return true;
        case NumberOp::kModulo: a = IntegerModulo(a, b); return true;
        case NumberOp::kMultiply: a = WrapMultiply(a, b); return true;
        default:
            if (b == 0) return false;
            a = WrapDivide(a, b);
            return true;
    }
}

// The one NaN every Float operation leaves: which operand's NaN an operation passes on (and so
// its sign, which the number's text shows) depends on how the compiler ordered that operation.
inline constexpr double kOperationNaN = -std::numeric_limits<double>::quiet_NaN();

// A Float operation's result, its NaN made the one NaN.
__attribute__((always_inline)) inline double OperationResult(double a) { return std::isnan(a) ? kOperationNaN : a; }

// a op b of two Floats into a; false, a unchanged, for a division by zero.
__attribute__((always_inline)) inline bool ApplyFloatOp(NumberOp op, double& a, double b) {
    switch (op) {
        case NumberOp::kAdd: a += b; break;
        case NumberOp::kSubtract: a -= b; break;
        case NumberOp::kModulo: a = std::fmod(a, b); break;
        case NumberOp::kMultiply: a *= b; break;
        default:
            if (b == 0.0) return false;
            a /= b;
            break;
    }
    a = OperationResult(a);
    return true;
}

// a op b into a, an Integer meeting a Float promoted; false, a unchanged, for a division by zero
// (the caller reports it).
__attribute__((always_inline)) inline bool ApplyNumberOp(NumberOp op, NumberOperand& a, const NumberOperand& b) {
    if (a.type == kTypeInteger && b.type == kTypeInteger) return ApplyIntegerOp(op, a.i, b.i);
    double x = a.AsDouble();
    if (!ApplyFloatOp(op, x, b.AsDouble())) return false;
    a = {kTypeFloat, 0, x};
    return true;
}

// The negative: Integers wrap (the negative of -2147483648 is itself).
inline void NegateNumber(NumberOperand& a) {
    if (a.type == kTypeInteger)
        a.i = WrapNegate(a.i);
    else
        a.d = -a.d;
}

// A number as INT and RGB take it: an Integer as it is, a Float truncated toward zero.
inline std::int32_t WholeOf(const NumberOperand& n) { return n.type == kTypeInteger ? n.i : DoubleToInt32(n.d); }

// An Integer or Float value as an operand, and an operand back into a value (its name kept).
inline NumberOperand NumberOf(const Value& v) {
    return v.type == kTypeInteger ? NumberOperand{kTypeInteger, v.value.integer, 0.0}
                                  : NumberOperand{kTypeFloat, 0, v.value.number};
}
inline void SetNumber(Value& v, const NumberOperand& n) {
    if (n.type == kTypeInteger)
        v.SetInteger(n.i);
    else
        v.SetFloat(n.d);
}

// A join this long or longer asks first whether memory has room for the joined text.
inline constexpr std::size_t kJoinCheckedForMemory = std::size_t{1} << 20;

// The text a number adds to a join: an Integer's digits, a Float as FormatNumberTrimmed gives it.
void AppendNumberText(std::string& out, const NumberOperand& n);

// The condition's comparison operators, shared by the reading and the compiled conditions.
#pragma once

#include <cstdint>

#include "interpreter/keyword_codes.h"

inline bool IsComparison(int token) {
    return token == kw::kEquals || (token >= kw::kLess && token <= kw::kNotEqual);
}

// The operator as a mask of the orders it holds for: bit 0 less, bit 1 equal, bit 2 greater.
constexpr unsigned OrderMask(int op) {
    switch (op) {
        case kw::kEquals: return 2;
        case kw::kLess: return 1;
        case kw::kGreater: return 4;
        case kw::kLessEqual: return 3;
        case kw::kGreaterEqual: return 6;
        default: return 5;
    }
}

// Whether a mask of orders holds for an order (its sign: negative, zero or positive).
__attribute__((always_inline)) inline bool MaskHolds(unsigned mask, int order) {
    return (mask >> ((order > 0) - (order < 0) + 1)) & 1u;
}

// Whether a mask of orders holds for two Integers.
__attribute__((always_inline)) inline bool IntegersHold(unsigned mask, std::int32_t x, std::int32_t y) {
    return MaskHolds(mask, (x > y) - (x < y));
}

// The operator applied to the order of two Strings (as strcmp gives it).
__attribute__((always_inline)) inline bool Compare(int op, int order) { return MaskHolds(OrderMask(op), order); }

// As the doubles compare; a not-a-number operand is unordered: only `<>` holds.
inline bool CompareNumbers(int op, double a, double b) {
    switch (op) {
        case kw::kEquals: return a == b;
        case kw::kLess: return a < b;
        case kw::kGreater: return a > b;
        case kw::kLessEqual: return a <= b;
        case kw::kGreaterEqual: return a >= b;
        default: return a != b;
    }
}

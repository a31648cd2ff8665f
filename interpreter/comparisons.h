// The condition's comparison operators, shared by the reading and the compiled conditions.
#pragma once

#include "interpreter/keyword_codes.h"

inline bool IsComparison(int token) {
    return token == kw::kEquals || (token >= kw::kLess && token <= kw::kNotEqual);
}

// The operator applied to the order of two Strings (as strcmp gives it).
__attribute__((always_inline)) inline bool Compare(int op, int order) {
    switch (op) {
        case kw::kEquals: return order == 0;
        case kw::kLess: return order < 0;
        case kw::kGreater: return order > 0;
        case kw::kLessEqual: return order <= 0;
        case kw::kGreaterEqual: return order >= 0;
        default: return order != 0;
    }
}

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

// The built-in functions of one number (Sin ... Exp, Sqrt, Abs) and Pow: their one home, for the
// word-by-word reading and the compiled regions alike, so that a value and a refused argument
// cannot differ between the two.
#pragma once

#include <cstdint>

enum class ArgumentTest { kNone, kNonNegative, kUnitRange, kPositive };

struct MathFunction {
    int code;
    double (*compute)(double);
    ArgumentTest test;
    const char* outOfRange;  // the run-time message of a failed argument test
};

inline constexpr int kPowCode = 60;
inline constexpr const char* kPowOutOfRange = " Runtime Error : \"Pow\" argument is out of range.";

// The function of a keyword code, or null (Pow has its own rule: two arguments).
const MathFunction* FindMathFunction(int code);
// A not-a-number argument fails every test: it is neither at least 0, nor inside -1 .. 1, nor above 0.
bool ArgumentInRange(ArgumentTest test, double x);
// Pow refuses a zero base with a power of zero or below.
inline bool PowInRange(double x, double y) { return !(x == 0.0 && y <= 0.0); }

// The index of a keyword's function in the table (-1 for none), and the function at an index:
// compiled code keeps the index, so that it finds its function without a search.
int MathFunctionIndex(int code);
const MathFunction& MathFunctionAt(int index);

// RGB's colour: each channel's low byte in its place, red lowest.
inline std::int32_t AddRgbChannel(std::int32_t colour, std::int32_t whole, int channel) {
    return colour | ((whole & 0xFF) << (8 * channel));
}

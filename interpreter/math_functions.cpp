// The built-in functions' values and argument tests.
#include "interpreter/math_functions.h"

#include <cmath>

namespace {

constexpr double kPi = 3.141592653589793;

const MathFunction kMathFunctions[] = {
    {50, [](double x) { return std::sin(x * kPi / 180.0); }, ArgumentTest::kNone, nullptr},
    {51, [](double x) { return std::cos(x * kPi / 180.0); }, ArgumentTest::kNone, nullptr},
    {52, [](double x) { return std::tan(x * kPi / 180.0); }, ArgumentTest::kNone, nullptr},
    {53, [](double x) { return std::sin(x); }, ArgumentTest::kNone, nullptr},
    {54, [](double x) { return std::cos(x); }, ArgumentTest::kNone, nullptr},
    {55, [](double x) { return std::tan(x); }, ArgumentTest::kNone, nullptr},
    {59, [](double x) { return std::sqrt(x); }, ArgumentTest::kNonNegative,
     " Runtime Error : \"Sqrt\" argument is out of range."},
    {61, [](double x) { return std::fabs(x); }, ArgumentTest::kNone, nullptr},
    {62, [](double x) { return std::asin(x) * 180.0 / kPi; }, ArgumentTest::kUnitRange,
     " Runtime Error : \"ArcSin\" argument is out of range."},
    {63, [](double x) { return std::acos(x) * 180.0 / kPi; }, ArgumentTest::kUnitRange,
     " Runtime Error : \"ArcCos\" argument is out of range."},
    {64, [](double x) { return std::atan(x) * 180.0 / kPi; }, ArgumentTest::kNone, nullptr},
    {65, [](double x) { return std::asin(x); }, ArgumentTest::kUnitRange,
     " Runtime Error : \"ArcSin\" argument is out of range."},
    {66, [](double x) { return std::acos(x); }, ArgumentTest::kUnitRange,
     " Runtime Error : \"ArcCos\" argument is out of range."},
    {67, [](double x) { return std::atan(x); }, ArgumentTest::kNone, nullptr},
    {68, [](double x) { return std::sinh(x); }, ArgumentTest::kNone, nullptr},
    {69, [](double x) { return std::cosh(x); }, ArgumentTest::kNone, nullptr},
    {70, [](double x) { return std::tanh(x); }, ArgumentTest::kNone, nullptr},
    {77, [](double x) { return std::log(x); }, ArgumentTest::kPositive,
     " Runtime Error : \"Ln\" argument is out of range."},
    {78, [](double x) { return std::log10(x); }, ArgumentTest::kPositive,
     " Runtime Error : \"Log\" argument is out of range."},
    {79, [](double x) { return std::exp(x); }, ArgumentTest::kNone, nullptr},
};

}  // namespace

const MathFunction* FindMathFunction(int code) {
    for (const MathFunction& f : kMathFunctions)
        if (f.code == code) return &f;
    return nullptr;
}

bool ArgumentInRange(ArgumentTest test, double x) {
    switch (test) {
        case ArgumentTest::kNonNegative: return x >= 0.0;
        case ArgumentTest::kUnitRange: return x >= -1.0 && x <= 1.0;
        case ArgumentTest::kPositive: return x > 0.0;
        case ArgumentTest::kNone: break;
    }
    return true;
}

int MathFunctionIndex(int code) {
    const MathFunction* f = FindMathFunction(code);
    return f == nullptr ? -1 : static_cast<int>(f - kMathFunctions);
}

const MathFunction& MathFunctionAt(int index) { return kMathFunctions[index]; }

// The operators' one meaning on numbers: its edge cases, and the reading of every operator on a
// grid of operands agreeing with it, with the compiled regions on and off.
#include <gtest/gtest.h>

#include <bit>
#include <climits>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "interpreter/number_operators.h"
#include "interpreter/test_parser.h"

namespace {

NumberOperand Int(std::int32_t i) { return {kTypeInteger, i, 0.0}; }
NumberOperand Flt(double d) { return {kTypeFloat, 0, d}; }

TEST(NumberOperatorsTest, EdgeCasesOfEachOperator) {
    struct Case {
        NumberOp op;
        NumberOperand a, b;
        bool ok;
        NumberOperand result;
    };
    const Case cases[] = {
        {NumberOp::kAdd, Int(INT_MAX), Int(1), true, Int(INT_MIN)},            // wraps
        {NumberOp::kSubtract, Int(INT_MIN), Int(1), true, Int(INT_MAX)},
        {NumberOp::kMultiply, Int(65536), Int(65536), true, Int(0)},
        {NumberOp::kDivide, Int(INT_MIN), Int(-1), true, Int(INT_MIN)},        // no trap
        {NumberOp::kDivide, Int(-7), Int(2), true, Int(-3)},                   // truncates
        {NumberOp::kDivide, Int(7), Int(0), false, Int(7)},                    // refused, unchanged
        {NumberOp::kDivide, Flt(1.5), Flt(0.0), false, Flt(1.5)},
        {NumberOp::kModulo, Int(-7), Int(2), true, Int(-1)},
        {NumberOp::kModulo, Int(INT_MIN), Int(-1), true, Int(0)},
        {NumberOp::kModulo, Int(5), Int(0), true, Int(INT_MIN)},               // NaN converted
        {NumberOp::kModulo, Flt(7.5), Int(2), true, Flt(1.5)},
        {NumberOp::kAdd, Int(1), Flt(0.5), true, Flt(1.5)},                    // promoted
        {NumberOp::kDivide, Int(1), Flt(4.0), true, Flt(0.25)},
    };
    for (const Case& c : cases) {
        NumberOperand a = c.a;
        EXPECT_EQ(ApplyNumberOp(c.op, a, c.b), c.ok) << static_cast<int>(c.op);
        EXPECT_EQ(a.type, c.result.type) << static_cast<int>(c.op);
        EXPECT_EQ(a.AsDouble(), c.result.AsDouble()) << static_cast<int>(c.op);
    }
    NumberOperand n = Int(INT_MIN);
    NegateNumber(n);
    EXPECT_EQ(n.i, INT_MIN);
}

// A NaN result has one sign and one payload whichever NaN came in and from which side, so that
// the reading and the compiled code leave the same bits (the sign shows in the number's text).
TEST(NumberOperatorsTest, EveryNaNResultIsTheSameNaN) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nans[] = {std::numeric_limits<double>::quiet_NaN(), -std::numeric_limits<double>::quiet_NaN(),
                           std::nan("7")};
    std::vector<std::pair<double, double>> pairs = {{inf, -inf}, {0.0, inf}, {inf, 2.0}};
    for (double x : nans) {
        for (double y : nans) pairs.emplace_back(x, y);
        pairs.emplace_back(x, 1.0);
        pairs.emplace_back(1.0, x);
    }
    for (NumberOp op : {NumberOp::kAdd, NumberOp::kSubtract, NumberOp::kModulo, NumberOp::kMultiply, NumberOp::kDivide}) {
        for (const auto& [x, y] : pairs) {
            double a = x;
            if (!ApplyFloatOp(op, a, y) || !std::isnan(a)) continue;
            EXPECT_EQ(std::bit_cast<std::uint64_t>(a), std::bit_cast<std::uint64_t>(kOperationNaN))
                << static_cast<int>(op) << " " << x << " " << y;
        }
    }
}

// The operand as a script writes it: negative numbers through the unary minus.
std::string Written(const NumberOperand& n) {
    std::string digits;
    if (n.type == kTypeInteger && n.i == INT_MIN) return "(-2147483647 - 1)";
    AppendNumberText(digits, n);
    if (n.type == kTypeFloat && digits.find('.') == std::string::npos) digits += ".0";
    return digits[0] == '-' ? "(-" + digits.substr(1) + ")" : digits;
}

TEST(NumberOperatorsTest, TheReadingAndTheRegionsGiveTheOperatorsMeaning) {
    const std::vector<NumberOperand> operands = {Int(0),       Int(1),   Int(-1),   Int(7),    Int(-7),
                                                 Int(INT_MAX), Int(INT_MIN), Flt(2.5), Flt(-0.5), Flt(0.0)};
    const struct {
        NumberOp op;
        const char* word;
    } ops[] = {{NumberOp::kAdd, "+"}, {NumberOp::kSubtract, "-"}, {NumberOp::kModulo, "Mod"},
               {NumberOp::kMultiply, "*"}, {NumberOp::kDivide, "/"}};
    for (const bool replay : {false, true}) {  // compiled regions off, then on
        std::uint64_t compiled = 0;
        for (const auto& op : ops) {
            for (const NumberOperand& a : operands) {
                for (const NumberOperand& b : operands) {
                    NumberOperand expected = a;
                    const bool ok = ApplyNumberOp(op.op, expected, b);
                    std::string text;
                    AppendNumberText(text, expected);
                    const std::string expression = Written(a) + " " + op.word + " " + Written(b);
                    // Assigned in a loop, so that it is compiled where regions are on; a String takes
                    // the result's own text. Alone it is evaluated as two operands and an operator;
                    // times 1 (which changes no value) on either side, as two operators on three
                    // operands; times 1 twice, as typed code. Where it divides by zero each form
                    // runs alone, so that each one's report is seen.
                    const std::string forms[] = {expression, "(" + expression + ") * 1", "1 * (" + expression + ")",
                                                 "(" + expression + ") * 1 * 1"};
                    std::vector<std::string> scripts;
                    if (ok) {
                        std::string body;
                        std::string prints;
                        for (std::size_t k = 0; k < std::size(forms); ++k) {
                            body += "r" + std::to_string(k) + " = " + forms[k] + " : ";
                            prints += " : Print r" + std::to_string(k);
                        }
                        scripts.push_back("Integer k : String r0, r1, r2, r3 : For k = 1 To 2 : " + body + "Next" + prints);
                    } else {
                        for (const std::string& form : forms)
                            scripts.push_back("Integer k : String r0 : For k = 1 To 2 : r0 = " + form + " : Next : Print r0");
                    }
                    const std::string printed = text + " " + text + " " + text + " " + text + " ";
                    for (const std::string& script : scripts) {
                        PrintingHarness h;
                        h.parser.compiledRegions = replay;
                        EXPECT_EQ(h.Run(script), ok ? printed : RunErrorPane(" Runtime Error : Divide By ZERO."))
                            << script << (replay ? " compiled" : "");
                        compiled += h.parser.CompiledStatements();
                    }
                }
            }
        }
        EXPECT_EQ(compiled > 0, replay);
    }
}

}  // namespace

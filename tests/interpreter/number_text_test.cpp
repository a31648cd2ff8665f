#include "base/number_text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace {

struct NumberCase {
    double value;
    const char* text;
};

TEST(NumberTextTest, FormatNumberTrimmed) {
    const NumberCase cases[] = {
        {1.23456789, "1.23457"}, {-0.000000000001, "-0"}, {-0.0, "-0"},
        {-1234.56789012, "-1234.56789012"},  // negatives take nine decimals
        {0.0001, "0.0001"},                  // not below the limit: five decimals
        {0.999999, "1"},                     // rounded before trimming
    };
    for (const NumberCase& c : cases) EXPECT_EQ(FormatNumberTrimmed(c.value), c.text) << c.value;
}

struct GroupCase {
    const char* in;
    int comma;
    const char* out;
};

TEST(NumberTextTest, GroupDigits) {
    const GroupCase cases[] = {
        {"1234567", 0, "1 234 567"},
        {"123456", 0, "123 456"},
        {"1234567", 1, "1,234,567"},
        {"1000", 0, "1 000"},
        {"1234567.891234", 1, "1,234,567.891234"},  // the part after the point stays as it is
        {"-1234567", 0, "-1 234 567"},              // a sign stays in front, ungrouped
    };
    for (const GroupCase& c : cases) {
        std::string text = c.in;
        std::string& result = GroupDigits(text, c.comma);
        EXPECT_EQ(&result, &text);
        EXPECT_EQ(text, c.out) << '"' << c.in << '"';
    }
}

struct BitsCase {
    std::vector<unsigned char> bits;
    int n;
    std::uint32_t value;
};

TEST(NumberTextTest, BitsToInteger) {
    std::vector<unsigned char> thirtyThree(33, 1);
    std::vector<unsigned char> highOnly(33, 0);
    highOnly[0] = 1;  // beyond the 32nd byte from the end: counts for nothing
    const BitsCase cases[] = {
        {{1, 0, 1}, 3, 5u},
        {{1, 0, 1, 1}, 2, 2u},            // only the first n bytes
        {std::vector<unsigned char>(32, 1), 32, 0xFFFFFFFFu},
        {thirtyThree, 33, 0xFFFFFFFFu},
        {highOnly, 33, 0u},
    };
    for (const BitsCase& c : cases) EXPECT_EQ(BitsToInteger(c.bits.data(), c.n), c.value) << c.n;
}

struct DecimalCase {
    const char* text;
    double value;
};

TEST(NumberTextTest, DecimalTextToDoubleReadsTheLeadingNumber) {
    const DecimalCase cases[] = {
        {"3.25", 3.25}, {"  -2", -2}, {"+.5", 0.5}, {"7.", 7}, {"1e3", 1000}, {"1E-2x", 0.01},
        {"12abc", 12}, {"1e", 1}, {"1e+", 1}, {"abc", 0}, {"", 0}, {".", 0}, {"-", 0},
        {"0x10", 0}, {"inf", 0}, {"nan", 0}, {"1.2.3", 1.2}, {"00012", 12},
    };
    for (const DecimalCase& c : cases) EXPECT_EQ(DecimalTextToDouble(c.text), c.value) << '"' << c.text << '"';
    EXPECT_EQ(DecimalTextToDouble("1e400"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(DecimalTextToDouble("-1e400"), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(DecimalTextToDouble("1e-400"), 0.0);
}

}  // namespace

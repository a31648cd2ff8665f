#include "platform/cp1256.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Mapping {
    unsigned char byte;
    char32_t codePoint;
    std::string utf8;
};

// Entries of the Windows-1256 definition, with their UTF-8 spelled out by hand.
const std::vector<Mapping> kKnown = {
    {0x41, U'A', "A"},
    {0x80, 0x20AC, "\xE2\x82\xAC"},  // EURO SIGN
    {0x81, 0x067E, "\xD9\xBE"},      // PEH
    {0xA1, 0x060C, "\xD8\x8C"},      // ARABIC COMMA
    {0xC7, 0x0627, "\xD8\xA7"},      // ALEF
    {0xDC, 0x0640, "\xD9\x80"},      // TATWEEL
    {0xE1, 0x0644, "\xD9\x84"},      // LAM
    {0xFF, 0x06D2, "\xDB\x92"},      // YEH BARREE
};

TEST(Cp1256Test, KnownMappingsBothWays) {
    for (const Mapping& m : kKnown) {
        const std::string byte(1, static_cast<char>(m.byte));
        EXPECT_EQ(cp1256::ToCodePoint(m.byte), m.codePoint) << int(m.byte);
        EXPECT_EQ(static_cast<unsigned char>(cp1256::FromCodePoint(m.codePoint)), m.byte) << int(m.byte);
        EXPECT_EQ(cp1256::ToUtf8(byte), m.utf8) << int(m.byte);
        EXPECT_EQ(cp1256::FromUtf8(m.utf8), byte) << int(m.byte);
    }
}

TEST(Cp1256Test, EveryByteRoundTripsThroughUtf8) {
    std::string all;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
    const std::string utf8 = cp1256::ToUtf8(all);
    EXPECT_TRUE(cp1256::IsValidUtf8(utf8));
    EXPECT_EQ(cp1256::FromUtf8(utf8), all);
    for (int b = 0; b < 256; ++b) {
        EXPECT_EQ(static_cast<unsigned char>(cp1256::FromCodePoint(cp1256::ToCodePoint(static_cast<unsigned char>(b)))), b);
    }
}

struct Utf8Case {
    std::string utf8;
    std::string cp1256;
    bool valid;
};

TEST(Cp1256Test, Utf8OutsideTheCodePageOrBrokenBecomesQuestionMarks) {
    const std::vector<Utf8Case> cases = {
        {"\xCE\xA9", "?", true},                   // GREEK CAPITAL OMEGA: not in the code page
        {"\xF0\x9F\x98\x80", "?", true},           // an emoji: one character, one "?"
        {"\xE2\x82\xAC" "5", "\x80" "5", true},
        {"a\x80" "b", "a?b", false},               // a stray continuation byte
        {"\xC3", "?", false},                       // cut short at the end
        {"\xED\xA0\x80", "???", false},            // a surrogate
        {"\xF4\x90\x80\x80", "????", false},       // above U+10FFFF
        {"\xD8\xA7\xD8", "\xC7?", false},
    };
    for (const Utf8Case& c : cases) {
        EXPECT_EQ(cp1256::FromUtf8(c.utf8), c.cp1256) << c.utf8;
        EXPECT_EQ(cp1256::IsValidUtf8(c.utf8), c.valid) << c.utf8;
    }
}

}  // namespace

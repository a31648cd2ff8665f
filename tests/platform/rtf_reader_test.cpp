#include "platform/rtf_reader.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

struct ExtractCase {
    const char* what;
    std::string rtf;
    std::string text;
};

std::string Extract(const std::string& rtf) {
    std::string text;
    std::string error;
    EXPECT_TRUE(rtf::ExtractPlainText(rtf, text, error)) << rtf << ": " << error;
    EXPECT_EQ(error, "");
    return text;
}

TEST(RtfReaderTest, ExtractsTheTextInTheScriptCodePage) {
    const std::vector<ExtractCase> cases = {
        {"par with source CR LF", "{\\rtf1 a\\par\r\nb\\par\r\n}", "a\nb\n"},
        {"line and tab", "{\\rtf1 a\\line b\\tab c}", "a\nb\tc"},
        {"source line ends are not text", "{\\rtf1 a\r\nb\rc\nd}", "abcd"},
        {"backslash before a line end is a par", "{\\rtf1 a\\\nb\\\r\nc}", "a\nb\nc"},
        {"escaped specials keep the following space", "{\\rtf1 \\\\ \\{ \\}}", "\\ { }"},
        {"non-breaking space and hyphens", "{\\rtf1 a\\~b\\_c\\-d}", "a\xA0" "b-cd"},
        {"bad hex escape drops the escape only", "{\\rtf1 \\'zz}", "zz"},
        {"1256 as is", "{\\rtf1\\ansi\\ansicpg1256 \\'e1\\'C7\xE1}", "\xE1\xC7\xE1"},
        // 1252: euro and e acute exist in 1256; C cedilla and S caron do not; 0x81 is unused.
        {"1252 converted", "{\\rtf1\\ansi\\ansicpg1252 \\'80\\'e9\\'c7\\'8a\\'81\\'96\\'9c}", "\x80\xE9???\x96\x9C"},
        {"one fallback by default", "{\\rtf1 \\u1575?x}", "\xC7x"},
        {"fallback as hex escape", "{\\rtf1\\ansicpg1256 \\u8364\\'80x}", "\x80x"},
        {"surrogate pair is one character", "{\\rtf1 \\u-10179?\\u-8704?x}", "?x"},
        {"fonttbl", "{\\rtf1{\\fonttbl{\\f0 Arial;}}Hi}", "Hi"},
        {"starred unknown destination", "{\\rtf1{\\*\\whatever {nested} text}Hi}", "Hi"},
        {"field keeps its result", "{\\rtf1{\\field{\\*\\fldinst HYPERLINK x}{\\fldrslt shown}}}", "shown"},
        {"binary data", "{\\rtf1 a\\bin3 x}yb}", "ab"},
        {"binary longer than the document", "{\\rtf1 a\\bin999 xyz", "a"},
        {"skipped groups set no code page", "{\\rtf1\\ansicpg1256{\\*\\x\\ansicpg1252}\\'c7}", "\xC7"},
        {"nested groups", "{\\rtf1 a{b{c}d}e}", "abcde"},
        {"groups left open", "{\\rtf1 a{b", "ab"},
    };
    for (const ExtractCase& c : cases) EXPECT_EQ(Extract(c.rtf), c.text) << c.what;
}

TEST(RtfReaderTest, RefusesNonRtfAndTooDeepNestingWithoutTouchingTheOutput) {
    const std::string limit = std::string("{\\rtf1") + std::string(rtf::kMaxGroupDepth - 1, '{') + "x";
    EXPECT_EQ(Extract(limit), "x");
    const std::vector<std::string> bad = {"hello", "", " {\\rtf1 x}", "{\\rt", limit + "{"};
    for (const std::string& input : bad) {
        std::string text = "unchanged";
        std::string error;
        EXPECT_FALSE(rtf::ExtractPlainText(input, text, error)) << input.substr(0, 20);
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(text, "unchanged");
    }
}

const std::string kHeader = "{\\rtf1\\ansi\\ansicpg1256\\deff0{\\fonttbl{\\f0\\fmodern Courier New;}}\\f0\\fs20 ";

TEST(RtfWriterTest, RandomTextsWithoutNulRoundTrip) {
    std::mt19937 random(20240601);
    std::uniform_int_distribution<int> length(0, 300);
    std::uniform_int_distribution<int> byte(1, 255);
    std::uniform_int_distribution<int> special(0, 9);
    const std::string specials = "\\{}\n\t\r ?'u";
    for (int round = 0; round < 3000; ++round) {
        std::string text;
        const int n = length(random);
        for (int i = 0; i < n; ++i) {
            // Bias toward the bytes that need escaping so that they meet in every order.
            const bool pickSpecial = special(random) < 4;
            text.push_back(pickSpecial ? specials[static_cast<std::size_t>(byte(random)) % specials.size()]
                                       : static_cast<char>(byte(random)));
        }
        const std::string back = Extract(rtf::WritePlainTextDocument(text));
        ASSERT_EQ(back, text) << "round " << round;
    }
}

}  // namespace

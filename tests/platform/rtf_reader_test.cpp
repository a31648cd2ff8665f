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

TEST(RtfReaderTest, ParagraphsLinesTabsAndSourceLineEnds) {
    const std::vector<ExtractCase> cases = {
        {"par", "{\\rtf1 Hello\\par World}", "Hello\nWorld"},
        {"par with source CR LF", "{\\rtf1 a\\par\r\nb\\par\r\n}", "a\nb\n"},
        {"line", "{\\rtf1 a\\line b}", "a\nb"},
        {"tab", "{\\rtf1 a\\tab b}", "a\tb"},
        {"source line ends are not text", "{\\rtf1 a\r\nb\rc\nd}", "abcd"},
        {"backslash before a line end is a par", "{\\rtf1 a\\\nb\\\r\nc}", "a\nb\nc"},
        {"empty document", "{\\rtf1}", ""},
    };
    for (const ExtractCase& c : cases) EXPECT_EQ(Extract(c.rtf), c.text) << c.what;
}

TEST(RtfReaderTest, ControlSymbolsAndEscapes) {
    const std::vector<ExtractCase> cases = {
        {"escaped specials keep the following space", "{\\rtf1 \\\\ \\{ \\}}", "\\ { }"},
        {"non-breaking space", "{\\rtf1 a\\~b}", "a\xA0" "b"},
        {"non-breaking hyphen", "{\\rtf1 a\\_b}", "a-b"},
        {"optional hyphen", "{\\rtf1 a\\-b}", "ab"},
        {"unknown symbol", "{\\rtf1 a\\|b}", "ab"},
        {"bad hex escape drops the escape only", "{\\rtf1 \\'zz}", "zz"},
        {"hex escape cut by the end", "{\\rtf1 a\\'4", "a"},
        {"backslash at the very end", "{\\rtf1 a\\", "a"},
    };
    for (const ExtractCase& c : cases) EXPECT_EQ(Extract(c.rtf), c.text) << c.what;
}

TEST(RtfReaderTest, HexBytesInTheDocumentCodePage) {
    const std::vector<ExtractCase> cases = {
        {"1256 as is", "{\\rtf1\\ansi\\ansicpg1256 \\'e1\\'c7}", "\xE1\xC7"},
        {"upper-case hex", "{\\rtf1\\ansi\\ansicpg1256 \\'E1}", "\xE1"},
        {"1256 raw bytes", "{\\rtf1\\ansi\\ansicpg1256 \xE1\xC7}", "\xE1\xC7"},
        // 1252: euro and e acute exist in 1256; C cedilla and S caron do not; 0x81 is unused.
        {"1252 converted", "{\\rtf1\\ansi\\ansicpg1252 \\'80\\'e9\\'c7\\'8a\\'81\\'96\\'9c}", "\x80\xE9???\x96\x9C"},
        {"no code page: as is", "{\\rtf1\\ansi \\'c7}", "\xC7"},
        {"other code page: as is", "{\\rtf1\\ansi\\ansicpg1251 \\'c7}", "\xC7"},
        {"ascii through any code page", "{\\rtf1\\ansicpg1252 \\'41}", "A"},
    };
    for (const ExtractCase& c : cases) EXPECT_EQ(Extract(c.rtf), c.text) << c.what;
}

TEST(RtfReaderTest, UnicodeWithFallbackSkipped) {
    const std::vector<ExtractCase> cases = {
        {"one fallback by default", "{\\rtf1 \\u1575?x}", "\xC7x"},
        {"uc2", "{\\rtf1\\uc2 \\u1575??x}", "\xC7x"},
        {"uc0", "{\\rtf1\\uc0 \\u1575 x}", "\xC7x"},
        {"fallback as hex escape", "{\\rtf1\\ansicpg1256 \\u8364\\'80x}", "\x80x"},
        {"fallback as control symbol", "{\\rtf1 \\u1575\\{x}", "\xC7x"},
        {"negative value", "{\\rtf1 \\u-400z}", "?"},  // U+FE70 is not in the code page
        {"not in the code page", "{\\rtf1 \\u937?}", "?"},
        {"surrogate pair is one character", "{\\rtf1 \\u-10179?\\u-8704?x}", "?x"},
        {"lone low surrogate", "{\\rtf1 \\u-8704?x}", "?x"},
        {"group end stops the fallback", "{\\rtf1 \\u1575{x}}", "\xC7x"},
        {"source line ends do not count", "{\\rtf1 \\u1575\r\n?x}", "\xC7x"},
        {"uc is scoped to its group", "{\\rtf1{\\uc2 \\u1575??}\\u1575?x}", "\xC7\xC7x"},
        {"u without a number", "{\\rtf1 \\u x}", "x"},
    };
    for (const ExtractCase& c : cases) EXPECT_EQ(Extract(c.rtf), c.text) << c.what;
}

TEST(RtfReaderTest, SkippedDestinations) {
    const std::vector<ExtractCase> cases = {
        {"fonttbl", "{\\rtf1{\\fonttbl{\\f0 Arial;}}Hi}", "Hi"},
        {"colortbl", "{\\rtf1{\\colortbl;\\red0\\green0\\blue0;}Hi}", "Hi"},
        {"stylesheet", "{\\rtf1{\\stylesheet{\\s0 Normal;}}Hi}", "Hi"},
        {"info", "{\\rtf1{\\info{\\title T}{\\author A}}Hi}", "Hi"},
        {"pict", "{\\rtf1 a{\\pict\\wmetafile8 0a0b0c}b}", "ab"},
        {"object", "{\\rtf1 a{\\object{\\objdata 01}{\\result x}}b}", "ab"},
        {"header and footer", "{\\rtf1{\\header H}{\\footerl F}Hi}", "Hi"},
        {"starred group", "{\\rtf1{\\*\\generator Riched20 10.0;}Hi}", "Hi"},
        {"starred unknown destination", "{\\rtf1{\\*\\whatever {nested} text}Hi}", "Hi"},
        {"field keeps its result", "{\\rtf1{\\field{\\*\\fldinst HYPERLINK x}{\\fldrslt shown}}}", "shown"},
        {"binary data", "{\\rtf1 a\\bin3 x}yb}", "ab"},
        {"binary longer than the document", "{\\rtf1 a\\bin999 xyz", "a"},
        {"skipped groups set no code page", "{\\rtf1\\ansicpg1256{\\*\\x\\ansicpg1252}\\'c7}", "\xC7"},
    };
    for (const ExtractCase& c : cases) EXPECT_EQ(Extract(c.rtf), c.text) << c.what;
}

TEST(RtfReaderTest, GroupsAndUnbalancedBraces) {
    const std::vector<ExtractCase> cases = {
        {"nested groups", "{\\rtf1 a{b{c}d}e}", "abcde"},
        {"text after the document", "{\\rtf1 a}b", "a"},
        {"extra closing brace", "{\\rtf1 a}}", "a"},
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

// The lexer: words, token codes, comments, the history, raw reading of string literals, escapes,
// and the pause and stop flags.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "interpreter/test_parser.h"

namespace {

using Tokens = std::vector<ScannedToken>;

constexpr int kAssign = 0, kQuote = 1, kCommentClose = 3, kCloseParen = 4, kOpenParen = 5,
              kColon = 6, kSemicolon = 7, kLineComment = 10, kDot = 12, kInteger = 14, kOpenBracket = 18,
              kCloseBracket = 19, kMinus = 23, kFor = 26, kLess = 34, kLessEqual = 36, kGreaterEqual = 37,
              kNotEqual = 38, kApostrophe = 81;
constexpr int N = token::kNumber, U = token::kUnknown;

std::string Unclosed() { return " Syntax Error : \"/*\" without \"*/\"."; }
std::string TooLong() { return "ERROR : Too Long . The Highlighted word is the limit."; }

struct ScanCase {
    const char* name;
    std::string text;
    Tokens expected;
};

class LexerScanTest : public ::testing::TestWithParam<ScanCase> {};

TEST_P(LexerScanTest, ReadsWordsAndCodes) {
    ScriptHarness h;
    EXPECT_EQ(h.Scan(GetParam().text), GetParam().expected) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Words, LexerScanTest,
    ::testing::Values(
        ScanCase{"less_equal", "a<=b", {{U, "a"}, {kLessEqual, "<="}, {U, "b"}}},
        ScanCase{"double_equals_is_two_words", "a==b", {{U, "a"}, {kAssign, "="}, {kAssign, "="}, {U, "b"}}},
        ScanCase{"not_equal", "x<>y", {{U, "x"}, {kNotEqual, "<>"}, {U, "y"}}},
        ScanCase{"greater_equal", "p>=q", {{U, "p"}, {kGreaterEqual, ">="}, {U, "q"}}},
        ScanCase{"equals_less_not_joined", "=<", {{kAssign, "="}, {kLess, "<"}}},
        ScanCase{"member_dot", "a.b", {{U, "a"}, {kDot, "."}, {U, "b"}}},
        ScanCase{"decimal", "3.14", {{N, "3.14"}}},
        ScanCase{"leading_point", ".5", {{N, ".5"}}},
        ScanCase{"trailing_point", "5.", {{N, "5."}}},
        ScanCase{"many_points", "1.2.3", {{N, "1.2.3"}}},
        ScanCase{"two_points", "..", {{N, ".."}}},
        ScanCase{"exponent_is_a_name", "1e5", {{U, "1e5"}}},
        ScanCase{"digits_then_letters", "12abc", {{U, "12abc"}}},
        ScanCase{"digits_letters_point", "12abc.5", {{U, "12abc"}, {N, ".5"}}},
        ScanCase{"negative_is_minus_then_number", "-5", {{kMinus, "-"}, {N, "5"}}},
        ScanCase{"dot_alone_is_the_keyword", ".", {{kDot, "."}}},
        ScanCase{"case_sensitive", "for For FOR", {{U, "for"}, {kFor, "For"}, {U, "FOR"}}},
        ScanCase{"keyword", "Integer", {{kInteger, "Integer"}}},
        ScanCase{"nested_block_comment", "/* a /* b */ c */ x", {{U, "x"}}},
        ScanCase{"line_comment_inside_block", "/* a // b */ x", {{U, "x"}}},
        ScanCase{"line_comment", "a // If b\nc", {{U, "a"}, {U, "c"}}},
        ScanCase{"line_comment_at_end", "a //", {{U, "a"}}},
        ScanCase{"close_comment_alone", "*/", {{kCommentClose, "*/"}}},
        ScanCase{"whitespace_kinds", " \ta\r\n\tb\r", {{U, "a"}, {U, "b"}}},
        ScanCase{"separators", "a;b:c", {{U, "a"}, {kSemicolon, ";"}, {U, "b"}, {kColon, ":"}, {U, "c"}}},
        ScanCase{"brackets", "x[1]", {{U, "x"}, {kOpenBracket, "["}, {N, "1"}, {kCloseBracket, "]"}}},
        ScanCase{"call_parens", "f(2)", {{U, "f"}, {kOpenParen, "("}, {N, "2"}, {kCloseParen, ")"}}},
        ScanCase{"quotes", "\"'", {{kQuote, "\""}, {kApostrophe, "'"}}},
        ScanCase{"high_bytes_are_word_bytes", "\xC7\xE1\xD9", {{U, "\xC7\xE1\xD9"}}},
        ScanCase{"tatweel_only_word_is_empty_number", "\xDC\xDC x", {{N, ""}, {U, "x"}}},
        ScanCase{"tatweel_removed_before_lookup", "Fo\xDCr", {{kFor, "For"}}},
        ScanCase{"nul_ends_the_scan", std::string("a\0b", 3), {{U, "a"}}},
        ScanCase{"only_whitespace", "  \n ", {}},
        ScanCase{"word_of_299_bytes", std::string(299, 'w'), {{U, std::string(299, 'w')}}},
        ScanCase{"long_word_inside_comment", "/* " + std::string(400, 'w') + " */ x", {{U, "x"}}}),
    [](const ::testing::TestParamInfo<ScanCase>& info) { return std::string(info.param.name); });

TEST(LexerRawTest, RawModeReturnsLineCommentAndReadsItsLineAsTokens) {
    ScriptHarness h;
    const Tokens expected = {{U, "a"}, {kLineComment, "//"}, {U, "If"}, {U, "b"}, {U, "c"}};
    Tokens got = h.Scan("a // If b\nc", /*raw=*/1);
    // "If" is the keyword 30 in raw mode too: only the comment's own handling changes.
    ASSERT_EQ(got.size(), expected.size());
    EXPECT_EQ(got[1], expected[1]);
    EXPECT_EQ(got[2].code, 30);
    EXPECT_EQ(got[4], expected[4]);
}

TEST(LexerRawTest, RawModeStillSkipsBlockComments) {
    ScriptHarness h;
    EXPECT_EQ(h.Scan("a /* If */ b", 1), (Tokens{{U, "a"}, {U, "b"}}));
}

TEST(LexerLookupTest, KeywordsBeatNumbersAndVariablesAndExtensionWordsComeLast) {
    ScriptHarness h;
    h.parser.objectKeywords = {{"Net", 171}};
    h.parser.objectVariables = {{"n1", 4}};
    h.parser.PrepareScan("For 12 x Net n1 zz");
    Value v;
    v.name = "For";
    v.SetInteger(1);
    ASSERT_TRUE(h.parser.AppendVariable(v));
    v.name = "12";
    ASSERT_TRUE(h.parser.AppendVariable(v));
    v.name = "x";
    ASSERT_TRUE(h.parser.AppendVariable(v));

    EXPECT_EQ(h.parser.ReadToken(), kFor);
    EXPECT_EQ(h.parser.ReadToken(), N);
    EXPECT_EQ(h.parser.ReadToken(), token::kVariable);
    EXPECT_EQ(h.parser.variableIndex, 2);
    EXPECT_EQ(h.parser.ReadToken(), token::kObjectKeyword);
    EXPECT_EQ(h.parser.objectKeywordId, 171);
    EXPECT_EQ(h.parser.variableIndex, -1);
    EXPECT_EQ(h.parser.ReadToken(), token::kObjectVariable);
    EXPECT_EQ(h.parser.objectVariableIndex, 4);
    EXPECT_EQ(h.parser.ReadToken(), token::kUnknown);
    EXPECT_EQ(h.parser.objectVariableIndex, -1);
}

TEST(LexerLookupTest, AWordScannedAgainSeesTheCurrentVariables) {
    ScriptHarness h;
    h.parser.PrepareScan("x x");
    EXPECT_EQ(h.parser.ReadToken(), token::kUnknown);
    Value v;
    v.name = "x";
    v.SetFloat(1.5);
    ASSERT_TRUE(h.parser.AppendVariable(v));
    h.parser.position = 0;
    h.parser.tokenCount = 0;
    EXPECT_EQ(h.parser.ReadToken(), token::kVariable);  // the same position, now a variable
    h.parser.CutVariables(0);
    h.parser.position = 0;
    EXPECT_EQ(h.parser.ReadToken(), token::kUnknown);
}

// The scan cache is used for the script text only; any other text is read afresh. Both
// readings, and a second reading from the cache, must give the same tokens and history.
TEST(LexerCacheTest, CachedAndUncachedReadingsAgree) {
    const std::string text =
        "Integer i : Float x\nFor i = 1 To 10 Step 2 // c\n x = x + i * 2.5 - .5 ^ 1.2.3\n"
        "/* a /* b */ c */ If x<=3 And y<>z Then s = 'q' Endif 12abc 1e5 \xDC\xDC Fo\xDCr a.b";
    for (int raw = 0; raw <= 1; ++raw) {
        ScriptHarness h;
        TestParser& p = h.parser;
        std::vector<std::pair<ScannedToken, int>> readings[3];
        for (int pass = 0; pass < 3; ++pass) {
            p.PrepareScan(text);
            const std::string copy = text + std::string(100, '\0');
            const char* source = pass == 2 ? copy.data() : p.scriptText.data();
            for (;;) {
                const int code = p.NextToken(source, p.textLength, raw);
                if (code == token::kEnd) break;
                readings[pass].push_back({{code, p.word}, p.LastTokenStart() * 1000 + p.LastTokenLength()});
            }
        }
        EXPECT_EQ(readings[0], readings[1]) << raw;
        EXPECT_EQ(readings[0], readings[2]) << raw;
        EXPECT_GT(readings[0].size(), 30u);
    }
}

// A loop pass or a call reads text that the cache already holds (the lexer's short path): it must
// give what the first reading gave - codes, words, history, the variable found - for every kind
// of word, including words after a comment, stripped words and words of changing length.
TEST(LexerCacheTest, ReadingCachedTextAgainAgreesWithTheFirstReading) {
    const std::string text =
        "Integer i : Float x\nFor i = 1 To 10 Step 2 // c\n x = x + i * 2.5 - .5 ^ 1.2.3 Next\n"
        "/* a /* b */ c */ If x<=3 And y<>z Then s = 'q' Endif 12abc 1e5 \xDC\xDC Fo\xDCr a.b x";
    struct Reading {
        ScannedToken token;
        int history;
        int variable;
        bool operator==(const Reading& other) const {
            return token == other.token && history == other.history && variable == other.variable;
        }
    };
    for (int raw = 0; raw <= 1; ++raw) {
        ScriptHarness h;
        TestParser& p = h.parser;
        p.PrepareScan(text);
        Value x;
        x.name = "x";
        x.SetFloat(1.5);
        ASSERT_TRUE(p.AppendVariable(x));
        ScanMark start;
        p.SavePosition(start);
        std::vector<Reading> readings[3];
        for (int pass = 0; pass < 3; ++pass) {
            p.RestorePosition(start);
            for (;;) {
                const int code = p.ReadToken(raw);
                if (code == token::kEnd) break;
                readings[pass].push_back(
                    {{code, p.word}, p.LastTokenStart() * 1000 + p.LastTokenLength(), p.variableIndex});
            }
        }
        EXPECT_EQ(readings[0], readings[1]) << raw;
        EXPECT_EQ(readings[0], readings[2]) << raw;
        EXPECT_GT(readings[0].size(), 30u);
    }
}

TEST(LexerHistoryTest, RecordsStartAndLengthAndStepsBack) {
    ScriptHarness h;
    TestParser& p = h.parser;
    p.PrepareScan("ab  <=\n  cde");
    ASSERT_EQ(p.ReadToken(), U);
    ScanMark mark;
    p.SavePosition(mark);
    EXPECT_EQ(mark.position, 2);
    EXPECT_EQ(mark.tokenCount, 1);
    ASSERT_EQ(p.ReadToken(), kLessEqual);
    ASSERT_EQ(p.ReadToken(), U);
    EXPECT_EQ(p.tokenCount, 3);
    EXPECT_EQ((std::vector<int>{p.tokenStart[0], p.tokenStart[1], p.tokenStart[2]}), (std::vector<int>{0, 4, 9}));
    EXPECT_EQ((std::vector<int>{p.tokenLength[0], p.tokenLength[1], p.tokenLength[2]}), (std::vector<int>{2, 2, 3}));
    EXPECT_EQ(p.LastTokenStart(), 9);
    EXPECT_EQ(p.LastTokenLength(), 3);

    p.UngetToken();
    EXPECT_EQ(p.tokenCount, 2);
    EXPECT_EQ(p.position, 9);
    EXPECT_EQ(p.ReadToken(), U);
    EXPECT_EQ(p.word, "cde");

    p.RestorePosition(mark);
    EXPECT_EQ(p.position, 2);
    EXPECT_EQ(p.tokenCount, 1);
    EXPECT_EQ(p.ReadToken(), kLessEqual);

    p.tokenCount = 0;
    p.UngetToken();  // never below the first entry
    EXPECT_EQ(p.tokenCount, 0);
    EXPECT_EQ(p.position, 0);
}

TEST(LexerHistoryTest, EndOfTextLeavesTheHistoryAndAnEmptyWordIsRecorded) {
    ScriptHarness h;
    TestParser& p = h.parser;
    p.PrepareScan(std::string("a \0 b", 5));
    ASSERT_EQ(p.ReadToken(), U);
    EXPECT_EQ(p.ReadToken(), token::kEnd);  // the NUL: an empty word
    EXPECT_EQ(p.tokenCount, 2);
    EXPECT_EQ(p.LastTokenStart(), 2);
    EXPECT_EQ(p.LastTokenLength(), 0);
    p.PrepareScan("a   ");
    ASSERT_EQ(p.ReadToken(), U);
    EXPECT_EQ(p.ReadToken(), token::kEnd);  // only whitespace: nothing recorded
    EXPECT_EQ(p.tokenCount, 1);
    EXPECT_EQ(p.position, 4);
}

TEST(LexerHistoryTest, AFullHistoryStaysInBoundsAndKeepsTheLastToken) {
    ScriptHarness h;
    TestParser& p = h.parser;
    const int tokens = CTesselParser::kHistorySize + 50;
    std::string text;
    for (int i = 0; i < tokens; ++i) text += (i % 2 ? "b " : "a ");
    p.PrepareScan(text);
    int read = 0;
    while (p.ReadToken() != token::kEnd) {
        ++read;
        ASSERT_LE(p.tokenCount, CTesselParser::kHistoryLast);
        ASSERT_EQ(p.LastTokenStart(), 2 * (read - 1));  // always the token just read
    }
    EXPECT_EQ(read, tokens);
    EXPECT_EQ(p.tokenCount, CTesselParser::kHistoryLast);
    p.UngetToken();
    EXPECT_EQ(p.ReadToken(), U);
    EXPECT_EQ(p.word, "b");  // the last token again
}

TEST(LexerCommentTest, UnclosedCommentIsReportedOnItsOpenerAndGives167) {
    ScriptHarness h;
    h.parser.sleepScale = 0;
    TestParser& p = h.parser;
    p.PrepareScan("x /* abc");
    ASSERT_EQ(p.ReadToken(), U);
    EXPECT_EQ(p.ReadToken(), token::kUnclosedComment);
    EXPECT_EQ(h.view.Pane(), Unclosed());  // check pass: the pane shows the message
    EXPECT_EQ(p.errorText, Unclosed());
    EXPECT_EQ(p.runState, kEndedByError);
    EXPECT_EQ(p.execute, 0);
    EXPECT_EQ(h.view.Selections(), (std::vector<std::pair<int, int>>{{2, 2}}));
    EXPECT_EQ(p.tokenCount, 2);  // the history ends with the unclosed "/*"
    EXPECT_EQ(p.position, 4);
}

TEST(LexerCommentTest, EachUnclosedLevelReportsOnceInnermostFirst) {
    ScriptHarness h;
    h.parser.sleepScale = 0;
    TestParser& p = h.parser;
    p.PrepareScan("/* a /* b");
    EXPECT_EQ(p.ReadToken(), token::kUnclosedComment);
    EXPECT_EQ(h.view.Selections(), (std::vector<std::pair<int, int>>{{5, 2}, {0, 2}}));
    EXPECT_EQ(p.LastTokenStart(), 0);

    ScriptHarness deep;
    deep.parser.sleepScale = 0;
    std::string text;
    for (int i = 0; i < 2000; ++i) text += "/* ";  // no recursion, no repeated rescans
    deep.parser.PrepareScan(text);
    EXPECT_EQ(deep.parser.ReadToken(), token::kUnclosedComment);
    EXPECT_EQ(deep.view.Selections().size(), 2000u);
    EXPECT_EQ(deep.view.Selections().back(), (std::pair<int, int>{0, 2}));
}

TEST(LexerCommentTest, OnlyTheOuterLevelOfAPartlyClosedCommentIsReported) {
    ScriptHarness h;
    h.parser.sleepScale = 0;
    h.parser.PrepareScan("/* a /* b */ c");
    EXPECT_EQ(h.parser.ReadToken(), token::kUnclosedComment);
    EXPECT_EQ(h.view.Selections(), (std::vector<std::pair<int, int>>{{0, 2}}));
}

TEST(LexerCommentTest, InARunTheMessageBecomesTheErrorText) {
    ScriptHarness h;
    h.parser.sleepScale = 0;
    h.parser.PrepareScan("/* abc", /*executeFlag=*/1);
    EXPECT_EQ(h.parser.ReadToken(), token::kUnclosedComment);
    EXPECT_EQ(h.view.Pane(), "");
    EXPECT_EQ(h.parser.errorText, Unclosed());
    EXPECT_EQ(h.parser.runState, kEndedByError);
}

TEST(LexerLimitTest, AWordOf300BytesIsReportedAndEndsTheScan) {
    ScriptHarness h;
    TestParser& p = h.parser;
    p.PrepareScan("ok " + std::string(300, 'w') + " more");
    ASSERT_EQ(p.ReadToken(), U);
    EXPECT_EQ(p.ReadToken(), token::kEnd);
    EXPECT_EQ(h.view.Pane(), TooLong());
    EXPECT_EQ(p.errorText, TooLong());
    EXPECT_EQ(p.runState, kEndedByError);
    EXPECT_EQ(h.view.Selections(), (std::vector<std::pair<int, int>>{{3, 300}}));
}

TEST(LexerLimitTest, ALongNumberIsAWordLikeAnyOther) {
    ScriptHarness h;
    h.parser.PrepareScan(std::string(5000, '7'));
    EXPECT_EQ(h.parser.ReadToken(), token::kEnd);
    EXPECT_EQ(h.parser.errorText, TooLong());
}

// Text found by fuzzing: built-in values ("Ask") inside string literals whose arguments are
// literals again. Once the first error is reported nothing more is read, so the reading ends
// quickly (it used to rescan the text exponentially often) with that one error.
TEST(LexerLimitTest, AnErrorInsideALiteralEndsTheReading) {
    const std::string text =
        "\n"
        ".skA'+ks'+ks'g%Ask'\n"
        "Ask'Ask'\n"
        "\n"
        "Ask'Ask'\n"
        "Ask'Ask'A'+ksks'g%Ask'\n"
        "Ask'Ask'\n"
        "\n"
        "Ask'Ask'\n"
        "Ask'Ask'A'+ks'+ks/g%Ask'\n"
        "Ask'Ask'\n"
        "\n"
        "Ask'^Ask'\n"
        "Ask'Ask'\n"
        "\n"
        "Ask'Ask'\x86""\x9E""FS\x9B""\x93""\x9A""\x9C""\x98""\xD8""s\x8B""k'JileExists\n"
        "Ask'Ask'\n"
        "\n"
        "Ask'Ask'\x86""\x9E""FSellse\\\\\xFF""e";
    ScriptHarness h;
    TestParser& p = h.parser;
    p.PrepareScan(text);
    std::string literal;
    int reads = 0;
    for (int code = p.ReadToken(); code != token::kEnd && reads < 1000; code = p.ReadToken(), ++reads) {
        if (code == kQuote || code == kApostrophe) {
            if (p.ReadRawUntilToken(p.scriptText.data(), p.textLength, code, literal, 50000) != 1) break;
            p.ReadToken();
        }
    }
    EXPECT_LT(reads, 1000);
    EXPECT_EQ(p.runState, kEndedByError);
    EXPECT_EQ(h.view.Selections().size(), 1u);
}

struct RawCase {
    const char* name;
    std::string text;  // begins with the opening quote
    int closing;
    int limit;
    int result;
    std::string out;
};

class ReadRawTest : public ::testing::TestWithParam<RawCase> {};

TEST_P(ReadRawTest, CopiesTheTextAsTyped) {
    const RawCase& c = GetParam();
    ScriptHarness h;
    h.parser.sleepScale = 0;
    TestParser& p = h.parser;
    p.PrepareScan(c.text);
    ASSERT_EQ(p.ReadToken(), c.closing);
    std::string out = "stale";
    EXPECT_EQ(p.ReadRawUntilToken(p.scriptText.data(), p.textLength, c.closing, out, c.limit), c.result);
    if (c.result == 1) {
        EXPECT_EQ(out, c.out);
        EXPECT_EQ(p.ReadToken(), c.closing);  // put back: the caller reads the closing quote
    }
}

INSTANTIATE_TEST_SUITE_P(
    Literals, ReadRawTest,
    ::testing::Values(RawCase{"blanks_kept", "\"hello  world\" rest", kQuote, 50000, 1, "hello  world"},
                      RawCase{"empty", "\"\"", kQuote, 50000, 1, ""},
                      RawCase{"comment_kept", "\"a /* c */ b\"", kQuote, 50000, 1, "a /* c */ b"},
                      RawCase{"line_comment_hides_the_quote", "\"a // b\"\nc\"", kQuote, 50000, 1, "a // b\"\nc"},
                      RawCase{"apostrophe_with_quote_inside", "'a\"b'", kApostrophe, 50000, 1, "a\"b"},
                      RawCase{"unterminated", "\"abc def", kQuote, 50000, 0, ""},
                      RawCase{"over_the_limit", "\"abcdefgh\"", kQuote, 5, 2, ""},
                      RawCase{"words_and_blanks_counted", "\"ab cd\"", kQuote, 4, 2, ""},
                      RawCase{"raw_copy_over_the_limit", "\"ab      cd\"", kQuote, 6, 2, ""}),
    [](const ::testing::TestParamInfo<RawCase>& info) { return std::string(info.param.name); });

TEST(UnescapeTest, RewritesTheThreeEscapesInPlace) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"a\\tb", "a\tb"},         {"a\\nb", "a\r\nb"},   {"a\\rb", "a\r\nb"},
        {"a\\qb", "a\\qb"},        {"end\\", "end\\"},    {"\\\\n", "\\\r\n"},
        {"\\t\\t", "\t\t"},        {"", ""},              {"\\n\\r", "\r\n\r\n"},
    };
    for (const auto& [in, out] : cases) {
        std::string s = in;
        CTesselParser::UnescapeString(s);
        EXPECT_EQ(s, out) << in;
    }
}

TEST(CharClassTest, SetsIncludeTheirTerminatingNul) {
    for (unsigned char c : std::string("\r\n\t ")) EXPECT_TRUE(CTesselParser::IsWhitespaceChar(c));
    for (unsigned char c : std::string("\".~`!@#$%^&*()-=+|{}[];:'?/<>,\\")) EXPECT_TRUE(CTesselParser::IsDelimiterChar(c));
    EXPECT_TRUE(CTesselParser::IsWhitespaceChar(0));
    EXPECT_TRUE(CTesselParser::IsDelimiterChar(0));
    int delimiters = 0;
    for (int c = 1; c < 256; ++c) delimiters += CTesselParser::IsDelimiterChar(static_cast<unsigned char>(c));
    EXPECT_EQ(delimiters, 31);
    EXPECT_FALSE(CTesselParser::IsDelimiterChar('_'));
    EXPECT_FALSE(CTesselParser::IsWhitespaceChar(0xA0));
    EXPECT_TRUE(CTesselParser::IsNumberText("", 0));
    EXPECT_TRUE(CTesselParser::IsNumberText("-1.-", 4));
    EXPECT_FALSE(CTesselParser::IsNumberText("1e5", 3));
}

TEST(LexerFlagsTest, StopMakesEveryTokenTheEndAndSetsRunState1) {
    ScriptHarness h;
    h.parser.PrepareScan("a b c", 1);
    ASSERT_EQ(h.parser.ReadToken(), U);
    h.view.stopRequested = 1;
    EXPECT_EQ(h.parser.ReadToken(), token::kEnd);
    EXPECT_EQ(h.parser.runState, kStoppedByUser);
    EXPECT_EQ(h.parser.ReadToken(), token::kEnd);
    EXPECT_EQ(h.parser.tokenCount, 1);
}

TEST(LexerFlagsTest, AWordReadAgainFromTheCacheStillStopsTheScan) {
    ScriptHarness h;
    h.parser.PrepareScan("a+b", 1);
    ASSERT_EQ(h.parser.ReadToken(), U);
    ASSERT_EQ(h.parser.ReadToken(), 22);  // "+"
    h.parser.UngetToken();
    ASSERT_EQ(h.parser.ReadToken(), 22);  // read again, as an expression level does
    h.parser.UngetToken();
    h.view.stopRequested = 1;
    EXPECT_EQ(h.parser.ReadToken(), token::kEnd);
    EXPECT_EQ(h.parser.runState, kStoppedByUser);
    EXPECT_EQ(h.parser.tokenCount, 1);
}

TEST(LexerFlagsTest, PauseHoldsTheScanAndAStopDuringItActsAfterResume) {
    ScriptHarness h;
    h.parser.sleepScale = 0.01;  // 5 ms pause steps
    h.parser.PrepareScan("a b", 1);
    h.view.paused = 1;
    std::atomic<bool> returned{false};
    int code = 0;
    std::thread scanner([&] {
        code = h.parser.ReadToken();
        returned = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_FALSE(returned.load());
    h.view.stopRequested = 1;  // not looked at while paused
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_FALSE(returned.load());
    h.view.paused = 0;
    scanner.join();
    EXPECT_EQ(code, token::kEnd);
    EXPECT_EQ(h.parser.runState, kStoppedByUser);
}

// Requests a stop when the lexer looks up a given word, so a test can stop at a known token.
class StopAtWordParser : public TestParser {
public:
    StopAtWordParser(RecordingView* v, std::string stopWord) : TestParser(v), stopWord_(std::move(stopWord)), view_(v) {}
    int FindObjectKeyword(const char* w) override {
        if (stopWord_ == w) view_->stopRequested = 1;
        return TestParser::FindObjectKeyword(w);
    }

private:
    std::string stopWord_;
    RecordingView* view_;
};

TEST(LexerFlagsTest, AStopInsideACommentEndsItSilently) {
    RecordingView view;
    StopAtWordParser p(&view, "b");
    p.sleepScale = 0;
    p.PrepareScan("/* a b c */ x", 1);
    EXPECT_EQ(p.ReadToken(), token::kUnclosedComment);
    EXPECT_EQ(p.errorText, "");
    EXPECT_EQ(p.runState, kStoppedByUser);
    EXPECT_TRUE(view.Selections().empty());
    EXPECT_EQ(p.ReadToken(), token::kEnd);
}

}  // namespace

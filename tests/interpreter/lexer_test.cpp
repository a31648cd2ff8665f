// The lexer: words, token codes, comments, lookups, the scan cache, the history, errors and the
// stop flag.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "interpreter/test_parser.h"

namespace {

using Tokens = std::vector<ScannedToken>;

constexpr int kAssign = 0, kQuote = 1, kOpenBracket = 18, kCloseBracket = 19, kFor = 26, kLessEqual = 36,
              kGreaterEqual = 37, kApostrophe = 81;
constexpr int N = token::kNumber, U = token::kUnknown;

std::string Unclosed() { return " Syntax Error : \"/*\" without \"*/\"."; }
std::string TooLong() { return "ERROR : Too Long . The Highlighted word is the limit."; }

TEST(LexerScanTest, ReadsWordsAndCodes) {
    const std::pair<std::string, Tokens> cases[] = {
        {"a<=b", {{U, "a"}, {kLessEqual, "<="}, {U, "b"}}},
        {"a==b", {{U, "a"}, {kAssign, "="}, {kAssign, "="}, {U, "b"}}},
        {"p>=q", {{U, "p"}, {kGreaterEqual, ">="}, {U, "q"}}},
        {"1.2.3 .5", {{N, "1.2.3"}, {N, ".5"}}},
        {"1e5 12abc.5", {{U, "1e5"}, {U, "12abc"}, {N, ".5"}}},
        {"for For FOR", {{U, "for"}, {kFor, "For"}, {U, "FOR"}}},
        {"/* a /* b */ c */ x", {{U, "x"}}},
        {"a // If b\nc", {{U, "a"}, {U, "c"}}},
        {" \ta\r\n\tb\r", {{U, "a"}, {U, "b"}}},
        {"x[1]", {{U, "x"}, {kOpenBracket, "["}, {N, "1"}, {kCloseBracket, "]"}}},
        {"\"'", {{kQuote, "\""}, {kApostrophe, "'"}}},
        {"\xC7\xE1\xD9", {{U, "\xC7\xE1\xD9"}}},  // high bytes are word bytes
        {"\xDC\xDC x", {{N, ""}, {U, "x"}}},          // a word of tatweels only is an empty number
        {"Fo\xDCr", {{kFor, "For"}}},                 // tatweels go before the lookup
        {std::string("a\0b", 3), {{U, "a"}}},
        {std::string(299, 'w'), {{U, std::string(299, 'w')}}},
        {"/* " + std::string(400, 'w') + " */ x", {{U, "x"}}},
    };
    for (const auto& [text, expected] : cases) {
        ScriptHarness h;
        EXPECT_EQ(h.Scan(text), expected) << text;
    }
}

TEST(LexerLookupTest, KeywordsBeatNumbersAndVariablesAndExtensionWordsComeLast) {
    ScriptHarness h;
    h.parser.objectKeywords = {{"Net", 171}};
    h.parser.objectVariables = {{"n1", 4}};
    h.parser.PrepareScan("For 12 x Net n1 zz");
    for (const char* name : {"For", "12", "x"}) {  // records a declaration would refuse
        Value v;
        v.name = name;
        v.SetInteger(1);
        ASSERT_TRUE(h.parser.AppendVariable(v));
    }
    const int expected[] = {kFor, N, token::kVariable, token::kObjectKeyword, token::kObjectVariable, token::kUnknown};
    for (int code : expected) EXPECT_EQ(h.parser.ReadToken(), code) << h.parser.word;
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
    h.parser.history.MoveTo(0);
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

TEST(LexerHistoryTest, RecordsStartAndLengthAndStepsBack) {
    ScriptHarness h;
    TestParser& p = h.parser;
    p.PrepareScan("ab  <=\n  cde");
    ASSERT_EQ(p.ReadToken(), U);
    ScanMark mark;
    p.SavePosition(mark);
    ASSERT_EQ(p.ReadToken(), kLessEqual);
    ASSERT_EQ(p.ReadToken(), U);
    EXPECT_EQ((std::vector<int>{p.history.Start(0), p.history.Start(1), p.history.Start(2)}), (std::vector<int>{0, 4, 9}));
    EXPECT_EQ((std::vector<int>{p.history.Length(0), p.history.Length(1), p.history.Length(2)}), (std::vector<int>{2, 2, 3}));
    p.UngetToken();
    EXPECT_EQ(p.position, 9);
    EXPECT_EQ(p.ReadToken(), U);
    EXPECT_EQ(p.word, "cde");
    p.RestorePosition(mark);
    EXPECT_EQ(p.history.Count(), 1);
    EXPECT_EQ(p.ReadToken(), kLessEqual);
    p.history.MoveTo(0);
    p.UngetToken();  // never below the first entry
    EXPECT_EQ(p.position, 0);
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
        ASSERT_LE(p.history.Count(), CTesselParser::kHistoryLast);
        ASSERT_EQ(p.LastTokenStart(), 2 * (read - 1));  // always the token just read
    }
    EXPECT_EQ(read, tokens);
    p.UngetToken();
    EXPECT_EQ(p.ReadToken(), U);
    EXPECT_EQ(p.word, "b");  // the last token again
}

TEST(LexerErrorTest, AReadingErrorIsReportedOnItsWordAndEndsTheScan) {
    struct Case {
        std::string text;
        int code;
        std::string message;
        std::pair<int, int> selection;
    };
    const Case cases[] = {
        {"x /* abc", token::kUnclosedComment, Unclosed(), {2, 2}},
        {"x " + std::string(300, 'w') + " more", token::kEnd, TooLong(), {2, 300}},
    };
    for (const Case& c : cases) {
        ScriptHarness h;
        h.parser.sleepScale = 0;
        h.parser.PrepareScan(c.text);
        ASSERT_EQ(h.parser.ReadToken(), U);
        EXPECT_EQ(h.parser.ReadToken(), c.code);
        EXPECT_EQ(h.view.Pane(), c.message);  // check pass: the pane shows the message
        EXPECT_EQ(h.parser.errorText, c.message);
        EXPECT_EQ(h.parser.runState, kEndedByError);
        EXPECT_EQ(h.view.Selections(), (std::vector<std::pair<int, int>>{c.selection}));
    }
}

TEST(LexerFlagsTest, StopMakesEveryTokenTheEndAndSetsRunState1) {
    ScriptHarness h;
    h.parser.PrepareScan("a b c", 1);
    ASSERT_EQ(h.parser.ReadToken(), U);
    h.view.stopRequested = 1;
    EXPECT_EQ(h.parser.ReadToken(), token::kEnd);
    EXPECT_EQ(h.parser.runState, kStoppedByUser);
    EXPECT_EQ(h.parser.ReadToken(), token::kEnd);
    EXPECT_EQ(h.parser.history.Count(), 1);
}

}  // namespace

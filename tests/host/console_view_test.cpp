#include "host/console_view.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct PaneCall {
    std::string text;
    int append, crlfBefore, crlfAfter;
};

TEST(ConsoleView, FollowsTheOutputPaneAppendRules) {
    const std::pair<std::vector<PaneCall>, std::string> cases[] = {
        {{{"abc", 1, 0, 0}, {"x", 0, 1, 1}}, "x"},                   // a replace drops everything
        {{{"a", 1, 1, 0}}, "a"},                                      // no leading break on an empty pane
        {{{"", 1, 0, 1}}, "\r\n"},                                    // a trailing break even after no text
        {{{"a", 1, 0, 1}, {"b", 1, 1, 1}}, "a\r\n\r\nb\r\n"},
        {{{"old", 1, 0, 0}, {"", 0, 0, 0}, {"n", 1, 1, 0}}, "n"},     // replaced by nothing: no break
    };
    for (const auto& [calls, expected] : cases) {
        ConsoleView view;
        for (const PaneCall& c : calls) view.OutputText(c.text, c.append, c.crlfBefore, c.crlfAfter, 0);
        EXPECT_EQ(view.PaneText(), expected);
    }
}

std::string Streamed(const std::vector<PaneCall>& calls, bool flush) {
    std::FILE* f = std::tmpfile();
    ConsoleView view;
    view.StreamTo(f);
    for (const PaneCall& c : calls) view.OutputText(c.text, c.append, c.crlfBefore, c.crlfAfter, 0);
    if (flush) view.FlushStream();
    std::fflush(f);
    std::rewind(f);
    std::string out;
    int ch;
    while ((ch = std::fgetc(f)) != EOF) out.push_back(static_cast<char>(ch));
    std::fclose(f);
    return out;
}

TEST(ConsoleViewStream, ShowsAppendsAsTheyComeInUtf8AndAReplacedMessageAtTheFlush) {
    EXPECT_EQ(Streamed({{"Compiling...", 0, 0, 0}, {"", 0, 0, 0}, {"a", 1, 0, 1}, {"b", 1, 0, 0}}, false), "a\nb");
    EXPECT_EQ(Streamed({{"a", 1, 0, 0}, {" Syntax Error : x", 0, 0, 0}}, true), "a Syntax Error : x\n");
    EXPECT_EQ(Streamed({{"\xC7", 1, 0, 0}}, false), "\xD8\xA7");  // ARABIC LETTER ALEF in code page 1256
    // Runs of ASCII between other characters, and carriage returns that end no line, kept.
    EXPECT_EQ(Streamed({{"ab\xC7\xC7 cd\r\r\ne\r", 1, 0, 0}, {"\xE1x\r\n", 1, 0, 0}}, false),
              "ab\xD8\xA7\xD8\xA7 cd\r\ne\r\xD9\x84x\n");
}

// Streaming keeps only what it has not written, and the pane's rules go on as if it kept it all.
TEST(ConsoleViewStream, KeepsNothingItHasWrittenAndFollowsThePaneRulesStill) {
    const std::pair<std::vector<PaneCall>, std::string> cases[] = {
        {{{"a", 1, 1, 1}, {"b", 1, 1, 1}, {"c", 1, 1, 0}}, "a\n\nb\n\nc\n"},
        {{{"", 1, 1, 0}, {"x", 1, 1, 0}, {"", 1, 1, 1}}, "x\n\n"},     // nothing shown: no break before
        {{{"old", 1, 0, 0}, {"", 0, 0, 0}, {"n", 1, 1, 0}, {"m", 1, 0, 1}}, "oldnm\n"},
        {{{"a", 1, 0, 0}, {"message", 0, 0, 0}, {"b", 1, 1, 0}}, "amessage\nb\n"},
    };
    for (const auto& [calls, expected] : cases) EXPECT_EQ(Streamed(calls, true), expected);
    std::FILE* f = std::tmpfile();
    ConsoleView view;
    view.StreamTo(f);
    for (int i = 0; i < 10000; ++i) {
        view.OutputText("line " + std::to_string(i), 1, 1, 1, 0);
        EXPECT_TRUE(view.PaneText().empty());
    }
    EXPECT_FALSE(view.PaneEmpty());
    std::fclose(f);
}

// Output nobody can take ends the run as a stop does, with the status of a failed run; the first
// stop's status is the one kept.
TEST(ConsoleViewStream, StopsTheRunWhenTheStreamCannotTakeTheOutput) {
    std::FILE* full = std::fopen("/dev/full", "w");
    ASSERT_NE(full, nullptr);
    ConsoleView view;
    view.StreamTo(full);
    view.OutputText("a", 1, 0, 0, 0);
    EXPECT_TRUE(view.StreamFailed());
    EXPECT_EQ(view.stopRequested.load(), 1);
    EXPECT_EQ(view.StopExitStatus(), kExitScriptError);
    view.RequestStop(ExitStatusForSignal(SIGTERM));
    EXPECT_EQ(view.StopExitStatus(), kExitScriptError);
    std::fclose(full);

    ConsoleView signalled;
    EXPECT_FALSE(signalled.StopEverRequested());
    signalled.RequestStop(ExitStatusForSignal(SIGTERM));
    signalled.RequestStop();
    EXPECT_EQ(signalled.StopExitStatus(), 143);
}

// Without a stream the pane keeps the desktop's bound: a million lines, whether their breaks come
// after each line or before the next (the last line then unfinished, and counted).
TEST(ConsoleView, KeepsTheNewestMillionLines) {
    struct Case {
        int lines, crlfBefore, crlfAfter;
        const char* first;
    };
    const Case cases[] = {
        {1000000, 0, 1, "0\r\n"}, {1000001, 0, 1, "1\r\n"}, {1000100, 0, 1, "100\r\n"},
        {1000000, 1, 0, "0\r\n"}, {1000001, 1, 0, "1\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.lines << " lines, break before " << c.crlfBefore);
        ConsoleView view;
        for (int i = 0; i < c.lines; ++i) view.OutputText(std::to_string(i), 1, c.crlfBefore, c.crlfAfter, 0);
        const std::string pane = view.PaneText();
        const std::size_t breaks = static_cast<std::size_t>(std::count(pane.begin(), pane.end(), '\n'));
        EXPECT_EQ(breaks + static_cast<std::size_t>(c.crlfBefore), OutputPaneText::kMaxLines);
        EXPECT_EQ(pane.substr(0, std::string(c.first).size()), c.first);
        const std::string last = std::to_string(c.lines - 1) + (c.crlfAfter ? "\r\n" : "");
        EXPECT_EQ(pane.substr(pane.size() - last.size()), last);
    }
}

TEST(ConsoleView, RecordsChartsWithTheirLabelsCutToTheCount) {
    ConsoleView view;
    std::vector<std::string> labels{"a", "b", "c"};
    view.ShowChart("T", {1.0, 2.0, 3.0}, 2, &labels);
    view.ShowChart("U", {4.0}, 1, nullptr);
    ASSERT_EQ(view.Charts().size(), 2u);
    EXPECT_EQ(view.Charts()[0].values, (std::vector<double>{1.0, 2.0}));
    EXPECT_EQ(view.Charts()[0].labels, (std::vector<std::string>{"a", "b"}));
    EXPECT_TRUE(view.Charts()[1].labels.empty());
}

}  // namespace

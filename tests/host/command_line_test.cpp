#include "host/command_line.h"
#include "host/script_runner.h"

#include <gtest/gtest.h>

namespace {

struct ArgsCase {
    std::vector<std::string> args;
    bool ok;
    bool check, pane, yes;
    std::string select, file;
};

TEST(CommandLine, ParsesTheFixedContract) {
    const ArgsCase cases[] = {
        {{"a.NNProg"}, true, false, false, false, "", "a.NNProg"},
        {{"--check", "--pane", "x"}, true, true, true, false, "", "x"},
        {{"--answer", "yes", "x"}, true, false, false, true, "", "x"},
        {{"--select-file", "/tmp/p q.txt", "x"}, true, false, false, false, "/tmp/p q.txt", "x"},
        {{"x", "--check"}, true, true, false, false, "", "x"},
        {{}, false, false, false, false, "", ""},
        {{"--answer", "maybe", "x"}, false, false, false, false, "", ""},
        {{"--frobnicate", "x"}, false, false, false, false, "", ""},
    };
    for (const ArgsCase& c : cases) {
        RunOptions o;
        std::string error;
        bool ok = ParseCommandLine(c.args, o, error);
        std::string label = c.args.empty() ? "(none)" : c.args[0];
        ASSERT_EQ(ok, c.ok) << label;
        if (!ok) {
            EXPECT_FALSE(error.empty()) << label;
            continue;
        }
        EXPECT_EQ(o.checkOnly, c.check) << label;
        EXPECT_EQ(o.paneAtEnd, c.pane) << label;
        EXPECT_EQ(o.answerYes, c.yes) << label;
        EXPECT_EQ(o.selectFile, c.select) << label;
        EXPECT_EQ(o.file, c.file) << label;
    }
}

TEST(CommandLine, HelpNeedsNoFileAndStopsAtBadUsage) {
    const struct {
        std::vector<std::string> args;
        bool ok, help;
    } cases[] = {
        {{"--help"}, true, true},
        {{"-h"}, true, true},
        {{"--check", "x", "--help"}, true, true},
        {{"--help", "--frobnicate"}, false, false},
        {{"--check"}, false, false},
    };
    for (const auto& c : cases) {
        RunOptions o;
        std::string error;
        EXPECT_EQ(ParseCommandLine(c.args, o, error), c.ok) << c.args[0] << " " << error;
        if (c.ok) {
            EXPECT_EQ(o.help, c.help) << c.args[0];
        }
    }
    EXPECT_EQ(std::string(kHelp).rfind(kUsage, 0), 0u);  // the help starts with the usage line
}

TEST(SourcePlace, CountsLinesAndColumnsFromOne) {
    const std::string text = "ab\ncd\n\nxyz";
    const struct { int pos, line, column; } cases[] = {
        {0, 1, 1}, {1, 1, 2}, {2, 1, 3}, {3, 2, 1}, {6, 3, 1}, {7, 4, 1}, {9, 4, 3}, {-5, 1, 1}, {99, 4, 4},
    };
    for (const auto& c : cases) {
        SourcePlace p = PlaceOf(text, c.pos);
        EXPECT_EQ(p.line, c.line) << c.pos;
        EXPECT_EQ(p.column, c.column) << c.pos;
    }
}

}  // namespace

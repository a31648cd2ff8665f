// Run control: end lines, the nesting limit of the check pass, a stop of an endless run, and the
// independence of interpreters in two threads.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "interpreter/builtin_test_support.h"
#include "interpreter/test_parser.h"
#include "platform/desktop.h"

namespace {

TEST(EndLineTest, PrintsTheLineOfTheRunStateAndTheErrorText) {
    struct Case {
        int runState;
        std::string errorText;
        std::string paneBefore;
        std::string paneAfter;
    };
    const Case cases[] = {
        {0, "", "out", "out"},
        {1, "", "out", "out\r\nProgram Terminated  By User.\r\n"},
        {2, "", "", "Program Terminated  By \"Exit\".\r\n"},
        {3, "", "x", "x\r\nProgram Terminated  By \"StopProgram\".\r\n"},
        {4, " Syntax Error : E.", "", "Program Terminated  By ERROR.\r\n\r\n Syntax Error : E.\r\n"},
    };
    for (const Case& c : cases) {
        ScriptHarness h;
        h.parser.PrepareScan("", 1);
        h.view.OutputText(c.paneBefore, 0, 0, 0, 0);
        h.parser.runState = c.runState;
        h.parser.errorText = c.errorText;
        EXPECT_EQ(h.parser.EndRun(1), 1);
        EXPECT_EQ(h.view.Pane(), c.paneAfter) << c.runState;
        EXPECT_EQ(h.parser.clearObjectVariablesCalls, 1);
    }
}

TEST(CheckPassTest, NestingBeyondTheLimitIsAnErrorNotACrash) {
    const int depth = CTesselParser::kMaxNestingDepth * 20;
    std::string parens = "Integer i : i = " + std::string(depth, '(') + "1" + std::string(depth, ')');
    std::string ifs = "Integer i\n";
    for (int k = 0; k < depth; ++k) ifs += "If i = 0 Then\n";
    for (int k = 0; k < depth; ++k) ifs += "Endif\n";
    for (const std::string& text : {parens, ifs}) {
        ScriptHarness h;
        EXPECT_EQ(h.Check(text), 0);
        EXPECT_EQ(h.view.Pane(), " Runtime Error : Nesting Too Deep.");
    }
}

TEST(RunTest, StopEndsAnEndlessRunWithTheUserLine) {
    ScriptHarness h;
    ASSERT_EQ(h.Check("Integer i : While 1 = 1 : i = i + 1 : Wend"), 1);
    h.StartRun();
    h.view.stopRequested = 1;
    h.parser.WaitFinished();
    EXPECT_EQ(h.view.Pane(), "Program Terminated  By User.\r\n");
    EXPECT_EQ(h.parser.runState, kStoppedByUser);
    EXPECT_EQ(h.view.stopRequested.load(), 0);  // cleared at the end of the run
}

TEST(ThreadTest, TwoInterpretersInTwoThreadsShareNoState) {
    const std::string loopExit = "Integer i : Integer a[3] : For i = 1 To 3000 : a[1] = i : Next : Exit";
    const std::string loopError = "Integer j : Integer b[2] : For j = 1 To 2000 : b[2] = j : Next : b[j] = 0";
    const std::string exitPane = "Program Terminated  By \"Exit\".\r\n";
    const std::string errorPane =
        "Program Terminated  By ERROR.\r\n\r\n Runtime Error : Array Bound OUT OF RANGE.   :  2001 > 2 (U.B)) \r\n";
    for (int round = 0; round < 3; ++round) {
        std::string paneA, paneB;
        std::thread a([&] { paneA = ScriptHarness().Run(loopExit); });
        std::thread b([&] { paneB = ScriptHarness().Run(loopError); });
        a.join();
        b.join();
        EXPECT_EQ(paneA, exitPane);
        EXPECT_EQ(paneB, errorPane);
    }
}

}  // namespace

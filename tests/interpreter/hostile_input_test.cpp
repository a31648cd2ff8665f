// What a hostile script or user must not get away with: a stopped check pass taken for a
// successful one, a literal zero divisor let through to the run, allocations beyond any memory.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "interpreter/builtin_test_support.h"
#include "interpreter/test_parser.h"
#include "platform/crt_runtime.h"
#include "platform/desktop.h"

namespace {

std::string RunScript(const std::string& text) {
    ScriptHarness h;
    return h.Run(text);
}

// The pane after a check pass; ok receives Compile's result.
std::string CheckScript(const std::string& text, int* ok) {
    ScriptHarness h;
    *ok = h.Check(text);
    return h.view.Pane();
}

TEST(StoppedCheckTest, FailsWithTheStopLineInThePane) {
    for (const char* script : {"Integer i : i = 1", "Subroutin s : EndSub : Call s"}) {
        ScriptHarness h;
        h.view.stopRequested = 1;
        EXPECT_EQ(h.Check(script), 0) << script;
        EXPECT_EQ(h.parser.runState, kStoppedByUser) << script;
        EXPECT_EQ(h.view.Pane(), "Program Terminated  By User.\r\n") << script;
        EXPECT_EQ(h.view.stopRequested.load(), 0) << script;
    }
}

TEST(MatrixDivisionTest, AWrittenZeroFailsTheCheckAndARunTimeDivisorPassesIt) {
    struct Case {
        const char* divisor;
        bool passes;
    };
    for (const Case& c : {Case{"0", false}, Case{"0.0", false}, Case{"(-0)", false}, Case{"z", true},
                          Case{"Clock", true}, Case{"2", true}}) {
        int ok = -1;
        const std::string pane = CheckScript("Matrix m[2][2] : Integer z : m = m / " + std::string(c.divisor), &ok);
        EXPECT_EQ(ok, c.passes ? 1 : 0) << c.divisor;
        EXPECT_EQ(pane == " Runtime Error : Divide By ZERO.", !c.passes) << c.divisor << ": " << pane;
    }
}

TEST(DeclarationMemoryTest, ADeclarationThatCannotFitIsRefusedBeforeItAllocates) {
    DesktopScope desk;
    for (const char* script : {"Integer a[2000000000]", "Float f[2000000000]", "String s[2000000000]",
                               "Matrix m[10000][10000][1000]"}) {
        ScriptHarness h;
        EXPECT_EQ(h.Check(script), 0) << script;
        EXPECT_EQ(h.view.Pane(), "ERROR : Not Enough Memory For \" Tessel Variables \".") << script;
        EXPECT_EQ(h.parser.variables.GetCount(), 0) << script;
    }
    EXPECT_EQ(desk.recorder.boxes.size(), 4u);  // the table's own message box, once each
}

TEST(WindowlessWaitTest, ExecuteWaitsOnlyForAProgramTheDesktopStarted) {
    for (const bool started : {false, true}) {
        DesktopScope desk;  // records and answers that it opened
        if (!started) desktop::Install(nullptr);  // the console: records, opens nothing
        ScriptHarness h;
        h.parser.PrepareScan("Execute 'notes.txt'", 1);
        const long before = crt::RequestedSleepMilliseconds();
        EXPECT_EQ(h.parser.ExecuteBlock(1, kBlockWholeScript), 1);
        EXPECT_EQ(crt::RequestedSleepMilliseconds() - before, started ? 1000 : 0) << started;
    }
}

TEST(WindowlessWaitTest, AnUnclosedCommentWaitsOnlyWhereAWindowShowsIt) {
    class WindowView : public RecordingView {
        bool HasOutputWindow() const override { return true; }
    };
    for (const bool window : {false, true}) {
        WindowView windowView;
        RecordingView plainView;
        TestParser parser(window ? &windowView : &plainView);
        parser.sleepScale = 0.001;
        parser.SetSource("/* open");
        const long before = crt::RequestedSleepMilliseconds();
        static const int kOptions[4] = {1, 0, 0, 0};
        EXPECT_EQ(parser.Compile(kOptions), 0);
        EXPECT_EQ(crt::RequestedSleepMilliseconds() - before, window ? 2 : 0) << window;
    }
}

TEST(FailedWriteTest, AWriteTheSystemRefusesEndsTheRunAndAReadOnlyFileStaysSilent) {
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
    ScratchFolder folder;
    const std::string readable = folder.File("r.txt");
    platform_test::WriteBytes(readable, "x");
    struct Case {
        std::string script;
        std::string pane;
    };
    const std::string full = "File f : FileOpen '/dev/full' For Writing Binary In f : ";
    const std::string lost = RunErrorPane(" Runtime Error : Cannot write file.");
    for (const Case& c : {Case{full + "FileWriteString(1, f) : FileClose(f)", lost},
                          Case{full + "FileWrite8b(f, 1)", lost},  // lost when the run closes it
                          Case{"File f : FileOpen '" + readable + "' For Reading Text In f : FileWriteString(1, f)"
                               " : FileWrite1b(f, 2) : FileClose(f)", ""}}) {
        EXPECT_EQ(RunScript(c.script), c.pane) << c.script;
    }
}

}  // namespace

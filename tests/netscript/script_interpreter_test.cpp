// The public face: what a host sees of a check pass and a run, and the help tree, through it.
#include <gtest/gtest.h>

#include "netscript/net_harness.h"
#include "netscript/script_interpreter.h"

namespace {

TEST(ScriptInterpreterFace, ChecksRunsAndReportsHowTheRunEnded) {
    struct Case {
        const char* script;
        bool checks;
        int runState;
        const char* errorText;
        const char* pane;
    };
    const Case cases[] = {
        {"Integer a[3] : a[3] = 4 : Println a[3]", true, kRunning, "", "4\r\n"},
        {"Println 1 : Exit : Println 2", true, kEndedByExit, "", "1\r\n\r\nProgram Terminated  By \"Exit\".\r\n"},
        {"Integer a[3] : a[4] = 1", true, kEndedByError, " Runtime Error : Array Bound OUT OF RANGE.   :  4 > 3 (U.B)) ",
         nullptr},
        {"Integer a : a = ", false, kEndedByError, "", nullptr},
    };
    for (const Case& c : cases) {
        NetView view;
        ScriptInterpreter interpreter(&view);
        interpreter.SetSource(c.script);
        const int options[4] = {1, 0, 0, 0};
        ASSERT_EQ(interpreter.Compile(options) != 0, c.checks) << c.script;
        EXPECT_FALSE(interpreter.Started());
        if (!c.checks) continue;
        ASSERT_TRUE(interpreter.CreateThread());
        interpreter.WaitFinished();
        EXPECT_TRUE(interpreter.Finished());
        EXPECT_EQ(interpreter.runState, c.runState) << c.script;
        EXPECT_EQ(interpreter.errorText, c.errorText) << c.script;
        if (c.pane != nullptr) {
            EXPECT_EQ(view.Pane(), c.pane) << c.script;
        }
    }
}

TEST(ScriptInterpreterFace, BuildsTheHelpTreeWithTheNetworkWords) {
    NetView view;
    ScriptInterpreter interpreter(&view);
    RecordingHelpTree tree;
    interpreter.BuildHelpTree(tree);
    EXPECT_FALSE(tree.Children({"Help"}).empty());
    const std::vector<std::string> types = tree.Children({"Help", "Types"});
    EXPECT_NE(std::find(types.begin(), types.end(), "FF_NeuralNetwork"), types.end());
}

}  // namespace

// Network variables: the output statements, arrays of networks, the errors of declarations, the
// element index and its bounds, and an array too large to store.
#include <gtest/gtest.h>

#include "net_harness.h"

namespace {

TEST(OutputStatements, PrintContinuesTheLineAndPrintlnEndsIt) {
    const ScriptCase cases[] = {
        {"Print 3 Println 2.5", "32.5\r\n"},
        {"Println 'a' : Println 'b'", "a\r\nb\r\n"},
        {"Print 16777217", "16777217"},
        {"Print -7 : Print 0.1 + 0.2", "-70.3"},
        {"Print 'x' ClearOutput Print 'y'", "y"},
        {"Integer i : For i = 1 To 3 : Print i : Next", "123"},
        {"Print 'n = ' + 5", "n = 5"},
    };
    for (const ScriptCase& c : cases) EXPECT_EQ(RunNetScript(c.script), c.pane) << c.script;
}

TEST(NetworkDeclarations, ArraysAreIndependentElements) {
    EXPECT_EQ(RunNetScript("FF_NeuralNetwork a, b[3]\n"
                           "b[2].Bias = 0.5\n"
                           "Println a.Bias : Println b[1].Bias : Println b[2].Bias : Println b[3].Bias"),
              "0\r\n0\r\n0.5\r\n0\r\n");
}

TEST(NetworkDeclarations, ErrorsOfTheCheckPass) {
    const ScriptCase cases[] = {
        {"FF_NeuralNetwork n : FF_NeuralNetwork n", " Syntax Error : Variable redefinition."},
        {"FF_NeuralNetwork For", " Runtime Error : The KNOWN words can not be variables."},
        {"LogicalNeuralNetwork Bias", " Runtime Error : The KNOWN words can not be variables."},
        {"FF_NeuralNetwork n[2.5]", " Syntax Error : Array Bound Must Be INTEGERS."},
        {"FF_NeuralNetwork b[3] : b[1.5].Bias = 1", " Syntax Error : Array Bound Must Be INTEGERS."},
        {"FF_NeuralNetwork b[3] : b.Bias = 1", "   Expected :  \"  [  \"   "},
        {"FF_NeuralNetwork n : n Bias = 1", "   Expected :  \"  .  \"   "},
        {"Print 1 : Simulate", "Unknown word in inherited class! (It could never happen.)"},
    };
    ExpectCheckPassErrors(cases);
}

TEST(NetworkDeclarations, BoundsAreTestedInARunOnly) {
    NetHarness h;
    EXPECT_EQ(h.Check("FF_NeuralNetwork b[3] : b[0].Bias = 1 : b[4].Bias = 1"), 1);
    const ScriptCase cases[] = {
        {"FF_NeuralNetwork b[3] : b[0].Bias = 1",
         EndedByError("", " Runtime Error : Array Bound OUT OF RANGE.   :  0 < 1 (L.B) ")},
        {"FF_NeuralNetwork b[3] : Print 'x' : b[4].Bias = 1",
         EndedByError("x", " Runtime Error : Array Bound OUT OF RANGE.   :  4 > 3 (U.B)) ")},
        {"FF_NeuralNetwork b[3] : Integer i : i = -2147483647 - 1 : Println b[i].Bias",
         EndedByError("", " Runtime Error : Array Bound OUT OF RANGE.   :  -2147483648 < 1 (L.B) ")},
    };
    for (const ScriptCase& c : cases) EXPECT_EQ(RunNetScript(c.script), c.pane) << c.script;
}

TEST(NetworkDeclarations, AHugeArrayFailsWithOneMessageInsteadOfAllocating) {
    NetHarness h;
    EXPECT_EQ(h.Check("FF_NeuralNetwork n[2147483647]"), 0);
    EXPECT_EQ(h.view.Pane(), "ERROR : Not Enough Memory For \" Tessel Variables \".");
    EXPECT_EQ(h.parser->objectVariables.GetCount(), 0);
}

}  // namespace

// A word of a text is looked up as a network variable as it is read: a network declared between
// two passes of a loop is what the later passes' texts find, with compiled regions as without.
TEST(NetworkDeclarations, TextsInALoopFindANetworkDeclaredInIt) {
    const char* const scripts[] = {
        "Integer i : String s : For i = 1 To 3 : If i = 2 Then FF_NeuralNetwork net Endif : s = 'net' + i : Next",
        "Integer i : String s : For i = 1 To 3 : s = 'a net' + i : If i = 1 Then FF_NeuralNetwork a[2] Endif : Next",
        "Integer i : String s : For i = 1 To 3 : If i = 3 Then LogicalNeuralNetwork net Endif : s = 'net net' : Next",
    };
    for (const char* script : scripts) {
        int found[2][2] = {};
        for (int regions = 0; regions < 2; ++regions) {
            NetHarness h;
            ASSERT_EQ(h.Check(script), 1) << script;
            h.parser->compiledRegions = regions == 1;
            EXPECT_EQ(h.RunChecked(), "") << script;
            found[regions][0] = h.parser->objectKeywordId;
            found[regions][1] = h.parser->objectVariableIndex;
        }
        EXPECT_GE(found[0][1], 0) << script;  // the reading found the network
        EXPECT_EQ(found[1][0], found[0][0]) << script;
        EXPECT_EQ(found[1][1], found[0][1]) << script;
    }
}

// Network variables: the output statements, declarations and arrays, redefinition, the element
// index and its bounds, the variable tree, and declarations that cannot be stored.
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

TEST(OutputStatements, TheCheckPassPrintsNothing) {
    NetHarness h;
    h.view.OutputText("kept", 0, 0, 0, 0);
    ASSERT_EQ(h.Check("Println 1 : ClearOutput : Print 'x'"), 1);
    // The check pass empties the pane when it starts; neither statement adds to it.
    EXPECT_EQ(h.view.Pane(), "");
}

TEST(OutputStatements, ABadExpressionIsReportedByTheExpression) {
    NetHarness h;
    EXPECT_EQ(h.Check("Print 'a' - 1"), 0);
    EXPECT_EQ(h.view.Pane(), " Syntax Error : Can not use '-' here.");
}

TEST(NetworkDeclarations, ArraysAreIndependentElements) {
    EXPECT_EQ(RunNetScript("FF_NeuralNetwork a, b[3]\n"
                           "b[2].Bias = 0.5\n"
                           "Println a.Bias : Println b[1].Bias : Println b[2].Bias : Println b[3].Bias"),
              "0\r\n0\r\n0.5\r\n0\r\n");
}

TEST(NetworkDeclarations, TheTreeListsEachDeclarationOnce) {
    NetHarness h;
    const std::string text = "FF_NeuralNetwork a, bb[3]\nLogicalNeuralNetwork l";
    ASSERT_EQ(h.Check(text), 1);
    const auto entries = h.view.Networks();
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].name, "a");
    EXPECT_EQ(entries[0].type, kTypeFeedForwardNetwork);
    EXPECT_EQ(entries[0].count, 1);
    EXPECT_EQ(text.substr(static_cast<std::size_t>(entries[0].start), static_cast<std::size_t>(entries[0].length)), "a");
    EXPECT_EQ(entries[1].name, "bb");
    EXPECT_EQ(entries[1].count, 3);
    // An array's entry leads to the last token of its count.
    EXPECT_EQ(text.substr(static_cast<std::size_t>(entries[1].start), static_cast<std::size_t>(entries[1].length)), "3");
    EXPECT_EQ(entries[2].name, "l");
    EXPECT_EQ(entries[2].type, kTypeLogicalNetwork);
}

TEST(NetworkDeclarations, ADeclarationInASubroutineCheckedTwiceIsListedOnce) {
    NetHarness h;
    ASSERT_EQ(h.Check("Call S : Call S\nSubroutin S\nFF_NeuralNetwork local\nEndSub"), 1);
    EXPECT_EQ(h.view.Networks().size(), 1u);
}

TEST(NetworkDeclarations, ErrorsOfTheCheckPass) {
    const ScriptCase cases[] = {
        {"FF_NeuralNetwork n : FF_NeuralNetwork n", " Syntax Error : Variable redefinition."},
        {"FF_NeuralNetwork n : LogicalNeuralNetwork n", " Syntax Error : Variable redefinition."},
        {"FF_NeuralNetwork For", " Runtime Error : The KNOWN words can not be variables."},
        {"FF_NeuralNetwork 12", " Runtime Error : The KNOWN words can not be variables."},
        {"LogicalNeuralNetwork Bias", " Runtime Error : The KNOWN words can not be variables."},
        {"FF_NeuralNetwork n[2.5]", " Syntax Error : Array Bound Must Be INTEGERS."},
        {"FF_NeuralNetwork n[2", "   Expected :  \"  ]  \"   "},
        {"FF_NeuralNetwork b[3] : b[1.5].Bias = 1", " Syntax Error : Array Bound Must Be INTEGERS."},
        {"FF_NeuralNetwork b[3] : b.Bias = 1", "   Expected :  \"  [  \"   "},
        {"FF_NeuralNetwork b[3] : b[1 .Bias = 1", "   Expected :  \"  ]  \"   "},
        {"FF_NeuralNetwork n : n Bias = 1", "   Expected :  \"  .  \"   "},
        {"FF_NeuralNetwork n : n[1].Bias = 1", "   Expected :  \"  .  \"   "},
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

TEST(NetworkDeclarations, ASecondExecutionOfADeclarationIsARedefinition) {
    EXPECT_EQ(RunNetScript("Integer i : For i = 1 To 2 : Print i : FF_NeuralNetwork n : Next"),
              EndedByError("12", " Syntax Error : Variable redefinition."));
}

TEST(NetworkDeclarations, ACountBelowOneDeclaresNothing) {
    EXPECT_EQ(RunNetScript("FF_NeuralNetwork n[0], m[-5] : FF_NeuralNetwork n : Print 'ok'"), "ok");
}

TEST(NetworkDeclarations, TheCheckPassSeesANetworkVariableOnlyInItsBlock) {
    NetHarness h;
    EXPECT_EQ(h.Check("Integer i : i = 1\nIf i = 1 Then\nFF_NeuralNetwork n\nn.Bias = 2\nEndif\nPrint n.Bias"), 0);
    EXPECT_EQ(h.view.Pane(), " Syntax Error : Unknown Variable.");
}

TEST(NetworkDeclarations, ABaseVariableNameKeepsMeaningTheBaseVariable) {
    // The lexer finds the base variable first, so the network of that name cannot be reached.
    NetHarness h;
    EXPECT_EQ(h.Check("Integer x : FF_NeuralNetwork x : x.Bias = 1"), 0);
}

TEST(NetworkDeclarations, AnArrayThatCannotBeStoredLeavesNothingBehind) {
    NetHarness h;
    h.StartEmptyPass(0);
    ASSERT_EQ(h.parser->AddObjectVariable("first", kTypeFeedForwardNetwork, 2), 1);
    // Storage for more than 100 records cannot be had.
    DynaArrayAllocation::failHook = [](std::size_t slots) { return slots > 100; };
    const int result = h.parser->AddObjectVariable("big", kTypeFeedForwardNetwork, 600);
    DynaArrayAllocation::failHook = nullptr;
    EXPECT_EQ(result, -1);
    EXPECT_EQ(h.parser->objectVariables.GetCount(), 2);
    EXPECT_EQ(h.parser->LookupObjectVariable("big"), -1);
    EXPECT_EQ(h.parser->LookupObjectVariable("first"), 0);
    EXPECT_EQ(h.parser->errorText, "ERROR : Not Enough Memory For \" Tessel Variables \".");
    EXPECT_EQ(h.parser->runState, kEndedByError);
}

TEST(NetworkDeclarations, AHugeArrayFailsWithOneMessageInsteadOfAllocating) {
    NetHarness h;
    EXPECT_EQ(h.Check("FF_NeuralNetwork n[2147483647]"), 0);
    EXPECT_EQ(h.view.Pane(), "ERROR : Not Enough Memory For \" Tessel Variables \".");
    EXPECT_EQ(h.parser->objectVariables.GetCount(), 0);
}

TEST(NetworkLookup, NewestFirstAndScopeAwareInTheCheckPass) {
    NetHarness h;
    h.StartEmptyPass(0);
    h.parser->scope = "main1";
    ASSERT_EQ(h.parser->AddObjectVariable("a", kTypeFeedForwardNetwork, 3), 1);
    h.parser->scope = "main1for1";
    ASSERT_EQ(h.parser->AddObjectVariable("b", kTypeLogicalNetwork, 1), 1);
    EXPECT_EQ(h.parser->LookupObjectVariable("a"), 0);
    EXPECT_EQ(h.parser->LookupObjectVariable("b"), 3);
    EXPECT_EQ(h.parser->LookupObjectVariable("A"), -1);
    EXPECT_EQ(h.parser->GetUpperBound(0), 2);
    h.parser->scope = "main1";
    EXPECT_EQ(h.parser->LookupObjectVariable("b"), -1);  // declared in a block the path has left
    EXPECT_EQ(h.parser->AddObjectVariable("b", kTypeFeedForwardNetwork, 1), 1);
    EXPECT_EQ(h.parser->LookupObjectVariable("b"), 4);
    h.parser->execute = 1;
    h.parser->scope = "";
    EXPECT_EQ(h.parser->LookupObjectVariable("b"), 4);  // a run sees every variable, newest first
    EXPECT_EQ(h.parser->AddObjectVariable("a", kTypeFeedForwardNetwork, 1), 0);
}

TEST(NetworkLookup, ResetRunAndClearObjectVariablesEmptyTheTable) {
    NetHarness h;
    h.StartEmptyPass(1);
    ASSERT_EQ(h.parser->AddObjectVariable("a", kTypeFeedForwardNetwork, 3), 1);
    EXPECT_NE(h.parser->objectVariables[1].FeedForward(), nullptr);
    h.parser->ResetRun();
    EXPECT_EQ(h.parser->objectVariables.GetCount(), 0);
    EXPECT_EQ(h.parser->variables.GetGrowBy(), 5000);
    ASSERT_EQ(h.parser->AddObjectVariable("a", kTypeLogicalNetwork, 1), 1);
    h.parser->ClearObjectVariables(1);
    EXPECT_EQ(h.parser->objectVariables.GetCount(), 0);
    h.parser->ClearObjectVariables(0);
    EXPECT_EQ(h.parser->objectVariables.GetCount(), 0);
}

}  // namespace

// Call finds the first subroutine record of a name, as a scan of the table from its start does,
// also when the table is changed between calls (the lookup is hashed).
#include <gtest/gtest.h>

#include <string>

#include "tests/interpreter/test_parser.h"

namespace {

struct Step {
    const char* change;
    void (*apply)(CDynaArray<SubroutineRecord>&);
    const char* pane;  // what `Call A` prints
};

TEST(SubroutineLookup, CallTakesTheFirstRecordOfTheName) {
    RecordingView view;
    PrintingParser parser(&view);
    const std::string text = "Subroutin A Print 1 EndSub Subroutin B Print 2 EndSub Call A";
    parser.PrepareScan(text, 1);
    ASSERT_EQ(parser.PrescanSubroutines(), 1);
    const Step steps[] = {
        {"as declared", [](CDynaArray<SubroutineRecord>&) {}, "1 "},
        {"a second A after the first", [](CDynaArray<SubroutineRecord>& t) { t[1].name.assign(1, 'A'); }, "1 "},
        {"the first renamed away", [](CDynaArray<SubroutineRecord>& t) { t[0].name.assign(1, 'C'); }, "2 "},
        {"an A added last", [](CDynaArray<SubroutineRecord>& t) { t.Add(t[0]); t[2].name.assign(1, 'A'); }, "2 "},
        {"cut to one record", [](CDynaArray<SubroutineRecord>& t) { t.SetSize(1); t[0].name.assign(1, 'A'); }, "1 "},
        {"none of the name", [](CDynaArray<SubroutineRecord>& t) { t[0].name.assign(1, 'a'); }, ""},
    };
    for (const Step& step : steps) {
        step.apply(parser.subroutines);
        parser.ResetRun();
        parser.execute = 1;
        parser.runState = kRunning;
        view.ClearRecords();
        while (parser.currentToken != token::kEnd && parser.runState == kRunning) parser.ExecuteNextStatement();
        EXPECT_EQ(view.Pane(), step.pane) << step.change;
        EXPECT_EQ(parser.errorText, *step.pane ? "" : " Syntax Error : Call to UNKNOWN subroutin.") << step.change;
    }
}

}  // namespace

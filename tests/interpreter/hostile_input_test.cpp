// What a hostile script or user must not get away with: a stopped check pass taken for a
// successful one, a literal zero divisor let through to the run, allocations beyond any memory.
#include <gtest/gtest.h>

#include <string>

#include "interpreter/test_parser.h"

namespace {

struct StoppedCheckCase {
    const char* name;
    const char* script;
};

class StoppedCheckTest : public ::testing::TestWithParam<StoppedCheckCase> {};

TEST_P(StoppedCheckTest, FailsWithTheStopLineInThePane) {
    ScriptHarness h;
    h.view.stopRequested = 1;
    EXPECT_EQ(h.Check(GetParam().script), 0);
    EXPECT_EQ(h.parser.runState, kStoppedByUser);
    EXPECT_EQ(h.view.Pane(), "Program Terminated  By User.\r\n");
    EXPECT_EQ(h.view.stopRequested.load(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Scripts, StoppedCheckTest,
    ::testing::Values(StoppedCheckCase{"body", "Integer i : i = 1"},
                      StoppedCheckCase{"subroutines", "Subroutin s : EndSub : Call s"}),
    [](const ::testing::TestParamInfo<StoppedCheckCase>& info) { return std::string(info.param.name); });

}  // namespace

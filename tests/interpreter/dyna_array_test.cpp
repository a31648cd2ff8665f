#include "base/dyna_array.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "interpreter/builtin_test_support.h"

namespace {

class DynaArrayTest : public ::testing::Test {
protected:
    void TearDown() override { DynaArrayAllocation::failHook = nullptr; }
    DesktopScope desk_;  // records the message boxes a table shows instead of printing them
};

template <typename T>
void AddNumbered(CDynaArray<T>& table, int howMany) {
    for (int i = 0; i < howMany; ++i) ASSERT_EQ(table.Add(T(table.GetCount())), 1);
}

struct GrowthCase {
    int growBy;
    int elements;
    int capacity;
    int growBy_after;
    int growCount;
};

TEST_F(DynaArrayTest, CapacityStepAndGrowthCountFollowTheGrowthRule) {
    const GrowthCase cases[] = {
        {100, 0, 0, 100, 0},
        {100, 1, 100, 100, 1},     // first Add allocates exactly one step
        {100, 100, 200, 100, 2},   // count reached capacity - 1
        {100, 1000, 1100, 375, 11},   // 11th growth raises the step by 1100 / 4
        {100, 1100, 1475, 743, 12},   // 1475 / 4 = 368
        {100, 1475, 2218, 743 + 2218 / 4, 13},
        {1, 1, 1, 1, 1},           // step 1: every Add grows, no slot spare
    };
    for (const GrowthCase& c : cases) {
        CDynaArray<int> table(c.growBy, "Tessel Tokens");
        AddNumbered(table, c.elements);
        SCOPED_TRACE(testing::Message() << "growBy " << c.growBy << ", " << c.elements << " elements");
        EXPECT_EQ(table.GetCount(), c.elements);
        EXPECT_EQ(table.GetCapacity(), c.capacity);
        EXPECT_EQ(table.GetGrowBy(), c.growBy_after);
        EXPECT_EQ(table.GetGrowCount(), c.growCount);
        for (int i = 0; i < c.elements; ++i) ASSERT_EQ(table[i], i);
    }
}

TEST_F(DynaArrayTest, ExhaustedMemoryShowsTheNameAndRefusesTheElement) {
    CDynaArray<std::string> table(2, "Tessel Subroutins");
    table.Add("a");
    ASSERT_EQ(table.GetCapacity(), 2);
    DynaArrayAllocation::failHook = [](std::size_t) { return true; };
    EXPECT_EQ(table.Add("b"), 0);
    ASSERT_EQ(desk_.recorder.boxes.size(), 1u);
    EXPECT_EQ(desk_.recorder.boxes[0].text, "ERROR : Not Enough Memory For \" Tessel Subroutins \".");
    EXPECT_EQ(desk_.recorder.boxes[0].style, static_cast<unsigned>(desktop::kOk));
    EXPECT_EQ(table.GetCount(), 1);
    EXPECT_EQ(table.GetCapacity(), 2);
    EXPECT_EQ(table.GetGrowCount(), 1);
    EXPECT_EQ(table[0], "a");
}

TEST_F(DynaArrayTest, ImpossibleSizesAreRefusedWithoutTouchingTheTable) {
    CDynaArray<int> table(100, "Graph Viewer Points");
    AddNumbered(table, 3);
    table.SetSize(-4);  // a negative count is taken as 0
    EXPECT_EQ(table.GetCount(), 0);
    AddNumbered(table, 3);
    table.SetSize(INT_MAX);
    EXPECT_EQ(table.GetCount(), 3);
    EXPECT_EQ(table.GetCapacity(), 100);
}

// Growths that fit in storage the table already holds (a refill after Empty, a table that grew
// fourfold) still follow the rule, still ask for memory, and still leave new slots default.
TEST_F(DynaArrayTest, GrowthsWithinHeldStorageFollowTheRuleAndStartDefault) {
    CDynaArray<std::string> table(2, "Tessel Variables");
    for (int i = 0; i < 40; ++i) table.Add(std::to_string(i));
    table.Empty();
    table.SetGrowBy(2);
    EXPECT_EQ(table.GetCount(), 0);
    EXPECT_EQ(table.GetCapacity(), 0);
    EXPECT_EQ(table.GetGrowCount(), 0);
    std::vector<std::size_t> asked;
    DynaArrayAllocation::failHook = [&asked](std::size_t wanted) {
        asked.push_back(wanted);
        return wanted > 4;
    };
    EXPECT_EQ(table.Add("a"), 1);
    EXPECT_EQ(table.Add("b"), 1);
    EXPECT_EQ(table.Add("c"), 1);
    EXPECT_EQ(table.Add("d"), 0);  // the third growth is refused although the storage is there
    EXPECT_EQ(asked, (std::vector<std::size_t>{2, 4, 6}));
    EXPECT_EQ(table.GetCapacity(), 4);
    EXPECT_EQ(table.GetCount(), 3);
    DynaArrayAllocation::failHook = nullptr;
    table.SetSize(1);   // "b" and "c" stay in their slots beyond the count ...
    table.SetSize(30);  // ... until a growth passes it
    EXPECT_EQ(table[0], "a");
    for (int i = 1; i < 30; ++i) ASSERT_EQ(table[i], "") << i;
    table[29] = "z";
    table.SetSize(table.GetCapacity() - 1);  // within the capacity: slots never used are default
    EXPECT_EQ(table[29], "z");
    for (int i = 30; i < table.GetCount(); ++i) ASSERT_EQ(table[i], "") << i;
}

}  // namespace

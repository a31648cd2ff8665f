// The memory budget: the process's own limits, lowered by a cap while one is set.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "platform/memory_budget.h"

namespace {

TEST(MemoryBudgetTest, ACapLowersTheBudgetAndLiftingItRestoresIt) {
    const std::uint64_t unlimited = crt::MemoryBudgetBytes();
    ASSERT_GT(unlimited, std::uint64_t{1} << 24);
    crt::SetMemoryBudgetCap(std::uint64_t{1} << 20);
    EXPECT_EQ(crt::MemoryBudgetBytes(), std::uint64_t{1} << 20);
    EXPECT_TRUE(crt::FitsInMemory(1 << 18, 4));
    EXPECT_FALSE(crt::FitsInMemory((1 << 18) + 1, 4));
    crt::SetMemoryBudgetCap(0);
    EXPECT_EQ(crt::MemoryBudgetBytes(), unlimited);
    EXPECT_TRUE(crt::FitsInMemory((1 << 18) + 1, 4));
    // A product that overflows never fits, cap or none.
    EXPECT_FALSE(crt::FitsInMemory(std::numeric_limits<std::uint64_t>::max() / 2, 4));
}

}  // namespace

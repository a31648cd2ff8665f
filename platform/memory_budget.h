// How much memory this process can have at most: what a script-driven allocation is measured
// against before it is tried, so that an absurd request is refused instead of exhausting the
// machine (an overcommitting system would grant it and kill the process when it is touched).
#pragma once

#include <cstdint>

namespace crt {

// The smaller of the process's address-space and data-size limits and the machine's physical memory.
std::uint64_t MemoryBudgetBytes();

// A budget below the process's limits (0: none): a fuzzer sets one, so that no input can grow the
// heap past what the fuzzer may use.
void SetMemoryBudgetCap(std::uint64_t bytes);

// count items of itemBytes each fit in the budget (false too when the product overflows).
bool FitsInMemory(std::uint64_t count, std::uint64_t itemBytes);

}  // namespace crt

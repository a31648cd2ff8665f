// The comparison fuzzers' start: texts that double at every join would take the heap past the
// fuzzer's limit on both sides alike, so past a small budget the joins are refused, as they are
// where memory runs out. Included once by each such target (it defines libFuzzer's hook).
#pragma once

#include <cstdint>

#include "platform/memory_budget.h"

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
    crt::SetMemoryBudgetCap(std::uint64_t{64} << 20);
    return 0;
}

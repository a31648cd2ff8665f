#include "platform/memory_budget.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <limits>

namespace crt {
namespace {

std::uint64_t SoftLimit(int resource) {
    rlimit limit{};
    if (::getrlimit(resource, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return std::numeric_limits<std::uint64_t>::max();
    return static_cast<std::uint64_t>(limit.rlim_cur);
}

std::uint64_t PhysicalMemory() {
    const long pages = ::sysconf(_SC_PHYS_PAGES);
    const long pageSize = ::sysconf(_SC_PAGESIZE);
    if (pages <= 0 || pageSize <= 0) return std::numeric_limits<std::uint64_t>::max();
    return static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(pageSize);
}

std::atomic<std::uint64_t> budgetCap{0};

}  // namespace

void SetMemoryBudgetCap(std::uint64_t bytes) { budgetCap.store(bytes); }

std::uint64_t MemoryBudgetBytes() {
    const std::uint64_t cap = budgetCap.load();
    return std::min({SoftLimit(RLIMIT_AS), SoftLimit(RLIMIT_DATA), PhysicalMemory(),
                     cap != 0 ? cap : std::numeric_limits<std::uint64_t>::max()});
}

bool FitsInMemory(std::uint64_t count, std::uint64_t itemBytes) {
    if (itemBytes != 0 && count > std::numeric_limits<std::uint64_t>::max() / itemBytes) return false;
    return count * itemBytes <= MemoryBudgetBytes();
}

}  // namespace crt

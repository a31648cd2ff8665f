// Watches a test program's heap requests: how many, the largest, and a limit above which one is
// refused with std::bad_alloc (a reader that trusts a size field fails at once instead of touching
// gigabytes). One file of a program defines HEAP_PROBE_OPERATORS to replace operator new and delete.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <new>

namespace heap_probe {

inline std::atomic<long> requests{0};
inline std::atomic<std::size_t> largest{0};
inline std::atomic<std::size_t> limit{0};  // 0: no limit

// Starts a measure: counts and the largest request from here on, requests above `refuseAbove` refused.
inline void Arm(std::size_t refuseAbove = 0) {
    requests = 0;
    largest = 0;
    limit = refuseAbove;
}

// Ends a measure; the largest request asked since Arm.
inline std::size_t Disarm() {
    limit = 0;
    return largest.load();
}

}  // namespace heap_probe

#ifdef HEAP_PROBE_OPERATORS
// GCC sees malloc behind new and free behind delete and takes them for a mismatch; they match.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

void* operator new(std::size_t size) {
    ++heap_probe::requests;
    std::size_t seen = heap_probe::largest.load();
    while (size > seen && !heap_probe::largest.compare_exchange_weak(seen, size)) {
    }
    const std::size_t limit = heap_probe::limit.load();
    if (limit != 0 && size > limit) throw std::bad_alloc();
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return operator new(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
#endif

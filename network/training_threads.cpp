#include "network/training_threads.h"

#include <sched.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace training_threads {

namespace {

std::atomic<int> count{0};
std::atomic<long long> minimumWork{kDefaultMinimumWork};

int Cores() {
    cpu_set_t set;
    if (sched_getaffinity(0, sizeof set, &set) == 0) return std::max(1, CPU_COUNT(&set));
    return std::max(1U, std::thread::hardware_concurrency());
}

std::string_view Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// A positive whole number; counts beyond any machine's cores are all the same limit.
std::optional<int> PositiveNumber(std::string_view text) {
    constexpr int kBeyondAnyMachine = 1 << 20;
    if (text.empty()) return std::nullopt;
    int value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = std::min(kBeyondAnyMachine, value * 10 + (c - '0'));
    }
    if (value == 0) return std::nullopt;
    return value;
}

// The variable's text as the complaint quotes it: printable, and short.
std::string Quoted(std::string_view text) {
    constexpr std::size_t kShown = 40;
    std::string shown;
    for (const char c : text.substr(0, kShown)) shown += c >= ' ' && c <= '~' ? c : '?';
    return "\"" + shown + (text.size() > kShown ? "...\"" : "\"");
}

}  // namespace

void SetCount(int threads) { count = threads; }

int Count() {
    // Asked once: the variable, and the cores (a system call).
    static const int defaultCount = [] {
        std::string complaint;
        const int threads = DefaultCount(Cores(), std::getenv("OMP_NUM_THREADS"), complaint);
        if (!complaint.empty()) std::fputs(complaint.c_str(), stderr);
        return threads;
    }();
    const int set = count.load();
    return set > 0 ? set : defaultCount;
}

std::optional<int> ParseLimit(std::string_view text) {
    std::optional<int> first;
    for (;;) {
        const auto comma = text.find(',');
        const std::optional<int> value = PositiveNumber(Trimmed(text.substr(0, comma)));
        if (!value) return std::nullopt;
        if (!first) first = value;
        if (comma == std::string_view::npos) return first;
        text.remove_prefix(comma + 1);
    }
}

int DefaultCount(int cores, const char* limit, std::string& complaint) {
    if (limit == nullptr) return cores;
    const std::optional<int> threads = ParseLimit(limit);
    if (!threads) {
        complaint = "kestrum: OMP_NUM_THREADS=" + Quoted(limit) + " is not a number of threads; training uses " +
                    std::to_string(cores) + (cores == 1 ? " core\n" : " cores\n");
        return cores;
    }
    return std::min(cores, *threads);
}

void SetMinimumWork(long long multiplyAdds) { minimumWork = std::max(1LL, multiplyAdds); }

long long MinimumWork() { return minimumWork.load(); }

int ForWork(long long multiplyAdds) {
    return static_cast<int>(std::clamp<long long>(multiplyAdds / MinimumWork(), 1, Count()));
}

}  // namespace training_threads

#include "network/training_threads.h"

#include <algorithm>
#include <atomic>

#if defined(_OPENMP)
#include <omp.h>
#endif

namespace training_threads {

namespace {

std::atomic<int> count{0};
std::atomic<long long> minimumWork{kDefaultMinimumWork};

}  // namespace

void SetCount(int threads) { count = threads; }

int Count() {
#if defined(_OPENMP)
    // The cores this process may run on, asked once: the question is a system call.
    static const int cores = omp_get_num_procs();
    const int set = count.load();
    return set > 0 ? set : cores;
#else
    return 1;  // built without a thread library: every pass on the training's thread
#endif
}

void SetMinimumWork(long long multiplyAdds) { minimumWork = std::max(1LL, multiplyAdds); }

long long MinimumWork() { return minimumWork.load(); }

int ForWork(long long multiplyAdds) {
    const long long threads = multiplyAdds / MinimumWork();
    if (threads <= 1) return 1;
    return static_cast<int>(std::clamp<long long>(threads, 1, Count()));
}

}  // namespace training_threads

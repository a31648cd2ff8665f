#include "network/thread_team.h"

#include <pthread.h>

#include <algorithm>
#include <chrono>
#include <exception>
#include <mutex>

struct ThreadTeam::Helper {
    std::atomic<std::uint32_t> call{0};  // the job it was last called to, or a change that ends it
    std::thread thread;
};

namespace {

// How long a waiting thread looks before it yields its core between looks: long enough to catch
// the next phase of a pass without a system call.
constexpr auto kLookTime = std::chrono::microseconds(50);
// How long it goes on looking, yielding its core between looks, before it sleeps. On a quiet machine
// a yield returns at once, so a helper is there when the training thread's own part of a pass (its
// errors, the weights' update) ends, without a wake-up call per helper and phase; on a busy one a
// yield hands the core to whoever is waiting for it.
constexpr auto kYieldTime = std::chrono::milliseconds(2);

// A ticket's item while the job is being set up: past any count.
constexpr std::uint32_t kNoItem = 0xFFFFFFFFu;

void CpuRelax() {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#endif
}

// Returns once `ready` holds for the word's value: looks, then looks and yields, then sleeps between
// changes.
template <class Ready>
void WaitFor(const std::atomic<std::uint32_t>& word, Ready ready) {
    const auto start = std::chrono::steady_clock::now();
    for (unsigned looks = 1;; ++looks) {
        if (ready(word.load(std::memory_order_acquire))) return;
        if (looks % 64 == 0 && std::chrono::steady_clock::now() - start >= kLookTime) break;
        CpuRelax();
    }
    while (std::chrono::steady_clock::now() - start < kYieldTime) {
        if (ready(word.load(std::memory_order_acquire))) return;
        std::this_thread::yield();
    }
    for (std::uint32_t value = word.load(std::memory_order_acquire); !ready(value);
         value = word.load(std::memory_order_acquire))
        word.wait(value, std::memory_order_acquire);
}

std::thread StartStdThread(std::function<void()> body) { return std::thread(std::move(body)); }

std::atomic<ThreadTeam::ThreadStarter> threadStarter{&StartStdThread};

thread_local ThreadTeam* thisThreadsTeam = nullptr;

}  // namespace

ThreadTeam& ThreadTeam::OfThisThread() {
    static std::once_flag forkHandler;
    std::call_once(forkHandler, [] { pthread_atfork(nullptr, nullptr, &ThreadTeam::ForgetHelpersAfterFork); });
    thread_local ThreadTeam team;
    thisThreadsTeam = &team;
    return team;
}

ThreadTeam::ThreadStarter ThreadTeam::SetThreadStarter(ThreadStarter starter) { return threadStarter.exchange(starter); }

ThreadTeam::~ThreadTeam() {
    ending_.store(true, std::memory_order_release);
    for (const auto& helper : helpers_) {
        helper->call.fetch_add(1, std::memory_order_release);
        helper->call.notify_one();
    }
    for (const auto& helper : helpers_) helper->thread.join();
}

// A child of fork has only the thread that forked: its team's helpers are not there. They are kept
// where no destructor reaches them (a helper's thread cannot be joined in the child).
void ThreadTeam::ForgetHelpersAfterFork() {
    if (thisThreadsTeam == nullptr) return;
    static auto* forgotten = new std::vector<std::unique_ptr<Helper>>;
    for (auto& helper : thisThreadsTeam->helpers_) forgotten->push_back(std::move(helper));
    thisThreadsTeam->helpers_.clear();
}

void ThreadTeam::Run(int threads, int count, ItemFunction function, void* context) {
    const int wanted = std::min(threads, count) - 1;
    const int helpers = wanted > 0 ? std::min(wanted, StartHelpers(wanted)) : 0;
    if (helpers <= 0) {
        for (int i = 0; i < count; ++i) function(context, i);
        return;
    }
    const std::uint32_t generation = ++generation_;
    // The last job's ticket is closed before its description changes: a late helper that reads the
    // new count (acquire) then finds the ticket it holds gone, and cannot take an item past the last
    // job's end, which would run in this job a second time.
    ticket_.store((std::uint64_t{generation} << 32) | kNoItem, std::memory_order_relaxed);
    count_.store(count, std::memory_order_release);
    function_.store(function, std::memory_order_relaxed);
    context_.store(context, std::memory_order_relaxed);
    done_.store(0, std::memory_order_relaxed);
    ticket_.store(std::uint64_t{generation} << 32, std::memory_order_release);
    for (int h = 0; h < helpers; ++h) {
        Helper& helper = *helpers_[static_cast<std::size_t>(h)];
        helper.call.store(generation, std::memory_order_release);
        helper.call.notify_one();
    }
    TakeItems(generation);
    WaitFor(done_, [count](std::uint32_t done) { return done == static_cast<std::uint32_t>(count); });
}

int ThreadTeam::StartHelpers(int wanted) {
    while (!refused_ && Helpers() < wanted) {
        try {
            helpers_.reserve(static_cast<std::size_t>(wanted));
            auto helper = std::make_unique<Helper>();
            Helper& h = *helper;
            helper->thread = threadStarter.load()([this, &h] { HelperLoop(h); });
            helpers_.push_back(std::move(helper));  // room reserved: cannot fail with the thread running
        } catch (const std::exception&) {
            refused_ = true;  // no more threads (or memory) for this team: its work runs on those it has
        }
    }
    return Helpers();
}

void ThreadTeam::HelperLoop(Helper& helper) {
    std::uint32_t seen = 0;
    for (;;) {
        WaitFor(helper.call, [seen](std::uint32_t call) { return call != seen; });
        // The call is read before the end is looked at: the end's call, read after a look that
        // missed the end, would pass for a job and leave the helper waiting for a call that never
        // comes, and its thread's end waiting for the helper.
        seen = helper.call.load(std::memory_order_acquire);
        if (ending_.load(std::memory_order_acquire)) return;
        TakeItems(seen);
    }
}

void ThreadTeam::TakeItems(std::uint32_t generation) {
    std::uint64_t ticket = ticket_.load(std::memory_order_acquire);
    for (;;) {
        if (ticket >> 32 != generation) return;
        const auto item = static_cast<std::uint32_t>(ticket);
        if (item >= static_cast<std::uint32_t>(count_.load(std::memory_order_acquire))) return;
        if (!ticket_.compare_exchange_weak(ticket, ticket + 1, std::memory_order_acq_rel, std::memory_order_acquire))
            continue;
        // The item is ours and the job cannot end before it has run: its description holds.
        function_.load(std::memory_order_relaxed)(context_.load(std::memory_order_relaxed), static_cast<int>(item));
        const auto count = static_cast<std::uint32_t>(count_.load(std::memory_order_relaxed));
        if (done_.fetch_add(1, std::memory_order_acq_rel) + 1 == count) done_.notify_one();
        ticket = ticket_.load(std::memory_order_acquire);
    }
}

// The threads that share a training pass's work with the thread that trains. Each thread that
// trains keeps its own helpers: started at its first shared pass, parked between passes, ended
// with it. The engine needs nothing of a threading runtime but threads, so no setting of one (nor a
// second runtime that a library brings into the process) can change what training does.
//
// A busy machine is the usual case, not the exception: nothing ever waits by spinning for long (a
// parked helper or a waiting caller looks for a few microseconds, then yields its core to whoever
// has work between looks, and sleeps after two milliseconds), and no item is assigned ahead: a helper takes the next item when it comes to run, so
// one that the scheduler keeps off a core delays only the item it holds, never the items it would
// have been given, and the caller waits for the items, never for a helper that has none. A helper
// that cannot be started is simply not there: the items run on the threads that are.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

class ThreadTeam {
public:
    // The calling thread's team.
    static ThreadTeam& OfThisThread();

    ThreadTeam() = default;
    ~ThreadTeam();
    ThreadTeam(const ThreadTeam&) = delete;
    ThreadTeam& operator=(const ThreadTeam&) = delete;

    // Runs item(i) for every i in 0 .. count - 1 on up to `threads` threads, the calling thread among
    // them, and returns when every item has run. Which thread runs which item must not matter, and
    // an item must not throw.
    template <class Item>
    void Run(int threads, int count, Item& item) {
        Run(threads, count, [](void* context, int i) { (*static_cast<Item*>(context))(i); }, &item);
    }

    // Helpers started so far.
    int Helpers() const { return static_cast<int>(helpers_.size()); }

    // Starts a thread that runs `body`, or throws std::system_error when the system gives none
    // (the default is std::thread's constructor). Tests replace it to see such a system; returns
    // the one it replaces.
    using ThreadStarter = std::thread (*)(std::function<void()> body);
    static ThreadStarter SetThreadStarter(ThreadStarter starter);

private:
    using ItemFunction = void (*)(void* context, int item);
    struct Helper;

    void Run(int threads, int count, ItemFunction function, void* context);
    // Starts helpers up to `wanted` where the system allows; the helpers there are.
    int StartHelpers(int wanted);
    void HelperLoop(Helper& helper);
    // Runs items of the job of `generation` until none is left or the job has passed.
    void TakeItems(std::uint32_t generation);
    static void ForgetHelpersAfterFork();

    std::vector<std::unique_ptr<Helper>> helpers_;
    bool refused_ = false;  // the system gave no more threads: none is asked for again
    std::uint32_t generation_ = 0;
    // The current job: its generation (high half) and next item (low half), claimed by exchange, so
    // that a helper coming late to a finished job can never take an item of the next one.
    std::atomic<std::uint64_t> ticket_{0};
    std::atomic<int> count_{0};
    std::atomic<ItemFunction> function_{nullptr};
    std::atomic<void*> context_{nullptr};
    std::atomic<std::uint32_t> done_{0};  // items of the current job that have run
    std::atomic<bool> ending_{false};
};

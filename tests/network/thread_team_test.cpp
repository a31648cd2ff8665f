// The threads that share a pass: every item of a job runs exactly once, on any number of threads and
// job after job, and the helpers take items while the calling thread is busy with one.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

#include "network/thread_team.h"

TEST(ThreadTeam, EveryItemRunsOnceOnAnyNumberOfThreadsJobAfterJob) {
    for (const int threads : {1, 2, 3, 8, 16}) {
        for (const int count : {0, 1, 2, 15, 16, 17, 1000}) {
            // A new thread, a new team; many jobs on it, so that late helpers meet later jobs.
            std::thread trainer([&] {
                ThreadTeam& team = ThreadTeam::OfThisThread();
                for (int job = 0; job < 40; ++job) {
                    std::vector<std::atomic<int>> runs(static_cast<std::size_t>(count));
                    auto item = [&](int i) { runs[static_cast<std::size_t>(i)].fetch_add(1); };
                    team.Run(threads, count, item);
                    for (int i = 0; i < count; ++i)
                        ASSERT_EQ(runs[static_cast<std::size_t>(i)].load(), 1)
                            << threads << " threads, " << count << " items, job " << job << ", item " << i;
                }
                EXPECT_LE(team.Helpers(), threads - 1);
            });
            trainer.join();
        }
    }
}

TEST(ThreadTeam, AJobOfMoreItemsRightAfterOneOfFewerRunsEachOfItsItemsOnce) {
    // A late helper that has seen the last job's items all taken must not take one of the next job
    // while that job is being set up: the job counts change at every call, as a pass's chunks do.
    std::thread trainer([] {
        ThreadTeam& team = ThreadTeam::OfThisThread();
        std::vector<std::atomic<int>> runs(16);
        for (int job = 0; job < 20000; ++job) {
            const int count = 2 + job % 7;
            for (int i = 0; i < count; ++i) runs[static_cast<std::size_t>(i)].store(0);
            auto item = [&](int i) { runs[static_cast<std::size_t>(i)].fetch_add(1); };
            team.Run(8, count, item);
            for (int i = 0; i < count; ++i)
                ASSERT_EQ(runs[static_cast<std::size_t>(i)].load(), 1) << "job " << job << ", item " << i;
        }
    });
    trainer.join();
}

TEST(ThreadTeam, HelpersTakeItemsWhileTheCallerIsBusy) {
    // Each item waits until two threads are inside items: the caller alone could never get past
    // its first item. The wait is bounded, so a team without helpers fails instead of hanging.
    ThreadTeam& team = ThreadTeam::OfThisThread();
    std::mutex mutex;
    std::set<std::thread::id> inside;
    std::atomic<bool> waitedInVain{false};
    auto item = [&](int) {
        {
            std::lock_guard<std::mutex> lock(mutex);
            inside.insert(std::this_thread::get_id());
        }
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        for (;;) {
            {
                std::lock_guard<std::mutex> lock(mutex);
                if (inside.size() >= 2) return;
            }
            if (std::chrono::steady_clock::now() > until) {
                waitedInVain = true;
                return;
            }
            std::this_thread::sleep_for(std::chrono::microseconds(100));
        }
    };
    team.Run(4, 4, item);
    EXPECT_FALSE(waitedInVain.load());
    EXPECT_GE(inside.size(), 2u);
    EXPECT_GE(team.Helpers(), 1);
}

TEST(ThreadTeam, EndsWithItsThreadWhenAHelperIsLateForItsLastJob) {
    // A helper called to a job that it comes to only as its thread ends must take the end's call
    // for the end, not for a job to wait out: the thread ends (it hung there at times before).
    struct Ended {
        std::promise<void>* promise = nullptr;
        ~Ended() {
            if (promise != nullptr) promise->set_value();
        }
    };
    // Each round starts eight threads: a loaded machine gets fewer rounds (never under 300) rather
    // than the test's time-out.
    const auto budget = std::chrono::steady_clock::now() + std::chrono::seconds(6);
    for (int round = 0; round < 3000 && (round < 300 || std::chrono::steady_clock::now() < budget); ++round) {
        std::promise<void> ended;
        std::future<void> end = ended.get_future();
        std::thread trainer([&ended] {
            thread_local Ended whenEnded;  // made before the team, so it goes after it
            whenEnded.promise = &ended;
            ThreadTeam& team = ThreadTeam::OfThisThread();
            for (int job = 0; job < 8; ++job) {
                auto item = [](int) {};
                team.Run(8, 8 - job, item);
            }
        });
        const bool endedInTime = end.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
        if (!endedInTime) {
            trainer.detach();  // it hangs: left behind, so that the failure is reported
            FAIL() << "the training thread did not end, round " << round;
        }
        trainer.join();
    }
}

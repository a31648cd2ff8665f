// What the environment does to training's threads: a thread count in OMP_NUM_THREADS limits them,
// any other text is ignored with one line on stderr, no OpenMP setting ends the program, and a
// training whose threads cannot start (too little address space) runs on those that can.
#include <gtest/gtest.h>

#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>
#include <string>

#include "engine_test_support.h"
#include "network/thread_team.h"
#include "network/training_threads.h"
#include "platform/crt_runtime.h"

namespace {

TEST(TrainingThreadCount, TheVariableLimitsTheCoresOrIsIgnoredWithOneLine) {
    struct Case {
        const char* text;  // null: not set
        int cores;
        int threads;
        bool complaint;
    };
    const Case cases[] = {
        {nullptr, 8, 8, false},
        {"4", 8, 4, false},
        {"4", 2, 2, false},  // a limit, not a demand
        {"1", 8, 1, false},
        {" 3 ", 8, 3, false},
        {"2,1", 8, 2, false},  // OpenMP's list for nested levels: the first counts
        {"3, 2 ,1", 8, 3, false},
        {"99999999999999999999", 8, 8, false},
        {"", 8, 8, true},
        {"   ", 8, 8, true},
        {"garbage", 8, 8, true},
        {"4,x", 8, 8, true},
        {"4,", 8, 8, true},
        {",4", 8, 8, true},
        {"0", 8, 8, true},
        {"-1", 8, 8, true},
        {"+4", 8, 8, true},
        {"4 4", 8, 8, true},
        {"0x4", 8, 8, true},
        {"garbage", 1, 1, true},
    };
    for (const Case& c : cases) {
        std::string complaint;
        const std::string shown = c.text ? std::string("\"") + c.text + "\"" : "unset";
        EXPECT_EQ(training_threads::DefaultCount(c.cores, c.text, complaint), c.threads) << shown;
        EXPECT_EQ(!complaint.empty(), c.complaint) << shown;
        if (!c.complaint) continue;
        EXPECT_EQ(complaint, "kestrum: OMP_NUM_THREADS=\"" + std::string(c.text) + "\" is not a number of threads; " +
                                 "training uses " + std::to_string(c.cores) + (c.cores == 1 ? " core\n" : " cores\n"));
    }
}

TEST(TrainingThreadCount, TheComplaintIsOneShortPrintableLine) {
    std::string complaint;
    training_threads::DefaultCount(4, "a\nb\033[2J", complaint);
    EXPECT_EQ(complaint, "kestrum: OMP_NUM_THREADS=\"a?b?[2J\" is not a number of threads; training uses 4 cores\n");
    complaint.clear();
    training_threads::DefaultCount(4, std::string(5000, 'x').c_str(), complaint);
    EXPECT_EQ(complaint, "kestrum: OMP_NUM_THREADS=\"" + std::string(40, 'x') +
                             "...\" is not a number of threads; training uses 4 cores\n");
}

// --- in a process of its own: the environment as a program starts with it ---

int CoresOfThisProcess() {
    cpu_set_t set;
    return sched_getaffinity(0, sizeof set, &set) == 0 ? CPU_COUNT(&set) : 1;
}

// A training whose every pass is shared among the threads it may use.
std::vector<double> TrainShared() {
    CFeedForwardNeuralNetwork net;
    enginetest::LogSigmoidNetwork(net, 12, {20, 4}, 3);
    int n = 0;
    enginetest::ForEachWeight(net, [&](Neuron& neuron, int c) { neuron.SetWeight(c, 0.01 * (n++ % 37) - 0.18); });
    for (int p = 0; p < 300; ++p) {
        std::vector<double> in(12), out(4);
        for (int k = 0; k < 12; ++k) in[static_cast<std::size_t>(k)] = ((p * 7 + k * 3) % 11) / 10.0;
        out[static_cast<std::size_t>(p % 4)] = 1.0;
        net.AddPair(kTrainingPairs, enginetest::MakePair(in, out));
    }
    training_threads::SetMinimumWork(1);
    std::string error;
    crt::Srand(1);
    EXPECT_EQ(net.Train(error, nullptr), 1) << error;
    std::vector<double> weights;
    enginetest::ForEachWeight(net, [&](Neuron& neuron, int c) { weights.push_back(neuron.GetWeight(c)); });
    return weights;
}

bool SameBits(const std::vector<double>& a, const std::vector<double>& b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0;
}

// Trains with the default count as this process has it; says on stderr how many threads it used.
[[noreturn]] void TrainAndTell() {
    training_threads::SetCount(1);
    const std::vector<double> one = TrainShared();
    training_threads::SetCount(0);
    const std::vector<double> shared = TrainShared();
    std::fprintf(stderr, "threads %d helpers %d\n", training_threads::Count(), ThreadTeam::OfThisThread().Helpers());
    std::exit(SameBits(one, shared) ? 0 : 1);
}

// Sets a variable for this process and the children it makes, and puts it back at the end.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        if (value) {
            setenv(name, value, 1);
        } else {
            unsetenv(name);
        }
    }
    ~ScopedVariable() {
        if (old_) {
            setenv(name_, old_->c_str(), 1);
        } else {
            unsetenv(name_);
        }
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(TrainingThreadCount, AProgramTrainsUnderEveryOpenMpSetting) {
    // Each child is this program started afresh, so that it reads its environment as it starts.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const int cores = CoresOfThisProcess();
    const std::string all = std::to_string(cores), two = std::to_string(std::min(2, cores));
    const std::string helpersOfAll = "helpers [0-" + std::to_string(cores - 1) + "]\n$";
    const std::string ignored = " is not a number of threads; training uses " + all + " cores?\n";
    struct Case {
        const char* name;
        const char* value;
        std::string stderrPattern;
    };
    const Case cases[] = {
        {"OMP_NUM_THREADS", nullptr, "^threads " + all + " " + helpersOfAll},
        {"OMP_NUM_THREADS", "1", "^threads 1 helpers 0\n$"},
        {"OMP_NUM_THREADS", "2", "^threads " + two + " helpers [01]\n$"},
        {"OMP_NUM_THREADS", "", "^kestrum: OMP_NUM_THREADS=\"\"" + ignored + "threads " + all + " " + helpersOfAll},
        {"OMP_NUM_THREADS", "garbage",
         "^kestrum: OMP_NUM_THREADS=\"garbage\"" + ignored + "threads " + all + " " + helpersOfAll},
        {"OMP_NUM_THREADS", "4,x", "^kestrum: OMP_NUM_THREADS=\"4,x\"" + ignored + "threads " + all + " " + helpersOfAll},
        {"OMP_STACKSIZE", "1T", "^threads " + all + " " + helpersOfAll},
        {"OMP_THREAD_LIMIT", "garbage", "^threads " + all + " " + helpersOfAll},
        {"KMP_BLOCKTIME", "-5", "^threads " + all + " " + helpersOfAll},
    };
    for (const Case& c : cases) {
        const ScopedVariable variable(c.name, c.value);
        EXPECT_EXIT(TrainAndTell(), ::testing::ExitedWithCode(0), c.stderrPattern)
            << c.name << "=" << (c.value ? c.value : "(unset)");
    }
}

#if !defined(ENGINETEST_ADDRESS_SANITIZER) && !defined(ENGINETEST_THREAD_SANITIZER)  // their shadow memory
// The address space this process holds now (VmSize), in bytes.
rlim_t AddressSpace() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmSize:", 0) == 0) return static_cast<rlim_t>(std::atoll(line.c_str() + 7)) * 1024;
    return 0;
}

// Trains on 8 threads with `room` bytes of address space to spare; says how many helpers it had.
[[noreturn]] void TrainInRoom(rlim_t room, const std::vector<double>& expected) {
    rlimit limit;
    limit.rlim_cur = limit.rlim_max = AddressSpace() + room;
    setrlimit(RLIMIT_AS, &limit);
    training_threads::SetCount(8);
    const bool same = SameBits(TrainShared(), expected);
    std::fprintf(stderr, "helpers %d\n", ThreadTeam::OfThisThread().Helpers());
    std::exit(same ? 0 : 1);
}

TEST(TrainingThreadCount, ATrainingWithoutRoomForItsThreadsRunsOnTheThreadItHas) {
    // In a fresh child (no stacks of ended threads kept for reuse): training in the room that it
    // needs itself, but without room for a thread's stack.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    pthread_attr_t defaults;
    std::size_t stack = 0;
    if (pthread_getattr_default_np(&defaults) == 0) pthread_attr_getstacksize(&defaults, &stack);
    const rlim_t room = stack / 4 * 3;
    if (room < (rlim_t{4} << 20)) GTEST_SKIP() << "threads' stacks of " << stack << " bytes leave no room to test in";
    training_threads::SetCount(1);
    const std::vector<double> one = TrainShared();
    training_threads::SetCount(0);
    EXPECT_EXIT(TrainInRoom(room, one), ::testing::ExitedWithCode(0), "^helpers 0\n$");
}
#endif

}  // namespace

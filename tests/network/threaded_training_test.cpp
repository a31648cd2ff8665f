// Training shares each pass among threads; with any number of threads it must give the one-thread
// path's bits: every weight, every output, every call on the view (curves, counters, report
// texts), the error text and the random numbers drawn. Stop and pause still act after the pass.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <unistd.h>
#include <random>
#include <system_error>
#include <thread>

#include "engine_test_support.h"
#include "plain_training.h"
#include "network/pass_chunk.h"
#include "network/training_threads.h"
#include "network/thread_team.h"
#include "network/training_work.h"
#include "platform/crt_runtime.h"

using enginetest::MakePair;
using enginetest::RecordingView;
using enginetest::ViewCall;

namespace {

// Sets the thread count for a test and shares even the smallest pass; restores both at the end.
class ThreadSetting {
public:
    explicit ThreadSetting(int threads, long long minimumWork = 1) {
        training_threads::SetCount(threads);
        training_threads::SetMinimumWork(minimumWork);
    }
    ~ThreadSetting() {
        training_threads::SetCount(0);
        training_threads::SetMinimumWork(training_threads::kDefaultMinimumWork);
    }
};

// Records the report lines as well.
class TextView : public RecordingView {
public:
    void OutputText(const std::string& text, int append, int before, int after, int repaint) override {
        calls.push_back({"OutputText", {double(append), double(before), double(after), double(repaint)}, text});
    }
};

struct Shape {
    const char* what;
    int inputs;
    std::vector<int> layers;
    int function;
    int trainingPairs;
    int testingPairs;  // their targets: classes, or any value when `classes` is false
    bool classes;
    int epochs;
    int updateEpochs = 2;
};

const Shape kShapes[] = {
    {"one layer, classes", 3, {2}, FCN_LOGSIG, 7, 5, true, 9},
    {"two layers, no tests", 5, {7, 3}, FCN_TANSIG, 13, 0, true, 6},
    {"empty hidden layer", 4, {0, 2}, FCN_LOGSIG, 10, 3, true, 4},
    {"three layers, measured tests", 4, {9, 6, 2}, FCN_LOGSIG, 29, 6, false, 7},
    {"four layers, two chunks", 10, {12, 11, 5, 4}, FCN_TANSIG, 1100, 17, true, 3},
    {"no trainable function", 3, {4, 2}, FCN_HARDLIM, 11, 4, true, 5},
};

void Build(const Shape& s, CFeedForwardNeuralNetwork& net) {
    std::mt19937 rng(static_cast<unsigned>(s.trainingPairs * 31 + s.inputs));
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    enginetest::Shape(net, s.inputs, s.layers);
    net.SetFunction(s.function);
    net.SetBias(0.7);
    net.Steepness = 1.3;
    net.LearningConstant = 0.9;
    net.SmartLearningConstant = s.epochs % 2;
    net.ShowStorms = s.epochs % 3 == 0 ? 0 : 1;
    net.LearningMaxError = -1.0;
    net.MaxEpochs = s.epochs;
    net.UpdateEpochs = s.updateEpochs;
    net.TextMessageLearning = 1;
    enginetest::ForEachWeight(net, [&](Neuron& neuron, int c) { neuron.SetWeight(c, 2 * unit(rng) - 1); });
    const auto pair = [&](bool testing) {
        std::vector<double> in(static_cast<std::size_t>(s.inputs)), out(static_cast<std::size_t>(s.layers.back()));
        for (double& v : in) v = 2 * unit(rng) - 1;
        for (double& v : out) v = testing && s.classes ? double(int(unit(rng) * 3) - 1) : unit(rng);
        return MakePair(in, out);
    };
    for (int p = 0; p < s.trainingPairs; ++p) net.AddPair(kTrainingPairs, pair(false));
    for (int p = 0; p < s.testingPairs; ++p) net.AddPair(kTestingPairs, pair(true));
}

// What a training leaves behind, to be compared bit for bit.
struct Outcome {
    int result = 0;
    std::string error;
    std::vector<ViewCall> calls;
    std::vector<double> weights, outputs;
    int nextRandom = 0;
};

Outcome Train(const Shape& s) {
    CFeedForwardNeuralNetwork net;
    Build(s, net);
    TextView view;
    Outcome o;
    crt::Srand(1);
    o.result = net.Train(o.error, &view);
    o.nextRandom = crt::Rand();
    o.calls = view.calls;
    enginetest::ForEachWeight(net, [&](Neuron& neuron, int c) { o.weights.push_back(neuron.GetWeight(c)); });
    for (int j = 0; j < net.GetLayerCount(); ++j)
        for (int k = 0; k < net.GetLayerSize(j); ++k) o.outputs.push_back(net.GetNeuronOutput(k, j));
    return o;
}

bool SameBits(const std::vector<double>& a, const std::vector<double>& b) {
    return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0);
}

::testing::AssertionResult SameOutcome(const Outcome& a, const Outcome& b) {
    if (a.result != b.result || a.error != b.error) return ::testing::AssertionFailure() << "result or error text";
    if (a.nextRandom != b.nextRandom) return ::testing::AssertionFailure() << "random numbers drawn";
    if (!SameBits(a.weights, b.weights)) return ::testing::AssertionFailure() << "weights";
    if (!SameBits(a.outputs, b.outputs)) return ::testing::AssertionFailure() << "outputs";
    if (a.calls.size() != b.calls.size()) return ::testing::AssertionFailure() << "number of view calls";
    for (std::size_t i = 0; i < a.calls.size(); ++i) {
        const ViewCall &x = a.calls[i], &y = b.calls[i];
        if (x.name != y.name || x.text != y.text || !SameBits(x.numbers, y.numbers))
            return ::testing::AssertionFailure() << "view call " << i << " (" << x.name << ")";
    }
    return ::testing::AssertionSuccess();
}

}  // namespace

TEST(ThreadedTraining, EveryThreadCountGivesTheOneThreadBits) {
    for (const Shape& s : kShapes) {
        Outcome one;
        {
            ThreadSetting setting(1);
            one = Train(s);
        }
        ASSERT_FALSE(one.weights.empty()) << s.what;
        EXPECT_EQ(one.result, s.function == FCN_HARDLIM ? 0 : 1) << s.what;
        for (const int threads : {2, 3, 8}) {
            ThreadSetting setting(threads);
            EXPECT_TRUE(SameOutcome(Train(s), one)) << s.what << ", " << threads << " threads";
        }
    }
}

// A network wider than one share of the gradient sums (256 connections): 784-300-10 cuts its first
// layer into shares across and down, ending in shares of neither full width nor full height, and its
// second layer (301 connections) in two. On every thread count the bits of the plain formulation.
TEST(ThreadedTraining, ANetworkWiderThanAGradientShareGivesThePlainBitsOnEveryThreadCount) {
    constexpr int kPairs = 40, kEpochs = 2;
    CFeedForwardNeuralNetwork net;
    enginetest::LogSigmoidNetwork(net, 784, {300, 10}, kEpochs);
    net.LearningConstant = 0.7;
    std::mt19937 rng(17);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    enginetest::ForEachWeight(net, [&](Neuron& neuron, int c) { neuron.SetWeight(c, 0.1 * unit(rng) - 0.05); });
    std::vector<std::vector<double>> x, t;
    for (int p = 0; p < kPairs; ++p) {
        x.emplace_back(784);
        for (double& v : x.back()) v = unit(rng);
        t.emplace_back(10, 0.0);
        t.back()[static_cast<std::size_t>(p % 10)] = 1.0;
        net.AddPair(kTrainingPairs, MakePair(x.back(), t.back()));
    }
    enginetest::Reference plain = enginetest::PlainCopy(net);
    crt::Srand(1);
    plain.Train(x, t, net.LearningConstant, kEpochs);
    for (const int threads : {1, 2, 3, 8}) {
        ThreadSetting setting(threads);
        CFeedForwardNeuralNetwork trained(net);
        std::string error;
        crt::Srand(1);
        ASSERT_EQ(trained.Train(error, nullptr), 1) << error;
        EXPECT_TRUE(enginetest::MatchesReference(trained, plain)) << threads << " threads";
    }
}

namespace {

// A system that gives a training `allowed` threads, then no more.
std::atomic<int> threadsAllowed{0};
std::thread StartWhileAllowed(std::function<void()> body) {
    if (threadsAllowed.fetch_sub(1) <= 0) throw std::system_error(EAGAIN, std::generic_category(), "no thread");
    return std::thread(std::move(body));
}

}  // namespace

TEST(ThreadedTraining, ThreadsThatCannotStartLeaveThePassToTheOthers) {
    const Shape& s = kShapes[4];
    Outcome one;
    {
        ThreadSetting setting(1);
        one = Train(s);
    }
    for (const int allowed : {0, 2}) {
        threadsAllowed = allowed;
        const ThreadTeam::ThreadStarter usual = ThreadTeam::SetThreadStarter(&StartWhileAllowed);
        // A new thread has a new team, which starts its helpers now.
        std::thread trainer([&] {
            ThreadSetting setting(8);
            EXPECT_TRUE(SameOutcome(Train(s), one)) << allowed << " threads allowed";
            EXPECT_TRUE(SameOutcome(Train(s), one)) << allowed << " threads allowed, second training";
            EXPECT_EQ(ThreadTeam::OfThisThread().Helpers(), allowed);
        });
        trainer.join();
        ThreadTeam::SetThreadStarter(usual);
    }
}

#if !defined(ENGINETEST_THREAD_SANITIZER)  // which ends a child of a threaded fork that starts threads
TEST(ThreadedTraining, AChildOfForkTrainsOnThreadsOfItsOwn) {
    // The helpers of the thread that forks are not in the child: its training must not wait for
    // them, nor its end (exit ends the thread's team) for their ends.
    const Shape& s = kShapes[4];
    Outcome one;
    {
        ThreadSetting setting(1);
        one = Train(s);
    }
    ThreadSetting setting(4);
    ASSERT_TRUE(SameOutcome(Train(s), one));
    ASSERT_GE(ThreadTeam::OfThisThread().Helpers(), 1);
    EXPECT_EXIT(
        {
            alarm(20);
            std::exit(SameOutcome(Train(s), one) ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}
#endif

TEST(ThreadedTraining, SmallPassesStayOnOneThreadAndLargeOnesShare) {
    ThreadSetting setting(8, training_threads::kDefaultMinimumWork);
    for (const Shape& s : kShapes) {
        CFeedForwardNeuralNetwork net;
        Build(s, net);
        const long long work = PairWork(net, true) * std::min(s.trainingPairs, TrainingWork::kMaximumChunkPairs);
        EXPECT_EQ(training_threads::ForWork(work) > 1, s.trainingPairs > 1000) << s.what;
    }
    // XOR's pass, and network (b)'s.
    CFeedForwardNeuralNetwork xorNet, b;
    enginetest::Shape(xorNet, 2, {10, 1});
    enginetest::Shape(b, 64, {128, 128, 10});
    EXPECT_EQ(training_threads::ForWork(4 * PairWork(xorNet, true)), 1);
    EXPECT_EQ(training_threads::ForWork(1000 * PairWork(b, true)), 8);
}

TEST(ThreadedTraining, ThreadsFollowTheWorkAndTheSetting) {
    ThreadSetting setting(8, 1000);
    EXPECT_EQ(training_threads::ForWork(10), 1);
    EXPECT_EQ(training_threads::ForWork(2999), 2);
    EXPECT_EQ(training_threads::ForWork(1000000), 8);
    training_threads::SetCount(3);
    EXPECT_EQ(training_threads::ForWork(1000000), 3);
    training_threads::SetCount(0);
    EXPECT_GE(training_threads::Count(), 1);  // the machine's cores
}

namespace {

// A network whose passes are long enough to be interrupted, trained on 8 threads while another
// thread acts on the view's flags; the epochs it reached and its weights.
struct Interrupted {
    int epochs = 0;
    std::vector<double> weights;
    std::vector<ViewCall> calls;
};

const Shape kLong = {"long passes", 24, {48, 6}, FCN_LOGSIG, 900, 5, true, 1000000, 100};

std::vector<double> WeightsAfter(int epochs) {
    Shape s = kLong;
    s.epochs = epochs;
    ThreadSetting setting(1);
    return Train(s).weights;
}

template <class Act>
Interrupted TrainWhile(Act act) {
    ThreadSetting setting(8);
    CFeedForwardNeuralNetwork net;
    Build(kLong, net);
    TextView view;
    std::atomic<int> epochs{0};
    view.onCall = [&](const ViewCall& call) {
        if (call.name == "AddTrainingGraphPoint" && call.numbers[0] == 0) ++epochs;
    };
    std::thread actor([&] { act(view, epochs); });
    std::string error;
    crt::Srand(1);
    EXPECT_EQ(net.Train(error, &view), 1) << error;
    actor.join();
    Interrupted out;
    out.epochs = epochs.load();
    out.calls = view.calls;
    enginetest::ForEachWeight(net, [&](Neuron& neuron, int c) { out.weights.push_back(neuron.GetWeight(c)); });
    return out;
}

void WaitForEpochs(const std::atomic<int>& epochs, int count) {
    while (epochs.load() < count) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

// The end of a stopped training: after the last pass's curve point its report, which forces the
// weights, then the final test and the end; the weights of exactly that many epochs.
void ExpectStoppedAfterAPass(const Interrupted& run) {
    std::vector<std::string> tail;
    for (std::size_t i = run.calls.size(); i-- > 0;) {
        const ViewCall& c = run.calls[i];
        tail.insert(tail.begin(), c.name + (c.name == "AddTrainingGraphPoint" ? std::to_string(int(c.numbers[0])) : ""));
        if (c.name == "AddTrainingGraphPoint" && c.numbers[0] == 1) break;
        if (c.name == "UpdateTrainingStats") {
            EXPECT_EQ(c.numbers[0], run.epochs);
        }
        if (c.name == "UpdateStructureWeights") {
            EXPECT_EQ(c.numbers, (std::vector<double>{1, 1}));
        }
    }
    const std::vector<std::string> expected = {"AddTrainingGraphPoint1", "UpdateTrainingStats", "UpdateStructureWeights",
                                               "OutputText", "AddTrainingGraphPoint2", "AddTrainingGraphPoint2",
                                               "EndTrainingDisplay"};
    EXPECT_EQ(tail, expected);
    EXPECT_TRUE(SameBits(run.weights, WeightsAfter(run.epochs))) << run.epochs << " epochs";
}

}  // namespace

TEST(ThreadedTraining, StopDuringAPassActsAfterIt) {
    const Interrupted run = TrainWhile([](RecordingView& view, const std::atomic<int>& epochs) {
        WaitForEpochs(epochs, 3);
        std::this_thread::sleep_for(std::chrono::microseconds(300));  // into the next pass
        view.stopRequested = 1;
    });
    EXPECT_GE(run.epochs, 3);
    ExpectStoppedAfterAPass(run);
}

TEST(ThreadedTraining, PauseHoldsAfterThePassAndAStopWaitsForResume) {
    int held = -1, later = -2;
    const Interrupted run = TrainWhile([&](RecordingView& view, const std::atomic<int>& epochs) {
        WaitForEpochs(epochs, 2);
        view.paused = 1;
        std::this_thread::sleep_for(std::chrono::milliseconds(300));  // the current pass ends
        held = epochs.load();
        std::this_thread::sleep_for(std::chrono::milliseconds(1200));
        later = epochs.load();
        view.stopRequested = 1;  // acts only after the next pass, once resumed
        view.paused = 0;
    });
    EXPECT_EQ(held, later);
    EXPECT_EQ(run.epochs, held + 1);
    ExpectStoppedAfterAPass(run);
}

TEST(ThreadedTraining, AShortInputMatrixReadsZerosAndEndsTrainingAfterThePass) {
    // Inputs are read where the pairs keep them; a pair whose matrix is short reads 0.0 for the
    // missing inputs and reports the matrix's range error, as before, on any number of threads.
    for (const int threads : {1, 8}) {
        ThreadSetting setting(threads);
        std::vector<double> weights[2];
        std::string errors[2];
        for (const bool shortPair : {false, true}) {
            CFeedForwardNeuralNetwork net;
            Build(kShapes[1], net);
            net.MaxEpochs = 0;  // one pass, which the error ends anyway
            TrainingPair pair = MakePair({0.5, -0.25, 0.0, 0.0, 0.0}, {0.2, 0.4, 0.6});
            if (shortPair) pair.input.Resize(1, 2);
            std::string ignored;
            pair.input.SetAt(0, 0, 0.5, ignored);
            pair.input.SetAt(0, 1, -0.25, ignored);
            net.AddPair(kTrainingPairs, pair);
            crt::Srand(1);
            EXPECT_EQ(net.Train(errors[shortPair], nullptr), shortPair ? 0 : 1);
            enginetest::ForEachWeight(net, [&](Neuron& n, int c) { weights[shortPair].push_back(n.GetWeight(c)); });
        }
        EXPECT_EQ(errors[0], "");
        EXPECT_NE(errors[1].find("invalid col"), std::string::npos) << errors[1];
        EXPECT_TRUE(SameBits(weights[0], weights[1])) << threads;
    }
}

TEST(ThreadedTraining, AChunkBoundsTheWorkingMemoryWhateverThePairCount) {
    CFeedForwardNeuralNetwork net;
    enginetest::Shape(net, 784, {300, 10});
    std::size_t bytes[3];
    const int pairs[3] = {60000, 1000000, 100};
    for (int i = 0; i < 3; ++i) {
        TrainingWork work;
        work.Prepare(net, pairs[i]);
        bytes[i] = work.ChunkBytes();
        EXPECT_LE(work.ChunkPairs(), pairs[i]);
    }
    EXPECT_EQ(bytes[0], bytes[1]);
    EXPECT_LE(bytes[0], TrainingWork::kChunkBytes);
    EXPECT_GT(bytes[0], TrainingWork::kChunkBytes / 2);  // the chunk uses its room
    EXPECT_LT(bytes[2], bytes[0]);                        // a small pass needs no more than its pairs
}

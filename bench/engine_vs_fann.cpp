// The engine against FANN (libdoublefann), the library usually picked for this work, and against
// numpy on OpenBLAS (bench/numpy_epoch.py, a full-batch epoch as a user would write it), on the same
// networks and numbers of epochs: batch back-propagation, log-sigmoid units (FANN's sigmoid with
// steepness 0.5 is 1 / (1 + e^-x)), bias value 1.
//   (a) 2-10-1 on the four XOR pairs      (b) 64-128-128-10 on 1000 random pairs, at 1, 2, 4, 8 threads
//   (c) 784-300-10 on 60,000 random pairs of MNIST's shape, a few epochs, each run in a process of
//       its own so that its peak memory is its own
// Also: forward passes per second of (b), Recognize calls per second of a logical network
// (784 inputs, 8 per RAM, 10 classes), the bytes per connection that training holds for (b), and
// (b) at one thread and at every core on a quiet machine and under a competing load that this
// program starts itself: one busy process per core (`--load` runs only that comparison).
// One run prints the Google Benchmark table and then a summary: epochs per second (medians), the
// ratios, and the share of the machine's peak multiply-add rate that each run reaches.
#include <benchmark/benchmark.h>
#include <doublefann.h>

#include <sched.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "network/feed_forward_network.h"
#include "network/logical_network.h"
#include "network/pass_chunk.h"
#include "network/training_threads.h"
#include "network/training_work.h"
#include "platform/crt_runtime.h"

#ifndef NUMPY_EPOCH_SCRIPT
#define NUMPY_EPOCH_SCRIPT "bench/numpy_epoch.py"
#endif

namespace {

struct Problem {
    std::vector<int> layers;  // inputs, then the computed layers
    std::vector<std::vector<double>> inputs, targets;
    std::vector<double> weights;  // every weight, layer by layer, neuron by neuron, bias last
};

Problem XorProblem() {
    Problem p;
    p.layers = {2, 10, 1};
    p.inputs = {{0, 0}, {0, 1}, {1, 0}, {1, 1}};
    p.targets = {{0}, {1}, {1}, {0}};
    return p;
}

Problem RandomProblem() {
    Problem p;
    p.layers = {64, 128, 128, 10};
    std::mt19937 rng(5);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (int i = 0; i < 1000; ++i) {
        std::vector<double> in(64), out(10);
        for (double& v : in) v = unit(rng);
        for (double& v : out) v = unit(rng);
        p.inputs.push_back(in);
        p.targets.push_back(out);
    }
    return p;
}

void FillWeights(Problem& p) {
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> w(-0.5, 0.5);
    std::size_t count = 0;
    for (std::size_t j = 1; j < p.layers.size(); ++j) count += static_cast<std::size_t>(p.layers[j]) * (p.layers[j - 1] + 1);
    p.weights.resize(count);
    for (double& v : p.weights) v = w(rng);
}

const Problem& Xor() {
    static const Problem p = [] { Problem x = XorProblem(); FillWeights(x); return x; }();
    return p;
}
const Problem& Large() {
    static const Problem p = [] { Problem x = RandomProblem(); FillWeights(x); return x; }();
    return p;
}

// --- ours ---

std::unique_ptr<CFeedForwardNeuralNetwork> OurNetwork(const Problem& p) {
    auto net = std::make_unique<CFeedForwardNeuralNetwork>();
    net->SetInputCount(p.layers[0]);
    net->SetLayers(std::vector<int>(p.layers.begin() + 1, p.layers.end()));
    net->SetFunction(FCN_LOGSIG);
    net->SetBias(1.0);
    std::size_t next = 0;
    for (int j = 0; j < net->GetLayerCount(); ++j) {
        NeuronLayer& layer = net->GetLayer(j);
        for (std::size_t i = 0; i < layer.WeightCount(); ++i) layer.Weights()[i] = p.weights[next++];
    }
    for (std::size_t i = 0; i < p.inputs.size(); ++i) {
        TrainingPair pair;
        std::string ignored;
        pair.input.Resize(1, static_cast<int>(p.inputs[i].size()));
        pair.target.Resize(1, static_cast<int>(p.targets[i].size()));
        for (std::size_t k = 0; k < p.inputs[i].size(); ++k) pair.input.SetAt(0, static_cast<int>(k), p.inputs[i][k], ignored);
        for (std::size_t k = 0; k < p.targets[i].size(); ++k) pair.target.SetAt(0, static_cast<int>(k), p.targets[i][k], ignored);
        net->AddPair(kTrainingPairs, pair);
    }
    return net;
}

// `epochsPerCall` epochs per Train call: the call's set-up is part of the measured time. The
// benchmark's argument is the thread count (0: the machine's cores).
void OursTrain(benchmark::State& state, const Problem& p, int epochsPerCall) {
    training_threads::SetCount(static_cast<int>(state.range(0)));
    auto net = OurNetwork(p);
    net->MaxEpochs = epochsPerCall;
    net->UpdateEpochs = 100;
    std::string error;
    for (auto _ : state) {
        net->Train(error, nullptr);
        benchmark::DoNotOptimize(net->GetNeuronOutput(0, -1));
    }
    state.SetItemsProcessed(state.iterations() * epochsPerCall);
}

void OursForward(benchmark::State& state, const Problem& p) {
    auto net = OurNetwork(p);
    std::size_t i = 0;
    for (auto _ : state) {
        const std::vector<double>& in = p.inputs[i++ % p.inputs.size()];
        for (std::size_t k = 0; k < in.size(); ++k) net->SetInput(static_cast<int>(k), in[k]);
        net->Simulate(0);
        benchmark::DoNotOptimize(net->GetNeuronOutput(0, -1));
    }
    state.SetItemsProcessed(state.iterations());
}

// --- FANN ---

struct FannNet {
    fann* ann = nullptr;
    fann_train_data* data = nullptr;
    ~FannNet() {
        if (data) fann_destroy_train(data);
        if (ann) fann_destroy(ann);
    }
};

std::unique_ptr<FannNet> TheirNetwork(const Problem& p) {
    auto f = std::make_unique<FannNet>();
    std::vector<unsigned> layers(p.layers.begin(), p.layers.end());
    f->ann = fann_create_standard_array(static_cast<unsigned>(layers.size()), layers.data());
    fann_set_activation_function_hidden(f->ann, FANN_SIGMOID);
    fann_set_activation_function_output(f->ann, FANN_SIGMOID);
    fann_set_activation_steepness_hidden(f->ann, 0.5);
    fann_set_activation_steepness_output(f->ann, 0.5);
    fann_set_training_algorithm(f->ann, FANN_TRAIN_BATCH);
    fann_set_train_error_function(f->ann, FANN_ERRORFUNC_LINEAR);
    fann_set_learning_rate(f->ann, 1.0f);
    // FANN keeps each neuron's connections in the same order (previous layer, its bias last), in
    // one weight array (fann_set_weight_array searches per connection: too slow for (b)).
    const unsigned total = fann_get_total_connections(f->ann);
    for (unsigned i = 0; i < total; ++i) f->ann->weights[i] = p.weights[i];
    f->data = fann_create_train(static_cast<unsigned>(p.inputs.size()), layers.front(), layers.back());
    for (std::size_t i = 0; i < p.inputs.size(); ++i) {
        for (std::size_t k = 0; k < p.inputs[i].size(); ++k) f->data->input[i][k] = p.inputs[i][k];
        for (std::size_t k = 0; k < p.targets[i].size(); ++k) f->data->output[i][k] = p.targets[i][k];
    }
    return f;
}

void FannTrain(benchmark::State& state, const Problem& p) {
    auto f = TheirNetwork(p);
    for (auto _ : state) benchmark::DoNotOptimize(fann_train_epoch(f->ann, f->data));
    state.SetItemsProcessed(state.iterations());
}

void FannForward(benchmark::State& state, const Problem& p) {
    auto f = TheirNetwork(p);
    std::vector<std::vector<fann_type>> inputs;
    for (const auto& in : p.inputs) inputs.emplace_back(in.begin(), in.end());
    std::size_t i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(fann_run(f->ann, inputs[i++ % inputs.size()].data()));
    state.SetItemsProcessed(state.iterations());
}

// --- logical network ---

void OursRecognize(benchmark::State& state) {
    LogicalNeuralNetwork net;
    net.InputsNumber = 784;
    net.InputsPerRAM = 8;
    net.ClassesNum = 10;
    net.Create();
    std::mt19937 rng(3);
    std::bernoulli_distribution bit(0.3);
    std::vector<std::vector<std::uint8_t>> samples(200, std::vector<std::uint8_t>(784));
    for (auto& s : samples)
        for (auto& b : s) b = bit(rng) ? 1 : 0;
    for (std::size_t i = 0; i < samples.size(); ++i) net.TrainOn(samples[i], static_cast<int>(i % 10));
    std::size_t i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(net.Recognize(samples[i++ % samples.size()]));
    state.SetItemsProcessed(state.iterations());
}

// Same number of epochs on both sides.
constexpr int kXorEpochs = 400000;
constexpr int kXorEpochsPerCall = 1000;
constexpr int kLargeEpochs = 20;
// Other work on the machine makes single runs noisy: every training figure is a median.
constexpr int kRepetitions = 5;

BENCHMARK_CAPTURE(FannTrain, xor_2_10_1, Xor())->Iterations(kXorEpochs)->Repetitions(kRepetitions)
    ->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(OursTrain, xor_2_10_1, Xor(), kXorEpochsPerCall)->Arg(0)
    ->Iterations(kXorEpochs / kXorEpochsPerCall)->Repetitions(kRepetitions)->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(FannTrain, random_64_128_128_10, Large())->Iterations(kLargeEpochs)->Repetitions(kRepetitions)
    ->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(OursTrain, random_64_128_128_10, Large(), 1)->Arg(1)->Arg(2)->Arg(4)->Arg(8)
    ->Iterations(kLargeEpochs)->Repetitions(kRepetitions)->ReportAggregatesOnly(true)->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(FannForward, random_64_128_128_10, Large());
BENCHMARK_CAPTURE(OursForward, random_64_128_128_10, Large());
BENCHMARK(OursRecognize);

// Collects items per second by benchmark name (the median of repeated ones) while printing the
// usual table.
class Collector : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> rates;
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median") continue;
            const auto it = run.counters.find("items_per_second");
            if (it != run.counters.end()) rates[run.run_name.str()] = it->second.value;
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

double Rate(const Collector& c, const std::string& prefix) {
    for (const auto& [name, rate] : c.rates)
        if (name.rfind(prefix, 0) == 0) return rate;
    return 0.0;
}

// --- the machine's peak ---

// Multiply-adds per cycle and core with the multiply and the add as separate instructions (the
// engine never fuses them): this machine's cores (AMD Zen 3) issue two 4-lane multiplies and two
// 4-lane adds per cycle. (Fused, they also give 8: numpy's BLAS gains no headroom by fusing here.)
constexpr double kMulAddsPerCycle = 8.0;

double CoreGigahertz() {
    std::ifstream info("/proc/cpuinfo");
    std::string line;
    while (std::getline(info, line))
        if (line.rfind("cpu MHz", 0) == 0) return std::atof(line.substr(line.find(':') + 1).c_str()) / 1000.0;
    return 0.0;
}

int Cores() { return static_cast<int>(sysconf(_SC_NPROCESSORS_ONLN)); }

// G multiply-adds per second at the peak of `cores` cores.
double PeakGigaMulAdds(int cores) { return cores * CoreGigahertz() * kMulAddsPerCycle; }

// --- other processes: numpy, and the large network's runs ---

struct ChildResult {
    double epochsPerSecond = 0.0;
    double peakMiB = 0.0;
    std::string note;
};

// Runs argv with `env` added (and OpenBLAS's processor overrides removed: they slow a current
// numpy), reads its one line of output: epochs per second, then anything; peak memory from the
// kernel's account of the child.
ChildResult RunChild(const std::vector<std::string>& args, const std::vector<std::string>& env) {
    ChildResult result;
    int out[2];
    if (pipe(out) != 0) return result;
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(out[1], STDOUT_FILENO);
        close(out[0]);
        close(out[1]);
        unsetenv("OPENBLAS_CORETYPE");
        unsetenv("OPENBLAS_L2_SIZE");
        for (const std::string& e : env) putenv(const_cast<char*>(e.c_str()));
        std::vector<char*> argv;
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(out[1]);
    std::string text;
    char buffer[256];
    ssize_t got;
    while ((got = read(out[0], buffer, sizeof buffer)) > 0) text.append(buffer, static_cast<std::size_t>(got));
    close(out[0]);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    char note[200] = "";
    std::sscanf(text.c_str(), "%lf %*s %199s", &result.epochsPerSecond, note);
    result.note = note;
    result.peakMiB = usage.ru_maxrss / 1024.0;
    return result;
}

ChildResult Numpy(const std::string& layers, int pairs, int epochs, int threads) {
    return RunChild({"/usr/bin/python3", NUMPY_EPOCH_SCRIPT, layers, std::to_string(pairs), std::to_string(epochs)},
                    {"OPENBLAS_NUM_THREADS=" + std::to_string(threads)});
}

// (c): 784-300-10 with 60,000 random pairs of MNIST's shape (inputs 0 .. 1, one output of ten set).
constexpr int kWideInputs = 784, kWideHidden = 300, kWideOutputs = 10, kWidePairs = 60000;
constexpr int kWideEpochs = 3;  // the median of three (FANN: one epoch)
const char kWideLayers[] = "784,300,10";

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

template <class Epoch>
double MedianEpochsPerSecond(int epochs, Epoch epoch) {
    std::vector<double> rates;
    for (int e = 0; e < epochs; ++e) {
        const auto start = std::chrono::steady_clock::now();
        epoch();
        rates.push_back(1.0 / std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    return Median(rates);
}

// In the child process: our epochs on `threads` threads.
double WideOurs(int threads) {
    training_threads::SetCount(threads);
    CFeedForwardNeuralNetwork net;
    net.SetInputCount(kWideInputs);
    net.SetLayers(std::vector<int>{kWideHidden, kWideOutputs});
    net.SetFunction(FCN_LOGSIG);
    net.SetBias(1.0);
    std::mt19937 rng(5);
    std::uniform_real_distribution<double> unit(0.0, 1.0), weight(-0.05, 0.05);
    for (int j = 0; j < net.GetLayerCount(); ++j)
        for (std::size_t i = 0; i < net.GetLayer(j).WeightCount(); ++i) net.GetLayer(j).Weights()[i] = weight(rng);
    TrainingPair pair;
    pair.input.Resize(1, kWideInputs);
    pair.target.Resize(1, kWideOutputs);
    for (int p = 0; p < kWidePairs; ++p) {
        for (int k = 0; k < kWideInputs; ++k) pair.input.Row(0)[k] = unit(rng);
        for (int k = 0; k < kWideOutputs; ++k) pair.target.Row(0)[k] = k == p % kWideOutputs ? 1.0 : 0.0;
        net.AddPair(kTrainingPairs, pair);
    }
    net.MaxEpochs = 0;  // one epoch per call
    std::string error;
    return MedianEpochsPerSecond(kWideEpochs, [&] { net.Train(error, nullptr); });
}

// In the child process: FANN's batch epochs.
double WideFann() {
    const unsigned layers[] = {kWideInputs, kWideHidden, kWideOutputs};
    FannNet f;
    f.ann = fann_create_standard_array(3, layers);
    fann_set_activation_function_hidden(f.ann, FANN_SIGMOID);
    fann_set_activation_function_output(f.ann, FANN_SIGMOID);
    fann_set_training_algorithm(f.ann, FANN_TRAIN_BATCH);
    fann_randomize_weights(f.ann, -0.05f, 0.05f);
    f.data = fann_create_train(kWidePairs, kWideInputs, kWideOutputs);
    std::mt19937 rng(5);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (int p = 0; p < kWidePairs; ++p) {
        for (int k = 0; k < kWideInputs; ++k) f.data->input[p][k] = unit(rng);
        for (int k = 0; k < kWideOutputs; ++k) f.data->output[p][k] = k == p % kWideOutputs ? 1.0 : 0.0;
    }
    return MedianEpochsPerSecond(1, [&] { fann_train_epoch(f.ann, f.data); });
}

// Multiply-adds of one epoch of a network: every pair's forward pass, back-propagated sums and
// gradient products (the same count for all three ways).
double EpochMulAdds(const std::vector<int>& layers, int pairs) {
    CNeuralNetwork net;
    net.SetInputCount(layers[0]);
    net.SetLayers(std::vector<int>(layers.begin() + 1, layers.end()));
    return static_cast<double>(PairWork(net, true)) * pairs;
}

struct Row {
    std::string what;
    int threads;
    double epochsPerSecond;
    double peakMiB = 0.0;
    std::string note;
};

void PrintTable(const char* title, const std::vector<Row>& rows, double mulAdds, const std::string& baseline,
                const std::string& versus) {
    const auto best = [&](const std::string& who) {
        double b = 0.0;
        for (const Row& r : rows)
            if (r.what == who) b = std::max(b, r.epochsPerSecond);
        return b;
    };
    const double base = best(baseline), other = best(versus);
    std::printf("\n%s: %.3g multiply-adds per epoch; machine peak %.0f G/s (%d cores x %.2f GHz x %.0f)\n", title,
                mulAdds, PeakGigaMulAdds(Cores()), Cores(), CoreGigahertz(), kMulAddsPerCycle);
    std::printf("  %-6s %7s %12s %8s %11s %8s %9s %9s %9s\n", "", "threads", "epochs/s", ("x " + baseline).c_str(),
                ("x best " + versus).c_str(), "G/s", "% machine", "% used", "peak MiB");
    for (const Row& r : rows) {
        const double rate = r.epochsPerSecond * mulAdds / 1e9;
        char peak[32] = "";
        if (r.peakMiB > 0) std::snprintf(peak, sizeof peak, "%.0f", r.peakMiB);
        std::printf("  %-6s %7d %12.2f %8.2f %11.2f %8.2f %9.1f %9.1f %9s  %s\n", r.what.c_str(), r.threads,
                    r.epochsPerSecond, base > 0 ? r.epochsPerSecond / base : 0.0,
                    other > 0 ? r.epochsPerSecond / other : 0.0, rate, 100 * rate / PeakGigaMulAdds(Cores()),
                    100 * rate / PeakGigaMulAdds(std::min(r.threads, Cores())), peak, r.note.c_str());
    }
}

const int kThreadCounts[] = {1, 2, 4, 8};

std::vector<Row> NetworkBRows(const Collector& c) {
    std::vector<Row> rows = {{"FANN", 1, Rate(c, "FannTrain/random"), 0.0, ""}};
    for (const int t : kThreadCounts)
        rows.push_back({"ours", t, Rate(c, "OursTrain/random_64_128_128_10/" + std::to_string(t) + "/"), 0.0, ""});
    for (const int t : kThreadCounts) {
        const ChildResult r = Numpy("64,128,128,10", 1000, 30, t);
        rows.push_back({"numpy", t, r.epochsPerSecond, 0.0, r.note});
    }
    return rows;
}

// Each run of (c) in a process of its own: this program again, or python.
std::vector<Row> WideRows(const char* self) {
    std::vector<Row> rows;
    const ChildResult fann = RunChild({self, "--wide=fann"}, {});
    rows.push_back({"FANN", 1, fann.epochsPerSecond, fann.peakMiB, "one epoch"});
    for (const int t : kThreadCounts) {
        const ChildResult r = RunChild({self, "--wide=" + std::to_string(t)}, {});
        rows.push_back({"ours", t, r.epochsPerSecond, r.peakMiB, ""});
    }
    for (const int t : kThreadCounts) {
        const ChildResult r = Numpy(kWideLayers, kWidePairs, kWideEpochs, t);
        rows.push_back({"numpy", t, r.epochsPerSecond, r.peakMiB, r.note});
    }
    return rows;
}

void PrintComparison(const Collector& c, const char* what, const std::string& theirs, const std::string& ours) {
    const double t = Rate(c, theirs), o = Rate(c, ours);
    std::printf("%-34s FANN %14.1f/s   ours %14.1f/s   ours/FANN %6.2f\n", what, t, o, t > 0 ? o / t : 0.0);
}

void PrintMemory() {
    auto net = OurNetwork(Large());
    TrainingWork work;
    work.Prepare(*net, static_cast<int>(Large().inputs.size()));
    std::size_t weightBytes = 0;
    for (int j = 0; j < net->GetLayerCount(); ++j) weightBytes += net->GetLayer(j).WeightBytes();
    const double connections = static_cast<double>(net->GetConnectionTotal());
    auto theirs = TheirNetwork(Large());
    std::printf("network (b): %.0f connections; bytes per connection: weights %.2f + gradient sums and "
                "transposed weights %.2f = %.2f while training (%.2f at rest); a chunk of pairs' values and deltas "
                "%zu bytes; FANN batch: weights, "
                "connection pointers and slopes = %.0f\n",
                connections, weightBytes / connections, work.ConnectionBytes() / connections,
                (weightBytes + work.ConnectionBytes()) / connections, weightBytes / connections, work.ChunkBytes(),
                static_cast<double>(sizeof(fann_type) * 2 + sizeof(fann_neuron*)));
}

// --- (b) under a competing load ---

// One busy process per core, each held to its core, for as long as the object lives.
class CompetingLoad {
public:
    explicit CompetingLoad(int processes) {
        for (int core = 0; core < processes; ++core) {
            const pid_t pid = fork();
            if (pid == 0) Spin(core);
            if (pid > 0) pids_.push_back(pid);
        }
    }
    ~CompetingLoad() {
        for (const pid_t pid : pids_) kill(pid, SIGKILL);
        for (const pid_t pid : pids_) waitpid(pid, nullptr, 0);
    }
    CompetingLoad(const CompetingLoad&) = delete;
    CompetingLoad& operator=(const CompetingLoad&) = delete;
    int Processes() const { return static_cast<int>(pids_.size()); }

private:
    [[noreturn]] static void Spin(int core) {
        prctl(PR_SET_PDEATHSIG, SIGKILL);  // never outlives the bench
        cpu_set_t set;
        CPU_ZERO(&set);
        CPU_SET(core, &set);
        sched_setaffinity(0, sizeof set, &set);
        for (;;) asm volatile("" ::: "memory");
    }
    std::vector<pid_t> pids_;
};

constexpr int kLoadEpochs = 10;       // per Train call
constexpr int kLoadRepetitions = 7;   // alternating one thread and every core; medians

struct LoadRun {
    double epochsPerSecond = 0.0;
    std::vector<double> weights;
};

LoadRun TrainNetworkB(int threads) {
    training_threads::SetCount(threads);
    auto net = OurNetwork(Large());
    net->MaxEpochs = kLoadEpochs;
    net->UpdateEpochs = 100;
    std::string error;
    LoadRun run;
    crt::Srand(1);  // the same shuffles in every run
    run.epochsPerSecond = kLoadEpochs * MedianEpochsPerSecond(1, [&] { net->Train(error, nullptr); });
    for (int j = 0; j < net->GetLayerCount(); ++j) {
        const NeuronLayer& layer = net->GetLayer(j);
        run.weights.insert(run.weights.end(), layer.Weights(), layer.Weights() + layer.WeightCount());
    }
    return run;
}

// (b) at one thread and at every core, in alternating runs, without and then with the load; every
// run must leave the same weights, bit for bit.
void PrintLoadComparison() {
    const int cores = Cores();
    std::vector<double> rates[2][2];  // [loaded][every core]
    std::vector<double> reference;
    bool same = true;
    for (const bool loaded : {false, true}) {
        std::unique_ptr<CompetingLoad> load;
        if (loaded) load = std::make_unique<CompetingLoad>(cores);
        for (int r = 0; r < kLoadRepetitions; ++r)
            for (const bool all : {false, true}) {
                const LoadRun run = TrainNetworkB(all ? cores : 1);
                rates[loaded][all].push_back(run.epochsPerSecond);
                if (reference.empty()) reference = run.weights;
                same = same && run.weights.size() == reference.size() &&
                       std::memcmp(run.weights.data(), reference.data(), reference.size() * sizeof(double)) == 0;
            }
    }
    training_threads::SetCount(0);
    std::printf("\n(b) 64-128-128-10 x1000 pairs, %d epochs a call, medians of %d alternating runs; "
                "loaded: %d busy processes, one on each core\n",
                kLoadEpochs, kLoadRepetitions, cores);
    std::printf("  %-7s %7s %12s %12s %12s\n", "", "threads", "epochs/s", "min", "max");
    for (const bool loaded : {false, true})
        for (const bool all : {false, true}) {
            const std::vector<double>& r = rates[loaded][all];
            std::printf("  %-7s %7d %12.2f %12.2f %12.2f\n", loaded ? "loaded" : "quiet", all ? cores : 1, Median(r),
                        *std::min_element(r.begin(), r.end()), *std::max_element(r.begin(), r.end()));
        }
    std::printf("  every core / one thread: quiet %.2f, loaded %.2f; same weights in every run: %s\n",
                Median(rates[0][1]) / Median(rates[0][0]), Median(rates[1][1]) / Median(rates[1][0]),
                same ? "yes" : "NO");
}

void PrintLoadAverage() {
    // Other programs' load makes every figure lower, the shared ones most.
    std::ifstream load("/proc/loadavg");
    std::string averages;
    std::getline(load, averages);
    std::printf("\nload average at the end (1, 5, 15 min, ...): %s\n", averages.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    // A child run of (c): one line, its epochs per second.
    if (argc == 2 && std::strncmp(argv[1], "--wide=", 7) == 0) {
        const std::string which = argv[1] + 7;
        std::printf("%f\n", which == "fann" ? WideFann() : WideOurs(std::atoi(which.c_str())));
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--load") == 0) {
        PrintLoadComparison();
        PrintLoadAverage();
        return 0;
    }
    // A chosen subset of the benchmarks (--benchmark_filter) runs without numpy and (c).
    bool whole = true;
    for (int i = 1; i < argc; ++i) whole = whole && std::strncmp(argv[i], "--benchmark_filter", 18) != 0;
    // (c) first, while this process is small and has started no thread.
    const std::vector<Row> wide = whole ? WideRows(argv[0]) : std::vector<Row>{};
    benchmark::Initialize(&argc, argv);
    Collector collector;
    benchmark::RunSpecifiedBenchmarks(&collector);
    std::printf("\n");
    if (!whole) {
        benchmark::Shutdown();
        return 0;
    }
    PrintComparison(collector, "(a) 2-10-1 XOR, epochs", "FannTrain/xor", "OursTrain/xor");
    PrintComparison(collector, "(b) forward passes", "FannForward", "OursForward");
    std::printf("%-34s ours %14.1f/s\n", "Recognize 784 in, 8/RAM, 10 cls", Rate(collector, "OursRecognize"));
    PrintMemory();
    PrintTable("(a) 2-10-1 XOR x4 pairs", {{"FANN", 1, Rate(collector, "FannTrain/xor"), 0.0, ""},
                                          {"ours", 1, Rate(collector, "OursTrain/xor"), 0.0, ""}},
               EpochMulAdds({2, 10, 1}, 4), "FANN", "FANN");
    PrintTable("(b) 64-128-128-10 x1000 pairs", NetworkBRows(collector), EpochMulAdds({64, 128, 128, 10}, 1000), "FANN",
               "numpy");
    PrintTable("(c) 784-300-10 x60000 pairs", wide, EpochMulAdds({784, 300, 10}, kWidePairs), "FANN", "numpy");
    PrintLoadComparison();
    PrintLoadAverage();
    benchmark::Shutdown();
    return 0;
}

// The engine against FANN (libdoublefann), the library usually picked for this work, on the same
// networks, data, starting weights and number of epochs: batch back-propagation, one thread,
// log-sigmoid units (FANN's sigmoid with steepness 0.5 is 1 / (1 + e^-x)), bias value 1.
//   (a) 2-10-1 on the four XOR pairs      (b) 64-128-128-10 on 1000 random pairs
// Also: forward passes per second of (b), Recognize calls per second of a logical network
// (784 inputs, 8 per RAM, 10 classes), and the bytes per connection that training holds for (b).
// One run prints the Google Benchmark table and then a summary with the ratios ours / FANN.
#include <benchmark/benchmark.h>
#include <doublefann.h>

#include <cstdio>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "network/feed_forward_network.h"
#include "network/logical_network.h"
#include "network/training_work.h"

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

// `epochsPerCall` epochs per Train call: the call's set-up is part of the measured time.
void OursTrain(benchmark::State& state, const Problem& p, int epochsPerCall) {
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

BENCHMARK_CAPTURE(FannTrain, xor_2_10_1, Xor())->Iterations(kXorEpochs)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(OursTrain, xor_2_10_1, Xor(), kXorEpochsPerCall)
    ->Iterations(kXorEpochs / kXorEpochsPerCall)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(FannTrain, random_64_128_128_10, Large())->Iterations(kLargeEpochs)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(OursTrain, random_64_128_128_10, Large(), 1)->Iterations(kLargeEpochs)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(FannForward, random_64_128_128_10, Large());
BENCHMARK_CAPTURE(OursForward, random_64_128_128_10, Large());
BENCHMARK(OursRecognize);

// Collects items per second by benchmark name while printing the usual table.
class Collector : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> rates;
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            const auto it = run.counters.find("items_per_second");
            if (it != run.counters.end()) rates[run.benchmark_name()] = it->second.value;
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

double Rate(const Collector& c, const std::string& prefix) {
    for (const auto& [name, rate] : c.rates)
        if (name.rfind(prefix, 0) == 0) return rate;
    return 0.0;
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

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    Collector collector;
    benchmark::RunSpecifiedBenchmarks(&collector);
    std::printf("\n");
    PrintComparison(collector, "(a) 2-10-1 XOR, epochs", "FannTrain/xor", "OursTrain/xor");
    PrintComparison(collector, "(b) 64-128-128-10 x1000, epochs", "FannTrain/random", "OursTrain/random");
    PrintComparison(collector, "(b) forward passes", "FannForward", "OursForward");
    std::printf("%-34s ours %14.1f/s\n", "Recognize 784 in, 8/RAM, 10 cls", Rate(collector, "OursRecognize"));
    PrintMemory();
    benchmark::Shutdown();
    return 0;
}

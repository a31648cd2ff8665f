// Training from a script against the engine's own Train on the same network: network (b) of the
// engine bench, 64-128-128-10 log-sigmoid units on 1000 random pairs. The script's
// StartLearning runs CFeedForwardNeuralNetwork::Train in the statement, so the time per epoch
// must be the engine's. Timed from the end of the first epoch (after training's fixed start-up
// wait) to the end of training, for both. Prints the ratio script / engine of the best time per
// epoch of each (the least disturbed by other work on the machine).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

#include "view/view_services.h"
#include "netscript/script_interpreter.h"
#include "network/feed_forward_network.h"
#include "bench/network_b_script.h"

namespace {

constexpr int kEpochs = 11;

const std::string kScript = std::string(kNetworkBSetup) +
                            "net.Train.MaxEpochs = 11 : net.Train.UpdateEpochs = 100\n"
                            "net.Train.StartLearning()\n";

using Clock = std::chrono::steady_clock;

// Shows nothing; times training from its first curve point (end of epoch 1) to its end, and
// keeps a copy of the first network it sees train.
class TimingView : public ViewServices {
public:
    void OutputText(const std::string&, int, int, int, int) override {}
    void BeginTrainingDisplay(const CFeedForwardNeuralNetwork& network) override {
        stopLearning = 0;
        started = false;
        if (!captured) captured = std::make_unique<CFeedForwardNeuralNetwork>(&network);
    }
    void EndTrainingDisplay() override { end = Clock::now(); }
    void AddTrainingGraphPoint(int curve, double, int) override {
        if (curve == 0 && !started) {
            started = true;
            start = Clock::now();
        }
    }

    double Seconds() const { return std::chrono::duration<double>(end - start).count(); }

    std::unique_ptr<CFeedForwardNeuralNetwork> captured;
    bool started = false;
    Clock::time_point start, end;
};

double scriptPerEpoch = 0.0;
double enginePerEpoch = 0.0;

void RunScript(TimingView& view) {
    ScriptInterpreter parser(&view);
    parser.SetSource(kScript);
    const int options[4] = {1, 0, 0, 0};
    if (!parser.Compile(options)) return;
    view.running = 1;
    parser.CreateThread();
    parser.WaitFinished();
}

void ScriptStartLearning(benchmark::State& state) {
    double best = 1e300;
    for (auto _ : state) {
        TimingView view;
        RunScript(view);
        state.SetIterationTime(view.Seconds());
        best = std::min(best, view.Seconds());
    }
    scriptPerEpoch = best / (kEpochs - 1);
    state.SetItemsProcessed(state.iterations() * (kEpochs - 1));
}

void EngineTrain(benchmark::State& state) {
    TimingView source;
    RunScript(source);
    if (!source.captured) {
        state.SkipWithError("the script did not train");
        return;
    }
    double best = 1e300;
    for (auto _ : state) {
        CFeedForwardNeuralNetwork net(source.captured.get());
        TimingView view;
        std::string error;
        net.Train(error, &view);
        state.SetIterationTime(view.Seconds());
        best = std::min(best, view.Seconds());
    }
    enginePerEpoch = best / (kEpochs - 1);
    state.SetItemsProcessed(state.iterations() * (kEpochs - 1));
}

BENCHMARK(ScriptStartLearning)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(EngineTrain)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (scriptPerEpoch > 0.0 && enginePerEpoch > 0.0) {
        std::printf("\nnetwork (b), time per epoch: script %.2f ms, engine %.2f ms, ratio script / engine %.3f\n",
                    scriptPerEpoch * 1000.0, enginePerEpoch * 1000.0, scriptPerEpoch / enginePerEpoch);
    }
    return 0;
}

// Test doubles for the engine: a view that records the training calls it receives (and lets a
// test act at chosen calls), temporary files, and small builders of networks.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "view/view_services.h"
#include "network/feed_forward_network.h"
#include "platform/crt_file.h"
#include "platform/temp_dir.h"

// The sanitizer the tests are built with, as GCC and clang each say it.
#if defined(__has_feature)
#define ENGINETEST_HAS_FEATURE(feature) __has_feature(feature)
#else
#define ENGINETEST_HAS_FEATURE(feature) 0
#endif
#if defined(__SANITIZE_THREAD__) || ENGINETEST_HAS_FEATURE(thread_sanitizer)
#define ENGINETEST_THREAD_SANITIZER 1
#endif
#if defined(__SANITIZE_ADDRESS__) || ENGINETEST_HAS_FEATURE(address_sanitizer)
#define ENGINETEST_ADDRESS_SANITIZER 1
#endif

namespace enginetest {

struct ViewCall {
    std::string name;
    std::vector<double> numbers;
    std::string text;
};

class RecordingView : public ViewServices {
public:
    std::vector<ViewCall> calls;
    // Called after each recorded call; the test may change flags or the network there.
    std::function<void(const ViewCall&)> onCall;

    // The calls with this name, in order.
    std::vector<ViewCall> Named(const std::string& name) const {
        std::vector<ViewCall> out;
        for (const ViewCall& c : calls)
            if (c.name == name) out.push_back(c);
        return out;
    }
    // The values of the graph points of one curve, in order.
    std::vector<double> Curve(int curve) const {
        std::vector<double> out;
        for (const ViewCall& c : calls)
            if (c.name == "AddTrainingGraphPoint" && c.numbers[0] == curve) out.push_back(c.numbers[1]);
        return out;
    }

    void OutputText(const std::string&, int, int, int, int) override {}
    void EndTrainingDisplay() override { Record("EndTrainingDisplay", {}); }
    void AddTrainingGraphPoint(int curve, double value, int flag) override {
        Record("AddTrainingGraphPoint", {double(curve), value, double(flag)});
    }
    void UpdateTrainingStats(int epochs, int maxEpochs, double error, double goal, double rate, double initial) override {
        Record("UpdateTrainingStats", {double(epochs), double(maxEpochs), error, goal, rate, initial});
    }
    void UpdateStructureWeights(const CFeedForwardNeuralNetwork* network, int force) override {
        Record("UpdateStructureWeights", {network != nullptr ? 1.0 : 0.0, double(force)});
    }

private:
    void Record(const std::string& name, std::vector<double> numbers, const std::string& text = "") {
        calls.push_back({name, std::move(numbers), text});
        if (onCall) onCall(calls.back());
    }
};

// A file in a fresh temporary folder, removed at the end of the test.
class TempFile {
public:
    explicit TempFile(const std::string& name) : path_(dir_.File(name)) {}
    const std::string& Path() const { return path_; }
    void WriteBytes(const std::string& bytes) const { platform_test::WriteBytes(path_, bytes); }
    std::string ReadBytes() const { return platform_test::ReadBytes(path_); }

private:
    platform_test::TempDir dir_;
    std::string path_;
};

// A feed-forward network with n inputs and the given layer sizes.
inline void Shape(CNeuralNetwork& net, int inputs, const std::vector<int>& sizes) {
    net.SetInputCount(inputs);
    net.SetLayers(sizes);
}

// Calls visit(neuron, c) for every connection c of every computed neuron, layer by layer and
// neuron by neuron: the order of the weights in the network file.
template <class Visit>
void ForEachWeight(CNeuralNetwork& net, Visit visit) {
    for (int j = 0; j < net.GetLayerCount(); ++j)
        for (int k = 0; k < net.GetLayerSize(j); ++k) {
            Neuron neuron = net.GetLayer(j).GetNeuron(k);
            for (int c = 0; c < neuron.GetConnectionCount(); ++c) visit(neuron, c);
        }
}

// A log-sigmoid network with bias 1 that trains exactly `epochs` epochs (its goal is never reached).
inline void LogSigmoidNetwork(CFeedForwardNeuralNetwork& net, int inputs, const std::vector<int>& sizes, int epochs) {
    Shape(net, inputs, sizes);
    net.SetFunction(FCN_LOGSIG);
    net.SetBias(1.0);
    net.LearningMaxError = -1.0;
    net.MaxEpochs = epochs;
}

// A pair of one-row matrices.
inline TrainingPair MakePair(const std::vector<double>& input, const std::vector<double>& target) {
    TrainingPair pair;
    std::string ignored;
    pair.input.Resize(1, static_cast<int>(input.size()));
    pair.target.Resize(1, static_cast<int>(target.size()));
    for (std::size_t k = 0; k < input.size(); ++k) pair.input.SetAt(0, static_cast<int>(k), input[k], ignored);
    for (std::size_t k = 0; k < target.size(); ++k) pair.target.SetAt(0, static_cast<int>(k), target[k], ignored);
    return pair;
}

}  // namespace enginetest

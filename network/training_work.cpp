#include "network/training_work.h"

#include <algorithm>

#include "network/neural_network.h"

namespace {

// Blocks of chunk rows that the thread's last training calls left: a few, of about two chunks'
// bytes at most, the oldest going first.
struct KeptBlock {
    std::unique_ptr<double[]> data;
    std::size_t size = 0;
};
constexpr std::size_t kKeptBlocks = 16;
constexpr std::size_t kKeptValues = 2 * TrainingWork::kChunkBytes / sizeof(double);
thread_local std::vector<KeptBlock> keptBlocks;
thread_local std::size_t keptValues = 0;

}  // namespace

// Takes the smallest kept block that holds n values, or a new one.
void TrainingWork::Rows::Make(std::size_t n) {
    GiveBack();
    size = n;
    auto best = keptBlocks.end();
    for (auto block = keptBlocks.begin(); block != keptBlocks.end(); ++block)
        if (block->size >= n && (best == keptBlocks.end() || block->size < best->size)) best = block;
    if (best == keptBlocks.end()) {
        data.reset(new double[n]);
        room = n;
        return;
    }
    data = std::move(best->data);
    room = best->size;
    keptValues -= room;
    keptBlocks.erase(best);
}

void TrainingWork::Rows::GiveBack() {
    if (data && room <= kKeptValues) {
        while (keptBlocks.size() == kKeptBlocks || keptValues + room > kKeptValues) {
            keptValues -= keptBlocks.front().size;
            keptBlocks.erase(keptBlocks.begin());
        }
        keptValues += room;
        keptBlocks.push_back({std::move(data), room});
    }
    data.reset();
    size = 0;
    room = 0;
}

void TrainingWork::Prepare(const CNeuralNetwork& network, int pairs) {
    const int layers = network.GetLayerCount();
    widths_.assign(Layer(layers) + 1, std::max(network.GetInputCount(), 1));
    sumsWidth_ = 0;
    std::size_t pairValues = static_cast<std::size_t>(widths_[0]);
    for (int j = 0; j < layers; ++j) {
        const int neurons = network.GetLayer(j).GetNeuronCount();
        widths_[Layer(j) + 1] = neurons + 1;
        if (j + 1 < layers) sumsWidth_ = std::max(sumsWidth_, neurons);
        pairValues += static_cast<std::size_t>(2 * neurons + 1);  // its outputs and bias, its deltas
    }
    pairValues += static_cast<std::size_t>(sumsWidth_);
    const auto fitting = static_cast<long long>(kChunkBytes / (pairValues * sizeof(double)));
    chunkPairs_ = static_cast<int>(std::clamp<long long>(fitting, kMinimumChunkPairs, kMaximumChunkPairs));
    chunkPairs_ = std::max(1, std::min(pairs, chunkPairs_));

    const auto rows = static_cast<std::size_t>(chunkPairs_);
    layers_.resize(Layer(layers));
    values_.resize(Layer(layers) + 1);
    for (int j = 0; j < layers; ++j) {
        const NeuronLayer& layer = network.GetLayer(j);
        LayerWork& work = layers_[Layer(j)];
        work.gradient.assign(layer.WeightCount(), 0.0);
        work.transposed.assign(layer.WeightCount(), 0.0);
        work.delta.Make(rows * static_cast<std::size_t>(layer.GetNeuronCount()));
    }
    for (std::size_t l = 0; l < values_.size(); ++l) values_[l].Make(rows * static_cast<std::size_t>(widths_[l]));
    sums_.Make(rows * static_cast<std::size_t>(sumsWidth_));
}

void TrainingWork::ClearGradients() {
    for (LayerWork& work : layers_) std::fill(work.gradient.begin(), work.gradient.end(), 0.0);
}

void TrainingWork::TransposeWeights(const CNeuralNetwork& network) {
    for (int j = 0; j < network.GetLayerCount(); ++j) {
        const NeuronLayer& layer = network.GetLayer(j);
        const int rows = layer.GetNeuronCount();
        const int cols = layer.GetInputsPerNeuron();
        const double* w = layer.Weights();
        double* t = layers_[Layer(j)].transposed.data();
        for (int k = 0; k < rows; ++k)
            for (int c = 0; c < cols; ++c) t[Row(c, rows) + static_cast<std::size_t>(k)] = w[Row(k, cols) + static_cast<std::size_t>(c)];
    }
}

std::size_t TrainingWork::ConnectionBytes() const {
    std::size_t bytes = 0;
    for (const LayerWork& work : layers_) bytes += (work.gradient.capacity() + work.transposed.capacity()) * sizeof(double);
    return bytes;
}

std::size_t TrainingWork::ChunkBytes() const {
    std::size_t bytes = sums_.size * sizeof(double);
    for (const LayerWork& work : layers_) bytes += work.delta.size * sizeof(double);
    for (const Rows& values : values_) bytes += values.size * sizeof(double);
    return bytes;
}

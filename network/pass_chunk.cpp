#include "network/pass_chunk.h"

#include <algorithm>
#include <cstddef>
#include <iterator>

#include "network/layer_kernels.h"
#include "network/neural_network.h"
#include "network/thread_team.h"
#include "network/training_work.h"
#include "network/transfer_function.h"

// The per-neuron loops (deltas) get GCC's full vectoriser, as the layer kernels do: lane by lane
// they compute exactly what the scalar loop computes.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC optimize("tree-vectorize", "vect-cost-model=dynamic")
#endif

namespace {

// Pairs a thread takes at a time: their values stay in its cache from layer to layer.
constexpr int kBatchPairs = 16;
// A share of the gradient sums: rows (neurons) by columns (connections) of one layer. Taller
// shares read the chunk's values fewer times (32 rows run about three times as fast as 8 on
// 784-300-10); shorter ones are used where the tall ones would leave threads without a share.
constexpr int kTileRowChoices[] = {32, 16, 8};
constexpr int kTileColumns = 256;
constexpr int kTilesPerThread = 2;

std::size_t Size(int n) { return static_cast<std::size_t>(n); }
int Blocks(int n, int block) { return (n + block - 1) / block; }

class ChunkComputation {
public:
    ChunkComputation(TrainingWork& work, const PassChunk& chunk, int threads)
        : work_(work), chunk_(chunk), net_(*chunk.net), threads_(threads) {}

    int Batches() const { return Blocks(chunk_.count, kBatchPairs); }
    int Tiles() const {
        int tiles = 0;
        for (int j = 0; j < net_.GetLayerCount(); ++j) tiles += TilesOf(j);
        return tiles;
    }

    void Batch(int b, bool training) {
        const int first = b * kBatchPairs;
        const int count = std::min(kBatchPairs, chunk_.count - first);
        PresentInputs(first, count);
        const int layers = net_.GetLayerCount();
        for (int j = 0; j < layers; ++j) Forward(j, first, count);
        if (!training || layers == 0) return;
        OutputDeltas(first, count);
        for (int j = layers - 2; j >= 0; --j) HiddenDeltas(j, first, count);
    }

    // Gradient sums of one tile, increased by every pair of the chunk in pass order.
    void Tile(int t) {
        int j = 0;
        while (t >= TilesOf(j)) t -= TilesOf(j++);
        const int across = Blocks(net_.GetLayer(j).GetInputsPerNeuron(), kTileColumns);
        const int tileRows = TileRows(j);
        AddGradients(j, (t / across) * tileRows, tileRows, (t % across) * kTileColumns);
    }

    // Every gradient sum, tile after tile, on the calling thread.
    void AllGradients() {
        constexpr int rows = kTileRowChoices[0];
        for (int j = 0; j < net_.GetLayerCount(); ++j) {
            const NeuronLayer& layer = net_.GetLayer(j);
            for (int row = 0; row < layer.GetNeuronCount(); row += rows)
                for (int column = 0; column < layer.GetInputsPerNeuron(); column += kTileColumns)
                    AddGradients(j, row, rows, column);
        }
    }

private:
    void AddGradients(int j, int row, int rows, int column) {
        const NeuronLayer& layer = net_.GetLayer(j);
        const int neurons = layer.GetNeuronCount();
        const int connections = layer.GetInputsPerNeuron();
        kernels::AccumulateProducts(work_.Gradient(j) + Size(row) * Size(connections) + Size(column), Size(connections),
                                    work_.Delta(j, 0) + row, 1, Size(neurons), work_.Values(j, 0) + column,
                                    Size(work_.Width(j)), std::min(rows, neurons - row),
                                    std::min(kTileColumns, connections - column), chunk_.count);
    }

    int TileRows(int j) const {
        const NeuronLayer& layer = net_.GetLayer(j);
        const int across = Blocks(layer.GetInputsPerNeuron(), kTileColumns);
        for (const int rows : kTileRowChoices)
            if (Blocks(layer.GetNeuronCount(), rows) * across >= kTilesPerThread * threads_) return rows;
        return kTileRowChoices[std::size(kTileRowChoices) - 1];
    }
    int TilesOf(int j) const {
        const NeuronLayer& layer = net_.GetLayer(j);
        return Blocks(layer.GetNeuronCount(), TileRows(j)) * Blocks(layer.GetInputsPerNeuron(), kTileColumns);
    }

    void PresentInputs(int first, int count) {
        const int width = chunk_.inputWidth;
        for (int i = first; i < first + count; ++i) {
            const double* in = chunk_.inputs[chunk_.pairs[i]];
            double* row = work_.Values(0, i);
            std::copy(in, in + width, row);
            row[work_.Width(0) - 1] = chunk_.bias;
        }
    }

    // The layer's outputs for the batch's pairs, each net input summed from 0.0 connection by
    // connection, as a simulation computes it.
    void Forward(int j, int first, int count) {
        const NeuronLayer& layer = net_.GetLayer(j);
        const int neurons = layer.GetNeuronCount();
        for (int i = first; i < first + count; ++i) {
            double* out = work_.Values(j + 1, i);
            out[neurons] = chunk_.bias;
            // Without a function a simulation leaves the neurons as they are.
            if (chunk_.function == FCN_NONE) {
                std::copy(layer.Outputs(), layer.Outputs() + neurons, out);
            } else {
                std::fill(out, out + neurons, 0.0);
            }
        }
        if (chunk_.function == FCN_NONE || neurons == 0) return;
        kernels::AccumulateProducts(work_.Values(j + 1, first), Size(work_.Width(j + 1)), work_.Values(j, first),
                                    Size(work_.Width(j)), 1, work_.Transposed(j), Size(neurons), count, neurons,
                                    layer.GetInputsPerNeuron());
        for (int i = first; i < first + count; ++i) {
            double* out = work_.Values(j + 1, i);
            for (int k = 0; k < neurons; ++k) out[k] = ApplyTransfer(chunk_.function, chunk_.gain, out[k]);
        }
    }

    void OutputDeltas(int first, int count) {
        const int last = net_.GetLayerCount() - 1;
        const int outputs = net_.GetLayer(last).GetNeuronCount();
        for (int i = first; i < first + count; ++i) {
            const double* __restrict o = work_.Values(last + 1, i);
            const double* __restrict t = chunk_.targets + Size(chunk_.pairs[i]) * Size(outputs);
            double* __restrict delta = work_.Delta(last, i);
            if (chunk_.function == FCN_LOGSIG) {
                for (int k = 0; k < outputs; ++k) delta[k] = (t[k] - o[k]) * o[k] * (1 - o[k]);
            } else if (chunk_.function == FCN_TANSIG) {
                for (int k = 0; k < outputs; ++k) delta[k] = (t[k] - o[k]) * (1 - o[k] * o[k]) * 0.5;
            } else {
                std::fill(delta, delta + outputs, 0.0);
            }
        }
    }

    void HiddenDeltas(int j, int first, int count) {
        const int neurons = net_.GetLayer(j).GetNeuronCount();
        const NeuronLayer& above = net_.GetLayer(j + 1);
        const int aboveNeurons = above.GetNeuronCount();
        for (int i = first; i < first + count; ++i) std::fill(work_.Sums(i), work_.Sums(i) + neurons, 0.0);
        // Each sum runs over the neurons of the layer above, in order, from 0.0.
        if (above.WeightCount() > 0 && neurons > 0)
            kernels::AccumulateProducts(work_.Sums(first), Size(work_.SumsWidth()),
                                        work_.Delta(j + 1, first), Size(aboveNeurons), 1, above.Weights(),
                                        Size(above.GetInputsPerNeuron()), count, neurons, aboveNeurons);
        for (int i = first; i < first + count; ++i) {
            const double* __restrict o = work_.Values(j + 1, i);
            const double* __restrict sums = work_.Sums(i);
            double* __restrict delta = work_.Delta(j, i);
            if (chunk_.function == FCN_LOGSIG) {
                for (int k = 0; k < neurons; ++k) delta[k] = o[k] * (1 - o[k]) * sums[k];
            } else if (chunk_.function == FCN_TANSIG) {
                for (int k = 0; k < neurons; ++k) delta[k] = (1 - o[k] * o[k]) * 0.5 * sums[k];
            } else {
                std::fill(delta, delta + neurons, 0.0);
            }
        }
    }

    TrainingWork& work_;
    const PassChunk& chunk_;
    const CNeuralNetwork& net_;
    int threads_;
};

}  // namespace

long long PairWork(const CNeuralNetwork& net, bool training) {
    long long work = 0;
    for (int j = 0; j < net.GetLayerCount(); ++j) {
        const auto connections = static_cast<long long>(net.GetLayer(j).WeightCount());
        work += training ? 2 * connections : connections;
        if (training && j + 1 < net.GetLayerCount())
            work += static_cast<long long>(net.GetLayer(j).GetNeuronCount()) * net.GetLayer(j + 1).GetNeuronCount();
    }
    return work;
}

void ComputeChunk(TrainingWork& work, const PassChunk& chunk, bool training, int threads) {
    ChunkComputation computation(work, chunk, threads);
    if (threads <= 1) {
        for (int b = 0; b < computation.Batches(); ++b) computation.Batch(b, training);
        if (training) computation.AllGradients();
        return;
    }
    // Every thread takes batches of pairs, then shares of the gradient sums, as they come: which
    // thread computes what does not change a single value.
    ThreadTeam& team = ThreadTeam::OfThisThread();
    auto batch = [&](int b) { computation.Batch(b, training); };
    team.Run(threads, computation.Batches(), batch);
    if (!training) return;
    auto tile = [&](int t) { computation.Tile(t); };
    team.Run(threads, computation.Tiles(), tile);
}

// The working arrays of one training call, made once when it starts: the gradient sums of every
// connection (laid out like the layer's weights), each layer's weights transposed for the pass
// (connection c of every neuron side by side), and the per-pair values of one chunk of a pass's
// pairs: the values entering each layer, the deltas and the back-propagated sums. A chunk holds a
// bounded number of pairs, so this memory does not grow with the number of pairs.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

class CNeuralNetwork;

class TrainingWork {
public:
    // A chunk holds as many pairs as fit in kChunkBytes, but at least kMinimumChunkPairs and at
    // most kMaximumChunkPairs (nor more than the pass has).
    static constexpr std::size_t kChunkBytes = std::size_t{16} << 20;
    static constexpr int kMinimumChunkPairs = 64;
    static constexpr int kMaximumChunkPairs = 1024;

    // The arrays for the network, with a chunk for passes of at most `pairs` pairs.
    void Prepare(const CNeuralNetwork& network, int pairs);
    // Zeroes every gradient sum (at the start of each training pass).
    void ClearGradients();
    // Copies each layer's weights transposed (at the start of each pass: the weights a pass uses).
    void TransposeWeights(const CNeuralNetwork& network);

    int ChunkPairs() const { return chunkPairs_; }
    double* Gradient(int layer) { return layers_[Layer(layer)].gradient.data(); }
    // Row c holds connection c of every neuron of the layer.
    const double* Transposed(int layer) const { return layers_[Layer(layer)].transposed.data(); }

    // Chunk position i's values entering layer l: for l = 0 the inputs, for l = j + 1 the outputs of
    // computed layer j, each followed by the bias value; Width(l) values.
    double* Values(int l, int i) { return values_[Layer(l)].data.get() + Row(i, Width(l)); }
    int Width(int l) const { return widths_[Layer(l)]; }
    double* Delta(int layer, int i) { return layers_[Layer(layer)].delta.data.get() + Row(i, Width(layer + 1) - 1); }
    double* Sums(int i) { return sums_.data.get() + Row(i, sumsWidth_); }
    int SumsWidth() const { return sumsWidth_; }

    // Bytes of per-connection storage (gradient sums, transposed weights) that training holds.
    std::size_t ConnectionBytes() const;
    // Bytes of per-pair storage of a chunk (values, deltas, sums): the bound that does not grow with
    // the number of pairs.
    std::size_t ChunkBytes() const;

private:
    static std::size_t Layer(int l) { return static_cast<std::size_t>(l); }
    std::size_t Row(int i, int width) const { return static_cast<std::size_t>(i) * static_cast<std::size_t>(width); }

    // Chunk rows are always written before they are read: left unset when made, so that a call's
    // set-up does not fill megabytes it is about to overwrite.
    // Their memory goes back to the thread when they end, and the thread's next call takes it again:
    // a script that trains an epoch per call would otherwise have megabytes of fresh pages mapped
    // and faulted in at every call (a sixth of network (b)'s time, more on several threads).
    struct Rows {
        std::unique_ptr<double[]> data;
        std::size_t size = 0;  // values in use
        std::size_t room = 0;  // values the block holds: a block taken back may hold more
        Rows() = default;
        Rows(Rows&&) = default;
        Rows& operator=(Rows&&) = default;
        ~Rows() { GiveBack(); }
        void Make(std::size_t n);
        void GiveBack();
    };
    struct LayerWork {
        std::vector<double> gradient;
        std::vector<double> transposed;
        Rows delta;
    };
    std::vector<LayerWork> layers_;
    std::vector<Rows> values_;
    std::vector<int> widths_;
    Rows sums_;
    int sumsWidth_ = 0;
    int chunkPairs_ = 1;
};

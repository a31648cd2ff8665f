// One chunk of a pass's pairs, computed on several threads: every pair's forward pass (and, in a
// training pass, its deltas) on the pair's own rows of the working arrays, then every gradient sum
// increased by the chunk's pairs in pass order. Each sum is added exactly as one thread would add
// it, so the results do not depend on the number of threads.
#pragma once

class CNeuralNetwork;
class TrainingWork;

struct PassChunk {
    const CNeuralNetwork* net = nullptr;
    int function = 0;
    double gain = 1.0;
    double bias = 0.0;                // the bias neuron's output
    const double* const* inputs = nullptr;  // per pair its inputWidth values
    int inputWidth = 0;
    const double* targets = nullptr;  // the output layer's size per pair (training)
    const int* pairs = nullptr;       // the chunk's pairs in pass order
    int count = 0;
};

// The multiply-adds of one pair: its forward pass, and in a training pass its back-propagated sums
// and gradient products.
long long PairWork(const CNeuralNetwork& net, bool training);

// Computes the chunk into `work` (values of every layer, deltas, gradient sums) on `threads` threads.
void ComputeChunk(TrainingWork& work, const PassChunk& chunk, bool training, int threads);

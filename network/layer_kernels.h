// The arithmetic of a whole layer at once, on the layer's contiguous row-major weights
// (row = neuron, its connections in order, the bias connection last). Every kernel keeps the
// order of each single sum exactly as the neuron-by-neuron loop has it, so results are
// bit-identical to that loop; the speed comes from working on many independent sums at once.
#pragma once

#include <cstddef>

namespace kernels {

// net[r] = ((0.0 + w[r][0]*x[0]) + w[r][1]*x[1]) + ... for r < rows, each row summed in order.
void NetInputs(const double* w, int rows, int cols, const double* x, double* net);

// s[k] = Σ over m < rows, in order from 0.0, of d[m] * w[m][k], for k < used (used <= cols).
void BackPropagatedSums(const double* w, int rows, int cols, int used, const double* d, double* s);

// acc[r][c] += d[r] * x[c] for r < rows, c < cols.
void AddOuterProduct(double* acc, int rows, int cols, const double* d, const double* x);

// w[i] += acc[i] / pairs * rate.
void ApplyGradient(double* w, const double* acc, std::size_t count, double pairs, double rate);

}  // namespace kernels

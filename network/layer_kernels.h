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

// c[m][n] += Σ over k < depth, in order, of a[m * aRow + k * aStep] * b[k][n], for m < rows and
// n < cols (row strides cStride and bStride): the products of many pairs or neurons at once, each
// sum still added in k's order. Starting from zeros it gives NetInputs' and BackPropagatedSums'
// sums; continuing over k gives AddOuterProduct's accumulation pair after pair.
void AccumulateProducts(double* c, std::size_t cStride, const double* a, std::size_t aRow, std::size_t aStep,
                        const double* b, std::size_t bStride, int rows, int cols, int depth);

// w[i] += acc[i] / pairs * rate.
void ApplyGradient(double* w, const double* acc, std::size_t count, double pairs, double rate);

}  // namespace kernels

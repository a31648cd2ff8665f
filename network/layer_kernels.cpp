#include "network/layer_kernels.h"

// GCC's -O2 vectorises only loops without a remainder; these loops are the training's whole cost,
// so they get its full vectoriser. Vectorising them never reorders a single sum.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC optimize("tree-vectorize", "vect-cost-model=dynamic")
#endif

namespace kernels {

namespace {

// Several rows at once, each with its own accumulator: the sums are independent, so they run
// side by side while each still adds its products in connection order.
template <int N>
inline void NetInputBlock(const double* __restrict w, int cols, const double* __restrict x,
                          double* __restrict net) {
    double acc[N];
    for (int r = 0; r < N; ++r) acc[r] = 0.0;
    for (int c = 0; c < cols; ++c) {
        const double xc = x[c];
        for (int r = 0; r < N; ++r) acc[r] += w[static_cast<std::size_t>(r) * cols + c] * xc;
    }
    for (int r = 0; r < N; ++r) net[r] = acc[r];
}

}  // namespace

void NetInputs(const double* w, int rows, int cols, const double* x, double* net) {
    const std::size_t stride = static_cast<std::size_t>(cols);
    int r = 0;
    for (; r + 4 <= rows; r += 4) NetInputBlock<4>(w + r * stride, cols, x, net + r);
    for (; r < rows; ++r) NetInputBlock<1>(w + r * stride, cols, x, net + r);
}

void BackPropagatedSums(const double* __restrict w, int rows, int cols, int used,
                        const double* __restrict d, double* __restrict s) {
    for (int k = 0; k < used; ++k) s[k] = 0.0;
    for (int m = 0; m < rows; ++m) {
        const double dm = d[m];
        const double* __restrict row = w + static_cast<std::size_t>(m) * cols;
        for (int k = 0; k < used; ++k) s[k] += dm * row[k];
    }
}

void AddOuterProduct(double* __restrict acc, int rows, int cols, const double* __restrict d,
                     const double* __restrict x) {
    for (int r = 0; r < rows; ++r) {
        const double dr = d[r];
        double* __restrict row = acc + static_cast<std::size_t>(r) * cols;
        for (int c = 0; c < cols; ++c) row[c] += dr * x[c];
    }
}

void ApplyGradient(double* __restrict w, const double* __restrict acc, std::size_t count, double pairs,
                   double rate) {
    for (std::size_t i = 0; i < count; ++i) w[i] += acc[i] / pairs * rate;
}

}  // namespace kernels

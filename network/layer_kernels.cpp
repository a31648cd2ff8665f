#include "network/layer_kernels.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// GCC's -O2 vectorises only loops without a remainder; these loops are the training's whole cost,
// so they get its full vectoriser. Vectorising them never reorders a single sum.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC optimize("tree-vectorize", "vect-cost-model=dynamic")
#endif

namespace kernels {

namespace {

// One row, summed in order.
inline double RowSum(const double* __restrict w, int cols, const double* __restrict x) {
    double acc = 0.0;
    for (int c = 0; c < cols; ++c) acc += w[c] * x[c];
    return acc;
}

#if defined(__SSE2__)
// Two rows share one register, one row per lane; each lane adds its own products in connection
// order, exactly as RowSum does, so the lanes give RowSum's results.
inline __m128d PairOfRows(const double* row, std::size_t stride, int c) {
    return _mm_loadh_pd(_mm_load_sd(row + c), row + stride + c);
}

void EightRows(const double* w, std::size_t stride, int cols, const double* x, double* net) {
    __m128d a0 = _mm_setzero_pd(), a1 = _mm_setzero_pd(), a2 = _mm_setzero_pd(), a3 = _mm_setzero_pd();
    for (int c = 0; c < cols; ++c) {
        const __m128d xc = _mm_set1_pd(x[c]);
        a0 = _mm_add_pd(a0, _mm_mul_pd(PairOfRows(w, stride, c), xc));
        a1 = _mm_add_pd(a1, _mm_mul_pd(PairOfRows(w + 2 * stride, stride, c), xc));
        a2 = _mm_add_pd(a2, _mm_mul_pd(PairOfRows(w + 4 * stride, stride, c), xc));
        a3 = _mm_add_pd(a3, _mm_mul_pd(PairOfRows(w + 6 * stride, stride, c), xc));
    }
    _mm_storeu_pd(net, a0);
    _mm_storeu_pd(net + 2, a1);
    _mm_storeu_pd(net + 4, a2);
    _mm_storeu_pd(net + 6, a3);
}

void TwoRows(const double* w, std::size_t stride, int cols, const double* x, double* net) {
    __m128d a = _mm_setzero_pd();
    for (int c = 0; c < cols; ++c) a = _mm_add_pd(a, _mm_mul_pd(PairOfRows(w, stride, c), _mm_set1_pd(x[c])));
    _mm_storeu_pd(net, a);
}
#endif

}  // namespace

void NetInputs(const double* w, int rows, int cols, const double* x, double* net) {
    const std::size_t stride = static_cast<std::size_t>(cols);
    int r = 0;
#if defined(__SSE2__)
    for (; r + 8 <= rows; r += 8) EightRows(w + r * stride, stride, cols, x, net + r);
    for (; r + 2 <= rows; r += 2) TwoRows(w + r * stride, stride, cols, x, net + r);
#endif
    for (; r < rows; ++r) net[r] = RowSum(w + r * stride, cols, x);
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

#include "network/layer_kernels.h"

#include <algorithm>
#include <cstring>

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

namespace {

// Four doubles side by side: the compiler gives each clone of AccumulateProducts its own
// instructions for them (two SSE2 registers, or one AVX2 register). Arithmetic on them is lane by
// lane, a multiply then an add, exactly as on single doubles.
using Lanes = double __attribute__((vector_size(4 * sizeof(double))));
constexpr int kLanes = 4;

// (Passed by reference only: by value they would change the calling convention between clones.)
inline __attribute__((always_inline)) void Load(Lanes& v, const double* p) { std::memcpy(&v, p, sizeof v); }
inline __attribute__((always_inline)) void Store(double* p, const Lanes& v) { std::memcpy(p, &v, sizeof v); }

// An mr x (nv * 4) block of c held in registers while k runs over the whole depth: each element
// adds its products in k's order.
template <int mr, int nv>
inline __attribute__((always_inline)) void Block(double* __restrict c, std::size_t cStride,
                                                 const double* __restrict a, std::size_t aRow, std::size_t aStep,
                                                 const double* __restrict b, std::size_t bStride, int depth) {
    Lanes acc[mr][nv];
#pragma GCC unroll 4
    for (int m = 0; m < mr; ++m)
#pragma GCC unroll 2
        for (int v = 0; v < nv; ++v) Load(acc[m][v], c + m * cStride + v * kLanes);
    for (int k = 0; k < depth; ++k) {
        const double* bk = b + k * bStride;
        Lanes row[nv];
#pragma GCC unroll 2
        for (int v = 0; v < nv; ++v) Load(row[v], bk + v * kLanes);
#pragma GCC unroll 4
        for (int m = 0; m < mr; ++m) {
            const double am = a[m * aRow + k * aStep];
#pragma GCC unroll 2
            for (int v = 0; v < nv; ++v) acc[m][v] += am * row[v];
        }
    }
#pragma GCC unroll 4
    for (int m = 0; m < mr; ++m)
#pragma GCC unroll 2
        for (int v = 0; v < nv; ++v) Store(c + m * cStride + v * kLanes, acc[m][v]);
}

// The same for one column: the narrow edge of a block.
template <int mr>
inline __attribute__((always_inline)) void Column(double* __restrict c, std::size_t cStride,
                                                  const double* __restrict a, std::size_t aRow, std::size_t aStep,
                                                  const double* __restrict b, std::size_t bStride, int depth) {
    double acc[mr];
#pragma GCC unroll 4
    for (int m = 0; m < mr; ++m) acc[m] = c[m * cStride];
    for (int k = 0; k < depth; ++k)
#pragma GCC unroll 4
        for (int m = 0; m < mr; ++m) acc[m] += a[m * aRow + k * aStep] * b[k * bStride];
#pragma GCC unroll 4
    for (int m = 0; m < mr; ++m) c[m * cStride] = acc[m];
}

// Columns [0, nv * 4) (or the single column) of every row, four rows at a time, then row by row.
template <int nv>
inline __attribute__((always_inline)) void Rows(double* c, std::size_t cStride, const double* a, std::size_t aRow,
                                                std::size_t aStep, const double* b, std::size_t bStride, int rows,
                                                int depth) {
    int m = 0;
    for (; m + 4 <= rows; m += 4) {
        if constexpr (nv == 0) {
            Column<4>(c + m * cStride, cStride, a + m * aRow, aRow, aStep, b, bStride, depth);
        } else {
            Block<4, nv>(c + m * cStride, cStride, a + m * aRow, aRow, aStep, b, bStride, depth);
        }
    }
    for (; m < rows; ++m) {
        if constexpr (nv == 0) {
            Column<1>(c + m * cStride, cStride, a + m * aRow, aRow, aStep, b, bStride, depth);
        } else {
            Block<1, nv>(c + m * cStride, cStride, a + m * aRow, aRow, aStep, b, bStride, depth);
        }
    }
}

}  // namespace

// Built for the baseline and for AVX2, picked when the program starts. Multiply and add stay
// separate instructions (no contraction), so both builds give the same bits.
#if defined(__x86_64__) && defined(__GNUC__)
__attribute__((target_clones("avx2", "default")))
#endif
void AccumulateProducts(double* c, std::size_t cStride, const double* a, std::size_t aRow, std::size_t aStep,
                        const double* b, std::size_t bStride, int rows, int cols, int depth) {
    // k in slices, in order, so that the slice of b under a block of columns stays in the first-level
    // cache while every row passes over it; each element still adds its products in k's order.
    constexpr int kSlice = 128;
    for (int k = 0; k < depth; k += kSlice) {
        const int slice = std::min(kSlice, depth - k);
        const double* ak = a + k * aStep;
        const double* bk = b + k * bStride;
        int n = 0;
        for (; n + 2 * kLanes <= cols; n += 2 * kLanes) Rows<2>(c + n, cStride, ak, aRow, aStep, bk + n, bStride, rows, slice);
        for (; n + kLanes <= cols; n += kLanes) Rows<1>(c + n, cStride, ak, aRow, aStep, bk + n, bStride, rows, slice);
        for (; n < cols; ++n) Rows<0>(c + n, cStride, ak, aRow, aStep, bk + n, bStride, rows, slice);
    }
}

void ApplyGradient(double* __restrict w, const double* __restrict acc, std::size_t count, double pairs,
                   double rate) {
    for (std::size_t i = 0; i < count; ++i) w[i] += acc[i] / pairs * rate;
}

}  // namespace kernels

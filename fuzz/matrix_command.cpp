// Arbitrary bytes read as a matrix text file (ReadMatrix) into matrices of several sizes: no
// crash, no hang, and a file the reader refuses leaves the matrix exactly as it was.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz/scratch_file.h"
#include "base/matrix.h"

namespace {

std::vector<double> Elements(const CMatrix& m) {
    std::vector<double> out;
    std::string error;
    for (int r = 0; r < m.GetRows(); ++r) {
        for (int c = 0; c < m.GetCols(); ++c) out.push_back(m.GetAt(r, c, error));
    }
    return out;
}

bool SameBits(const std::vector<double>& a, const std::vector<double>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i] && !(a[i] != a[i] && b[i] != b[i])) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::FILE* f = std::fopen(ScratchPath("matrix", ".txt").c_str(), "wb");
    if (f == nullptr) return 0;
    const bool written = std::fwrite(data, 1, size, f) == size;
    if (std::fclose(f) != 0 || !written) return 0;
    for (const auto& [rows, cols] : {std::pair{1, 1}, std::pair{2, 3}, std::pair{0, 0}, std::pair{4, 1}}) {
        CMatrix m(rows, cols, "m");
        m.AddScalar(7.0);
        const std::vector<double> before = Elements(m);
        if (!LoadMatrixFromTextFile(m, ScratchPath("matrix", ".txt")) && !SameBits(Elements(m), before)) std::abort();
    }
    return 0;
}

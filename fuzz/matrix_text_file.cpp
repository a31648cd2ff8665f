// Arbitrary bytes as a matrix text file, read into a matrix whose size the first two input bytes
// choose, and checked against an independent reading of the same bytes: the load succeeds exactly
// when the text (up to a Ctrl-Z, where text mode stops) holds rows x cols tokens of at most 4999
// characters; then the cells hold those tokens' numbers in order, and otherwise nothing changed.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/scratch_file.h"
#include "base/matrix.h"
#include "base/number_text.h"

namespace {

bool WriteScratch(std::string_view bytes) {
    std::FILE* f = std::fopen(ScratchPath("matrix_text", ".txt").c_str(), "wb");
    if (f == nullptr) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && written;
}

bool IsSeparator(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// The first `wanted` tokens, or false when there are fewer or one of them is too long.
bool ExpectedTokens(std::string_view text, std::size_t wanted, std::vector<std::string>& tokens) {
    const std::size_t ctrlZ = text.find('\x1A');
    if (ctrlZ != std::string_view::npos) text = text.substr(0, ctrlZ);
    std::size_t at = 0;
    while (tokens.size() < wanted) {
        while (at < text.size() && IsSeparator(text[at])) ++at;
        const std::size_t start = at;
        while (at < text.size() && !IsSeparator(text[at])) ++at;
        if (at == start || at - start > 4999) return false;
        tokens.emplace_back(text.substr(start, at - start));
    }
    return true;
}

std::vector<double> Cells(const CMatrix& m) {
    std::vector<double> cells;
    std::string error;
    for (int r = 0; r < m.GetRows(); ++r)
        for (int c = 0; c < m.GetCols(); ++c) cells.push_back(m.GetAt(r, c, error));
    return cells;
}

bool SameValue(double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const int rows = data[0] % 9;
    const int cols = data[1] % 9;
    const std::string_view text(reinterpret_cast<const char*>(data + 2), size - 2);
    if (!WriteScratch(text)) return 0;

    CMatrix m(rows, cols, "m");
    m.AddScalar(-3.5);
    const std::vector<double> before = Cells(m);
    const int loaded = LoadMatrixFromTextFile(m, ScratchPath("matrix_text", ".txt"));

    std::vector<std::string> tokens;
    const bool expectLoad = ExpectedTokens(text, static_cast<std::size_t>(rows * cols), tokens);
    if (loaded != (expectLoad ? 1 : 0)) std::abort();
    const std::vector<double> after = Cells(m);
    for (std::size_t i = 0; i < after.size(); ++i) {
        const double expected = loaded ? DecimalTextToDouble(tokens[i]) : before[i];
        if (!SameValue(after[i], expected)) std::abort();
    }
    return 0;
}

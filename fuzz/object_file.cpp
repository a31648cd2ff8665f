// Arbitrary bytes read as an object file into an Integer, a Float, a String and a Matrix value:
// the reader must not crash, hang or over-allocate, and a file it refuses must leave the value
// exactly as it was.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz/scratch_file.h"
#include "base/matrix.h"
#include "interpreter/object_file_codec.h"
#include "interpreter/value.h"
#include "platform/crt_file.h"

namespace {

bool WriteInput(const std::uint8_t* data, std::size_t size) {
    std::FILE* f = std::fopen(ScratchPath("object", ".bin").c_str(), "wb");
    if (f == nullptr) return false;
    const bool ok = std::fwrite(data, 1, size, f) == size;
    return std::fclose(f) == 0 && ok;
}

// A matrix of the size the input names (when it is small), so that whole files can be accepted.
Value MatrixTarget(const std::uint8_t* data, std::size_t size) {
    int rows = 2;
    int cols = 3;
    if (size >= 20) {
        const int r = data[12] | (data[13] << 8);
        const int c = data[16] | (data[17] << 8);
        if (data[14] == 0 && data[15] == 0 && data[18] == 0 && data[19] == 0 && r <= 64 && c <= 64) {
            rows = r;
            cols = c;
        }
    }
    Value v;
    v.SetMatrix(new CMatrix(rows, cols, "m"));
    v.value.matrix->AddScalar(7.0);
    return v;
}

void LoadInto(Value& target) {
    const std::string before = ValueToText(target, true);
    auto file = crt::CrtFile::Open(ScratchPath("object", ".bin"), "rb");
    if (!file) std::abort();
    if (!ReadObjectValue(*file, target) && ValueToText(target, true) != before) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (!WriteInput(data, size)) return 0;
    Value integer;
    integer.SetInteger(-7);
    Value number;
    number.SetFloat(0.5);
    Value text;
    text.SetString("unchanged");
    Value matrix = MatrixTarget(data, size);
    for (Value* target : {&integer, &number, &text, &matrix}) LoadInto(*target);
    return 0;
}

#include "interpreter/object_file_codec.h"

#include <cstdint>
#include <string>
#include <vector>

#include "base/matrix.h"
#include "base/object_file_header.h"
#include "interpreter/value.h"
#include "platform/crt_file.h"

namespace {

bool WriteMatrixBody(crt::CrtFile& stream, const CMatrix& matrix) {
    int rows = 0;
    int cols = 0;
    matrix.GetSize(rows, cols);
    if (!WriteInt32(stream, rows) || !WriteInt32(stream, cols)) return false;
    std::string error;
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c) {
            if (!WriteDouble(stream, matrix.GetAt(r, c, error))) return false;
        }
    }
    return true;
}

bool WriteStringBody(crt::CrtFile& stream, const std::string& text) {
    if (text.size() > static_cast<std::size_t>(INT32_MAX)) return false;
    if (!WriteInt32(stream, static_cast<std::int32_t>(text.size()))) return false;
    return text.empty() || stream.Write(text.data(), 1, text.size()) == text.size();
}

// Bytes between the read position and the end of the file; -1 when unknown.
std::int64_t BytesLeft(crt::CrtFile& stream) {
    const std::int64_t here = stream.Tell();
    const std::int64_t length = stream.Length();
    if (here < 0 || length < 0 || length < here) return -1;
    return length - here;
}

bool ReadMatrixBody(crt::CrtFile& stream, CMatrix& matrix) {
    std::int32_t rows = 0;
    std::int32_t cols = 0;
    if (!ReadInt32(stream, rows) || !ReadInt32(stream, cols)) return false;
    int presentRows = 0;
    int presentCols = 0;
    matrix.GetSize(presentRows, presentCols);
    // Loading never resizes: the stored size must be the matrix's own, which also bounds the read.
    if (rows != presentRows || cols != presentCols || !matrix.IsAllocated()) return false;
    const std::int64_t count = static_cast<std::int64_t>(rows) * cols;
    if (BytesLeft(stream) < count * 8) return false;
    std::vector<double> values(static_cast<std::size_t>(count));
    for (double& v : values) {
        if (!ReadDouble(stream, v)) return false;
    }
    std::string error;
    std::size_t i = 0;
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c) matrix.SetAt(r, c, values[i++], error);
    }
    return true;
}

bool ReadStringBody(crt::CrtFile& stream, Value::Payload& target) {
    std::int32_t length = 0;
    if (!ReadInt32(stream, length) || length < 0) return false;
    if (BytesLeft(stream) < length) return false;
    std::string text(static_cast<std::size_t>(length), '\0');
    if (length > 0 && stream.Read(text.data(), 1, text.size()) != text.size()) return false;
    Value::SetSlotText(target, text);
    return true;
}

}  // namespace

bool HasObjectFileForm(int valueType) {
    return valueType == kTypeInteger || valueType == kTypeFloat || valueType == kTypeString ||
           valueType == kTypeMatrix;
}

bool WriteObjectValue(crt::CrtFile& stream, int type, const Value::Payload& element) {
    if (!HasObjectFileForm(type) || !WriteObjectHeader(stream, type)) return false;
    switch (type) {
        case kTypeInteger: return WriteInt32(stream, element.integer);
        case kTypeFloat: return WriteDouble(stream, element.number);
        case kTypeString: return WriteStringBody(stream, Value::SlotText(element));
        default: return element.matrix != nullptr && WriteMatrixBody(stream, *element.matrix);
    }
}

bool ReadObjectValue(crt::CrtFile& stream, int type, Value::Payload& target) {
    if (!HasObjectFileForm(type)) return false;
    if (ReadObjectHeader(stream) != type) return false;
    switch (type) {
        case kTypeInteger: {
            std::int32_t v = 0;
            if (!ReadInt32(stream, v)) return false;
            target.integer = v;
            return true;
        }
        case kTypeFloat: {
            double v = 0.0;
            if (!ReadDouble(stream, v)) return false;
            target.number = v;
            return true;
        }
        case kTypeString: return ReadStringBody(stream, target);
        default: return target.matrix != nullptr && ReadMatrixBody(stream, *target.matrix);
    }
}

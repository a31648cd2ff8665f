#include "interpreter/builtin_arguments.h"

#include <cstring>

#include "platform/crt_file.h"

namespace builtin {

int ReadFileVariable(CTesselParser& p, ElementRef& variable, ScanMark& afterName) {
    if (p.ReadToken() != token::kVariable) return p.FailWith(message::kUnknownVariable);
    p.SavePosition(afterName);
    variable = p.EvaluateArrayIndex();
    if (!variable.Found()) return 0;
    if (p.variables[variable.record].type != kTypeFile) return p.FailWith(message::kFileVariableExpected);
    return 1;
}

crt::CrtFile* FileOf(CTesselParser& p, ElementRef variable) {
    if (p.variables[variable.record].type != kTypeFile) return nullptr;
    return p.ElementValue(variable).file;
}

int ReadWholeNumber(CTesselParser& p, std::int32_t& out) {
    double number = 0.0;
    if (!p.ReadNumber(number)) return 0;
    out = DoubleToInt32(number);
    return 1;
}

bool CloseSharedFile(CTesselParser& p, crt::CrtFile* file) {
    if (file == nullptr) return true;
    for (Value::Payload* slot : p.OpenFileSlots(0, p.variables.GetCount())) {
        if (slot->file == file) slot->file = nullptr;
    }
    const bool closed = file->Close();
    delete file;
    return closed;
}

int WriteOutcome(CTesselParser& p, const crt::CrtFile& file, bool written) {
    if (written || !file.IsWritable()) return 1;
    return p.FailWith(message::kCannotWriteFile);
}

std::uint32_t ToUnsigned32(double d) {
    if (d >= 0.0 && d < 4294967296.0) return static_cast<std::uint32_t>(d);
    if (d > -9223372036854775808.0 && d < 9223372036854775808.0) {
        return static_cast<std::uint32_t>(static_cast<std::uint64_t>(static_cast<std::int64_t>(d)));
    }
    return 0;
}

namespace {

// The bytes of a binary write, little-endian, converted as the command's width prescribes: how many.
std::size_t BinaryWriteBytes(int keyword, double value, unsigned char (&bytes)[8]) {
    std::uint64_t bits = 0;
    std::size_t width = 4;
    switch (keyword) {
        case kw::kFileWrite1b: case kw::kFileWrite1bu:
            width = 1;
            bits = static_cast<std::uint32_t>(DoubleToInt32(value));
            break;
        case kw::kFileWrite2b: case kw::kFileWrite2bu:
            width = 2;
            bits = static_cast<std::uint32_t>(DoubleToInt32(value));
            break;
        case kw::kFileWrite4bi: bits = static_cast<std::uint32_t>(DoubleToInt32(value)); break;
        case kw::kFileWrite4bf: {
            const float single = static_cast<float>(value);
            std::uint32_t raw = 0;
            std::memcpy(&raw, &single, sizeof raw);
            bits = raw;
            break;
        }
        case kw::kFileWrite8b: width = 8; std::memcpy(&bits, &value, sizeof bits); break;
        default: bits = ToUnsigned32(value); break;
    }
    for (std::size_t i = 0; i < width; ++i) bytes[i] = static_cast<unsigned char>(bits >> (8 * i));
    return width;
}

}  // namespace

int PutFileBinary(CTesselParser& p, crt::CrtFile& file, int keyword, double value) {
    unsigned char bytes[8];
    const std::size_t width = BinaryWriteBytes(keyword, value, bytes);
    return WriteOutcome(p, file, file.Write(bytes, 1, width) == width);
}

int PutFileString(CTesselParser& p, crt::CrtFile& file, const std::string& text) {
    return WriteOutcome(p, file, file.Puts(text));
}

void GetFileString(crt::CrtFile& file, std::int32_t count, std::string& text) {
    const int limit = count < CTesselParser::kStringLiteralLimit - 1 ? count : CTesselParser::kStringLiteralLimit - 1;
    if (!file.Gets(text, limit + 1)) text.clear();
}

std::string Trimmed(const std::string& text) {
    static constexpr const char* kWhiteSpace = " \t\r\n\v\f";
    const std::size_t first = text.find_first_not_of(kWhiteSpace);
    if (first == std::string::npos) return std::string();
    const std::size_t last = text.find_last_not_of(kWhiteSpace);
    return text.substr(first, last - first + 1);
}

}  // namespace builtin

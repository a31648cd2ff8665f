#include "interpreter/builtin_arguments.h"

#include "platform/crt_file.h"

namespace builtin {

int ReadFileVariable(CTesselParser& p, int& record, ScanMark& afterName) {
    if (p.ReadToken() != token::kVariable) return p.FailWith(message::kUnknownVariable);
    p.SavePosition(afterName);
    const int element = p.EvaluateArrayIndex();
    if (element == 0) return 0;
    record = element - 1;
    if (p.variables[record].type != kTypeFile) return p.FailWith(message::kFileVariableExpected);
    return 1;
}

crt::CrtFile* FileOf(const CTesselParser& p, int record) {
    const Value& element = p.variables[record];
    return element.type == kTypeFile ? element.value.file : nullptr;
}

int ReadWholeNumber(CTesselParser& p, std::int32_t& out) {
    double number = 0.0;
    if (!p.ReadNumber(number)) return 0;
    out = DoubleToInt32(number);
    return 1;
}

bool CloseSharedFile(CTesselParser& p, crt::CrtFile* file) {
    if (file == nullptr) return true;
    for (Value& record : p.variables) {
        if (record.type == kTypeFile && record.value.file == file) record.value.file = nullptr;
    }
    const bool closed = file->Close();
    delete file;
    return closed;
}

std::string Trimmed(const std::string& text) {
    static constexpr const char* kWhiteSpace = " \t\r\n\v\f";
    const std::size_t first = text.find_first_not_of(kWhiteSpace);
    if (first == std::string::npos) return std::string();
    const std::size_t last = text.find_last_not_of(kWhiteSpace);
    return text.substr(first, last - first + 1);
}

}  // namespace builtin

#include "interpreter/builtin_arguments.h"

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

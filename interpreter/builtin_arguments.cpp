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

std::string Trimmed(const std::string& text) {
    static constexpr const char* kWhiteSpace = " \t\r\n\v\f";
    const std::size_t first = text.find_first_not_of(kWhiteSpace);
    if (first == std::string::npos) return std::string();
    const std::size_t last = text.find_last_not_of(kWhiteSpace);
    return text.substr(first, last - first + 1);
}

}  // namespace builtin

#include "platform/document_text.h"

#include "platform/cp1256.h"
#include "platform/rtf_reader.h"

namespace document {
namespace {

constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";

std::string PlainTextInCp1256(const std::string& fileBytes) {
    std::string body = fileBytes.rfind(kUtf8Bom, 0) == 0 ? fileBytes.substr(3) : fileBytes;
    // Text that is not UTF-8 (an Arabic letter in code page 1256 is rarely valid UTF-8) is
    // already in the interpreter's code page.
    if (cp1256::IsValidUtf8(body)) return cp1256::FromUtf8(body);
    return body;
}

}  // namespace

std::string NormalizeLineEnds(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r') {
            out.push_back(text[i]);
            continue;
        }
        out.push_back('\n');
        if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    }
    return out;
}

std::string LoadScriptDocument(const std::string& fileBytes, std::string& error) {
    error.clear();
    if (!rtf::IsRtf(fileBytes)) return NormalizeLineEnds(PlainTextInCp1256(fileBytes));
    std::string text;
    if (!rtf::ExtractPlainText(fileBytes, text, error)) return std::string();
    return NormalizeLineEnds(text);
}

}  // namespace document

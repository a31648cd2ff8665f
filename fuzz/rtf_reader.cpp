// Arbitrary bytes as a script document: the RTF reader and the document loader must end without
// a crash, a hang or a sanitizer report, and keep their promises on every input.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/document_text.h"
#include "platform/rtf_reader.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);

    std::string text = "unchanged";
    std::string error;
    const bool ok = rtf::ExtractPlainText(bytes, text, error);
    Require(ok == error.empty());
    Require(ok || text == "unchanged");
    // Plain text never grows: each source byte gives at most one character.
    Require(!ok || text.size() <= bytes.size());

    std::string loadError;
    const std::string script = document::LoadScriptDocument(bytes, loadError);
    Require(script.find('\r') == std::string::npos);
    Require(loadError.empty() || script.empty());

    // Whatever text came out, writing it as a document must read back to the same bytes.
    if (ok && text.find('\0') == std::string::npos) {
        std::string back;
        std::string backError;
        Require(rtf::ExtractPlainText(rtf::WritePlainTextDocument(text), back, backError));
        Require(back == text);
    }
    return 0;
}

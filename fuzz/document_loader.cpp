// Arbitrary bytes as a document opened in the desktop: the loader decides RTF or plain text and
// reads formats; it must end without a crash, a hang or a sanitizer report, and whatever it read
// must be written and read back with the same text and formats.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/rich_document.h"
#include "platform/rtf_document_reader.h"
#include "platform/rtf_writer.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    rich::Document doc;
    std::string error;
    const bool ok = rich::LoadDocument(bytes, doc, error);
    Require(ok == error.empty());
    if (!ok) {
        Require(doc.paragraphs.empty());
        return 0;
    }
    Require(!doc.paragraphs.empty());

    const rich::Document read = rich::Normalized(doc);
    rich::Document back;
    std::string backError;
    Require(rtf::ReadDocument(rtf::WriteDocument(read), back, backError));
    const rich::Document again = rich::Normalized(back);
    Require(again.paragraphs == read.paragraphs);
    return 0;
}

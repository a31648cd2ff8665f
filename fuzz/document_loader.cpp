// Arbitrary bytes as a document opened in the desktop: the loader decides RTF or plain text and
// reads formats; it must end without a crash, a hang or a sanitizer report, and whatever it read
// must be written and read back with the same text and formats. Read under small bounds, it either
// refuses with a reason and leaves its result alone, or reads what it reads without them.
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

// Bounds taken from the input's own bytes, so that the fuzzer finds the bytes that meet them.
void CheckBounded(const std::string& bytes, const std::uint8_t* data, std::size_t size, const rich::Document& whole) {
    rich::Bounds bounds;
    bounds.lines = 1 + data[0] % 8;
    bounds.lineCharacters = 1 + data[size / 2] % 64;
    bounds.characters = 1 + data[size - 1] % 256;
    bounds.formatChanges = data[0] % 4;
    bounds.stretchCost = data[size / 3] % 32;
    bounds.stretchDivisor = 1 + data[0] % 3;
    bounds.markDivisor = 1 + data[size - 1] % 3;
    rich::Document bounded;
    std::string refusal;
    if (rich::LoadDocument(bytes, bounded, refusal, bounds)) {
        Require(refusal.empty() && bounded.paragraphs == whole.paragraphs);
    } else {
        Require(!refusal.empty() && bounded.paragraphs.empty());
    }
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

    if (size > 0) CheckBounded(bytes, data, size, doc);

    const rich::Document read = rich::Normalized(doc);
    rich::Document back;
    std::string backError;
    Require(rtf::ReadDocument(rtf::WriteDocument(read), back, backError));
    const rich::Document again = rich::Normalized(back);
    Require(again.paragraphs == read.paragraphs);
    return 0;
}

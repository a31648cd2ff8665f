#include "platform/rich_document.h"

#include "platform/cp1256.h"
#include "platform/document_text.h"
#include "platform/rtf_document_reader.h"
#include "platform/rtf_reader.h"

namespace rich {
namespace {

constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";

// Each line is counted before it is kept, so that a file of line breaks stops at the bound.
bool ReadPlainText(const std::string& fileBytes, Document& doc, Tally& tally) {
    const std::string body = fileBytes.rfind(kUtf8Bom, 0) == 0 ? fileBytes.substr(3) : fileBytes;
    const std::string utf8 = cp1256::IsValidUtf8(body) ? body : cp1256::ToUtf8(body);
    const std::string text = document::NormalizeLineEnds(utf8);
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find('\n', start);
        std::string line = text.substr(start, end - start);
        if (!tally.Text(line)) return false;
        Paragraph paragraph;
        paragraph.runs.push_back({std::move(line), CharFormat{}});
        doc.paragraphs.push_back(std::move(paragraph));
        if (end == std::string::npos) return true;
        if (!tally.LineEnd()) return false;
        start = end + 1;
    }
}

}  // namespace

bool LoadDocument(const std::string& fileBytes, Document& out, std::string& error, const Bounds& bounds) {
    error.clear();
    if (rtf::IsRtf(fileBytes)) return rtf::ReadDocument(fileBytes, out, error, bounds);
    Document doc;
    Tally tally(bounds);
    if (!ReadPlainText(fileBytes, doc, tally)) {
        error = tally.Why();
        return false;
    }
    out = std::move(doc);
    return true;
}

Document Normalized(const Document& document) {
    Document out;
    out.droppedObjects = document.droppedObjects;
    out.droppedPictures = document.droppedPictures;
    for (const Paragraph& paragraph : document.paragraphs) {
        Paragraph merged{paragraph.alignment, {}};
        for (const Run& run : paragraph.runs) {
            if (run.text.empty()) continue;
            if (!merged.runs.empty() && merged.runs.back().format == run.format) {
                merged.runs.back().text += run.text;
            } else {
                merged.runs.push_back(run);
            }
        }
        out.paragraphs.push_back(std::move(merged));
    }
    return out;
}

}  // namespace rich

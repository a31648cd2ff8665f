#include "platform/rich_document.h"

#include "platform/cp1256.h"
#include "platform/document_text.h"
#include "platform/rtf_document_reader.h"
#include "platform/rtf_reader.h"

namespace rich {
namespace {

constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";

Document PlainTextDocument(const std::string& fileBytes) {
    const std::string body = fileBytes.rfind(kUtf8Bom, 0) == 0 ? fileBytes.substr(3) : fileBytes;
    const std::string utf8 = cp1256::IsValidUtf8(body) ? body : cp1256::ToUtf8(body);
    const std::string text = document::NormalizeLineEnds(utf8);
    Document doc;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find('\n', start);
        Paragraph paragraph;
        paragraph.runs.push_back({text.substr(start, end - start), CharFormat{}});
        doc.paragraphs.push_back(std::move(paragraph));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return doc;
}

}  // namespace

bool LoadDocument(const std::string& fileBytes, Document& out, std::string& error) {
    error.clear();
    if (!rtf::IsRtf(fileBytes)) {
        out = PlainTextDocument(fileBytes);
        return true;
    }
    return rtf::ReadDocument(fileBytes, out, error);
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

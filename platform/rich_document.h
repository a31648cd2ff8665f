// A script document as the editor shows it: paragraphs of runs of text that share one character
// format. The desktop converts it to and from its editor's document; the RTF reader and writer
// convert it to and from the bytes of a file. Texts are UTF-8.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/document_tally.h"

namespace rich {

struct CharFormat {
    std::string font = "Courier New";
    int halfPoints = 20;  // font size in half points
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    bool hasColour = false;  // false: the automatic text colour
    std::uint32_t colour = 0;  // 0xRRGGBB
    bool operator==(const CharFormat&) const = default;
};

enum class Alignment { kLeft, kCenter, kRight, kJustify };

// Text holds no paragraph breaks; U+2028 stands for a line break inside the paragraph.
struct Run {
    std::string text;
    CharFormat format;
    bool operator==(const Run&) const = default;
};

struct Paragraph {
    Alignment alignment = Alignment::kLeft;
    std::vector<Run> runs;
    bool operator==(const Paragraph&) const = default;
};

struct Document {
    std::vector<Paragraph> paragraphs;  // never empty once loaded
    int droppedObjects = 0;  // embedded objects the reader could not keep
    int droppedPictures = 0;  // pictures (outside objects) the reader could not keep
};

// Reads a file's bytes: RTF (leading "{\rtf") with its formats, anything else as plain text
// in the default format (UTF-8 when it is valid UTF-8, a byte order mark dropped; otherwise code
// page 1256; CR LF, CR and LF end paragraphs). false with a message in error (out unchanged) on
// malformed RTF, or when the document passes one of bounds: reading stops there.
bool LoadDocument(const std::string& fileBytes, Document& out, std::string& error, const Bounds& bounds = Bounds{});

// The same document with adjacent runs of one format merged and empty runs dropped.
Document Normalized(const Document& document);

}  // namespace rich

#include "platform/rtf_writer.h"

#include <algorithm>
#include <cstdio>
#include <map>

#include "platform/cp1256.h"

namespace rtf {
namespace {

constexpr char32_t kLineSeparator = 0x2028;

void AppendEscapedByte(std::string& out, unsigned char byte) {
    static constexpr char kHex[] = "0123456789abcdef";
    out += "\\'";
    out.push_back(kHex[byte >> 4]);
    out.push_back(kHex[byte & 0x0F]);
}

void AppendUnicode(std::string& out, char32_t unit, char fallback) {
    const int value = unit > 0x7FFF ? static_cast<int>(unit) - 0x10000 : static_cast<int>(unit);
    out += "\\u" + std::to_string(value);
    if (static_cast<unsigned char>(fallback) >= 0x80) {
        AppendEscapedByte(out, static_cast<unsigned char>(fallback));
    } else {
        out.push_back(fallback);
    }
}

void AppendCodePoint(std::string& out, char32_t cp) {
    if (cp == '\\' || cp == '{' || cp == '}') {
        out.push_back('\\');
        out.push_back(static_cast<char>(cp));
    } else if (cp == '\t') {
        out += "\\tab ";
    } else if (cp == kLineSeparator) {
        out += "\\line ";
    } else if (cp < 0x20 || cp == 0x7F) {
        AppendEscapedByte(out, static_cast<unsigned char>(cp));
    } else if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp > 0xFFFF) {
        AppendUnicode(out, 0xD800 + ((cp - 0x10000) >> 10), '?');
        AppendUnicode(out, 0xDC00 + ((cp - 0x10000) & 0x3FF), '?');
    } else {
        AppendUnicode(out, cp, cp1256::FromCodePoint(cp));
    }
}

// UTF-8 as the writer's input is produced by this program (the reader, the editor): a broken
// sequence is written as U+FFFD rather than refused.
void AppendText(std::string& out, const std::string& utf8) {
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        char32_t cp = 0;
        if (!cp1256::DecodeUtf8(utf8, pos, cp)) {
            cp = 0xFFFD;
            ++pos;
        }
        AppendCodePoint(out, cp);
    }
}

// Fonts and colours in the order the document first uses them.
class Tables {
public:
    explicit Tables(const rich::Document& document) {
        for (const rich::Paragraph& paragraph : document.paragraphs) {
            for (const rich::Run& run : paragraph.runs) {
                fonts_.try_emplace(FontName(run.format), fonts_.size());
                if (run.format.hasColour) colours_.try_emplace(run.format.colour, colours_.size() + 1);
            }
        }
        fonts_.try_emplace(rich::CharFormat{}.font, fonts_.size());
    }

    static std::string FontName(const rich::CharFormat& format) {
        std::string name = format.font;
        std::erase(name, ';');
        return name.empty() ? rich::CharFormat{}.font : name;
    }

    std::size_t FontIndex(const rich::CharFormat& format) const { return fonts_.at(FontName(format)); }
    std::size_t ColourIndex(const rich::CharFormat& format) const {
        return format.hasColour ? colours_.at(format.colour) : 0;
    }

    void Write(std::string& out) const {
        std::vector<const std::string*> fonts(fonts_.size());
        for (const auto& [name, index] : fonts_) fonts[index] = &name;
        out += "{\\fonttbl";
        for (std::size_t i = 0; i < fonts.size(); ++i) {
            out += "{\\f" + std::to_string(i) + "\\fnil ";
            AppendText(out, *fonts[i]);
            out += ";}";
        }
        out += "}\r\n{\\colortbl ;";
        std::vector<std::uint32_t> colours(colours_.size());
        for (const auto& [rgb, index] : colours_) colours[index - 1] = rgb;
        for (const std::uint32_t rgb : colours) {
            out += "\\red" + std::to_string((rgb >> 16) & 0xFF) + "\\green" + std::to_string((rgb >> 8) & 0xFF) +
                   "\\blue" + std::to_string(rgb & 0xFF) + ";";
        }
        out += "}\r\n";
    }

private:
    std::map<std::string, std::size_t> fonts_;
    std::map<std::uint32_t, std::size_t> colours_;
};

void AppendFormat(std::string& out, const rich::CharFormat& format, const Tables& tables) {
    out += "\\plain\\f" + std::to_string(tables.FontIndex(format)) + "\\fs" + std::to_string(format.halfPoints);
    if (format.bold) out += "\\b";
    if (format.italic) out += "\\i";
    if (format.underline) out += "\\ul";
    if (format.strikeOut) out += "\\strike";
    if (format.hasColour) out += "\\cf" + std::to_string(tables.ColourIndex(format));
    out.push_back(' ');
}

const char* AlignmentWord(rich::Alignment alignment) {
    switch (alignment) {
        case rich::Alignment::kCenter: return "\\qc";
        case rich::Alignment::kRight: return "\\qr";
        case rich::Alignment::kJustify: return "\\qj";
        case rich::Alignment::kLeft: break;
    }
    return "";
}

}  // namespace

std::string WriteDocument(const rich::Document& document) {
    const Tables tables(document);
    std::string out = "{\\rtf1\\ansi\\ansicpg1256\\deff" + std::to_string(tables.FontIndex(rich::CharFormat{})) + "\\uc1";
    tables.Write(out);
    // Paragraph and character properties carry over in RTF: each is written where it changes.
    const rich::Paragraph* previous = nullptr;
    const rich::CharFormat* format = nullptr;
    for (const rich::Paragraph& paragraph : document.paragraphs) {
        if (previous != nullptr) out += "\\par\r\n";
        if (previous == nullptr || previous->alignment != paragraph.alignment) {
            out += "\\pard";
            out += AlignmentWord(paragraph.alignment);
            out.push_back(' ');
        }
        previous = &paragraph;
        for (const rich::Run& run : paragraph.runs) {
            if (format == nullptr || !(*format == run.format)) AppendFormat(out, run.format, tables);
            format = &run.format;
            AppendText(out, run.text);
        }
    }
    out += "}\r\n";
    return out;
}

}  // namespace rtf

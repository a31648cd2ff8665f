#include "platform/rtf_reader.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <vector>

#include "platform/cp1256.h"
#include "platform/rtf_syntax.h"

namespace rtf {
namespace {

using syntax::kCodePageAsIs;
using syntax::kCodePageOfDocument;
using syntax::ControlWord;
constexpr int kNoFont = -1;

char ByteInCp1256(unsigned char byte, int codePage) {
    if (byte < 0x80 || codePage != 1252) return static_cast<char>(byte);
    const char32_t cp = syntax::Cp1252CodePoint(byte);
    return cp == 0 ? '?' : cp1256::FromCodePoint(cp);
}

struct GroupState {
    bool skip = false;
    bool fontTable = false;
    int fallbackLength = 1;  // \ucN
    int font = kNoFont;
};

class Extractor : public syntax::Scanner<GroupState> {
public:
    explicit Extractor(const std::string& in) : Scanner(in) {}

    bool Run(std::string& out, std::string& error) {
        if (!Scan(error)) return false;
        out = std::move(text_);
        return true;
    }

private:
    GroupState& Group() { return CurrentGroup(); }

    void HandleCharacter(char32_t cp) override {
        Emit(cp == syntax::kParagraphEnd ? '\n' : cp1256::FromCodePoint(cp));
    }

    void HandleWord(const ControlWord& cw) override {
        if (Group().fontTable) {
            HandleFontTableWord(cw);
            return;
        }
        if (syntax::IsSkippedDestination(cw.word)) {
            Group().skip = true;
            Group().fontTable = (cw.word == "fonttbl");
            return;
        }
        if (Group().skip || HandleDocumentWord(cw)) return;  // skipped groups change nothing
        if (cw.word == "u") {
            if (cw.hasParameter) EmitUnicode(cw.parameter);
            return;
        }
        if (TakeFallback()) return;
        HandleTextWord(cw);
    }

    // Words that set the state that later text is read with.
    bool HandleDocumentWord(const ControlWord& cw) {
        if (cw.word == "ansicpg" && cw.hasParameter) {
            documentCodePage_ = static_cast<int>(cw.parameter);
        } else if (cw.word == "deff" && cw.hasParameter) {
            defaultFont_ = static_cast<int>(cw.parameter);
        } else if (cw.word == "f" && cw.hasParameter) {
            Group().font = static_cast<int>(cw.parameter);
        } else if (cw.word == "plain") {
            Group().font = kNoFont;
        } else if (cw.word == "uc" && cw.hasParameter) {
            Group().fallbackLength = static_cast<int>(std::max<std::int64_t>(cw.parameter, 0));
        } else {
            return false;
        }
        return true;
    }

    void HandleTextWord(const ControlWord& cw) {
        if (cw.word == "par" || cw.word == "line" || cw.word == "sect" || cw.word == "page" ||
            cw.word == "row") {
            Emit('\n');
        } else if (cw.word == "tab" || cw.word == "cell") {
            Emit('\t');
        } else if (const char32_t named = syntax::NamedCharacter(cw.word); named != 0) {
            Emit(cp1256::FromCodePoint(named));
        }
    }

    void HandleFontTableWord(const ControlWord& cw) {
        if (!cw.hasParameter) return;
        if (cw.word == "f") {
            definingFont_ = static_cast<int>(cw.parameter);
        } else if (cw.word == "fcharset" && definingFont_ != kNoFont) {
            fontCodePages_[definingFont_] = syntax::CharsetCodePage(cw.parameter);
        } else if (cw.word == "cpg" && definingFont_ != kNoFont) {
            fontCodePages_[definingFont_] = static_cast<int>(cw.parameter);
        }
    }

    int CurrentCodePage() const {
        const int font = CurrentGroup().font != kNoFont ? CurrentGroup().font : defaultFont_;
        const auto it = fontCodePages_.find(font);
        if (it != fontCodePages_.end() && it->second != kCodePageOfDocument) return it->second;
        return documentCodePage_;
    }

    void HandleByte(unsigned char byte) override { Emit(ByteInCp1256(byte, CurrentCodePage())); }

    // \uN: N is a signed 16-bit value. A surrogate pair is one character outside the code page.
    void EmitUnicode(std::int64_t parameter) {
        std::int64_t value = parameter < 0 ? parameter + 65536 : parameter;
        StartFallback();
        const bool low = value >= 0xDC00 && value <= 0xDFFF;
        const bool high = value >= 0xD800 && value <= 0xDBFF;
        if (low && afterHighSurrogate_) {
            afterHighSurrogate_ = false;
            return;
        }
        const bool valid = value >= 0 && value <= 0xFFFF && !low && !high;
        Emit(valid ? cp1256::FromCodePoint(static_cast<char32_t>(value)) : '?');
        afterHighSurrogate_ = high;
    }

    void Emit(char c) {
        afterHighSurrogate_ = false;
        if (Group().skip) return;
        text_.push_back(c);
    }

    std::string text_;
    bool afterHighSurrogate_ = false;
    int documentCodePage_ = kCodePageAsIs;
    int defaultFont_ = kNoFont;
    int definingFont_ = kNoFont;
    std::map<int, int> fontCodePages_;
};

void AppendEscapedByte(std::string& out, unsigned char byte) {
    static constexpr char kHex[] = "0123456789abcdef";
    out += "\\'";
    out.push_back(kHex[byte >> 4]);
    out.push_back(kHex[byte & 0x0F]);
}

}  // namespace

bool IsRtf(const std::string& bytes) { return bytes.rfind("{\\rtf", 0) == 0; }

bool ExtractPlainText(const std::string& rtfBytes, std::string& cp1256Out, std::string& error) {
    if (!IsRtf(rtfBytes)) {
        error = "not an RTF document (it does not begin with \"{\\rtf\")";
        return false;
    }
    Extractor extractor(rtfBytes);
    return extractor.Run(cp1256Out, error);
}

std::string WritePlainTextDocument(const std::string& cp1256Text) {
    std::string out = "{\\rtf1\\ansi\\ansicpg1256\\deff0{\\fonttbl{\\f0\\fmodern Courier New;}}\\f0\\fs20 ";
    out.reserve(out.size() + cp1256Text.size() * 2 + 1);
    for (const char c : cp1256Text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\n') {
            out += "\\par\r\n";
        } else if (c == '\t') {
            out += "\\tab ";
        } else if (c == '\\' || c == '{' || c == '}') {
            out.push_back('\\');
            out.push_back(c);
        } else if (byte < 0x20 || byte >= 0x7F) {
            AppendEscapedByte(out, byte);
        } else {
            out.push_back(c);
        }
    }
    out += "}";
    return out;
}

}  // namespace rtf

#include "platform/rtf_reader.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <string_view>
#include <vector>

#include "platform/cp1256.h"

namespace rtf {
namespace {

constexpr int kCodePageAsIs = 0;       // bytes are taken as code page 1256 bytes unchanged
constexpr int kCodePageOfDocument = -1;  // a font without a code page of its own
constexpr int kNoFont = -1;
constexpr std::int64_t kParameterLimit = 0x7FFFFFFF;
constexpr unsigned char kNoBreakSpace = 0xA0;

// Code page 1252's upper half where it differs from Latin-1; 0 marks its five unused bytes.
constexpr std::array<char16_t, 32> kCp1252From80 = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

// Destinations whose text is not part of the document's plain text.
constexpr std::array<std::string_view, 40> kSkippedDestinations = {
    "annotation", "atnauthor", "atndate",  "atnid",    "author",     "bkmkend",
    "bkmkstart",  "buptim",    "colortbl", "comment",  "creatim",    "datafield",
    "do",         "doccomm",   "falt",     "fldinst",  "fonttbl",    "footer",
    "footerf",    "footerl",   "footerr",  "footnote", "header",     "headerf",
    "headerl",    "headerr",   "info",     "keywords", "listtable",  "listoverridetable",
    "object",     "operator",  "pict",     "printim",  "revtim",     "rxe",
    "stylesheet", "subject",   "tc",       "title",
};

// Control words that stand for one character, by Unicode code point.
struct NamedCharacter {
    std::string_view word;
    char32_t codePoint;
};
constexpr std::array<NamedCharacter, 12> kNamedCharacters = {{
    {"bullet", 0x2022}, {"emdash", 0x2014}, {"emspace", 0x20}, {"endash", 0x2013},
    {"enspace", 0x20},  {"ldblquote", 0x201C}, {"lquote", 0x2018}, {"ltrmark", 0x200E},
    {"rdblquote", 0x201D}, {"rquote", 0x2019}, {"rtlmark", 0x200F}, {"zwj", 0x200D},
}};

bool IsSkippedDestination(std::string_view word) {
    return std::find(kSkippedDestinations.begin(), kSkippedDestinations.end(), word) !=
           kSkippedDestinations.end();
}

int CharsetCodePage(std::int64_t charset) {
    switch (charset) {
        case 0: return 1252;
        case 1: return kCodePageOfDocument;
        case 178: case 179: case 180: return 1256;
        default: return kCodePageAsIs;
    }
}

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexValue(char c) {
    if (IsDigit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

char ByteInCp1256(unsigned char byte, int codePage) {
    if (byte < 0x80 || codePage != 1252) return static_cast<char>(byte);
    if (byte >= 0xA0) return cp1256::FromCodePoint(byte);  // Latin-1 half
    const char16_t cp = kCp1252From80[byte - 0x80];
    return cp == 0 ? '?' : cp1256::FromCodePoint(cp);
}

struct GroupState {
    bool skip = false;
    bool fontTable = false;
    int fallbackLength = 1;  // \ucN
    int font = kNoFont;
};

struct ControlWord {
    std::string_view word;
    bool hasParameter = false;
    std::int64_t parameter = 0;
};

class Extractor {
public:
    explicit Extractor(const std::string& in) : in_(in) {}

    bool Run(std::string& out, std::string& error) {
        while (pos_ < in_.size() && !finished_) {
            if (!Step(error)) return false;
        }
        out = std::move(text_);
        return true;
    }

private:
    bool Step(std::string& error) {
        const char c = in_[pos_];
        switch (c) {
            case '{':
                if (groups_.size() >= kMaxGroupDepth) {
                    error = "RTF groups are nested more than " + std::to_string(kMaxGroupDepth) + " deep";
                    return false;
                }
                groups_.push_back(groups_.empty() ? GroupState{} : groups_.back());
                pendingFallback_ = 0;
                ++pos_;
                return true;
            case '}':
                pendingFallback_ = 0;
                if (!groups_.empty()) groups_.pop_back();
                finished_ = groups_.empty();  // the document's own group has closed
                ++pos_;
                return true;
            case '\\':
                ++pos_;
                ReadControl();
                return true;
            case '\r':
            case '\n':
                ++pos_;
                return true;
            default:
                ++pos_;
                EmitCodePageByte(static_cast<unsigned char>(c));
                return true;
        }
    }

    GroupState& Group() { return groups_.back(); }

    void ReadControl() {
        if (pos_ >= in_.size()) return;
        if (IsLetter(in_[pos_])) {
            HandleWord(ReadWord());
        } else {
            HandleSymbol(in_[pos_++]);
        }
    }

    ControlWord ReadWord() {
        ControlWord cw;
        const std::size_t start = pos_;
        while (pos_ < in_.size() && IsLetter(in_[pos_])) ++pos_;
        cw.word = std::string_view(in_).substr(start, pos_ - start);
        bool negative = false;
        if (pos_ + 1 < in_.size() && in_[pos_] == '-' && IsDigit(in_[pos_ + 1])) {
            negative = true;
            ++pos_;
        }
        while (pos_ < in_.size() && IsDigit(in_[pos_])) {
            cw.hasParameter = true;
            cw.parameter = std::min<std::int64_t>(cw.parameter * 10 + (in_[pos_] - '0'), kParameterLimit);
            ++pos_;
        }
        if (negative) cw.parameter = -cw.parameter;
        if (pos_ < in_.size() && in_[pos_] == ' ') ++pos_;  // the delimiter belongs to the word
        return cw;
    }

    // A fallback character after \uN is any one text byte, \'hh, control symbol or control word.
    bool TakeFallback() {
        if (pendingFallback_ == 0) return false;
        --pendingFallback_;
        return true;
    }

    void HandleSymbol(char symbol) {
        if (symbol == '\'') {
            ReadHexByte();
            return;
        }
        if (symbol == '*') {
            Group().skip = true;
            return;
        }
        if (TakeFallback()) return;
        switch (symbol) {
            case '\\': case '{': case '}': Emit(symbol); break;
            case '~': Emit(static_cast<char>(kNoBreakSpace)); break;
            case '_': Emit('-'); break;
            case '\r': case '\n': Emit('\n'); break;  // a backslash before a line end is \par
            default: break;                        // \- \| \: and unknown symbols: no text
        }
    }

    void ReadHexByte() {
        int value = 0;
        for (int i = 0; i < 2; ++i) {
            const int digit = pos_ < in_.size() ? HexValue(in_[pos_]) : -1;
            if (digit < 0) return;  // an incomplete escape is dropped
            value = value * 16 + digit;
            ++pos_;
        }
        EmitCodePageByte(static_cast<unsigned char>(value));
    }

    void HandleWord(const ControlWord& cw) {
        if (cw.word == "bin") {
            SkipBinary(cw.parameter);
            return;
        }
        if (Group().fontTable) {
            HandleFontTableWord(cw);
            return;
        }
        if (IsSkippedDestination(cw.word)) {
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
        } else {
            for (const NamedCharacter& named : kNamedCharacters) {
                if (named.word == cw.word) Emit(cp1256::FromCodePoint(named.codePoint));
            }
        }
    }

    void HandleFontTableWord(const ControlWord& cw) {
        if (!cw.hasParameter) return;
        if (cw.word == "f") {
            definingFont_ = static_cast<int>(cw.parameter);
        } else if (cw.word == "fcharset" && definingFont_ != kNoFont) {
            fontCodePages_[definingFont_] = CharsetCodePage(cw.parameter);
        } else if (cw.word == "cpg" && definingFont_ != kNoFont) {
            fontCodePages_[definingFont_] = static_cast<int>(cw.parameter);
        }
    }

    void SkipBinary(std::int64_t length) {
        if (length <= 0) return;
        const std::size_t left = in_.size() - pos_;
        pos_ += std::min<std::size_t>(left, static_cast<std::size_t>(length));
    }

    int CurrentCodePage() const {
        const int font = groups_.back().font != kNoFont ? groups_.back().font : defaultFont_;
        const auto it = fontCodePages_.find(font);
        if (it != fontCodePages_.end() && it->second != kCodePageOfDocument) return it->second;
        return documentCodePage_;
    }

    void EmitCodePageByte(unsigned char byte) {
        if (TakeFallback()) return;
        Emit(ByteInCp1256(byte, CurrentCodePage()));
    }

    // \uN: N is a signed 16-bit value. A surrogate pair is one character outside the code page.
    void EmitUnicode(std::int64_t parameter) {
        std::int64_t value = parameter < 0 ? parameter + 65536 : parameter;
        pendingFallback_ = static_cast<std::size_t>(Group().fallbackLength);
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

    const std::string& in_;
    std::size_t pos_ = 0;
    bool finished_ = false;
    std::vector<GroupState> groups_;
    std::string text_;
    std::size_t pendingFallback_ = 0;
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

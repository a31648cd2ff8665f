#include "platform/rtf_syntax.h"

#include <algorithm>
#include <array>

namespace rtf::syntax {
namespace {

constexpr std::int64_t kParameterLimit = 0x7FFFFFFF;

// Code page 1252's upper half where it differs from Latin-1; 0 marks its five unused bytes.
constexpr std::array<char16_t, 32> kCp1252From80 = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

constexpr std::array<std::string_view, 40> kSkippedDestinations = {
    "annotation", "atnauthor", "atndate",  "atnid",    "author",     "bkmkend",
    "bkmkstart",  "buptim",    "colortbl", "comment",  "creatim",    "datafield",
    "do",         "doccomm",   "falt",     "fldinst",  "fonttbl",    "footer",
    "footerf",    "footerl",   "footerr",  "footnote", "header",     "headerf",
    "headerl",    "headerr",   "info",     "keywords", "listtable",  "listoverridetable",
    "object",     "operator",  "pict",     "printim",  "revtim",     "rxe",
    "stylesheet", "subject",   "tc",       "title",
};

struct Named {
    std::string_view word;
    char32_t codePoint;
};
constexpr std::array<Named, 12> kNamedCharacters = {{
    {"bullet", 0x2022}, {"emdash", 0x2014}, {"emspace", 0x20}, {"endash", 0x2013},
    {"enspace", 0x20},  {"ldblquote", 0x201C}, {"lquote", 0x2018}, {"ltrmark", 0x200E},
    {"rdblquote", 0x201D}, {"rquote", 0x2019}, {"rtlmark", 0x200F}, {"zwj", 0x200D},
}};

}  // namespace

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexValue(char c) {
    if (IsDigit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

ControlWord ReadControlWord(std::string_view in, std::size_t& pos) {
    ControlWord cw;
    const std::size_t start = pos;
    while (pos < in.size() && IsLetter(in[pos])) ++pos;
    cw.word = in.substr(start, pos - start);
    bool negative = false;
    if (pos + 1 < in.size() && in[pos] == '-' && IsDigit(in[pos + 1])) {
        negative = true;
        ++pos;
    }
    while (pos < in.size() && IsDigit(in[pos])) {
        cw.hasParameter = true;
        cw.parameter = std::min<std::int64_t>(cw.parameter * 10 + (in[pos] - '0'), kParameterLimit);
        ++pos;
    }
    if (negative) cw.parameter = -cw.parameter;
    if (pos < in.size() && in[pos] == ' ') ++pos;  // the delimiter belongs to the word
    return cw;
}

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

char32_t Cp1252CodePoint(unsigned char byte) {
    if (byte < 0x80 || byte >= 0xA0) return byte;
    return kCp1252From80[byte - 0x80];
}

char32_t NamedCharacter(std::string_view word) {
    for (const Named& named : kNamedCharacters) {
        if (named.word == word) return named.codePoint;
    }
    return 0;
}

}  // namespace rtf::syntax

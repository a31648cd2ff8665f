// Code page 1256 (Arabic, Windows) against Unicode. The lower half is ASCII; the upper half is
// the table below. Every one of the 256 bytes has a character, so ToUtf8 never loses anything;
// FromUtf8 gives "?" for characters outside the code page and for every byte of broken UTF-8.
#include "platform/cp1256.h"

#include <algorithm>
#include <array>
#include <utility>

namespace cp1256 {
namespace {

constexpr std::array<char16_t, 128> kUpperHalf = {
    // 0x80
    0x20AC, 0x067E, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0679, 0x2039, 0x0152, 0x0686, 0x0698, 0x0688,
    // 0x90
    0x06AF, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x06A9, 0x2122, 0x0691, 0x203A, 0x0153, 0x200C, 0x200D, 0x06BA,
    // 0xA0
    0x00A0, 0x060C, 0x00A2, 0x00A3, 0x00A4, 0x00A5, 0x00A6, 0x00A7,
    0x00A8, 0x00A9, 0x06BE, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x00AF,
    // 0xB0
    0x00B0, 0x00B1, 0x00B2, 0x00B3, 0x00B4, 0x00B5, 0x00B6, 0x00B7,
    0x00B8, 0x00B9, 0x061B, 0x00BB, 0x00BC, 0x00BD, 0x00BE, 0x061F,
    // 0xC0
    0x06C1, 0x0621, 0x0622, 0x0623, 0x0624, 0x0625, 0x0626, 0x0627,
    0x0628, 0x0629, 0x062A, 0x062B, 0x062C, 0x062D, 0x062E, 0x062F,
    // 0xD0
    0x0630, 0x0631, 0x0632, 0x0633, 0x0634, 0x0635, 0x0636, 0x00D7,
    0x0637, 0x0638, 0x0639, 0x063A, 0x0640, 0x0641, 0x0642, 0x0643,
    // 0xE0
    0x00E0, 0x0644, 0x00E2, 0x0645, 0x0646, 0x0647, 0x0648, 0x00E7,
    0x00E8, 0x00E9, 0x00EA, 0x00EB, 0x0649, 0x064A, 0x00EE, 0x00EF,
    // 0xF0
    0x064B, 0x064C, 0x064D, 0x064E, 0x00F4, 0x064F, 0x0650, 0x00F7,
    0x0651, 0x00F9, 0x0652, 0x00FB, 0x00FC, 0x200E, 0x200F, 0x06D2,
};

using ReverseEntry = std::pair<char16_t, unsigned char>;

// The upper half sorted by code point, for the way back.
const std::array<ReverseEntry, 128>& ReverseTable() {
    static const std::array<ReverseEntry, 128> table = [] {
        std::array<ReverseEntry, 128> t{};
        for (std::size_t i = 0; i < t.size(); ++i) {
            t[i] = {kUpperHalf[i], static_cast<unsigned char>(0x80 + i)};
        }
        std::sort(t.begin(), t.end());
        return t;
    }();
    return table;
}

}  // namespace

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

char32_t ToCodePoint(unsigned char byte) {
    if (byte < 0x80) return byte;
    return kUpperHalf[byte - 0x80];
}

char FromCodePoint(char32_t codePoint) {
    if (codePoint < 0x80) return static_cast<char>(codePoint);
    if (codePoint > 0xFFFF) return '?';
    const auto& table = ReverseTable();
    const auto key = static_cast<char16_t>(codePoint);
    const auto it = std::lower_bound(table.begin(), table.end(), ReverseEntry{key, 0});
    if (it == table.end() || it->first != key) return '?';
    return static_cast<char>(it->second);
}

std::string ToUtf8(const std::string& cp1256Text) {
    std::string out;
    out.reserve(cp1256Text.size() * 2);
    // The ASCII between other characters is the same in UTF-8: taken over a run at a time.
    const std::size_t size = cp1256Text.size();
    for (std::size_t from = 0; from < size;) {
        std::size_t upper = from;
        while (upper < size && static_cast<unsigned char>(cp1256Text[upper]) < 0x80) ++upper;
        out.append(cp1256Text, from, upper - from);
        if (upper == size) break;
        AppendUtf8(out, ToCodePoint(static_cast<unsigned char>(cp1256Text[upper])));
        from = upper + 1;
    }
    return out;
}

bool DecodeUtf8(const std::string& text, std::size_t& pos, char32_t& codePoint) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(pos);
    std::size_t length = 0;
    char32_t cp = 0;
    char32_t minimum = 0;
    if (lead < 0x80) {
        codePoint = lead;
        ++pos;
        return true;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, cp = lead & 0x1F, minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, cp = lead & 0x0F, minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, cp = lead & 0x07, minimum = 0x10000;
    } else {
        return false;
    }
    if (text.size() - pos < length) return false;
    for (std::size_t i = 1; i < length; ++i) {
        const unsigned char b = byte(pos + i);
        if ((b & 0xC0) != 0x80) return false;
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    codePoint = cp;
    pos += length;
    return true;
}

bool IsValidUtf8(const std::string& text) {
    std::size_t pos = 0;
    char32_t cp = 0;
    while (pos < text.size()) {
        if (!DecodeUtf8(text, pos, cp)) return false;
    }
    return true;
}

std::string FromUtf8(const std::string& utf8Text) {
    std::string out;
    out.reserve(utf8Text.size());
    std::size_t pos = 0;
    while (pos < utf8Text.size()) {
        char32_t cp = 0;
        if (DecodeUtf8(utf8Text, pos, cp)) {
            out.push_back(FromCodePoint(cp));
        } else {
            out.push_back('?');  // one "?" per byte that does not start a valid sequence
            ++pos;
        }
    }
    return out;
}

}  // namespace cp1256

// Code page 1256 <-> UTF-8. One byte per character on the code page side; characters the code
// page cannot represent become "?".
#pragma once

#include <cstddef>
#include <string>

namespace cp1256 {

std::string ToUtf8(const std::string& cp1256Text);
std::string FromUtf8(const std::string& utf8Text);
// One code point to its code page byte, or '?' when it has none.
char FromCodePoint(char32_t codePoint);
char32_t ToCodePoint(unsigned char byte);
// Decodes one UTF-8 sequence at pos; on success stores it and moves pos past it. Overlong forms,
// surrogates and values above U+10FFFF are refused (pos unchanged).
bool DecodeUtf8(const std::string& text, std::size_t& pos, char32_t& codePoint);
bool IsValidUtf8(const std::string& text);
// Appends one code point (at most U+10FFFF) as UTF-8.
void AppendUtf8(std::string& out, char32_t codePoint);

}  // namespace cp1256

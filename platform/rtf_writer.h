// Writes a script document as RTF that this program's reader, kestrum-run and common word
// processors read back with the same text and formats.
#pragma once

#include <string>

#include "platform/rich_document.h"

namespace rtf {

// Code page 1256 document with a font table and a colour table of the fonts and colours used.
// ASCII text is written as it is; other characters as \uN with the code page 1256 byte (or "?")
// as the fallback for readers without Unicode; U+2028 as \line.
std::string WriteDocument(const rich::Document& document);

}  // namespace rtf

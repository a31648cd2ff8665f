// Script documents are rich-text (RTF) streams. The interpreter needs only their plain text, in
// code page 1256 with one "\n" per line end; this reads it out, and writes plain text back as a
// minimal RTF document that reads back to the same bytes.
#pragma once

#include <cstddef>
#include <string>

namespace rtf {

// Groups nested deeper than this make a document malformed (the reader keeps its own stack, so
// this bounds memory, not recursion).
constexpr std::size_t kMaxGroupDepth = 10000;

// The bytes start with "{\rtf".
bool IsRtf(const std::string& bytes);

// The plain text of an RTF stream: text of the groups that are not skipped destinations
// (\fonttbl, \colortbl, \stylesheet, \info, \pict, \object, headers and footers, groups marked
// \*, ...), \par \line \sect \page as "\n", \tab as "\t", \'hh and raw bytes in the code page of
// the current font (its \fcharset / \cpg) or else of the document (\ansicpgN), \uN with its \ucN
// fallback skipped, and the control symbols \\ \{ \} \~ \_ \-. Code pages 1256 and 1252 are
// converted to code page 1256; bytes of other code pages are taken as they are. CR and LF in the
// RTF source are not text. Text after the closing brace of the document is ignored; a document
// whose groups are left open ends with its last byte.
// false with a message in error (cp1256Out unchanged) when the bytes are not RTF or nest too deep.
bool ExtractPlainText(const std::string& rtfBytes, std::string& cp1256Out, std::string& error);

// A minimal RTF document (code page 1256, Courier New) holding the text: "\n" as \par, tabs as
// \tab, \ { } escaped, control characters and bytes from 0x80 as \'hh.
std::string WritePlainTextDocument(const std::string& cp1256Text);

}  // namespace rtf

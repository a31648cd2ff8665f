// Reads an RTF document with the formats the editor keeps: fonts, sizes, bold, italic,
// underline, strike-out, text colour and paragraph alignment.
#pragma once

#include <string>

#include "platform/document_tally.h"
#include "platform/rich_document.h"

namespace rtf {

// Text is read as rtf::ExtractPlainText reads it (the same destinations skipped, the same code
// pages), but kept in Unicode; \line becomes U+2028. Embedded objects are counted in
// droppedObjects, pictures outside them in droppedPictures, and both are left out. false with a
// message in error (out unchanged) when the bytes are not RTF or nest too deep, or when the
// document passes one of bounds (reading stops there).
bool ReadDocument(const std::string& rtfBytes, rich::Document& out, std::string& error,
                  const rich::Bounds& bounds = rich::Bounds{});

}  // namespace rtf

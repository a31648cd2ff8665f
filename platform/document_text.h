// What the interpreter reads from a script document: its plain text in code page 1256 with one
// "\n" per line end, whatever form the file has.
#pragma once

#include <cstdint>
#include <string>

namespace document {

// The bytes of a script document file. Only a regular file is a document: a folder, a device or
// a pipe is refused (false, with the reason in error) before anything is read from it, and so is
// a file larger than maxBytes. Memory that runs out while reading is an error too.
bool ReadDocumentFile(const std::string& path, std::string& bytes, std::string& error, std::uint64_t maxBytes);

// An RTF document (leading "{\rtf", after a UTF-8 byte order mark if there is one) gives its plain text (rtf::ExtractPlainText). Other files are
// plain text: a UTF-8 byte order mark is dropped, valid UTF-8 is converted to code page 1256
// (characters outside it become "?"), anything else is taken as code page 1256 already.
// CR LF and lone CR become "\n" in either case.
// On malformed RTF the result is empty and error says why; otherwise error is cleared.
std::string LoadScriptDocument(const std::string& fileBytes, std::string& error);

// CR LF and lone CR as "\n".
std::string NormalizeLineEnds(const std::string& text);

}  // namespace document

// Argument readers shared by the built-in values, the built-in commands and the object-file
// statements: the keyword codes they test and the readers of a File variable and a whole number. Every reader reports its own error (through the
// interpreter's shared failure rule) and returns 0; 1 means the argument was read.
#pragma once

#include <cstdint>
#include <string>

#include "interpreter/keyword_codes.h"
#include "interpreter/messages.h"
#include "interpreter/tessel_parser.h"
#include "platform/atomic_file.h"

namespace crt { class CrtFile; }

namespace builtin {

// The run error of a save that did not succeed: the file could not be made, or it could not be
// written whole.
inline const char* SaveFailureText(crt::SaveResult outcome) {
    return outcome == crt::kSaveCannotCreate ? message::kCannotOpenFile : message::kCannotWriteFile;
}

// The words the lexer replaces by a literal.
inline constexpr int kBuiltinValueCodes[] = {
    kw::kTrue, kw::kFalse, kw::kYes, kw::kNo, kw::kClock, kw::kAsk, kw::kFileReadString,
    kw::kFileRead1b, kw::kFileRead2b, kw::kFileRead4bi, kw::kFileRead4bf, kw::kFileRead8b,
    kw::kFileRead1bu, kw::kFileRead2bu, kw::kFileRead4bu, kw::kFileSize, kw::kFileTell,
    kw::kFileIsOpen, kw::kFileEof, kw::kFileExists, kw::kSelectFile,
};
// The same set as bits, 64 codes a word: the lexer asks for every keyword it reads.
constexpr std::uint64_t BuiltinValueBits(int word) {
    std::uint64_t bits = 0;
    for (int c : kBuiltinValueCodes)
        if (c / 64 == word) bits |= std::uint64_t{1} << (c % 64);
    return bits;
}
constexpr bool BuiltinValueCodesFitBits() {
    for (int c : kBuiltinValueCodes)
        if (c < 0 || c >= 256) return false;
    return true;
}
static_assert(BuiltinValueCodesFitBits(), "the bit table covers codes 0..255");
inline constexpr std::uint64_t kBuiltinValueBits[] = {BuiltinValueBits(0), BuiltinValueBits(1), BuiltinValueBits(2),
                                                     BuiltinValueBits(3)};
inline bool IsBuiltinValueCode(int c) {
    return c >= 0 && c < 256 && ((kBuiltinValueBits[c >> 6] >> (c & 63)) & 1) != 0;
}


// A File variable reference: a variable name (an array element with its [index]) whose variable is
// of type File. `variable` receives the element; `afterName` the scan position just
// after the name, so that a later "File Not Open." can highlight the variable.
int ReadFileVariable(CTesselParser& p, ElementRef& variable, ScanMark& afterName);

// The element's open file, or nullptr.
crt::CrtFile* FileOf(CTesselParser& p, ElementRef variable);

// An expression used as a whole number: a Float truncated toward zero (out of range: -2147483648).
int ReadWholeNumber(CTesselParser& p, std::int32_t& out);

// Closes the file and clears it from every record that shares the handle, so no record is left
// holding a closed file. false when what was written could not be flushed (the data is lost).
bool CloseSharedFile(CTesselParser& p, crt::CrtFile* file);

// A write's outcome as a run sees it: a write the system refused (no space, an I/O error, the
// file-size limit) loses the script's data and ends the run with "Cannot write file"; a write to a
// file opened only for reading fails silently. 1, or 0 after the report.
int WriteOutcome(CTesselParser& p, const crt::CrtFile& file, bool written);

// A double as an unsigned 32-bit integer the way the C runtime converts it: values in range
// truncate toward zero; other finite values wrap through a 64-bit integer (-1 gives 0xFFFFFFFF);
// what no integer can hold gives 0.
std::uint32_t ToUnsigned32(double d);

// The write of FileWrite1b and its siblings (the keyword): the value's bytes, little-endian,
// converted as the command's width prescribes; reported as WriteOutcome says.
int PutFileBinary(CTesselParser& p, crt::CrtFile& file, int keyword, double value);

// FileWriteString's write of a text, reported as WriteOutcome says.
int PutFileString(CTesselParser& p, crt::CrtFile& file, const std::string& text);

// FileReadString's read of up to `count` (at least 1) characters, ending after a line feed; at the
// end of the file the text is empty. A literal never holds more than the lexer's word buffer, so
// a larger count is cut to it.
void GetFileString(crt::CrtFile& file, std::int32_t count, std::string& text);

// White space removed at both ends.
std::string Trimmed(const std::string& text);

}  // namespace builtin

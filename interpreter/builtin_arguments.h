// Argument readers shared by the built-in values, the built-in commands and the object-file
// statements: the keyword codes they test, the messages they report, and the readers of a File
// variable, a number and an expected word. Every reader reports its own error (through the
// interpreter's shared failure rule) and returns 0; 1 means the argument was read.
#pragma once

#include <cstdint>
#include <string>

#include "interpreter/keyword_codes.h"
#include "interpreter/tessel_parser.h"

namespace crt { class CrtFile; }

namespace builtin {

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

// The system's own message texts.
namespace message {
inline constexpr const char* kUnknownVariable = " Syntax Error : Unknown Variable.";
inline constexpr const char* kFileVariableExpected = " Syntax Error : File_Type Variable Expected.";
inline constexpr const char* kFileNotOpen = " Runtime Error : File Not Open.";
inline constexpr const char* kStringsNotAllowed = " Syntax Error : STRINGS not allowed here.";
inline constexpr const char* kNoNumericValue = " Syntax Error : MATRIX or FILE not allowed here.";
inline constexpr const char* kPositiveValues = " Syntax Error : This command takes POSITIVE Values.";
inline constexpr const char* kUnknownOpenMode = " Syntax Error : Unknown File Open Mode.";
inline constexpr const char* kTextOrBinary = " Syntax Error : \"Text\"  Or  \"Binary\"  Expected.";
inline constexpr const char* kLoopOrWait = " Syntax Error : \"LOOP\"   Or  \"WAIT\"  Expected. ";
inline constexpr const char* kMatrixVariableExpected = " Syntax Error : Matrix Variable expected.";
inline constexpr const char* kFileNotFound = " Runtime Error : File Not Found.";
inline constexpr const char* kCannotOpenFile = " Runtime Error : Cannot open file.";
inline constexpr const char* kMustBeInteger = " Syntax Error : Expression must be integer.";
inline constexpr const char* kChartValuesForm =
    " Syntax Error : One-column matrix OR one-row matrix OR an array expected.";
inline constexpr const char* kTooFewElements = " Runtime Error : Too few elements in array.";
inline constexpr const char* kNumericalArrayExpected = " Runtime Error : Numerical array expected.";
inline constexpr const char* kArrayOfStringsExpected = " Runtime Error : Array of Strings expected.";
}  // namespace message

// Reads a token; unless it is `keywordCode`, reports that word as expected. 1 when it was.
int Expect(CTesselParser& p, int keywordCode);

// Gives the token just read back to the lexer. The end of the text (and a stop) leaves no history
// entry, so it is not given back: the caller then sees the end as the current token.
void GiveBack(CTesselParser& p);

// A File variable reference: a variable name (an array element with its [index]) whose variable is
// of type File. `record` receives the element's record index; `afterName` the scan position just
// after the name, so that a later "File Not Open." can highlight the variable.
int ReadFileVariable(CTesselParser& p, int& record, ScanMark& afterName);

// The element's open file, or nullptr.
crt::CrtFile* FileOf(const CTesselParser& p, int record);

// An expression used as a number: an Integer as it is, a Float as it is, a String refused with
// " Syntax Error : STRINGS not allowed here.", a Matrix or File refused as having no number.
int ReadNumber(CTesselParser& p, double& out, bool& isInteger);
// The same, as a whole number: a Float truncated toward zero (out of range: -2147483648).
int ReadWholeNumber(CTesselParser& p, std::int32_t& out);

// Closes the file and clears it from every record that shares the handle, so no record is left
// holding a closed file.
void CloseSharedFile(CTesselParser& p, crt::CrtFile* file);

// White space removed at both ends.
std::string Trimmed(const std::string& text);

}  // namespace builtin

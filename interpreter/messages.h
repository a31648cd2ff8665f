// The system's own message texts that several parts of the interpreter (and its extension) report.
#pragma once

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
inline constexpr const char* kCannotWriteFile = " Runtime Error : Cannot write file.";
// Memory ran out where no table names what was being built (a text, a temporary).
inline constexpr const char* kNotEnoughMemory = " Runtime Error : Not Enough Memory.";
inline constexpr const char* kMustBeInteger = " Syntax Error : Expression must be integer.";
inline constexpr const char* kChartValuesForm =
    " Syntax Error : One-column matrix OR one-row matrix OR an array expected.";
inline constexpr const char* kTooFewElements = " Runtime Error : Too few elements in array.";
inline constexpr const char* kNumericalArrayExpected = " Runtime Error : Numerical array expected.";
inline constexpr const char* kArrayOfStringsExpected = " Runtime Error : Array of Strings expected.";
inline constexpr const char* kVariableRedefinition = " Syntax Error : Variable redefinition.";
inline constexpr const char* kKnownWordsCannotBeVariables = " Runtime Error : The KNOWN words can not be variables.";
inline constexpr const char* kCannotEvaluate = " Syntax Error : Can not evaluate this EXPRESSION.";
}  // namespace message

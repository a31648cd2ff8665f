// The shared number and text helpers. FormatNumberTrimmed is how every Float becomes text
// (output, concatenation, clipboard, matrix files, network read-outs), so its exact output is
// part of the language. All texts are single-byte; none of these functions depends on the
// process locale.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// "%.9f" for every value below 0.0001 (zero and negatives included), "%.5f" otherwise (also for
// NaN), then trailing zeros and a trailing point removed: 2.0 -> "2", 1.23456789 -> "1.23457",
// -1234.56789012 -> "-1234.56789012", 0.00001234 -> "0.00001234". Infinities and NaN give the C
// library's texts ("inf", "-inf", "nan", "-nan").
std::string FormatNumberTrimmed(double value);

// The float widened to double, always "%.5f", trimmed the same way: 0.000001f -> "0".
std::string FormatFloatTrimmed(float value);

// Rewrites the text in place with a separator between groups of three digits of its integer part
// (comma non-zero: ",", zero: " ") and returns it. A text holding E or e is left unchanged; the
// part from the first point on is kept as it is; a leading sign stays in front, ungrouped.
std::string& GroupDigits(std::string& number, int comma);

// The bytes read as a binary number, the last byte being bit 0; every non-zero byte is a 1.
// Unsigned 32-bit: bytes beyond the 32nd from the end count for nothing. 0 when n < 1.
std::uint32_t BitsToInteger(const unsigned char* bits, int n);

// Puts the text on the desktop's clipboard. Always 1, also when the clipboard could not be had.
int CopyTextToClipboard(std::string text);

// The leading decimal number of a text, as the C runtime's atof reads it (optional sign, digits,
// optional point and digits, optional exponent); 0.0 when the text has none. Leading white space
// is skipped. Decimal only: no hexadecimal, "inf" or "nan".
double DecimalTextToDouble(std::string_view text);

// Whether a number word has a decimal point: such a word is a Float literal, any other an Integer.
bool HasDecimalPoint(std::string_view word);

// A number word as the C runtime's atoi reads it: optional sign, digits; values past the 32-bit
// range saturate as that runtime's conversion does.
std::int32_t IntegerLiteral(std::string_view word);

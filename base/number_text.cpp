#include "base/number_text.h"

#include <array>
#include <charconv>
#include <locale.h>
#include <stdlib.h>

#include "platform/desktop.h"

namespace {

// Fixed-point text with the given decimals, as printf's "%.Nf" in the C locale. to_chars gives
// the same correctly rounded digits and never reads the process locale (the desktop sets one).
std::string FormatFixed(double value, int decimals) {
    // Sign, 309 integer digits, point and nine decimals fit with room to spare.
    std::array<char, 400> buffer;
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::fixed, decimals);
    return std::string(buffer.data(), result.ptr);
}

// Trailing zeros go, then a trailing point; a zero before the point always stays because the
// fixed-point text of a finite value always holds a point.
std::string TrimTrailingZeros(std::string text) {
    std::size_t end = text.size();
    while (end > 0 && text[end - 1] == '0') --end;
    if (end > 0 && text[end - 1] == '.') --end;
    text.resize(end);
    return text;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::size_t SkipDigits(std::string_view text, std::size_t at) {
    while (at < text.size() && IsDigit(text[at])) ++at;
    return at;
}

// Length of the leading decimal number at the start of text (0 when there is none).
std::size_t DecimalPrefixLength(std::string_view text) {
    std::size_t at = 0;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
    const std::size_t intStart = at;
    at = SkipDigits(text, at);
    std::size_t digits = at - intStart;
    if (at < text.size() && text[at] == '.') {
        const std::size_t fracStart = at + 1;
        at = SkipDigits(text, fracStart);
        digits += at - fracStart;
    }
    if (digits == 0) return 0;
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        std::size_t exp = at + 1;
        if (exp < text.size() && (text[exp] == '+' || text[exp] == '-')) ++exp;
        const std::size_t expEnd = SkipDigits(text, exp);
        if (expEnd > exp) at = expEnd;
    }
    return at;
}

locale_t CLocale() {
    static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return c;
}

}  // namespace

std::string FormatNumberTrimmed(double value) {
    // A signed comparison: zero and every negative value take nine decimals; NaN compares false.
    return TrimTrailingZeros(FormatFixed(value, value < 0.0001 ? 9 : 5));
}

std::string FormatFloatTrimmed(float value) { return TrimTrailingZeros(FormatFixed(static_cast<double>(value), 5)); }

std::string& GroupDigits(std::string& number, int comma) {
    if (number.find_first_of("Ee") != std::string::npos) return number;
    const char separator = comma ? ',' : ' ';
    const std::size_t point = number.find('.');
    const std::size_t intEnd = point == std::string::npos ? number.size() : point;
    const std::size_t signLength = intEnd > 0 && (number[0] == '-' || number[0] == '+') ? 1 : 0;
    const std::size_t digits = intEnd - signLength;
    std::string grouped = number.substr(0, signLength);
    for (std::size_t i = 0; i < digits; ++i) {
        if (i > 0 && (digits - i) % 3 == 0) grouped += separator;
        grouped += number[signLength + i];
    }
    grouped.append(number, intEnd, std::string::npos);
    number = std::move(grouped);
    return number;
}

std::uint32_t BitsToInteger(const unsigned char* bits, int n) {
    std::uint32_t sum = 0;
    std::uint32_t weight = 1;
    for (int i = n - 1; i >= 0; --i) {
        if (bits[i] != 0) sum += weight;
        weight <<= 1;  // wraps to 0 after the 32nd byte from the end
    }
    return sum;
}

int CopyTextToClipboard(std::string text) {
    desktop::Current().SetClipboardText(text);
    return 1;
}

double DecimalTextToDouble(std::string_view text) {
    std::size_t start = 0;
    while (start < text.size() && (text[start] == ' ' || (text[start] >= '\t' && text[start] <= '\r'))) ++start;
    text.remove_prefix(start);
    const std::size_t length = DecimalPrefixLength(text);
    if (length == 0) return 0.0;
    // strtod rounds correctly and gives HUGE_VAL on overflow, as atof does.
    const std::string prefix(text.substr(0, length));
    return strtod_l(prefix.c_str(), nullptr, CLocale());
}

// Number words are short: a byte loop costs less than the library's search call.
bool HasDecimalPoint(std::string_view word) {
    for (const char c : word)
        if (c == '.') return true;
    return false;
}

std::int32_t IntegerLiteral(std::string_view word) {
    std::size_t i = 0;
    bool negative = false;
    if (i < word.size() && (word[i] == '-' || word[i] == '+')) negative = word[i++] == '-';
    std::int64_t magnitude = 0;
    for (; i < word.size() && word[i] >= '0' && word[i] <= '9'; ++i) {
        magnitude = magnitude * 10 + (word[i] - '0');
        if (magnitude > 2147483648LL) break;
    }
    const std::int64_t v = negative ? -magnitude : magnitude;
    if (v > INT32_MAX) return INT32_MAX;
    if (v < INT32_MIN) return INT32_MIN;
    return static_cast<std::int32_t>(v);
}

#include "interpreter/number_operators.h"

#include <charconv>

#include "base/number_text.h"

void AppendNumberText(std::string& out, const NumberOperand& n) {
    if (n.type == kTypeInteger) {
        char digits[16];
        out.append(digits, std::to_chars(digits, digits + sizeof digits, n.i).ptr);
    } else {
        out += FormatNumberTrimmed(n.d);
    }
}

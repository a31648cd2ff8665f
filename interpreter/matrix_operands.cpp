// Matrices inside expressions and on the left of an assignment: the operand forms (element, row,
// column, whole matrix), the right side of a matrix assignment (literal, random fill, another
// matrix), and the check pass's reading of such a right side.
//
// Script indices count from 1; the matrix's own from 0.
#include <cmath>
#include <cstdint>
#include <string>
#include <utility>

#include "interpreter/keyword_codes.h"
#include "base/matrix.h"
#include "interpreter/messages.h"
#include "interpreter/tessel_parser.h"
#include "platform/crt_runtime.h"

namespace {

constexpr const char* kInvalidRow = " Runtime Error : Setting invalid row number.";
constexpr const char* kInvalidColumn = " Runtime Error : Setting invalid column number.";
constexpr const char* kSeparatorExpected = " Syntax Error : \";\"  or  \",\"  expected.";
constexpr const char* kCannotTransfer = " Syntax Error : Cannot transfer result to the matrix.";

// A script index (from 1) as a matrix index (from 0); every index below 1 becomes -1, which the
// matrix refuses, so no index arithmetic can overflow.
int ZeroBased(int scriptIndex) { return scriptIndex >= 1 ? scriptIndex - 1 : -1; }

bool IsSeparator(int token) { return token == kw::kSemicolon || token == kw::kComma; }

// A number read from a matrix is an Integer when it is a whole 32-bit value, else a Float.
void SetMatrixNumber(Value& result, double d) {
    const std::int32_t whole = DoubleToInt32(d);
    if (static_cast<double>(whole) == d)
        result.SetInteger(whole);
    else
        result.SetFloat(d);
}

}  // namespace

// ---------------------------------------------------------------- operands

int CTesselParser::EvaluateMatrixOperand(Value& result, ElementRef record) {
    const int next = ReadToken();
    if (next != kw::kOpenBracket) {
        if (!EndOfOperand(next)) return 0;
        const Value& variable = variables[record.record];
        const CMatrix& source = *ElementValue(record).matrix;
        // The run copies the matrix (keeping its own name); the check pass needs only its shape.
        result.SetMatrix(execute ? new CMatrix(source) : new CMatrix(source.GetRows(), source.GetCols(), variable.name));
        result.name = variable.name;
        return 4;
    }
    const int afterBracket = ReadToken();
    if (afterBracket == kw::kCloseBracket) {
        int col = 0;
        if (!ExpectToken(kw::kOpenBracket) || !ReadIntegerExpression(col) || !ExpectToken(kw::kCloseBracket)) return 0;
        return MatrixColumnOrNumber(result, record, col);
    }
    if (!EndOfOperand(afterBracket)) return 0;
    int row = 0;
    if (!ReadIntegerExpression(row) || !ExpectToken(kw::kCloseBracket)) return 0;
    const int second = ReadToken();
    if (second != kw::kOpenBracket) {
        if (!EndOfOperand(second)) return 0;
        return MatrixRowOrNumber(result, record, row);
    }
    const int afterSecond = ReadToken();
    if (afterSecond == kw::kCloseBracket) return MatrixRowOrNumber(result, record, row);
    if (!EndOfOperand(afterSecond)) return 0;
    int col = 0;
    if (!ReadIntegerExpression(col) || !ExpectToken(kw::kCloseBracket)) return 0;
    return MatrixNumber(result, record, row, col);
}

int CTesselParser::MatrixNumber(Value& result, ElementRef record, int row, int col) {
    double d = 0.0;
    if (execute) {
        d = ElementValue(record).matrix->GetAt(ZeroBased(row), ZeroBased(col), errorText);
        if (!errorText.empty()) return FailMatrixAccess();
    }
    SetMatrixNumber(result, d);
    result.name = variables[record.record].name;
    return 1;
}

int CTesselParser::MatrixColumnOrNumber(Value& result, ElementRef record, int col) {
    const Value& variable = variables[record.record];
    const CMatrix& source = *ElementValue(record).matrix;
    if (source.GetRows() == 1) return MatrixNumber(result, record, 1, col);
    auto* column = new CMatrix(source.GetRows(), 1, variable.name);
    result.SetMatrix(column);
    result.name = variable.name;
    if (execute) {
        const int c = ZeroBased(col);
        for (int r = 0; r < source.GetRows() && errorText.empty(); ++r) {
            const double v = source.GetAt(r, c, errorText);
            if (errorText.empty()) column->SetAt(r, 0, v, errorText);
        }
        if (!errorText.empty()) return FailMatrixAccess();
    }
    return 3;
}

int CTesselParser::MatrixRowOrNumber(Value& result, ElementRef record, int row) {
    const Value& variable = variables[record.record];
    const CMatrix& source = *ElementValue(record).matrix;
    if (source.GetCols() == 1) return MatrixNumber(result, record, row, 1);
    auto* line = new CMatrix(1, source.GetCols(), variable.name);
    result.SetMatrix(line);
    result.name = variable.name;
    if (execute) {
        const int r = ZeroBased(row);
        for (int c = 0; c < source.GetCols() && errorText.empty(); ++c) {
            const double v = source.GetAt(r, c, errorText);
            if (errorText.empty()) line->SetAt(0, c, v, errorText);
        }
        if (!errorText.empty()) return FailMatrixAccess();
    }
    return 2;
}

int CTesselParser::ParseMatrixIndex(int& row, int& col) {
    return ExpectToken(kw::kOpenBracket) && ReadIntegerExpression(row) && ExpectToken(kw::kCloseBracket) &&
                   ExpectToken(kw::kOpenBracket) && ReadIntegerExpression(col) && ExpectToken(kw::kCloseBracket)
               ? 1
               : 0;
}

// ---------------------------------------------------------------- assignment

int CTesselParser::AssignMatrix(CMatrix& matrix, int rowFrom, int rowTo, int colFrom, int colTo, int integerOnly) {
    const int first = ReadToken();
    if (first == kw::kRandomElements) return FillRandomElements(matrix, integerOnly);
    if (first == kw::kOpenBracket) {
        if (!ReadMatrixLiteral(matrix, rowFrom, rowTo, colFrom, colTo, integerOnly)) return 0;
        return ExpectToken(kw::kCloseBracket);
    }
    if (!EndOfOperand(first)) return 0;
    return AssignMatrixFromValue(matrix, rowFrom, rowTo, colFrom, colTo, integerOnly);
}

int CTesselParser::FillRandomElements(CMatrix& matrix, int integerOnly) {
    double low = 0.0;
    double high = 0.0;
    if (!ExpectToken(kw::kOpenParen) || !ReadNumber(low) || !ExpectToken(kw::kComma) || !ReadNumber(high) ||
        !ExpectToken(kw::kCloseParen))
        return 0;
    if (!execute) return 1;
    if (low > high) std::swap(low, high);
    // The whole matrix, not only the region; a store into a matrix without storage is dropped.
    std::string ignored;
    for (int r = 0; r < matrix.GetRows(); ++r) {
        for (int c = 0; c < matrix.GetCols(); ++c) {
            double v = low + crt::Rand() * (high - low) / 32767.0;
            if (integerOnly) v = std::trunc(v);
            matrix.SetAt(r, c, v, ignored);
        }
    }
    return 1;
}

// One `;` or `,` stands between every two elements of the region, between rows too, so a 2 x 2
// literal reads [1, 2; 3, 4]. The check pass's reader keeps the same rule.
int CTesselParser::ReadMatrixLiteral(CMatrix& matrix, int rowFrom, int rowTo, int colFrom, int colTo, int integerOnly) {
    for (int r = rowFrom; r < rowTo; ++r) {
        if (r < 0 || r >= matrix.GetRows()) return FailWith(kInvalidRow);
        for (int c = colFrom; c < colTo; ++c) {
            if (c < 0 || c >= matrix.GetCols()) return FailWith(kInvalidColumn);
            Value element;
            if (!ReadExpression(element) || !StoreLiteralElement(matrix, r, c, element, integerOnly)) return 0;
            const bool last = r == rowTo - 1 && c == colTo - 1;
            if (last) continue;
            const int separator = ReadToken();
            if (LexerReportedError(separator)) return 0;
            if (!IsSeparator(separator)) return FailWith(kSeparatorExpected);
        }
    }
    return 1;
}

int CTesselParser::StoreLiteralElement(CMatrix& matrix, int row, int col, const Value& v, int integerOnly) {
    if (integerOnly && v.type != kTypeInteger) return FailWith(message::kMustBeInteger);
    if (!RequireNumber(v)) return 0;
    matrix.SetAt(row, col, v.AsDouble(), errorText);
    if (!errorText.empty()) return FailMatrixAccess();
    return 1;
}

// The right side is one expression: a whole matrix of the target's size is copied, a number is
// the one element of a one-element region; a region of several elements wants a bracketed list.
int CTesselParser::AssignMatrixFromValue(CMatrix& matrix, int rowFrom, int rowTo, int colFrom, int colTo,
                                         int integerOnly) {
    ScanMark start;
    SavePosition(start);
    Value v;
    if (!ReadExpression(v)) return 0;
    if (v.type == kTypeMatrix) {
        const CMatrix& source = *v.value.matrix;
        if (source.GetRows() != matrix.GetRows() || source.GetCols() != matrix.GetCols()) return FailMatrixMismatch();
        matrix.CopyFrom(source);
        return 1;
    }
    if (!v.IsNumber()) return FailWith(kCannotTransfer);
    const std::int64_t rows = rowTo > rowFrom ? static_cast<std::int64_t>(rowTo) - rowFrom : 0;
    const std::int64_t cols = colTo > colFrom ? static_cast<std::int64_t>(colTo) - colFrom : 0;
    const std::int64_t elements = rows * cols;
    if (elements == 0) return 1;
    if (elements >= 2) {
        RestorePosition(start);
        ReadToken();
        return FailExpected(kw::kOpenBracket);
    }
    if (rowFrom < 0 || rowFrom >= matrix.GetRows()) return FailWith(kInvalidRow);
    if (colFrom < 0 || colFrom >= matrix.GetCols()) return FailWith(kInvalidColumn);
    return StoreLiteralElement(matrix, rowFrom, colFrom, v, integerOnly);
}

// ---------------------------------------------------------------- check-pass reading

int CTesselParser::ParseBracketList() {
    const int first = ReadToken();
    if (first == kw::kRandomElements) {
        double ignored = 0.0;
        return ExpectToken(kw::kOpenParen) && ReadNumber(ignored) && ExpectToken(kw::kComma) && ReadNumber(ignored) &&
                       ExpectToken(kw::kCloseParen)
                   ? 1
                   : 0;
    }
    if (first == kw::kOpenBracket) {
        const int next = ReadToken();
        if (next == kw::kCloseBracket) return 1;
        if (!EndOfOperand(next)) return 0;
        for (;;) {
            Value element;
            if (!ReadExpression(element) || !RequireNumber(element)) return 0;
            const int separator = ReadToken();
            if (separator == kw::kCloseBracket) return 1;
            if (LexerReportedError(separator)) return 0;
            if (separator == token::kEnd) return FailExpected(kw::kCloseBracket);
            if (!IsSeparator(separator)) return FailWith(kSeparatorExpected);
        }
    }
    // One expression, read as the run reads it (a matrix operand with its index forms included).
    if (!EndOfOperand(first)) return 0;
    Value v;
    if (!ReadExpression(v)) return 0;
    if (v.type == kTypeString) return FailWith(message::kStringsNotAllowed);
    if (v.type != kTypeMatrix && !v.IsNumber()) return FailWith(kCannotTransfer);
    return 1;
}

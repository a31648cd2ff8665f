#include "base/matrix.h"

#include <memory>
#include <new>
#include <utility>

#include "base/number_text.h"
#include "platform/atomic_file.h"
#include "platform/crt_file.h"

CMatrix::CMatrix(int rows, int cols, const std::string& name) : rows_(rows), cols_(cols), name_(name) {
    Allocate();
}

CMatrix::CMatrix(const CMatrix& other) { CopyFrom(other); }

CMatrix& CMatrix::operator=(const CMatrix& other) {
    if (this != &other) CopyFrom(other);
    return *this;
}

CMatrix::CMatrix(CMatrix&& other) noexcept
    : rows_(std::exchange(other.rows_, 0)),
      cols_(std::exchange(other.cols_, 0)),
      allocated_(std::exchange(other.allocated_, false)),
      values_(std::move(other.values_)),
      name_(std::move(other.name_)) {
    other.values_.clear();
    other.name_.clear();
}

CMatrix& CMatrix::operator=(CMatrix&& other) noexcept {
    if (this != &other) {
        rows_ = std::exchange(other.rows_, 0);
        cols_ = std::exchange(other.cols_, 0);
        allocated_ = std::exchange(other.allocated_, false);
        values_ = std::move(other.values_);
        name_ = std::move(other.name_);
        other.values_.clear();
        other.name_.clear();
    }
    return *this;
}

void CMatrix::CopyFrom(const CMatrix& other) {
    if (this == &other) return;
    Free();
    rows_ = other.rows_;
    cols_ = other.cols_;
    name_ = other.name_;
    // Elements of a source without storage read as 0.0, which the fresh storage already holds.
    if (Allocate() && other.allocated_) values_ = other.values_;
}

bool CMatrix::SizeFits() const {
    return rows_ >= 0 && cols_ >= 0 && static_cast<std::int64_t>(rows_) * cols_ <= kMaxElements;
}

int CMatrix::Allocate() {
    Free();
    if (!SizeFits()) return 0;
    try {
        values_.assign(static_cast<std::size_t>(rows_) * static_cast<std::size_t>(cols_), 0.0);
    } catch (const std::bad_alloc&) {
        return 0;
    }
    allocated_ = true;
    return 1;
}

void CMatrix::Free() {
    std::vector<double>().swap(values_);
    allocated_ = false;
}

void CMatrix::Resize(int rows, int cols) {
    Free();
    rows_ = rows;
    cols_ = cols;
    Allocate();
}

double CMatrix::GetAt(int row, int col, std::string& error) const {
    if (!allocated_) {
        error = "Error: Reading from emtyp maxtrix \"" + name_ + "\". ";
        return 0.0;
    }
    if (row < 0 || row >= rows_) {
        error = "Error: Accesing invalid row in maxtrix \"" + name_ + "\". ";
        return 0.0;
    }
    if (col < 0 || col >= cols_) {
        error = "Error: Accesing invalid column in maxtrix \"" + name_ + "\". ";
        return 0.0;
    }
    return Row(row)[col];
}

int CMatrix::SetAt(int row, int col, double value, std::string& error) {
    if (!allocated_ || row < 0 || row >= rows_ || col < 0 || col >= cols_) {
        error = "Error: Wrting to maxtrix \"" + name_ + "\". ";
        return 0;
    }
    Row(row)[col] = value;
    return 1;
}

int CMatrix::ResizeForProduct(const CMatrix& other) {
    if (cols_ != other.rows_) return 0;
    Resize(rows_, other.cols_);
    return 1;
}

template <typename Op>
int CMatrix::CombineElementwise(const CMatrix& other, Op op) {
    if (!IsSameSize(other) || !allocated_ || !other.allocated_) return 0;
    for (std::size_t i = 0; i < values_.size(); ++i) values_[i] = op(values_[i], other.values_[i]);
    return 1;
}

int CMatrix::Add(const CMatrix& other) {
    return CombineElementwise(other, [](double a, double b) { return a + b; });
}

int CMatrix::Subtract(const CMatrix& other) {
    return CombineElementwise(other, [](double a, double b) { return a - b; });
}

int CMatrix::Multiply(const CMatrix& other) {
    if (cols_ != other.rows_ || !allocated_ || !other.allocated_) return 0;
    const std::int64_t resultCount = static_cast<std::int64_t>(rows_) * other.cols_;
    if (resultCount > kMaxElements) return 0;
    // The product is built apart and swapped in, so a failure leaves this matrix as it was and
    // `other` may be this matrix itself.
    std::vector<double> product;
    try {
        product.assign(static_cast<std::size_t>(resultCount), 0.0);
    } catch (const std::bad_alloc&) {
        return 0;
    }
    const int inner = cols_;
    const int outCols = other.cols_;
    for (int i = 0; i < rows_; ++i) {
        const double* left = Row(i);
        double* out = product.data() + static_cast<std::size_t>(i) * static_cast<std::size_t>(outCols);
        for (int j = 0; j < outCols; ++j) {
            double sum = 0.0;
            for (int k = 0; k < inner; ++k) sum += left[k] * other.Row(k)[j];
            out[j] = sum;
        }
    }
    values_.swap(product);
    cols_ = outCols;
    return 1;
}

void CMatrix::Scale(double x) {
    for (double& v : values_) v *= x;
}

void CMatrix::AddScalar(double x) {
    for (double& v : values_) v += x;
}

std::string CMatrix::toString() const {
    std::string text;
    // A size that could never be stored has no text (its zeros would not fit in memory either).
    if (rows_ <= 0 || cols_ <= 0 || !SizeFits()) return text;
    std::string ignored;
    for (int r = 0; r < rows_; ++r) {
        if (r > 0) text += "\r\n";
        for (int c = 0; c < cols_; ++c) {
            if (c > 0) text += '\t';
            text += FormatNumberTrimmed(GetAt(r, c, ignored));
        }
    }
    return text;
}

int SaveMatrixToTextFile(const CMatrix& matrix, const std::string& path, crt::SaveResult* outcome) {
    crt::SaveResult result = crt::kSaveCannotCreate;
    // A matrix whose elements were never allocated has no text to save.
    if (matrix.GetRows() <= 0 || matrix.GetCols() <= 0 || matrix.IsAllocated()) {
        const std::string text = matrix.toString();
        result = crt::SaveFileAtomically(path, "wt",
                                         [&](crt::CrtFile& file) { return text.empty() || file.Puts(text); });
    }
    if (outcome != nullptr) *outcome = result;
    return result == crt::kSaved ? 1 : 0;
}

namespace {

// Splits a stream into whitespace-separated tokens (blank, TAB, CR, LF, VT, FF), reading it in
// chunks so that a large file is never held whole.
class MatrixTokenReader {
public:
    enum class Result { kToken, kEnd, kTooLong, kReadError };
    static constexpr std::size_t kMaxTokenLength = 4999;

    explicit MatrixTokenReader(crt::CrtFile& file) : file_(file) {}

    Result Next(std::string& token) {
        token.clear();
        int c;
        while ((c = NextChar()) >= 0 && IsSeparator(c)) {
        }
        while (c >= 0 && !IsSeparator(c)) {
            if (token.size() == kMaxTokenLength) return Result::kTooLong;
            token += static_cast<char>(c);
            c = NextChar();
        }
        if (readError_) return Result::kReadError;
        return token.empty() ? Result::kEnd : Result::kToken;
    }

private:
    // The C locale's white space, whatever locale the desktop has set.
    static bool IsSeparator(int c) {
        return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
    }

    // The next byte, or -1 at the end of the file or after a read error.
    int NextChar() {
        if (pos_ == length_) {
            if (ended_) return -1;
            length_ = file_.Read(buffer_, 1, sizeof buffer_);
            pos_ = 0;
            if (length_ == 0) {
                ended_ = true;
                readError_ = !file_.Eof();
                return -1;
            }
        }
        return static_cast<unsigned char>(buffer_[pos_++]);
    }

    crt::CrtFile& file_;
    char buffer_[16384];
    std::size_t pos_ = 0;
    std::size_t length_ = 0;
    bool ended_ = false;
    bool readError_ = false;
};

// Reads `count` values; false when the file runs out of values, holds an over-long token or
// cannot be read.
bool ReadMatrixValues(crt::CrtFile& file, std::size_t count, std::vector<double>& values) {
    MatrixTokenReader reader(file);
    std::string token;
    while (values.size() < count) {
        if (reader.Next(token) != MatrixTokenReader::Result::kToken) return false;
        values.push_back(DecimalTextToDouble(token));
    }
    return true;
}

}  // namespace

int LoadMatrixFromTextFile(CMatrix& matrix, const std::string& path) {
    std::unique_ptr<crt::CrtFile> file = crt::CrtFile::Open(path, "rt");
    if (!file) return 0;
    int rows = 0;
    int cols = 0;
    matrix.GetSize(rows, cols);
    if (rows <= 0 || cols <= 0) return file->Close() ? 1 : 0;  // nothing to read
    if (!matrix.IsAllocated()) {
        file->Close();
        return 0;
    }
    // Values are collected apart and stored only when all of them were read, so a bad file
    // changes nothing. The vector grows with the file, not with the declared size.
    std::vector<double> values;
    bool ok;
    try {
        ok = ReadMatrixValues(*file, static_cast<std::size_t>(rows) * static_cast<std::size_t>(cols), values);
    } catch (const std::bad_alloc&) {
        ok = false;
    }
    ok = file->Close() && ok;
    if (!ok) return 0;
    std::size_t next = 0;
    for (int r = 0; r < rows; ++r) {
        double* row = matrix.Row(r);
        for (int c = 0; c < cols; ++c) row[c] = values[next++];
    }
    return 1;
}

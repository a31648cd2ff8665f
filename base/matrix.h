// CMatrix: the one numeric container: a named, dense matrix of doubles with range-checked access,
// in-place arithmetic, its text form and the matrix text files of ReadMatrix and WriteMatrix.
//
// Indices are 0-based. A matrix is "allocated" when it has storage; a 0-row or 0-column matrix is
// allocated with no elements. Sizes that are negative, or whose element count passes
// kMaxElements, or whose storage cannot be had, leave the matrix unallocated with its size fields
// set: every read then reports the empty-matrix text, and nothing crashes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace crt {
enum SaveResult : int;
}

class CMatrix {
public:
    // Larger matrices are refused as if memory had run out (1 GiB of doubles).
    static constexpr std::int64_t kMaxElements = std::int64_t{1} << 27;

    CMatrix() : CMatrix(0, 0, "") {}
    CMatrix(int rows, int cols, const std::string& name);
    // A copy takes the other's size, name and elements (zeros when the other has no storage).
    CMatrix(const CMatrix& other);
    CMatrix& operator=(const CMatrix& other);
    // A moved-from matrix is 0 by 0, unallocated, unnamed.
    CMatrix(CMatrix&& other) noexcept;
    CMatrix& operator=(CMatrix&& other) noexcept;
    ~CMatrix() = default;

    void CopyFrom(const CMatrix& other);
    // Frees, then obtains zero-filled storage for the present size. 1 on success; 0 leaves it empty.
    int Allocate();
    // Frees the storage; the size fields stay.
    void Free();
    // Frees, takes the new size, allocates; the old contents are lost.
    void Resize(int rows, int cols);
    int IsAllocated() const { return allocated_ ? 1 : 0; }
    void GetSize(int& rows, int& cols) const {
        rows = rows_;
        cols = cols_;
    }
    int GetRows() const { return rows_; }
    int GetCols() const { return cols_; }
    const std::string& GetName() const { return name_; }
    void SetName(const std::string& name) { name_ = name; }

    // On failure these replace `error` with the matrix's error text and read 0.0 / store nothing;
    // on success `error` is left as it was.
    double GetAt(int row, int col, std::string& error) const;
    int SetAt(int row, int col, double value, std::string& error);

    // Unchecked access to one row's cols doubles, for the network engine's inner loops.
    // The matrix must be allocated and row inside 0 .. rows - 1.
    double* Row(int row) { return values_.data() + static_cast<std::size_t>(row) * static_cast<std::size_t>(cols_); }
    const double* Row(int row) const {
        return values_.data() + static_cast<std::size_t>(row) * static_cast<std::size_t>(cols_);
    }

    int IsSameSize(const CMatrix& other) const { return rows_ == other.rows_ && cols_ == other.cols_ ? 1 : 0; }
    int CanMultiply(const CMatrix& other) const { return cols_ == other.rows_ ? 1 : 0; }
    // Resizes this to rows by other's cols when the product is defined (contents lost); else 0.
    int ResizeForProduct(const CMatrix& other);

    // In-place arithmetic. Add, Subtract and Multiply return 0 and change nothing when the sizes
    // do not fit or an operand has no storage; Multiply also when the product cannot be stored.
    int Add(const CMatrix& other);
    int Subtract(const CMatrix& other);
    // this = this x other, each element summed from k = 0 up starting at 0.0. other may be this.
    int Multiply(const CMatrix& other);
    void Scale(double x);
    void AddScalar(double x);
    void SubtractScalar(double x) { AddScalar(-x); }
    // Scales by 1.0 / x; the caller tests x for zero.
    void DivideScalar(double x) { Scale(1.0 / x); }

    // The matrix text: each element as FormatNumberTrimmed gives it, TAB between the elements of a
    // row, CR LF between rows, nothing after the last; empty for 0 rows or 0 columns. Without
    // storage every element reads 0.0; a negative or over-limit size gives the empty text.
    std::string toString() const;

private:
    template <typename Op>
    int CombineElementwise(const CMatrix& other, Op op);
    bool SizeFits() const;

    int rows_ = 0;
    int cols_ = 0;
    bool allocated_ = false;
    std::vector<double> values_;  // row by row, rows_ * cols_ when allocated
    std::string name_;
};

// Writes the matrix text through a text-mode stream, so rows are separated on disk by
// 0x0D 0x0D 0x0A. 1 on success; 0 when the file cannot be written whole (the file that was there
// stays) or the matrix has no storage for its (non-empty) size; outcome, when given, says which.
int SaveMatrixToTextFile(const CMatrix& matrix, const std::string& path, crt::SaveResult* outcome = nullptr);

// Fills the matrix, at its present size, with the first rows x cols whitespace-separated values of
// the file (each token's leading decimal number; 0.0 when it has none). 1 on success. 0, with the
// matrix unchanged, when the file cannot be opened or read, holds fewer values than the matrix,
// holds a token longer than 4999 characters, or the matrix has no storage for its size.
int LoadMatrixFromTextFile(CMatrix& matrix, const std::string& path);

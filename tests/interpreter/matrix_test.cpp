#include "base/matrix.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "interpreter/builtin_test_support.h"
#include "interpreter/test_parser.h"

namespace {

CMatrix MakeMatrix(int rows, int cols, const std::vector<double>& values, const std::string& name = "m") {
    CMatrix m(rows, cols, name);
    FillRowByRow(m, values);
    return m;
}

TEST(MatrixTest, ANewMatrixHoldsZeros) {
    CMatrix m(2, 3, "a");
    EXPECT_TRUE(m.IsAllocated());
    EXPECT_EQ(Elements(m), std::vector<double>(6, 0.0));
    EXPECT_EQ(m.toString(), "0\t0\t0\r\n0\t0\t0");
}

struct AccessCase {
    int row;
    int col;
    const char* error;
};

TEST(MatrixTest, GetAtReportsTheFirstFailingTest) {
    CMatrix m(2, 3, "weights");
    const AccessCase cases[] = {
        {2, 0, "Error: Accesing invalid row in maxtrix \"weights\". "},
        {-1, 0, "Error: Accesing invalid row in maxtrix \"weights\". "},
        {0, -1, "Error: Accesing invalid column in maxtrix \"weights\". "},
        {1, 3, "Error: Accesing invalid column in maxtrix \"weights\". "},
        {5, -1, "Error: Accesing invalid row in maxtrix \"weights\". "},  // row before column
        {1, 2, "untouched"},
    };
    for (const AccessCase& c : cases) {
        std::string error = "untouched";
        EXPECT_EQ(m.GetAt(c.row, c.col, error), 0.0);
        EXPECT_EQ(error, c.error) << c.row << "," << c.col;
    }
}

TEST(MatrixTest, OnAnUnallocatedMatrixTheEmptyTextWinsOverTheRangeTexts) {
    CMatrix m(2, 2, "x");
    m.Free();
    EXPECT_FALSE(m.IsAllocated());
    EXPECT_EQ(m.GetRows(), 2);  // size fields stay
    for (auto [row, col] : {std::pair{0, 0}, {5, 0}, {0, -1}}) {
        std::string error;
        EXPECT_EQ(m.GetAt(row, col, error), 0.0);
        EXPECT_EQ(error, "Error: Reading from emtyp maxtrix \"x\". ");
    }
}

TEST(MatrixTest, SetAtStoresInsideAndRefusesOutside) {
    CMatrix m(2, 2, "t");
    const AccessCase cases[] = {
        {0, 0, "untouched"}, {1, 1, "untouched"}, {2, 0, "Error: Wrting to maxtrix \"t\". "},
        {0, 2, "Error: Wrting to maxtrix \"t\". "}, {-1, 0, "Error: Wrting to maxtrix \"t\". "},
    };
    for (const AccessCase& c : cases) {
        std::string error = "untouched";
        const int stored = m.SetAt(c.row, c.col, 4.5, error);
        EXPECT_EQ(stored, std::string(c.error) == "untouched" ? 1 : 0);
        EXPECT_EQ(error, c.error);
    }
    EXPECT_EQ(Elements(m), (std::vector<double>{4.5, 0, 0, 4.5}));
    m.Free();
    std::string error;
    EXPECT_EQ(m.SetAt(0, 0, 1.0, error), 0);
    EXPECT_EQ(error, "Error: Wrting to maxtrix \"t\". ");
}

TEST(MatrixTest, SizeTests) {
    EXPECT_TRUE(CMatrix(3, 2, "a").IsSameSize(CMatrix(3, 2, "b")));
    EXPECT_FALSE(CMatrix(2, 2, "a").IsSameSize(CMatrix(3, 2, "b")));
    EXPECT_TRUE(CMatrix(2, 3, "a").CanMultiply(CMatrix(3, 5, "b")));
    EXPECT_FALSE(CMatrix(2, 3, "a").CanMultiply(CMatrix(2, 3, "b")));
}

TEST(MatrixTest, ResizeForProductTakesTheProductShapeOnlyWhenDefined) {
    CMatrix a = MakeMatrix(2, 3, {1, 2, 3, 4, 5, 6});
    EXPECT_EQ(a.ResizeForProduct(CMatrix(3, 4, "b")), 1);
    EXPECT_EQ(a.GetRows(), 2);
    EXPECT_EQ(a.GetCols(), 4);
    EXPECT_EQ(Elements(a), std::vector<double>(8, 0.0));
    EXPECT_EQ(a.ResizeForProduct(CMatrix(3, 4, "b")), 0);
    EXPECT_EQ(a.GetCols(), 4);
}

TEST(MatrixTest, ElementwiseArithmetic) {
    CMatrix a = MakeMatrix(2, 2, {1, 2, 3, 4});
    const CMatrix b = MakeMatrix(2, 2, {0.5, -1, 10, 0});
    EXPECT_EQ(a.Add(b), 1);
    EXPECT_EQ(Elements(a), (std::vector<double>{1.5, 1, 13, 4}));
    EXPECT_EQ(a.Subtract(b), 1);
    EXPECT_EQ(Elements(a), (std::vector<double>{1, 2, 3, 4}));
    a.Scale(2);
    EXPECT_EQ(Elements(a), (std::vector<double>{2, 4, 6, 8}));
    a.AddScalar(1);
    EXPECT_EQ(Elements(a), (std::vector<double>{3, 5, 7, 9}));
    a.SubtractScalar(3);
    EXPECT_EQ(Elements(a), (std::vector<double>{0, 2, 4, 6}));
    a.DivideScalar(4);
    EXPECT_EQ(Elements(a), (std::vector<double>{0, 0.5, 1, 1.5}));
}

TEST(MatrixTest, SizeMismatchOrMissingStorageChangesNothing) {
    CMatrix a = MakeMatrix(2, 2, {1, 2, 3, 4});
    const CMatrix wrong(3, 2, "w");
    EXPECT_EQ(a.Add(wrong), 0);
    EXPECT_EQ(a.Subtract(wrong), 0);
    CMatrix empty(2, 2, "e");
    empty.Free();
    EXPECT_EQ(a.Add(empty), 0);
    EXPECT_EQ(a.Multiply(empty), 0);
    EXPECT_EQ(Elements(a), (std::vector<double>{1, 2, 3, 4}));
    EXPECT_EQ(empty.Add(a), 0);
    EXPECT_FALSE(empty.IsAllocated());
}

struct ProductCase {
    int ar, ac;
    std::vector<double> a;
    int br, bc;
    std::vector<double> b;
    int result;
    int rr, rc;
    std::vector<double> r;
};

TEST(MatrixTest, Multiply) {
    const ProductCase cases[] = {
        // 2x3 by 3x2 -> 2x2
        {2, 3, {1, 2, 3, 4, 5, 6}, 3, 2, {7, 8, 9, 10, 11, 12}, 1, 2, 2, {58, 64, 139, 154}},
        // column by row
        {2, 1, {1, 2}, 1, 3, {1, 1, 1}, 1, 2, 3, {1, 1, 1, 2, 2, 2}},
        // 2x3 by 2x3: undefined, unchanged
        {2, 3, {1, 2, 3, 4, 5, 6}, 2, 3, {1, 1, 1, 1, 1, 1}, 0, 2, 3, {1, 2, 3, 4, 5, 6}},
    };
    for (const ProductCase& c : cases) {
        CMatrix a = MakeMatrix(c.ar, c.ac, c.a);
        const CMatrix b = MakeMatrix(c.br, c.bc, c.b);
        EXPECT_EQ(a.Multiply(b), c.result);
        EXPECT_EQ(a.GetRows(), c.rr);
        EXPECT_EQ(a.GetCols(), c.rc);
        EXPECT_EQ(Elements(a), c.r);
    }
}

TEST(MatrixTest, MultiplyingASquareMatrixByItself) {
    CMatrix a = MakeMatrix(2, 2, {1, 2, 3, 4});
    EXPECT_EQ(a.Multiply(a), 1);
    EXPECT_EQ(Elements(a), (std::vector<double>{7, 10, 15, 22}));
}

TEST(MatrixTest, CopiesAreDeepAndKeepTheName) {
    CMatrix a = MakeMatrix(2, 2, {1, 2, 3, 4}, "source");
    CMatrix b(a);
    std::string error;
    a.SetAt(0, 0, 9, error);
    EXPECT_EQ(b.GetName(), "source");
    EXPECT_EQ(Elements(b), (std::vector<double>{1, 2, 3, 4}));
    CMatrix c(1, 1, "other");
    c = b;
    EXPECT_EQ(c.GetRows(), 2);
    EXPECT_EQ(Elements(c), (std::vector<double>{1, 2, 3, 4}));
    const CMatrix& alias = c;
    c = alias;
    EXPECT_EQ(Elements(c), (std::vector<double>{1, 2, 3, 4}));
    // A copy of a matrix without storage reads its elements as zeros.
    a.Free();
    CMatrix d(a);
    EXPECT_TRUE(d.IsAllocated());
    EXPECT_EQ(Elements(d), std::vector<double>(4, 0.0));
}

TEST(MatrixTest, ImpossibleSizesGiveAnEmptyMatrixNotACrash) {
    const std::pair<int, int> sizes[] = {{-1, 3}, {3, -1}, {INT_MAX, INT_MAX}, {1 << 20, 1 << 20}};
    for (auto [rows, cols] : sizes) {
        CMatrix m(rows, cols, "big");
        EXPECT_FALSE(m.IsAllocated()) << rows << "x" << cols;
        EXPECT_EQ(m.GetRows(), rows);
        EXPECT_EQ(m.toString(), "");
        std::string error;
        m.GetAt(0, 0, error);
        EXPECT_EQ(error, "Error: Reading from emtyp maxtrix \"big\". ");
    }
    CMatrix a(2, 2, "a");
    a.Resize(-5, 2);
    EXPECT_FALSE(a.IsAllocated());
    EXPECT_EQ(a.Multiply(CMatrix(2, 2, "b")), 0);
}

TEST(MatrixTest, ZeroSizedMatricesAreAllocatedWithoutElements) {
    CMatrix m(0, 0, "z");
    EXPECT_TRUE(m.IsAllocated());
    EXPECT_EQ(m.toString(), "");
    CMatrix rowsOnly(3, 0, "r");
    EXPECT_TRUE(rowsOnly.IsAllocated());
    EXPECT_EQ(rowsOnly.toString(), "");
}

TEST(MatrixTest, MatrixText) {
    EXPECT_EQ(MakeMatrix(2, 2, {1, 2.5, 3, 0.25}).toString(), "1\t2.5\r\n3\t0.25");
    EXPECT_EQ(MakeMatrix(1, 1, {-0.5}).toString(), "-0.5");
    EXPECT_EQ(MakeMatrix(3, 1, {1, 2, 3}).toString(), "1\r\n2\r\n3");
    EXPECT_EQ(MakeMatrix(1, 3, {1.23456789, 100, 0.00001234}).toString(), "1.23457\t100\t0.00001234");
    CMatrix unallocated(1, 2, "u");
    unallocated.Free();
    EXPECT_EQ(unallocated.toString(), "0\t0");
}

// ---- files ----

class MatrixFileTest : public ::testing::Test {
protected:
    std::string Path(const std::string& name) const { return folder_.File(name); }

    ScratchFolder folder_;
};

struct SaveCase {
    int rows, cols;
    std::vector<double> values;
    const char* bytes;
};

TEST_F(MatrixFileTest, SavedFilesAreByteExact) {
    const SaveCase cases[] = {
        {2, 2, {1, 2.5, 3, 0.25}, "1\t2.5\r\r\n3\t0.25"},
        {2, 3, {0, 0, 0, 0, 0, 0}, "0\t0\t0\r\r\n0\t0\t0"},
        {3, 1, {-1, 0.5, 2}, "-1\r\r\n0.5\r\r\n2"},
        {1, 1, {42}, "42"},
        {0, 0, {}, ""},
    };
    for (const SaveCase& c : cases) {
        const std::string path = Path("save.txt");
        EXPECT_EQ(SaveMatrixToTextFile(MakeMatrix(c.rows, c.cols, c.values), path), 1);
        EXPECT_EQ(ReadBytes(path), Bytes(c.bytes)) << c.rows << "x" << c.cols;
    }
}

TEST_F(MatrixFileTest, SavingFailsForAnUnwritablePathOrAMatrixWithoutStorage) {
    EXPECT_EQ(SaveMatrixToTextFile(CMatrix(1, 1, "m"), Path("missing/dir/file.txt")), 0);
    CMatrix unallocated(1, 2, "u");
    unallocated.Free();
    EXPECT_EQ(SaveMatrixToTextFile(unallocated, Path("u.txt")), 0);
    EXPECT_FALSE(std::filesystem::exists(Path("u.txt")));  // a failed save leaves no file
}

TEST_F(MatrixFileTest, ReadingFillsRowByRowInFileOrder) {
    const std::string path = Path("m.txt");
    ASSERT_EQ(SaveMatrixToTextFile(MakeMatrix(3, 2, {1, 2, 3, 4, 5, 6}), path), 1);
    CMatrix target(2, 3, "t");
    EXPECT_EQ(LoadMatrixFromTextFile(target, path), 1);
    EXPECT_EQ(Elements(target), (std::vector<double>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(target.GetRows(), 2);
}

struct LoadCase {
    const char* bytes;
    int result;
    std::vector<double> values;  // of a 2 by 2 matrix that held 9, 9, 9, 9
};

TEST_F(MatrixFileTest, ReaderRules) {
    const LoadCase cases[] = {
        {"1 2 3 4", 1, {1, 2, 3, 4}},
        {"1\t2\r\n3\n4", 1, {1, 2, 3, 4}},                 // any white space separates
        {"\r\n\r\n  1\v2\f3    4\r\n", 1, {1, 2, 3, 4}},
        {"1 2 3 4 5 6 junk", 1, {1, 2, 3, 4}},             // extra values ignored
        {"12abc -3.5e2x .5 +7", 1, {12, -350, 0.5, 7}},    // leading numeric part
        {"abc . - 1e", 1, {0, 0, 0, 1}},                   // none: 0.0
        {"1.2.3 1e+ 2E1 -0", 1, {1.2, 1, 20, -0.0}},
        {"1 2 3", 0, {9, 9, 9, 9}},                        // too short: unchanged
        {"", 0, {9, 9, 9, 9}},
        {"   \r\n", 0, {9, 9, 9, 9}},
    };
    for (const LoadCase& c : cases) {
        const std::string path = Path("in.txt");
        WriteBytes(path, Bytes(c.bytes));
        CMatrix m = MakeMatrix(2, 2, {9, 9, 9, 9});
        EXPECT_EQ(LoadMatrixFromTextFile(m, path), c.result) << '"' << c.bytes << '"';
        EXPECT_EQ(Elements(m), c.values) << '"' << c.bytes << '"';
    }
}

TEST_F(MatrixFileTest, TokenLengthLimit) {
    const std::string path = Path("long.txt");
    CMatrix m(1, 2, "m");
    WriteBytes(path, Bytes("7 " + std::string(4998, '0') + "5"));  // 4999 characters: accepted
    EXPECT_EQ(LoadMatrixFromTextFile(m, path), 1);
    EXPECT_EQ(Elements(m), (std::vector<double>{7, 5}));
    WriteBytes(path, Bytes("1 " + std::string(5000, '1')));  // 5000 characters: refused
    EXPECT_EQ(LoadMatrixFromTextFile(m, path), 0);
    EXPECT_EQ(Elements(m), (std::vector<double>{7, 5}));
}

TEST_F(MatrixFileTest, ReadingFailsForAMissingFileOrAMatrixWithoutStorage) {
    CMatrix m = MakeMatrix(1, 1, {3});
    EXPECT_EQ(LoadMatrixFromTextFile(m, Path("none.txt")), 0);
    EXPECT_EQ(Elements(m), std::vector<double>{3});
    const std::string path = Path("v.txt");
    WriteBytes(path, Bytes("1 2"));
    CMatrix unallocated(1, 2, "u");
    unallocated.Free();
    EXPECT_EQ(LoadMatrixFromTextFile(unallocated, path), 0);
    CMatrix empty(0, 0, "e");
    EXPECT_EQ(LoadMatrixFromTextFile(empty, path), 1);
}

TEST_F(MatrixFileTest, ValuesSurviveASaveAndLoadRoundTrip) {
    const CMatrix source = MakeMatrix(2, 3, {1.5, -2.25, 1000, 0.00001234, 123456789, -7});
    const std::string path = Path("round.txt");
    ASSERT_EQ(SaveMatrixToTextFile(source, path), 1);
    CMatrix back(2, 3, "b");
    ASSERT_EQ(LoadMatrixFromTextFile(back, path), 1);
    EXPECT_EQ(Elements(back), Elements(source));
}

}  // namespace

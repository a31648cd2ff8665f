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

struct AccessCase {
    int row;
    int col;
    const char* error;
};

TEST(MatrixTest, SetAtStoresInsideAndRefusesOutside) {
    CMatrix m(2, 2, "t");
    const AccessCase cases[] = {
        {0, 0, "untouched"}, {1, 1, "untouched"}, {2, 0, "Error: Wrting to maxtrix \"t\". "},
        {-1, 0, "Error: Wrting to maxtrix \"t\". "},
    };
    for (const AccessCase& c : cases) {
        std::string error = "untouched";
        const int stored = m.SetAt(c.row, c.col, 4.5, error);
        EXPECT_EQ(stored, std::string(c.error) == "untouched" ? 1 : 0);
        EXPECT_EQ(error, c.error);
    }
    EXPECT_EQ(Elements(m), (std::vector<double>{4.5, 0, 0, 4.5}));
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
        {3, 1, {-1, 0.5, 2}, "-1\r\r\n0.5\r\r\n2"},
        {0, 0, {}, ""},
    };
    for (const SaveCase& c : cases) {
        const std::string path = Path("save.txt");
        EXPECT_EQ(SaveMatrixToTextFile(MakeMatrix(c.rows, c.cols, c.values), path), 1);
        EXPECT_EQ(ReadBytes(path), Bytes(c.bytes)) << c.rows << "x" << c.cols;
    }
}

struct LoadCase {
    const char* bytes;
    int result;
    std::vector<double> values;  // of a 2 by 2 matrix that held 9, 9, 9, 9
};

TEST_F(MatrixFileTest, ReaderRules) {
    const LoadCase cases[] = {
        {"1 2 3 4", 1, {1, 2, 3, 4}},
        {"12abc -3.5e2x .5 +7", 1, {12, -350, 0.5, 7}},    // leading numeric part
        {"1.2.3 1e+ 2E1 -0", 1, {1.2, 1, 20, -0.0}},
        {"1 2 3", 0, {9, 9, 9, 9}},                        // too short: unchanged
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

}  // namespace

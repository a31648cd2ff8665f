// Arrays as one record each: every type's elements keep their values, files and object files reach
// the element named, and a large array is one record of 8-byte slots.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "interpreter/builtin_test_support.h"
#include "interpreter/test_parser.h"

namespace {

TEST(CompactArrayTest, ElementsOfEveryTypeKeepTheirValues) {
    struct Case {
        const char* script;
        const char* pane;
    };
    const Case cases[] = {
        {"Integer a[3]\na[2] = 7\na[3] = a[2] * 2\nPrint a[1]\nPrint a[3]", "0 14 "},
        {"Float f[4]\nf[4] = 2.5\nf[1] = f[4] / 2\nPrint f[4] + f[1]\nPrint f[2]", "3.75 0 "},
        {"String s[3]\nInteger k\nk = 3\ns[k] = 'x' + k\nPrint s[1] + '|' + s[3]", "|x3 "},
        // Matrix m[rows][cols][count].
        {"Matrix m[2][2][2]\nm[2][1][2] = 9\nm[1] = m[2] * 2\nPrint m[1][1][2]\nPrint m[2]", "18 0\t9\r\n0\t0 "},
        // A For variable may be an element; the loop steps that element alone.
        {"Integer a[3], i\nFor a[2] = 1 To 4 : i = i + a[2] : Next\nPrint a[1] + ' ' + a[2] + ' ' + i", "0 5 10 "},
        // Elements written in a loop and read back, the last one included.
        {"Integer a[1000], i, t\nFor i = 1 To 1000 : a[i] = i : Next\nFor i = 1 To 1000 : t = t + a[i] : Next\n"
         "Print t + ' ' + a[1000]",
         "500500 1000 "},
        // An array declared in a loop body is a new one on every pass.
        {"Integer i\nFor i = 1 To 3\nInteger b[2]\nb[2] = b[2] + i\nPrint b[2]\nNext", "1 2 3 "},
    };
    for (const Case& c : cases) EXPECT_EQ(PrintingHarness().Run(c.script), c.pane) << c.script;
}

TEST(CompactArrayTest, ABoundOutsideTheArrayIsReportedOnTheBracket) {
    PrintingHarness h;
    EXPECT_EQ(h.Run("Integer a[3]\na[4] = 1"), RunErrorPane(" Runtime Error : Array Bound OUT OF RANGE.   :  4 > 3 (U.B)) "));
    ASSERT_FALSE(h.view.Selections().empty());
    EXPECT_EQ(h.view.Selections().back(), (std::pair<int, int>{14, 1}));
}

TEST(CompactArrayTest, AnArrayIsOneRecordWhateverItsLength) {
    ScriptHarness h;
    TestParser& p = h.parser;
    p.PrepareScan("", 1);
    ASSERT_TRUE(p.DeclareVariable("a", kTypeInteger, 2000000, 0, 0));
    ASSERT_TRUE(p.DeclareVariable("s", kTypeString, 3, 0, 0));
    ASSERT_TRUE(p.DeclareVariable("m", kTypeMatrix, 4, 2, 2));
    ASSERT_TRUE(p.DeclareVariable("x", kTypeFloat, 1, 0, 0));
    ASSERT_EQ(p.variables.GetCount(), 4);
    EXPECT_EQ(p.variables[0].count, 2000000);
    EXPECT_EQ(p.ElementValue({0, 2000000}).integer, 0);
    EXPECT_EQ(p.ElementValue({2, 4}).matrix->GetRows(), 2);
    EXPECT_EQ(p.FindVariable("x"), 3);
    p.CutVariables(1);  // the cut frees the later arrays' elements
    EXPECT_EQ(p.FindVariable("m"), -1);
    EXPECT_EQ(p.FindVariable("a"), 0);
}

class CompactArrayFileTest : public ::testing::Test {
protected:
    DesktopScope desk;
    ScratchFolder folder;
};

TEST_F(CompactArrayFileTest, AFileElementIsOpenedWrittenAndClosedAtItsBlocksEnd) {
    const std::string path = Quoted(folder.File("element.txt"));
    // The file opened in the loop's array is closed (so written out) when the body's variables go.
    EXPECT_EQ(PrintingHarness().Run("Integer i\nFor i = 1 To 1\nFile g[3]\nFileOpen " + path +
                                  " For Writing Text In g[3]\nFileWriteString('in', g[3])\nNext\n"
                                  "File h\nFileOpen " + path + " For Reading Text In h\n"
                                  "Print FileReadString(10, h)\nPrint FileIsOpen(h)"),
              "in 1 ");
    EXPECT_EQ(ReadBytes(folder.File("element.txt")), Bytes("in"));
}

TEST_F(CompactArrayFileTest, ElementsSharingAFileCloseItOnce) {
    const std::string path = Quoted(folder.File("shared.txt"));
    // FileOpen on f[1] closes what f[1] held; f[2] was opened on its own and is closed at the end.
    EXPECT_EQ(PrintingHarness().Run("File f[2]\nFileOpen " + path + " For Writing Text In f[2]\n"
                                  "FileWriteString('two', f[2])\nFileClose(f[2])\nPrint FileIsOpen(f[2])"),
              "0 ");
    EXPECT_EQ(ReadBytes(folder.File("shared.txt")), Bytes("two"));
}

TEST_F(CompactArrayFileTest, AnObjectFileSavesAndLoadsTheMatrixElementNamed) {
    const std::string path = Quoted(folder.File("m.obj"));
    EXPECT_EQ(PrintingHarness().Run("Matrix m[1][2][3]\nm[2][1][2] = 5\nSaveObject m[2] In " + path +
                                  "\nLoadObject m[3] From " + path + "\nPrint m[3][1][2]\nPrint m[1][1][2]"),
              "5 0 ");
}

TEST(CompactArrayTest, AChartTakesEveryElementOfItsArrays) {
    ScriptHarness h;
    EXPECT_EQ(h.Run("Float v[3]\nString names[3]\nv[1] = 0.5\nv[3] = 4\nnames[3] = 'c'\n"
                    "CreateChart('t', 3, v, names)"),
              "");
    ASSERT_EQ(h.view.Charts().size(), 1u);
    EXPECT_EQ(h.view.Charts()[0].values, (std::vector<double>{0.5, 0, 4}));
    EXPECT_EQ(h.view.Charts()[0].labels, (std::vector<std::string>{"", "", "c"}));
}

}  // namespace

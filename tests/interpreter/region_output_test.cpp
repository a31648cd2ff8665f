// Output statements in compiled regions: Print and Println run as compiled nodes, print what the
// word-by-word reading prints, and leave what it leaves, where their expression fails at a later
// pass or their word names a variable.
#include <gtest/gtest.h>

#include <string>

#include "tests/interpreter/region_rows.h"

namespace {

const CompiledRow kRows[] = {
    {"println of joined texts in a loop", "Integer i : For i = 1 To 4 : Println 'line ' + i + \" of 4\" : Next",
     "line 1 of 4\r\nline 2 of 4\r\nline 3 of 4\r\nline 4 of 4\r\n", 4},
    {"print of floats and integers", "Integer i : For i = 1 To 4 : Print i * 0.5 : Print i Mod 3 : Next",
     "0.5 1 1 2 1.5 0 2 1 ", 8},
    {"print of a function's value", "Integer i : For i = 1 To 3 : Print INT(Sqrt(i * 20)) : Next", "4 6 7 ", 3},
    {"print of a string variable and element",
     "Integer i : String s, t[3] : For i = 1 To 3 : t[i] = 'v' + i : s = s + t[i] : Print s : Print t[i] : Next",
     "v1 v1 v1v2 v2 v1v2v3 v3 ", 9},
    {"println dividing by zero at a later pass", "Integer i : For i = 1 To 5 : Println 10 / (3 - i) : Next",
     ErrorPane("5\r\n10\r\n", " Runtime Error : Divide By ZERO."), 2},
    {"print of an element past the bound at a later pass", "Integer i, a[3] : For i = 1 To 5 : Print a[i] + i : Next",
     ErrorPane("1 2 3 ", " Runtime Error : Array Bound OUT OF RANGE.   :  4 > 3 (U.B)) "), 3},
    {"print of a text into a function at a later pass",
     "Integer i, j, n : String t : n = 7 : For i = 1 To 3 : Print i : For j = 9 - n To i : Print Abs(t) : Next : Next",
     ErrorPane("1 2 ", " Syntax Error : STRINGS not allowed here."), 2},
    {"words inside a printed text", "Integer i : For i = 1 To 3 : Println 'Println i Next' + i : Next",
     "Println i Next1\r\nPrintln i Next2\r\nPrintln i Next3\r\n", 3},
    {"unknown words inside a printed text", "Integer i : For i = 1 To 3 : Println 'zz yy' + i : Println i : Next", "zz yy1\r\n1\r\nzz yy2\r\n2\r\nzz yy3\r\n3\r\n", 6},
    {"print before a stop", "Integer i : For i = 1 To 5 : Println i : If i = 3 Then StopProgram Endif : Next",
     "1\r\n2\r\n3\r\n\r\nProgram Terminated  By \"StopProgram\".\r\n", 3},
    {"print in a while and a do", "Integer i : While i < 3 : i = i + 1 : Print i : Wend : Do : Print i * 2 : i = i - 1 : "
     "While i > 0",
     "1 2 3 6 4 2 ", 9},
    {"print in a called subroutine", "Integer i : Subroutin S : Print i * i : EndSub : For i = 1 To 4 : Call S : Next",
     "1 4 9 16 ", 4},
    // The word an output statement puts back is the last word read when the next statement hands over.
    {"a failure right after an output statement", "Integer i, k : For i = 1 To 3 : Print i k = 12 / (2 - i) : Next",
     ErrorPane("1 2 ", " Runtime Error : Divide By ZERO."), 2},
    {"print followed by a word it puts back", "Integer i, k : For i = 1 To 3 : Print i k = k + i : Next : Print k",
     "1 2 3 6 ", 6},
    // A whole matrix has no compiled value: the reading prints its text.
    {"print of a whole matrix", "Matrix m[2][2] : Integer i : For i = 1 To 2 : m[i][i] = i : Print m : Print i : Next",
     "1\t0\r\n0\t0 1 1\t0\r\n0\t2 2 ", 4},
    {"print without a value at a later pass",
     "Integer i, j, n : n = 7 : For i = 1 To 3 : Print i : For j = 9 - n To i : Print : Next : Next",
     ErrorPane("1 2 ", " Syntax Error : Can not evaluate this EXPRESSION."), 2},
};

TEST(RegionOutput, LeavesWhatReadingWordByWordLeaves) {
    ExpectCompiledAsReading(kRows);
}

// A stop pressed while a line is printed ends the run where the reading ends it: at the next
// word it reads, whatever compiled statement, loop or call comes next.
TEST(RegionOutput, AStopWhilePrintingEndsTheRunAsTheReadingEndsIt) {
    const char* const scripts[] = {
        "Integer i, j : Float x : For i = 1 To 6 : For j = 1 To 3 : x = x + Sqrt(i * j) : Print j : Next : Println i : "
        "Next",
        "Integer i : String s : Subroutin S : s = s + 'b' : Print s : EndSub : While i < 9 : i = i + 1 : Call S : If i "
        "Mod 2 = 0 Then Println i Endif : Wend",
        "Integer i, k : Do : i = i + 1 : Print i * 0.5 : k = k + i : While k < 200",
    };
    for (const char* script : scripts) {
        for (int stopAt = 1; stopAt <= 12; ++stopAt) {
            ScriptComparison run;
            run.regions.view.stopAfterOutputs = stopAt;
            run.reading.view.stopAfterOutputs = stopAt;
            run.Run(script);
            EXPECT_EQ(run.regions.Outcome(), run.reading.Outcome()) << script << " stopped at output " << stopAt;
            EXPECT_NE(run.reading.view.Pane().find("Program Terminated  By User."), std::string::npos) << run.reading.view.Pane();
        }
    }
}

// Pauses land between printed lines and inside the statements that make them.
TEST(RegionOutput, PausesLeaveTheRunAsItWouldHaveEnded) {
    const std::string script =
        "Integer i, j : String s\nFor i = 1 To 400\n s = 'row ' + i\n For j = 1 To 20\n  Print s + ':' + j\n Next\n Println "
        "i * 0.25\nNext";
    ScriptSide plain;
    plain.Run(script, true);
    EXPECT_EQ(OutcomeWithPauses(script, 200), plain.Outcome());
    EXPECT_GE(plain.parser.CompiledStatements(), 8000u);
}

}  // namespace

// Built-in functions and powers in compiled regions: every statement that holds them runs as a
// compiled node, and leaves what the word-by-word reading leaves, where an argument is refused
// at a later pass too (the reading then reports on the same word).
#include <gtest/gtest.h>

#include <string>

#include "tests/interpreter/region_rows.h"

namespace {

const CompiledRow kRows[] = {
    {"functions of integers and floats",
     "Integer i : Float s : For i = 1 To 20 : s = s + Sqrt(i) + Abs(0.5 - i) + SinR(i * 0.1) * CosR(i) : Next : Print s",
     "262.49122 ", 20},
    {"degree functions and arcs",
     "Integer i : Float s : For i = -10 To 10 : s = s + SinD(i) + CosD(i) + TanD(i) + ArcSinD(i / 10.0) + ArcCosR(i * 0.1) + "
     "ArcTanD(i) + ArcTanR(i) + ArcSinR(0.1 * i) + ArcCosD(i / 20.0) : Next : Print s",
     "1943.86964 ", 21},
    {"hyperbolic, exponent and logarithms",
     "Integer i : Float s : For i = 1 To 12 : s = s + Sinh(i / 4.0) - Cosh(0.1 * i) + Tanh(i) + Exp(i / 6.0) + Ln(i) + "
     "Log(i * 10) + TanR(i * 0.05) : Next : Print s",
     "124.14411 ", 12},
    {"int of floats and integers", "Integer i, k : For i = -6 To 9 : k = k + INT(i * 0.75) * 3 + INT(i) : Next : Print k",
     "75 ", 13},
    {"int as an array index", "Integer i, a[10] : For i = 1 To 9 : a[INT(i * 1.2)] = i : Next : Print a[10]", "9 ", 9},
    {"rgb of channels past a byte",
     "Integer i, c : For i = 250 To 260 : c = c + RGB(i, i * 0.5, 3.7) Mod 1000 : Next : Print c", "613 ", 11},
    {"pow and powers",
     "Integer i : Float s : For i = 1 To 8 : s = s + Pow(i, 0.5) + 2 ^ i - (-2) ^ 2 + 2 ^ 3 ^ 0.5 + i ^ -1 : Next : Print s",
     "523.59983 ", 8},
    {"functions nested in functions",
     "Integer i : Float s : For i = 1 To 10 : s = s + Sqrt(Abs(SinR(Sqrt(i * 3) - INT(Pow(i, 1.5))))) : Next : Print s", "7.76569 ",
     10},
    {"functions in conditions",
     "Integer i, k : For i = 1 To 30 : If Sqrt(i) > 3 And INT(i / 2.5) Mod 2 = 0 Or Abs(i - 15) < 2 Then k = k + i "
     "Endif : Next : Print k",
     "266 ", 30},
    {"functions in while conditions",
     "Float x : Integer n : While Sqrt(x) < 5.5 And n < 100 : x = x + Abs(SinR(n)) + 0.5 : n = n + 1 : Wend : Print n", "28 ",
     20},
    {"functions in for bounds",
     "Integer i, k : For i = INT(Sqrt(4)) To Pow(2, 4) Step Abs(-2) : k = k + i : Next : Print k", "72 ", 8},
    {"functions of matrix elements",
     "Matrix m[2][3] : Integer i : Float s : For i = 1 To 3 : m[1][i] = i * 1.5 : m[2][i] = -i : s = s + Sqrt(m[1][i]) + "
     "Abs(m[2][i]) + INT(m[1][i]) + m[2][i] ^ 2 : Next : Print s",
     "33.07812 ", 9},
    {"function values joined to texts",
     "Integer i : String t : For i = 1 To 4 : t = t + INT(Sqrt(i * 10)) + ',' + Abs(-i) : Next : Print t",
     "3,14,25,36,4 ", 4},
    {"sqrt of a negative at a later pass",
     "Integer i : Float s : For i = 5 To -5 Step -1 : s = s + Sqrt(i) : Next : Print s",
     ErrorPane("", " Runtime Error : \"Sqrt\" argument is out of range."), 5},
    {"arcsin out of range at a later pass",
     "Integer i : Float s : For i = 1 To 20 : s = s + ArcSinD(i / 10.0) : Next",
     ErrorPane("", " Runtime Error : \"ArcSin\" argument is out of range."), 10},
    {"arccos out of range at a later pass", "Integer i : Float s : For i = 1 To 5 : s = ArcCosR(0.5 * i) : Next",
     ErrorPane("", " Runtime Error : \"ArcCos\" argument is out of range."), 2},
    {"ln of zero at a later pass", "Integer i : Float s : For i = 3 To 0 Step -1 : s = s + Ln(i) : Next",
     ErrorPane("", " Runtime Error : \"Ln\" argument is out of range."), 3},
    {"log of a negative in a condition",
     "Integer i, k : For i = 3 To -3 Step -1 : If Log(i + 2) > 0 Then k = k + 1 Endif : Next",
     ErrorPane("", " Runtime Error : \"Log\" argument is out of range."), 4},
    {"pow of zero at a later pass", "Integer i : Float s : For i = 3 To 0 Step -1 : s = s + Pow(i, -1) : Next",
     ErrorPane("", " Runtime Error : \"Pow\" argument is out of range."), 3},
    {"a text argument at a later pass",
     "Integer i, j, n : Float s : String t : n = 7 : For i = 1 To 3 : s = s + Sqrt(i) : For j = 9 - n To i : s = Abs(t) "
     ": Next : Next",
     ErrorPane("", " Syntax Error : STRINGS not allowed here."), 1},
    {"a text into int and rgb at a later pass",
     "Integer i, j, n, k : String t : n = 7 : For i = 1 To 3 : k = INT(i * 1.5) : For j = 9 - n To i : k = RGB(1, t, 2) "
     ": Next : Next",
     ErrorPane("", " Syntax Error : STRINGS not allowed here."), 1},
    {"a text to a power at a later pass",
     "Integer i, j, n : Float s : String t : n = 7 : For i = 1 To 3 : s = i ^ 2 : For j = 9 - n To i : s = t ^ 2 : Next "
     ": Next",
     ErrorPane("", " Syntax Error : Can not use '^' for STRINGS."), 1},
    {"a matrix into a function at a later pass",
     "Integer i, j, n : Float s : Matrix m[2][2] : n = 7 : For i = 1 To 3 : s = Exp(i) : For j = 9 - n To i : s = Exp(m) "
     ": Next : Next",
     ErrorPane("", " Syntax Error : MATRIX or FILE not allowed here."), 1},
    {"a missing parenthesis at a later pass",
     "Integer i, j, n : Float s : n = 7 : For i = 1 To 3 : s = Abs(i) : For j = 9 - n To i : s = Abs(i : Next : Next",
     "Program Terminated  By ERROR.\r\n\r\n   Expected :  \"  )  \"   \r\n", 1},
    {"a function divided by zero at a later pass",
     "Integer i : Float s : For i = 1 To 5 : s = s + Exp(1) / INT(3 - i) : Next",
     ErrorPane("", " Runtime Error : Divide By ZERO."), 2},
    {"a not-a-number power", "Integer i : Float s : For i = 1 To 3 : s = (-8) ^ (1 / 3.0) + i : Next : Print s", "-nan ", 3},
    {"rnd stays with the reading", "Integer i, k : For i = 1 To 5 : k = k + RND(10) + INT(i / 2) : Next : Print k", "28 ", 0},
};

TEST(RegionBuiltins, LeaveWhatReadingWordByWordLeaves) {
    ExpectCompiledAsReading(kRows);
}

// Pauses land at whatever statement the run has reached, inside built-in functions' statements
// too; the reader waits there and the run goes on as it would have.
TEST(RegionBuiltins, PausesLeaveTheRunAsItWouldHaveEnded) {
    const std::string script =
        "Integer i, j, k : Float s\nFor i = 0 To 300\n For j = 0 To 300\n  s = s + Sqrt(i * i + j) + INT(Abs(SinR(j)) * 10)\n"
        "  If CosR(i) > 0.5 And s > 10 Then\n   k = k + 1\n  Endif\n Next\nNext\nPrint k";
    ScriptSide plain;
    plain.Run(script, true);
    EXPECT_EQ(OutcomeWithPauses(script, 300), plain.Outcome());
    EXPECT_GE(plain.parser.CompiledStatements(), 90000u);
}

}  // namespace

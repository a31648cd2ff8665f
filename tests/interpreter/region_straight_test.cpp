// Straight passes of For, While and Do loops whose bodies are assignments of any type and Ifs of
// any condition: each row's run with compiled regions leaves what the word-by-word reading leaves
// (where a guard fails at a later pass too, in the body, a branch or the loop's test), the reading
// prints what the row pins, and exactly the row's count of statements ran as straight steps.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <thread>

#include "tests/interpreter/region_rows.h"
#include "tests/interpreter/script_comparison.h"

namespace {

struct StraightRow {
    const char* name;
    const char* script;
    std::string pane;        // what the reading prints, where pinned
    std::uint64_t straight;  // statements run as straight steps
};

const char kOutOfRange[] = " Runtime Error : Array Bound OUT OF RANGE.   :  4 > 3 (U.B)) ";
const char kDivisionByZero[] = " Runtime Error : Divide By ZERO.";

// A loop's first pass runs node by node; the passes after it run straight. A guard that fails
// hands its pass over at that step, and the next pass is straight again.
const StraightRow kRows[] = {
    // For: 10 passes, the first node by node, 9 straight passes of two statements.
    {"a for of float steps", "Integer i : Float x, y : For i = 1 To 10 : x = x + i * 0.5 : y = x / 4 : Next : Print y",
     "6.875 ", 18},
    {"a for stepping a float", "Float x, area : For x = 0.5 To 3 Step 0.25 : area = area + x * x : Next : Print area",
     "40.5625 ", 10},
    {"a for of string joins and copies",
     "Integer i : String s, t : For i = 1 To 5 : s = s + i : t = s : Next : Print t", "12345 ", 8},
    {"a for of string elements",
     "Integer i : String a[6] : For i = 2 To 6 : a[i] = a[i - 1] + i : Next : Print a[6]", "23456 ", 4},
    {"a for of built-in functions",
     "Integer i, w : Float r : For i = 1 To 8 : r = Sqrt(i * i + 9) : w = w + INT(r) + Abs(SinR(r) * 0) : Next : Print w",
     "41 ", 14},
    {"a for of matrix elements",
     "Matrix m[3][4] : Integer j : For j = 2 To 4 : m[2][j] = (m[2][j - 1] + 1) * 0.5 : Next : Print m[2][4] * 8",
     "7 ", 2},
    // Matrix elements meeting each other or Integers: a whole element is an Integer, so that the
    // operation is Integer arithmetic (a quotient cut, a sum wrapped) where both are whole.
    {"a for of matrix elements divided, wrapped and rooted",
     "Matrix m[3][6] : Integer j, k : Float x : m[1][1] = 7 : m[2][1] = 2 : m[3][1] = 2000000000 : For j = 2 To 6 : "
     "m[1][j] = m[1][j - 1] / m[2][j - 1] + j : m[2][j] = m[2][j - 1] * 1.5 : k = k + m[1][j] Mod j - m[2][j] + m[3][1] + "
     "m[3][1] : x = x + INT(m[1][j] - m[2][j]) + Sqrt(m[1][j] + m[1][j]) : Next : Print k : Print x : Print m[1][6] + "
     "m[2][6] : Print m[1][3] + m[1][3]",
     "-2147483648 5.12485 21.75286 8 ", 16},
    {"a for of ifs on matrix elements cut by integer division",
     "Matrix m[1][8] : Integer j, k : For j = 1 To 8 : m[1][j] = j * 0.5 + 1 : Next : For j = 1 To 8 : If m[1][j] / 2 = 1 "
     "Then k = k + j * 10 Else k = k - 1 Endif : Next : Print k",
     "54 ", 15},
    {"a for dividing by a matrix element that is zero at its fourth pass",
     "Matrix m[1][4] : Integer j : Float x : m[1][1] = 6 : m[1][2] = 0.5 : m[1][3] = -3 : For j = 1 To 4 : "
     "x = x + 12 / m[1][j] - m[1][j] * m[1][j] : Next",
     ErrorPane("", kDivisionByZero), 2},
    // Texts with no names inside: a name in a text is looked up where it is read.
    {"a for of ifs with else on float and string conditions",
     "Integer i, k : Float x : String s, t : t = '#' : For i = 1 To 9 : x = x + 0.75 : If x > 3 And s <> t Then k = k + 1 "
     "Else k = k - 1 Endif : If NOT s > t Or i Mod 3 = 0 Then s = s + i Endif : Next : Print k : Print s",
     "1 1369 ", 13},
    // Chains group from the right; NOT belongs to its comparison.
    {"a for of chains of typed comparisons",
     "Integer i, k : Float x : For i = 1 To 12 : x = x + 0.5 : If x > 1 Or x < 0 And i > 100 Then k = k + 1 Endif : If NOT "
     "x > 2.5 And i * 0.5 < 9.5 Then k = k + 10 Endif : Next : Print k",
     "60 ", 4 * 4},
    // While: a condition of Floats with And, a String comparison.
    {"a while of floats with and",
     "Integer it : Float zx, zy : zx = 0.1 : While zx * zx + zy * zy <= 4.0 And it < 50 : zy = 2.0 * zx * zy + 0.3 : "
     "zx = zx * 1.5 + 0.1 : it = it + 1 : Wend : Print it",
     "", 12},
    {"a while comparing strings",
     "Integer j : String a[5], key : a[1] = 'a' : a[2] = 'c' : a[3] = 'd' : a[4] = 'e' : key = 'b' : j = 4 : While "
     "a[j] > key : a[j + 1] = a[j] : j = j - 1 : Wend : a[j + 1] = key : Print a[2] + a[3] + a[5]",
     "bce ", 4},
    // Do: the condition is read after each pass; where it ends the loop, the compiled way reads it.
    {"a do of floats", "Integer n : Float h : Do : n = n + 1 : h = h + 1.0 / n : While h < 3 : Print n", "11 ", 20},
    {"a do whose if is taken once in many passes",
     "Integer n, w : Float h : Do : n = n + 1 : h = h + 0.125 : If n Mod 40 = 0 Then w = w + INT(h) Endif : While h < 30 "
     ": Print w",
     "105 ", 512},
    {"a do followed by a word the extension is asked for",
     "Integer n : Float h : Do : n = n + 1 : h = h + 0.5 : While h < 4\nPrintln n", "8\r\n", 14},
    // Guards failing at a later pass, in every kind of step and in the loops' tests.
    {"a for taking the root of a negative number at its sixth pass",
     "Integer i : Float r : For i = 1 To 9 : r = r + Sqrt(5 - i) : Next : Print r", "", 4},
    {"a for dividing floats by zero in an else branch",
     "Integer i : Float x : For i = 1 To 9 : If i < 4 Then x = x + i Else x = x + 1.5 / (6 - i) Endif : Next",
     ErrorPane("", kDivisionByZero), 1},
    {"a for storing a string past its array's bound",
     "Integer i : String a[3], s : s = 'q' : For i = 1 To 5 : s = s + i : a[i] = s : Next", ErrorPane("", kOutOfRange),
     5},
    {"a for reading a matrix element past its bound",
     "Matrix m[3][3] : Integer i : Float x : For i = 1 To 5 : x = x + m[i][1] + 0.5 : Next : Print x", "", 2},
    {"a for storing into a matrix element past its last column",
     "Matrix m[2][3] : Integer i : For i = 1 To 5 : m[1][i] = i * 1.5 : Next : Print m[2][1]",
     ErrorPane("", " Runtime Error : Setting invalid column number."), 2},
    {"a do whose condition divides by zero at its fourth pass",
     "Integer n : Float h : Do : n = n + 1 : h = h + 0.5 : While h / (4 - n) < 9 : Print n", ErrorPane("", kDivisionByZero),
     6},
    // Taken over at a pass's first step: the last word is the one put back after the condition.
    {"a do failing at its first step with an extension word after it",
     "Integer n : Float h : Do : h = h + 1 / (5 - n) : n = n + 1 : While n < 9\nPrintln n", ErrorPane("", kDivisionByZero),
     8},
    {"a while whose float condition divides by zero",
     "Integer j : Float x : While 6.0 / (4 - j) > x : j = j + 1 : x = x + 0.5 : Wend : Print j",
     ErrorPane("", kDivisionByZero), 6},
    {"a string compared with a number at a later pass",
     "Integer i, k : String s : For i = 1 To 6 : If i < 4 Then k = k + 1 Else If s = 2 Then k = 0 Endif Endif : Next", "",
     0},
    // Ifs inside branches: every branch at each level taken in the first passes, or first taken
    // at a later pass (the loop is looked at again), or never.
    {"a for of ifs inside both branches, each way at each level",
     "Integer i, k, n : For i = 1 To 30 : If i Mod 2 = 0 Then If i Mod 3 = 0 Then k = k + 1 Else k = k + 10 Endif : n = n "
     "+ 1 Else If i Mod 3 = 1 Then n = n + 100 Else n = n + 1000 Endif Endif : Next : Print k : Print n",
     "105 10515 ", 63},
    {"a for whose inner branch is first taken at a late pass",
     "Integer i, k : For i = 1 To 200 : If i > 2 Then If i Mod 37 = 0 Then k = k + 100 Else k = k + 1 Endif Endif : Next : Print k",
     "693 ", 378},
    {"a for whose inner branch is never taken",
     "Integer i, k : For i = 1 To 30 : If i > 2 Then If i > 99 Then k = 0 Endif : k = k + i Endif : Next : Print k", "462 ",
     0},
    {"a for of ifs three deep",
     "Integer i, k : For i = 1 To 64 : If i Mod 2 = 0 Then If i Mod 4 = 0 Then If i Mod 8 = 0 Then k = k + 100 Else k = k + "
     "10 Endif Else k = k + 1 Endif Else k = k - 1 Endif : Next : Print k",
     "864 ", 132},
    {"a while of an if in an else branch",
     "Integer j, k : Float x : While j < 15 : j = j + 1 : If j < 5 Then x = x + 0.5 Else If x > j / 4 Then k = k + 1 Else x "
     "= x * 1.25 Endif Endif : Wend : Print k : Print x",
     "", 12},
    {"a do of ifs in then branches",
     "Integer n, k : String s : Do : n = n + 1 : If n Mod 3 > 0 Then If n Mod 3 = 1 Then s = s + n Else k = k + n Endif "
     "Endif : While n < 12 : Print s : Print k",
     "14710 26 ", 20},
    {"a for dividing by zero in an inner else branch at its twenty-first pass",
     "Integer i : Float x : For i = 1 To 30 : If i Mod 7 > 0 Then x = x - 1 Else x = 0 Endif : If i Mod 4 > 0 Then If i < 6 Then x = "
     "x + i Else x = x + 1.5 / (21 - i) Endif Endif : Next",
     ErrorPane("", kDivisionByZero), 30},
    {"a for whose inner if's condition divides by zero in an else branch",
     "Integer i, k : For i = 1 To 30 : If i Mod 3 = 0 Then k = k + 1 Else If 60 / (25 - i) > 5 Then k = k + 2 Else k = k - "
     "1 Endif Endif : Next",
     ErrorPane("", kDivisionByZero), 3},
    {"a for storing past a bound in an if of an else branch",
     "Integer i, k, a[13] : For i = 1 To 20 : If i Mod 5 = 1 Then k = 0 Else If i Mod 2 = 0 Then a[i] = i Else k = k + a[i - 1] "
     "Endif : k = k + 1 Endif : Next",
     ErrorPane("", " Runtime Error : Array Bound OUT OF RANGE.   :  14 > 13 (U.B)) "), 28},
    {"a for storing a float into an integer",
     "Integer i, k : Float x : For i = 1 To 6 : x = i / 4 : k = k + x * 4 : Next : Print k", "12 ", 10},
};

TEST(RegionStraight, PassesLeaveWhatReadingWordByWordLeaves) {
    for (const StraightRow& row : kRows) {
        // A step is a statement run compiled too.
        const CompiledRow compiled[] = {{row.name, row.script, row.pane, row.straight}};
        ExpectCompiledAsReading(compiled);
        const ScriptComparison run(row.script);
        EXPECT_EQ(run.reading.parser.StraightStatements(), 0u) << row.name;
        EXPECT_EQ(run.regions.parser.StraightStatements(), row.straight) << row.name;
    }
}

// Pauses land inside the steps of For, While and Do straight passes of every type; the reader
// waits there and the run goes on as it would have.
TEST(RegionStraight, PausesLeaveTheRunAsItWouldHaveEnded) {
    const char* const scripts[] = {
        "Integer i, k : Float x : String s, a[8] : For i = 1 To 20000 : x = x + i * 0.5 : If x > 100 And s <> a[2] Then k = k "
        "+ 1 Else s = s + i Endif : a[i Mod 8 + 1] = s : Next : Print k + INT(x)",
        "Integer n : Float h : Do : n = n + 1 : h = h + 1.0 / n : While h < 10 : Print n",
        // Most steps stand in Ifs inside a Then branch closed by Else: most pauses land there.
        "Integer i, k, n : Float x : For i = 1 To 60000 : If i Mod 5 > 0 Then If i Mod 2 = 0 Then k = k + 1 : x = x + 0.5 : "
        "k = k - 1 Else x = x + 0.25 : n = n + 2 : n = n - 1 Endif Else If i Mod 10 = 0 Then n = n + 1 Else n = n - 1 Endif Endif : "
        "Next : Print k + n + INT(x)",
        "Integer k : Float x : String a[8] : a[3] = '#' : While a[k Mod 8 + 1] <= a[3] And k < 30000 : k = k + 1 : x = x - "
        "Sqrt(k) : Wend : Print k + INT(x)",
    };
    for (const char* script : scripts) {
        ScriptSide reading;
        reading.Run(script, false);
        ScriptSide regions;
        regions.Run(script, true);
        EXPECT_EQ(regions.Outcome(), reading.Outcome()) << script;
        EXPECT_EQ(OutcomeWithPauses(script, 200), reading.Outcome()) << script;
        EXPECT_GT(regions.parser.StraightStatements(), 1000u) << script;
    }
}

// An Integer variable's value as a run's end state shows it ("a[1]:1=7 ").
long EndValue(const std::string& endState, const std::string& name) {
    const std::string key = " " + name + "[1]:1=";
    const std::size_t at = endState.find(key);
    return at == std::string::npos ? -1 : std::strtol(endState.c_str() + at + key.size(), nullptr, 10);
}

// A stop lands before whichever step a straight pass has reached, not only before its first: of
// runs stopped at moments the pass cannot foresee, some stop part way through a pass, and every
// one stops between two steps, in the body or in branches of Ifs inside Ifs.
TEST(RegionStraight, AStopLandsBeforeAnyStep) {
    const char* const scripts[] = {
        "Integer i, a, b, c : Print 0 : For i = 1 To 2000000000 : a = a + 1 : b = b + 1 : c = c + 1 : Next",
        "Integer i, a, b, c : Print 0 : For i = 1 To 2000000000 : If i Mod 3 > 0 Then a = a + 1 : If i Mod 2 > 0 Then b = b + "
        "1 Else b = b + 1 Endif Else a = a + 1 : b = b + 1 Endif : c = c + 1 : Next",
    };
    for (const char* script : scripts) {
        int partWay = 0;
        for (int run = 0; run < 30; ++run) {
            ScriptSide side;
            ASSERT_TRUE(side.Start(script, true));
            // The loop starts once the 0 is printed.
            for (int waited = 0; side.view.Pane().empty() && waited < 10000; ++waited)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            std::this_thread::sleep_for(std::chrono::milliseconds(1 + run % 7));
            side.view.stopRequested = 1;
            side.parser.WaitFinished();
            const long a = EndValue(side.parser.endState, "a");
            const long b = EndValue(side.parser.endState, "b");
            const long c = EndValue(side.parser.endState, "c");
            EXPECT_TRUE(a >= b && b >= c && a - c <= 1 && c > 0) << a << " " << b << " " << c << " " << script;
            partWay += a != c ? 1 : 0;
            EXPECT_GT(side.parser.StraightStatements(), 0u) << script;
        }
        EXPECT_GT(partWay, 0) << script;
    }
}

}  // namespace

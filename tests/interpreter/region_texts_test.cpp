// Strings and Floats in compiled regions: String elements compared and assigned where their texts
// are kept, Float comparisons in And/Or chains, each against the word-by-word reading, where an
// index or a type goes wrong at a later pass too.
#include <gtest/gtest.h>

#include <string>

#include "tests/interpreter/region_rows.h"

namespace {

const CompiledRow kRows[] = {
    {"insertion sort of string elements",
     "Integer i, j, going : String a[6], t : a[1] = 'pear' : a[2] = 'fig' : a[3] = 'apple' : a[4] = 'kiwi' : a[5] = 'fig' "
     ": a[6] = 'Date' : For i = 2 To 6 : t = a[i] : j = i - 1 : going = 1 : While going = 1 : If a[j] > t Then a[j + 1] "
     "= a[j] : j = j - 1 : If j < 1 Then going = 0 Endif Else going = 0 Endif : Wend : a[j + 1] = t : Next : For i = 1 "
     "To 6 : Print a[i] : Next",
     "Date apple fig fig kiwi pear ", 40},
    {"elements compared each way with texts and variables",
     "Integer i, k : String s, a[3] : a[1] = 'b' : a[2] = 'bb' : a[3] = '' : For i = 1 To 3 : s = a[i] : If a[i] = s "
     "And a[i] <> 'b' Then k = k + 1 Endif : If 'bb' >= a[i] Or a[i] < a[1] Then k = k + 10 Endif : If a[i] <= a[4 - "
     "i] Then k = k + 100 Endif : Next : Print k",
     "232 ", 15},
    {"an element assigned to itself and to its neighbour",
     "Integer i : String a[4] : a[1] = 'x' : For i = 1 To 3 : a[i] = a[i] : a[i + 1] = a[i] + i : Next : Print a[4]",
     "x123 ", 6},
    {"a string element index past the bound at a later pass",
     "Integer i, k : String a[3], t : For i = 1 To 5 : If a[i] = t Then k = k + 1 Endif : Next",
     ErrorPane("", " Runtime Error : Array Bound OUT OF RANGE.   :  4 > 3 (U.B)) "), 3},
    {"a string assigned from an element past the bound",
     "Integer i : String a[3], t : For i = 3 To 0 Step -1 : t = a[i] : Next", ErrorPane("", " Runtime Error : Array Bound OUT OF RANGE.   :  0 < 1 (L.B) "), 3},
    {"a string element compared with a number at a later pass",
     "Integer i, j, n, a[3] : String s[3] : n = 7 : For i = 1 To 3 : If s[i] = '' Then a[i] = i Endif : For j = 9 - n "
     "To i : If s[j] = a[j] Then a[1] = 0 Endif : Next : Next",
     ErrorPane("", " Syntax Error : Can not Compare STRINGS with NUMERICALS."), 2},
    {"a string element given a number", "Integer i : String a[3] : For i = 1 To 3 : a[i] = i * 1.5 : Next : Print a[2]",
     "3 ", 3},
    // The element's record moves when the caller has declared one more.
    {"string elements whose records move",
     "Integer i : Subroutin S : String u[2] : u[1] = 'q' + i : If u[1] > u[2] Then Print u[1] Endif : EndSub : "
     "Subroutin T : String w : w = 'z' : Call S : EndSub : For i = 1 To 2 : Call S : Call T : Next",
     "q1 q1 q2 q2 ", 6},
    {"float comparisons in and or chains",
     "Integer i, k : Float x, y : For i = 1 To 40 : x = i * 0.1 : y = 4.0 - x : If x * x + y * y <= 8.5 And i < 30 Or "
     "NOT x > 0.35 And y >= 3.5 Then k = k + i Endif : Next : Print k",
     "220 ", 80},
    // A local's record holds a Float in one call and an Integer in the other.
    {"a float target whose record changes its type",
     "Integer i : Subroutin S : Float x : x = x + i * 0.75 : Print x : EndSub : Subroutin T : Integer e : Call S : EndSub "
     ": For i = 1 To 3 : Call S : Call T : Next",
     "0.75 0.75 1.5 1.5 2.25 2.25 ", 6},
    // Float operands in pairs, each order and operator, in expressions long enough for typed code.
    {"float operand pairs in long expressions",
     "Integer i : Float x, y, z : For i = 1 To 5 : x = i * 0.5 : y = 10.5 - x * 2.0 + (1.5 - x) * (x - 0.25) - (3.0 * x "
     "+ x * 0.5) : z = (x + y) * (y - x) - (x * y + 2.5) + (0.75 + x) / (y + 1.0) : Print y : Print z : Next",
     "8 57.38889 5.375 20.29013 2.25 -2.370192308 -1.375 -9.192708333 -5.5 34.52778 ", 15},
    // The name an expression was typed for is a Float in one call and an Integer in the other.
    {"a typed expression whose name changes its type between calls",
     "Integer i : Float y : Subroutin S : y = x * 2 + x * 3 + 1 : EndSub : Subroutin A : Float x : x = 1.5 + i : Call S "
     ": EndSub : Subroutin B : Integer x : x = 2 + i : Call S : EndSub : For i = 1 To 3 : Call A : Print y : Call B : "
     "Print y : Next",
     "13.5 16 18.5 21 23.5 26 ", 12},
    // A text with names in it given to a String: the names' lookups stand after the loop.
    {"a text with names given to a string in a loop", "Integer i : String s : Print 0 : For i = 1 To 3 : s = 'zz Println' "
     ": Next", "0 ", 3},
    {"whole numbers of floats joined to texts",
     "Integer i : String t : For i = 1 To 4 : t = t + INT(i * 0.75) + RGB(i * 0.6, 1.5, 2.5) : Next : Print t", "", 4},
    {"mandelbrot's condition", "Integer it : Float zx, zy, t : zx = 0.1 : zy = 0.3 : While zx * zx + zy * zy <= 4.0 And "
     "it < 50 : t = zx * zx - zy * zy + 0.26 : zy = 2.0 * zx * zy + 0.1 : zx = t : it = it + 1 : Wend : Print it : Print zx",
     "50 0.28728 ", 100},
};

TEST(RegionTexts, LeaveWhatReadingWordByWordLeaves) { ExpectCompiledAsReading(kRows); }

}  // namespace

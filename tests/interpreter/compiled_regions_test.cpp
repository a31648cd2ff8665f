// Compiled regions against the word-by-word reading: the same block executed again and again by
// two interpreters, one compiling it and one not, must leave everything the same (scan position,
// history, word, token, variables, messages), and the compiled nodes must actually run where they
// are meant to.
#include <gtest/gtest.h>

#include <string>

#include "interpreter/tessel_parser.h"
#include "interpreter/value.h"
#include "tests/interpreter/body_comparison.h"
#include "tests/interpreter/script_comparison.h"
#include "tests/interpreter/test_parser.h"

namespace {

struct Case {
    const char* name;
    const char* body;
    bool compiled;  // a statement runs as a compiled node
};

// Runs the body three times on both sides; `between` changes both sides before the last time.
void ExpectSameAsReading(const Case& c, void (*between)(TestParser&) = nullptr) {
    BodySide compiling(true, c.body);
    BodySide reading(false, c.body);
    for (int pass = 0; pass < 3; ++pass) {
        if (pass == 2 && between != nullptr) {
            between(compiling.parser);
            between(reading.parser);
        }
        EXPECT_EQ(compiling.Execute(), reading.Execute()) << c.name << ", pass " << pass;
    }
    EXPECT_EQ(reading.parser.CompiledStatements(), 0u) << c.name;
    EXPECT_EQ(compiling.parser.CompiledStatements() > 0, c.compiled) << c.name;
}

TEST(CompiledRegions, LeavesWhatReadingWordByWordLeaves) {
    const Case cases[] = {
        {"loop body", "x = x + i * 2 : Next", true},
        // Infinities meet and make NaNs, which the typed code and the reading pass on alike.
        {"NaNs from infinities",
         "g[3] = (n - 7) - -g[3] + g[3] - g[3] + g[3] + g[3] + g[3] : g[3] = g[3] + g[3] + ((g[3]) + g[3] + g[3] + "
         "g[3] Mod (n - 7) Mod f + g[3]) + g[3] + g[3] + g[3] + i : Next",
         true},
        {"integer arithmetic", "i = i * 3 - 4 / 2 ; Next", true},
        {"signs and parentheses", "i = -i * (3 - x) / 2 : Next", true},
        {"nested parentheses", "x = ((((i + 1)) * (x))) : Next", true},
        {"plus sign", "i = +i - (-2) : Next", true},
        {"integer division truncates", "i = -7 / 2 : Next", true},
        {"float division", "x = 1 / 3 : Next", true},
        {"mod of integers", "i = i Mod 4 : Next", true},
        {"mod of floats", "x = x Mod 0.75 : Next", true},
        {"mod by zero", "i = i Mod n : Next", true},
        {"mod of signs", "i = (n - i) Mod 2 : x = i Mod (n - 2) : f = (n - 2147483647 - 1) Mod (n - 1) : Next", true},
        {"wrapping sum", "i = 2147483647 + i : Next", true},
        {"saturated literal", "i = i * 99999999999 : Next", true},
        {"float into integer", "i = x * 3 : Next", true},
        {"number into string", "s = i * 2 + 0.5 : Next", true},
        {"odd number word", "x = 1.5.2 + 1 : Next", true},
        {"no separator before the closing word", "i = i + 1 Next", true},
        {"line breaks and tabs", "x =\n\tx +\r\n i\n:\n\tNext", true},
        {"several statements", "i = i + 1 : x = x * 2 ; : s = i : Next", true},
        {"a later statement fails", "i = i + 1 : f = i / n : Next", true},
        {"after one that is read", "i = a[1] : x = x + 1 : Next", true},
        {"array element target", "a[2] = i + 1 : x = i : Next", true},
        {"declared in the body", "Integer k : k = i + 1 : x = k : Next", true},
        {"inside a branch", "If i > 0 Then x = x + 1 : i = i - 1 Endif : Next", true},
        {"braced body", "{ x = x + 1 : i = i * 2 } Next", false},
        {"brace missing before the closing word", "{ x = x + 1 : i = i * 2 Next", false},
        {"ended by a misplaced word", "i = i + 1 Endif", true},
        {"ended by a stray parenthesis", "i = i + 1 ) : Next", true},
        {"unknown word after", "x = 1 : foo Next", true},
        {"separators only", ": ; : Next", false},
        {"starts with a separator", ": x = x + 1 : Next", true},
        {"starts with a keyword", "If 1 Then x = x + 1 Endif : i = i + 1 : Next", true},
        {"empty body", "Next", false},
        {"empty text", "", false},
        {"integer division by zero", "i = i / n : Next", false},
        {"float division by zero", "x = x / f : Next", false},
        {"integer by zero float", "i = i / f : Next", false},
        {"array element operand", "i = a[2] + 1 : Next", true},
        {"element index from an element", "a[a[1] + 1] = a[i Mod 3 + 1] * 2 : Next", true},
        {"element below the bounds", "i = a[i - 7] : Next", false},
        {"element above the bounds", "a[i] = 1 : Next", false},
        {"float index", "i = a[1.5] : Next", false},
        {"float and string elements", "g[3] = g[1] + a[3] : t[1] = t[2] + g[3] : x = g[2] : Next", true},
        {"string element into a number", "i = t[2] : g[1] = t[1] : Next", true},
        {"index of a scalar", "i = x[1] : Next", false},
        {"array without index", "i = a + 1 : Next", false},
        {"matrix elements", "m[1][2] = m[2][1] + x * 0.5 : x = m[1][2] : Next", true},
        {"matrix element outside", "x = m[3][1] : Next", false},
        {"matrix element targets", "m[i - 6][2] = i * 0.5 : m[2][2] = m[1][2] + 1 : m[1][3] = 1 : Next", true},
        {"text into a matrix element", "m[1][1] = s : Next", false},
        {"matrix row target", "m[1] = 2 : Next", false},
        {"matrix row", "x = m[1] : Next", false},
        {"matrix target", "m = 1 : Next", false},
        {"power", "i = i ^ 2 : Next", true},
        {"string operand", "i = s + 1 : Next", true},
        {"text and numbers", "s = 'item ' + i + x : s = i + \"  and \" + s : Next", true},
        {"text with escapes and words", "s = 'a\\tb Next If' + s ; Next", true},
        {"text minus a number", "s = 'a' - 1 : Next", false},
        {"negated text", "s = -s : Next", false},
        {"unclosed text", "s = 'a : Next", false},
        {"conditions", "If i > x * 2 Then x = x + 1 Else i = i - 1 Endif : Next", true},
        {"text condition", "If s + 'c' = 'abc' Then s = s + 'd' Endif : Next", true},
        {"not and chains", "If NOT i = 7 And x < 3 Or s <> '' Then i = 1 Endif : Next", true},
        {"while loop", "While i > 5 : i = i - 1 : Wend : Next", true},
        {"text compared with a number", "If s = 1 Then x = 1 Endif : Next", false},
        {"chained conditions", "If i > 1 And NOT x = 2.5 Or s = 'ab' And i Then x = x + 1 Endif : Next", true},
        {"a chain grouped from the right", "If n And x Or i Then x = x + 1 Endif : Next", true},
        {"a condition ending at a name", "If i y : Next", false},
        {"a condition over a matrix", "If m Then x = 1 Endif : Next", false},
        {"lone operands", "If 2 Then x = x + i Endif : While f < 1.5 : f = f + 1 : Wend : i = a : Next", true},
        {"skipped branches", "If i < 0 Then b = c + 'x y' : If 1 Then z Endif Else x = x + 1 Endif : Next", true},
        {"skipped comment", "If i < 0 Then /* c */ x = 1 Endif : Next", true},
        {"skipped loop", "While i < 0 : foo bar : Wend : Next", true},
        {"skipped to the end", "If i < 0 Then x = 1 : Next", true},
        {"lines instead of separators", "x = x + 1\n i = i * 2\n s = s + i\nNext", true},
        {"a number after", "x = i 5 Next", true},
        {"an unknown word after", "x = i foo Next", true},
        {"matrix operand", "x = m : Next", false},
        {"unknown name", "i = j + 1 : Next", false},
        {"comment inside", "i = i /* c */ + 1 : Next", false},
        {"built-in value", "i = True + 1 : Next", false},
        {"end of text after", "i = i + 1", false},
        {"unclosed parenthesis", "i = (i + 1 : Next", false},
        {"two signs", "i = - -2 : Next", false},
        {"missing operand", "i = i + : Next", false},
        {"missing equals", "i i + 1 : Next", false},
        {"nothing after equals", "i = : Next", false},
        // A command that only sets the variable table's grow step; a value that is no number is reported.
        {"grow step", "BiggestArray = i * 3 + x : i = i + 1 : Next", true},
        {"grow step below one", "BiggestArray = 1 - i : Next", true},
        {"grow step out of range", "BiggestArray = x * 99999999999 Next", true},
        {"grow step from an element", "BiggestArray = a[i Mod 3 + 1] + 7 ; Next", true},
        {"grow step from a text", "BiggestArray = s : Next", false},
        {"grow step from text and number", "BiggestArray = i + 'b' : Next", false},
        {"grow step from a matrix", "BiggestArray = m : Next", false},
        {"grow step divided by zero", "BiggestArray = i / n : Next", false},
        {"grow step without equals", "BiggestArray i : Next", false},
        {"grow step with an index", "BiggestArray[1] = i : Next", false},
        {"grow step without a value", "BiggestArray = : Next", false},
    };
    for (const Case& c : cases) ExpectSameAsReading(c);
}

TEST(CompiledRegions, FollowsTheNamesDeclaredSinceLastTime) {
    // A newer declaration of an operand's name is what the next pass reads.
    ExpectSameAsReading({"shadowed by a float", "x = x + i * 2 : Next", true},
                        [](TestParser& p) { p.DeclareVariable("i", kTypeFloat, 1, 0, 0); });
    ExpectSameAsReading({"shadowed by a string", "x = x + i * 2 : Next", true},
                        [](TestParser& p) { p.DeclareVariable("i", kTypeString, 1, 0, 0); });
    ExpectSameAsReading({"shadowed by an array", "x = x + i * 2 : Next", true},
                        [](TestParser& p) { p.DeclareVariable("i", kTypeInteger, 4, 0, 0); });
    ExpectSameAsReading({"declared where unknown before", "i = j + 1 : Next", false},
                        [](TestParser& p) { p.DeclareVariable("j", kTypeInteger, 1, 0, 0); });
    ExpectSameAsReading({"shadowed by an empty matrix", "m[1][1] = i : x = m[1][1] : Next", true},
                        [](TestParser& p) { p.DeclareVariable("m", kTypeMatrix, 1, 0, 0); });
    ExpectSameAsReading({"dropped again", "x = x + i * 2 : Next", true}, [](TestParser& p) {
        p.DeclareVariable("i", kTypeFloat, 1, 0, 0);
        p.CutVariables(p.variables.GetCount() - 1);
    });
    // Words inside a text are looked up as they are read: as variables, then as extension words.
    ExpectSameAsReading({"a word of a text declared", "s = 'a b' + i : Next", true},
                        [](TestParser& p) { p.DeclareVariable("b", kTypeInteger, 1, 0, 0); });
    ExpectSameAsReading({"a word of a text an extension word", "s = 'a b c' + i : Next", true}, [](TestParser& p) {
        p.objectKeywords["b"] = 171;
        p.objectVariables["a"] = 4;
        p.objectVariables["c"] = 2;
    });
    ExpectSameAsReading({"a skipped word an extension word", "If i < 0 Then c = b : d Endif : Next", true},
                        [](TestParser& p) {
                            p.objectKeywords["d"] = 173;
                            p.objectVariables["b"] = 1;
                        });
    ExpectSameAsReading({"the word after an extension word", "x = i b Next", true},
                        [](TestParser& p) { p.objectKeywords["b"] = 172; });
    // Many names: the name index grows and moves, and every position's slot is looked up anew.
    ExpectSameAsReading({"name index rebuilt", "x = x + i * 2 : Next", true}, [](TestParser& p) {
        for (int k = 0; k < 200; ++k) p.DeclareVariable(std::string("v").append(std::to_string(k)), kTypeInteger, 1, 0, 0);
    });
}

TEST(CompiledRegions, LeavesLimitsAndFlagsToTheReading) {
    ExpectSameAsReading({"stop requested", "x = x + i * 2 : Next", true},
                        [](TestParser& p) { p.View()->stopRequested = 1; });
    ExpectSameAsReading({"at the nesting limit", "x = x + i * 2 : Next", true},
                        [](TestParser& p) { p.nestingDepth = CTesselParser::kMaxNestingDepth - 1; });
    ExpectSameAsReading({"just under the nesting limit", "x = (x + i) * 2 : Next", true},
                        [](TestParser& p) { p.nestingDepth = CTesselParser::kMaxNestingDepth - 3; });
}

TEST(CompiledRegions, NearTheEndOfTheHistory) {
    // Separators before the assignment bring its words to the history's last entries.
    for (int spare : {2, 5, 7, 8, 9, 20}) {
        std::string filler;
        const int words = CTesselParser::kHistoryLast - spare;
        filler.reserve(static_cast<std::size_t>(words) * 2);
        for (int k = 0; k < words; ++k) filler += ": ";
        const std::string text = filler + "x = x + i * 2 : Next";
        BodySide compiling(true, text);
        BodySide reading(false, text);
        for (int pass = 0; pass < 2; ++pass)
            EXPECT_EQ(compiling.Execute(), reading.Execute()) << "spare " << spare << ", pass " << pass;
    }
}

TEST(CompiledRegions, ScriptsRunAsWithoutIt) {
    const char* scripts[] = {
        "Integer i : Float x : For i = 1 To 1000 : x = x + i * 2 : Next : Print x",
        "Integer i, t : For i = 1 To 50 : t = t + i Mod 7 - i / 3 : Next : Print t",
        "Integer i : Float x : For i = 1 To 5 : Float i : i = 0.5 : x = x + i : Next : Print x",
        ("Integer d : Subroutin S : Integer d : d = d + 10 : Print d : EndSub : d = 1 : Call S : d = d + 1 : "
         "Call S : Print d"),
        "Integer i, k : For i = 1 To 10 : k = k + 100 / (5 - i) : Next : Print k",
        "Integer i : Float x : String s : For i = 1 To 3 : s = x * i + 0.25 : x = x + 1 : Print s : Next",
        "Integer i, n : n = 3 : While n > 0 : n = n - 1 : i = i + n * n : Wend : Print i",
        // The benchmark's kinds of script, small.
        ("Integer n, i, j, count\n n = 300\n Integer flags[300]\n For i = 2 To n\n If flags[i] = 0 Then\n"
         " count = count + 1\n j = i + i\n While j <= n\n flags[j] = 1\n j = j + i\n Wend\n Endif\n Next\n"
         " Print count"),
        ("Integer n, m, steps, total\n For n = 1 To 30\n m = n\n steps = 0\n While m <> 1\n If m Mod 2 = 0 Then\n"
         " m = m / 2\n Else\n m = 3 * m + 1\n Endif\n steps = steps + 1\n Wend\n total = total + steps\n Next\n"
         " Print total"),
        ("Integer i, hits\n String s\n For i = 1 To 30\n s = \"item \" + i\n If s = \"item 7\" Then\n"
         " hits = hits + 1\n Endif\n Next\n Print s + \" \" + hits"),
        ("Matrix m[4][5]\n Float v[5]\n Integer r, i, j\n For r = 1 To 3\n For i = 1 To 4\n For j = 1 To 5\n"
         " m[i][j] = m[i][j] + v[j] * 0.5\n Next\n v[i] = v[i] + 1\n Next\n Next\n Print m[4][5] + v[1]"),
        "Integer i, k : Subroutin S : k = k + i : EndSub : For i = 1 To 20 : Call S : Next : Print k",
        "Integer a[3] : a[2] = 5 : Print a[a[2] - 3] : Print a[4]",
    };
    for (const char* script : scripts) {
        ScriptSide compiling;
        ScriptSide reading;
        EXPECT_EQ(compiling.Run(script, true), reading.Run(script, false)) << script;
        EXPECT_EQ(reading.parser.CompiledStatements(), 0u) << script;
    }
    ScriptSide loop;
    loop.Run(scripts[0], true);
    EXPECT_EQ(loop.view.Pane(), "1001000 ");
    EXPECT_GE(loop.parser.CompiledStatements(), 990u);
}

}  // namespace

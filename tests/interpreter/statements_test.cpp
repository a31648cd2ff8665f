// Statements and blocks: what scripts do in a run, what the check pass reports, and skipped text
// nested deeper than any stack. Expected texts are the language's own messages and end lines.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "interpreter/tessel_parser.h"
#include "interpreter/value.h"
#include "tests/interpreter/test_parser.h"

namespace {

// The check pass and, when it passes, the run; the final pane. A failed check is marked so that
// its message cannot pass for a run's output.
std::string RunPrinting(const std::string& text) {
    PrintingHarness h;
    if (!h.Check(text)) return "CHECK FAILED: " + h.view.Pane();
    return h.RunChecked();
}

// The pane after a check pass; ok receives Compile's result.
std::string CheckPane(const std::string& text, int* ok) {
    PrintingHarness h;
    *ok = h.Check(text);
    return h.view.Pane();
}

std::string EndLine(const std::string& line) { return line + "\r\n"; }

std::string Expected(const std::string& word) { return "   Expected :  \"  " + word + "  \"   "; }

struct RunCase {
    const char* name;
    const char* script;
    std::string pane;
};

// ---------------------------------------------------------------------------------------------

TEST(StatementRuns, PrintWhatTheStatementsDo) {
    const RunCase cases[] = {
        {"for up leaves end+1", "Integer i : For i = 1 To 3 : Print i : Next : Print i", "1 2 3 4 "},
        {"then taken", "If 1 = 1 Then Print 'a' Else Print 'b' Endif Print 'c'", "a c "},
        {"nested if in skipped branch",
         "If 0 Then If 1 Then Print 'x' Else Print 'y' Endif Print 'z' Else Print 'e' Endif", "e "},
        {"skipped branch does not evaluate its words", "If 0 Then Print 1 / 0 Endif Print 'ok'", "ok "},
        {"call runs the body", "Subroutin S : Print 'in' : EndSub : Print 'a' : Call S : Print 'b'", "a in b "},
        {"exitsub inside a loop leaves the subroutine",
         "Subroutin S : Integer k : For k = 1 To 5 : Print k : If k = 2 Then ExitSub Endif : Next : Print 'x' : "
         "EndSub : Call S : Print 'back'",
         "1 2 back "},
        {"exitsub after a nested call returned",
         "Subroutin A : Print 'a' : EndSub : Subroutin B : Call A : ExitSub : Print 'no' : EndSub : Call B : "
         "Print 'b'",
         "a b "},
        {"a call after an exitsub runs its blocks",
         "Subroutin E : ExitSub : EndSub : Subroutin R : If 1 Then Print 'x' Endif : Print 'y' : EndSub : Call E : "
         "Call R",
         "x y "},
        {"recursion in a run",
         "Integer d : Subroutin R : d = d + 1 : If d < 5 Then Call R Endif : EndSub : Call R : Print d", "5 "},
        {"float to integer truncates toward zero", "Integer n : n = -2.7 : Print n", "-2 "},
        {"float out of range gives the lowest Integer", "Integer n : n = 2147483647.0 * 4 : Print n", "-2147483648 "},
        {"exit in nested loops", "Integer i : Print 1 : For i = 1 To 3 : While 1 : Exit : Wend : Next : Print 2",
         "1 \r\n" + EndLine("Program Terminated  By \"Exit\".")},
        {"stopprogram in a subroutine", "Subroutin S : StopProgram : EndSub : Call S : Print 2",
         EndLine("Program Terminated  By \"StopProgram\".")},
        {"endless recursion", "Subroutin R : Call R : EndSub : Call R", RunErrorPane(" Runtime Error : Nesting Too Deep.")},
        {"step zero fails in the run", "Integer i : For i = 1 To 2 Step 0 : Next",
         RunErrorPane(" Syntax Error : Can not Execute \"For\" with \"Step\" = 0.")},
    };
    for (const auto& c : cases) EXPECT_EQ(RunPrinting(c.script), c.pane) << c.name;
}

// ---------------------------------------------------------------------------------------------

struct CheckCase {
    const char* name;
    const char* script;
    std::string pane;  // the message the failed check pass leaves
};


TEST(StatementChecks, FailWithTheirMessage) {
    const CheckCase cases[] = {
        {"for", "Integer i : For i = 1 To 3 : i = 1", " Syntax Error : \"For\" without \"Next\"."},
        {"if", "If 1 Then Integer a", " Syntax Error : \"If\" without \"Endif\"."},
        {"while", "While 1 : Integer a", " Syntax Error : \"While\" without \"Wend\"."},
        {"braced if missing brace", "If 1 Then { Integer a Endif", Expected("}")},
        {"next", "Next", " Syntax Error : \"Next\" without \"For\"."},
        {"endif", "Integer a : Endif", " Syntax Error : \"Endif\" without \"If\"."},
        {"closing brace", "Integer a : } Integer b", " Syntax Error : \"End_Block\" without \"Start_Block\"."},
        {"unknown word", "foo bar", " Syntax Error : Unknown word."},
        {"opening brace not first", "Integer a : { Integer b }", " Syntax Error : The word does not mean here."},
        {"known word as a name", "Integer a, Sleep", " Runtime Error : The KNOWN words can not be variables."},
        {"float array bound", "Integer a[1.5]", " Syntax Error : Array Bound Must Be INTEGERS."},
        {"matrix index not integer", "Matrix m[2][2] : m[1.5] = 3", " Syntax Error : Expression must be integer."},
        {"for without variable", "For x = 1 To 2 : Next", " Syntax Error : Unknown Variable."},
        {"for missing to", "Integer i : For i = 1 Till 2 : Next", Expected("To")},
        {"string loop variable", "String s : For s = 1 To 2 : Next",
         " Syntax Error : Can not Execute \"For\" with STRINGS."},
        {"if missing then", "If 1 Print 2 Endif", Expected("Then")},
        {"else branch checked although condition true", "If 1 Then Integer a Else foo bar Endif",
         " Syntax Error : Unknown word."},
        {"then-branch variable gone after Endif",
         "Subroutin S : EndSub : If 1 Then Integer q : Call S Endif : q = 1", " Syntax Error : Unknown word."},
    };
    for (const auto& c : cases) {
        int ok = -1;
        EXPECT_EQ(CheckPane(c.script, &ok), c.pane) << c.name;
        EXPECT_EQ(ok, 0) << c.name;
    }
}

TEST(StatementChecks, ScriptsThatPass) {
    const char* scripts[] = {
        "Integer i : For i = 1 To 2 Step 0 : Next",           // a zero step is a run-time error
        "Integer i : For i = 2 To 1 : foo bar : Next",        // a skipped body is not checked
        "If 1 Then { Integer a } Endif",                       // braces
        "Integer i : For i = 1 To 2 : Integer t : Next : For i = 1 To 2 : Integer t : Next",
        "Matrix m[2][2] : m = [1, 2; 3, 4] : m[1] = [5, 6] : m[2][2] = 7",
        "Integer a : foo",                                     // a stray last word
        "Subroutin A : Call B : EndSub : Subroutin B : Call A : EndSub : Call A",  // mutual recursion
        "// only a comment",
    };
    for (const char* script : scripts) {
        int ok = -1;
        const std::string pane = CheckPane(script, &ok);
        EXPECT_EQ(ok, 1) << script << " -> " << pane;
    }
}

TEST(StatementChecks, CallGraphThatFansOutStillFinishes) {
    // Thirty subroutines, each calling the next twice: 2^30 call paths if every one were followed.
    std::string script;
    for (int i = 0; i < 30; ++i) {
        script += "Subroutin S" + std::to_string(i) + " : ";
        if (i < 29) script += "Call S" + std::to_string(i + 1) + " : Call S" + std::to_string(i + 1) + " : ";
        script += "EndSub\n";
    }
    script += "Call S0";
    int ok = -1;
    CheckPane(script, &ok);
    EXPECT_EQ(ok, 1);
}

std::string WordAfter(TestParser& p) { return p.ReadToken() == token::kEnd ? std::string() : p.word; }

TEST(Skippers, DeeplyNestedSkippedTextDoesNotExhaustTheStack) {
    std::string text;
    for (int i = 0; i < 50000; ++i) text += "If ";
    for (int i = 0; i < 50000; ++i) text += "Endif ";
    text += "Endif tail";
    RecordingView view;
    TestParser p(&view);
    p.PrepareScan(text, 1);
    EXPECT_EQ(p.SkipToEndif(), 1);
    EXPECT_EQ(WordAfter(p), "tail");
    p.PrepareScan(text, 1);
    int found = -1;
    EXPECT_EQ(p.SkipToElseOrEndif(&found), 1);
    EXPECT_EQ(found, 0);
}

}  // namespace

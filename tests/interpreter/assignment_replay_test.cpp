// Replayed assignments against the word-by-word reading: the same statement executed again and
// again by two interpreters, one replaying and one not, must leave everything the same (scan
// position, history, word, token, variables, messages), and the replay must actually happen
// where it is meant to.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "interpreter/matrix.h"
#include "interpreter/tessel_parser.h"
#include "interpreter/value.h"
#include "tests/interpreter/test_parser.h"

namespace {

// Everything a statement can leave behind, as text, so that a difference shows where it is.
std::string Describe(TestParser& p, RecordingView& view, int result) {
    std::string out = "result " + std::to_string(result) + " position " + std::to_string(p.position) +
                      " tokens " + std::to_string(p.tokenCount) + " token " + std::to_string(p.currentToken) +
                      " variable " + std::to_string(p.variableIndex) + " state " + std::to_string(p.runState) +
                      " execute " + std::to_string(p.execute) + " word '" + p.word + "' error '" + p.errorText + "'\n";
    const int shown = std::min(p.tokenCount + 2, CTesselParser::kHistorySize);
    for (int i = 0; i < shown; ++i)
        out += " [" + std::to_string(p.tokenStart[i]) + "," + std::to_string(p.tokenLength[i]) + "]";
    out += "\n";
    for (int i = 0; i < p.variables.GetCount(); ++i) {
        const Value& v = p.variables[i];
        out += v.name + ":" + std::to_string(v.type) + "=" + ValueToText(v, true) + " ";
    }
    out += "\npane '" + view.Pane() + "'";
    for (const auto& [start, length] : view.Selections())
        out += " sel " + std::to_string(start) + "+" + std::to_string(length);
    return out;
}

struct Side {
    RecordingView view;
    TestParser parser{&view};

    explicit Side(bool replay, const std::string& text) {
        parser.sleepScale = 0;
        parser.statementReplay = replay;
        parser.PrepareScan(text, 1);
        parser.DeclareVariable("i", kTypeInteger, 1, 0, 0);
        parser.DeclareVariable("x", kTypeFloat, 1, 0, 0);
        parser.DeclareVariable("s", kTypeString, 1, 0, 0);
        parser.DeclareVariable("n", kTypeInteger, 1, 0, 0);
        parser.DeclareVariable("f", kTypeFloat, 1, 0, 0);
        parser.DeclareVariable("a", kTypeInteger, 3, 0, 0);
        parser.DeclareVariable("m", kTypeMatrix, 1, 2, 2);
        parser.variables[parser.FindVariable("i")].value.integer = 7;
        parser.variables[parser.FindVariable("x")].value.number = 2.5;
        parser.variables[parser.FindVariable("s")].SetString("ab");
        const int a = parser.FindVariable("a");
        for (int k = 0; k < 3; ++k) parser.variables[a + k].value.integer = k + 1;
    }

    // The statement from the text's start, as a block runs it: target word, element, assignment.
    std::string Execute() {
        parser.RestorePosition(ScanMark{0, 0});
        parser.runState = kRunning;
        parser.execute = 1;
        parser.errorText.clear();
        view.ClearRecords();
        parser.ReadToken();
        const int record = parser.EvaluateArrayIndex();
        const int result = record ? parser.ExecuteAssignment(record - 1) : -1;
        return Describe(parser, view, result);
    }
};

struct Case {
    const char* name;
    const char* statement;
    bool replays;
};

// Runs the statement three times on both sides; `between` changes both sides before the last time.
void ExpectSameAsReading(const Case& c, void (*between)(TestParser&) = nullptr) {
    Side replaying(true, c.statement);
    Side reading(false, c.statement);
    for (int pass = 0; pass < 3; ++pass) {
        if (pass == 2 && between != nullptr) {
            between(replaying.parser);
            between(reading.parser);
        }
        EXPECT_EQ(replaying.Execute(), reading.Execute()) << c.name << ", pass " << pass;
    }
    EXPECT_EQ(reading.parser.ReplayedAssignments(), 0u) << c.name;
    EXPECT_EQ(replaying.parser.ReplayedAssignments() > 0, c.replays) << c.name;
}

TEST(AssignmentReplay, LeavesWhatReadingWordByWordLeaves) {
    const Case cases[] = {
        {"loop body", "x = x + i * 2 : Next", true},
        {"integer arithmetic", "i = i * 3 - 4 / 2 ;", true},
        {"signs and parentheses", "i = -i * (3 - x) / 2 :", true},
        {"nested parentheses", "x = ((((i + 1)) * (x))) :", true},
        {"plus sign", "i = +i - (-2) :", true},
        {"integer division truncates", "i = -7 / 2 :", true},
        {"float division", "x = 1 / 3 :", true},
        {"mod of integers", "i = i Mod 4 :", true},
        {"mod of floats", "x = x Mod 0.75 :", true},
        {"mod by zero", "i = i Mod n :", true},
        {"wrapping sum", "i = 2147483647 + i :", true},
        {"saturated literal", "i = i * 99999999999 :", true},
        {"float into integer", "i = x * 3 :", true},
        {"number into string", "s = i * 2 + 0.5 :", true},
        {"odd number word", "x = 1.5.2 + 1 :", true},
        {"ended by a block word", "i = i + 1 Endif", true},
        {"ended by a stray parenthesis", "i = i + 1 ) :", true},
        {"ended by the next statement's word", "i = 1 Next", true},
        {"line breaks and tabs", "x =\n\tx +\r\n i\n:", true},
        {"integer division by zero", "i = i / n :", false},
        {"float division by zero", "x = x / f :", false},
        {"integer by zero float", "i = i / f :", false},
        {"array element operand", "i = a[2] + 1 :", false},
        {"array element target", "a[2] = i + 1 :", true},
        {"power", "i = i ^ 2 :", false},
        {"string operand", "i = s + 1 :", false},
        {"matrix operand", "x = m :", false},
        {"unknown name", "i = j + 1 :", false},
        {"comment inside", "i = i /* c */ + 1 :", false},
        {"built-in value", "i = True + 1 :", false},
        {"end of text after", "i = i + 1", false},
        {"unclosed parenthesis", "i = (i + 1 :", false},
        {"two signs", "i = - -2 :", false},
        {"missing operand", "i = i + :", false},
        {"missing equals", "i i + 1 :", false},
        {"nothing after equals", "i = :", false},
    };
    for (const Case& c : cases) ExpectSameAsReading(c);
}

TEST(AssignmentReplay, FollowsTheNamesDeclaredSinceLastTime) {
    // A newer declaration of an operand's name is what the next pass reads.
    ExpectSameAsReading({"shadowed by a float", "x = x + i * 2 :", true},
                        [](TestParser& p) { p.DeclareVariable("i", kTypeFloat, 1, 0, 0); });
    ExpectSameAsReading({"shadowed by a string", "x = x + i * 2 :", true},
                        [](TestParser& p) { p.DeclareVariable("i", kTypeString, 1, 0, 0); });
    ExpectSameAsReading({"shadowed by an array", "x = x + i * 2 :", true},
                        [](TestParser& p) { p.DeclareVariable("i", kTypeInteger, 4, 0, 0); });
    ExpectSameAsReading({"declared where unknown before", "i = j + 1 :", false},
                        [](TestParser& p) { p.DeclareVariable("j", kTypeInteger, 1, 0, 0); });
    ExpectSameAsReading({"dropped again", "x = x + i * 2 :", true}, [](TestParser& p) {
        p.DeclareVariable("i", kTypeFloat, 1, 0, 0);
        p.CutVariables(p.variables.GetCount() - 1);
    });
    // Many names: the name index grows and moves, and every position's slot is looked up anew.
    ExpectSameAsReading({"name index rebuilt", "x = x + i * 2 :", true}, [](TestParser& p) {
        for (int k = 0; k < 200; ++k) p.DeclareVariable("v" + std::to_string(k), kTypeInteger, 1, 0, 0);
    });
}

TEST(AssignmentReplay, LeavesLimitsAndFlagsToTheReading) {
    ExpectSameAsReading({"stop requested", "x = x + i * 2 :", true},
                        [](TestParser& p) { p.View()->stopRequested = 1; });
    ExpectSameAsReading({"at the nesting limit", "x = x + i * 2 :", true},
                        [](TestParser& p) { p.nestingDepth = CTesselParser::kMaxNestingDepth - 1; });
    ExpectSameAsReading({"just under the nesting limit", "x = (x + i) * 2 :", true},
                        [](TestParser& p) { p.nestingDepth = CTesselParser::kMaxNestingDepth - 3; });
}

TEST(AssignmentReplay, NearTheEndOfTheHistory) {
    // The text is preceded by filler words so that the statement's words reach the history's last entries.
    for (int spare : {2, 5, 7, 8, 9, 20}) {
        std::string filler;
        const int words = CTesselParser::kHistoryLast - spare;
        filler.reserve(static_cast<std::size_t>(words) * 2);
        for (int k = 0; k < words; ++k) filler += ": ";
        const std::string text = filler + "x = x + i * 2 :";
        Side replaying(true, text);
        Side reading(false, text);
        for (Side* side : {&replaying, &reading}) {
            for (int pass = 0; pass < 2; ++pass) {
                side->parser.RestorePosition(ScanMark{0, 0});
                for (int k = 0; k < words; ++k) side->parser.ReadToken();
                side->parser.ReadToken();
                const int record = side->parser.EvaluateArrayIndex();
                side->parser.ExecuteAssignment(record - 1);
            }
        }
        EXPECT_EQ(Describe(replaying.parser, replaying.view, 0), Describe(reading.parser, reading.view, 0))
            << "spare " << spare;
    }
}

// Whole scripts: loops, calls and scopes run the same with and without replays.
struct ScriptSide {
    RecordingView view;
    PrintingParser parser{&view};
    std::string Run(const std::string& text, bool replay) {
        parser.statementReplay = replay;
        parser.SetSource(text);
        static const int kOptions[4] = {1, 0, 0, 0};
        if (!parser.Compile(kOptions)) return "CHECK FAILED: " + view.Pane();
        view.running = 1;
        parser.CreateThread();
        parser.WaitFinished();
        return view.Pane();
    }
};

TEST(AssignmentReplay, ScriptsRunAsWithoutIt) {
    const char* scripts[] = {
        "Integer i : Float x : For i = 1 To 1000 : x = x + i * 2 : Next : Print x",
        "Integer i, t : For i = 1 To 50 : t = t + i Mod 7 - i / 3 : Next : Print t",
        "Integer i : Float x : For i = 1 To 5 : Float i : i = 0.5 : x = x + i : Next : Print x",
        "Integer d : Subroutin S : Integer d : d = d + 10 : Print d : EndSub : d = 1 : Call S : d = d + 1 : "
        "Call S : Print d",
        "Integer i, k : For i = 1 To 10 : k = k + 100 / (5 - i) : Next : Print k",
        "Integer i : Float x : String s : For i = 1 To 3 : s = x * i + 0.25 : x = x + 1 : Print s : Next",
        "Integer i, n : n = 3 : While n > 0 : n = n - 1 : i = i + n * n : Wend : Print i",
    };
    for (const char* script : scripts) {
        ScriptSide replaying;
        ScriptSide reading;
        EXPECT_EQ(replaying.Run(script, true), reading.Run(script, false)) << script;
        EXPECT_EQ(reading.parser.ReplayedAssignments(), 0u) << script;
    }
    ScriptSide loop;
    loop.Run(scripts[0], true);
    EXPECT_GE(loop.parser.ReplayedAssignments(), 990u);
}

}  // namespace

// Network members read as operands in loops, branches and called bodies, with compiled regions and
// word by word: both runs must leave the same (pane, highlighted words, run state, error text,
// word history, the extension's lookups, every variable), and the members must run compiled.
#include <gtest/gtest.h>

#include <string>

#include "netscript/loriant_parser.h"
#include "tests/interpreter/script_comparison.h"

namespace {

using NetworkScripts = ScriptComparisonOf<CLoriantParser>;

// The extension without its answers for member operands: every member is left to the reading.
class WithoutMemberOperands : public CLoriantParser {
public:
    using CLoriantParser::CLoriantParser;
    bool ObjectMemberOperand(std::string_view, int, int&, NumberOperand&) override { return false; }
};

struct Row {
    const char* name;
    const char* script;
    const char* pane;  // what the reading prints
    bool compiled;     // a statement with a member runs as a compiled node
};

const char kDivisionByZero[] = "Program Terminated  By ERROR.\r\n\r\n Runtime Error : Divide By ZERO.\r\n";

// Every script ends with its loop, so that the lookups its last pass leaves are what is compared
// (Println, an extension word, looks up a keyword of its own).
const Row kRows[] = {
    {"a member summed in a loop",
     "FF_NeuralNetwork net : Integer i : Float t : net.Bias = 0.5 : Println 1 : For i = 1 To 4 : t = t + net.Bias : "
     "Next",
     "1\r\n", true},
    {"members read anew at every pass",
     "FF_NeuralNetwork net : Integer i, k : For i = 1 To 3 : net.Bias = i * 0.25 : k = k + net.InputsNumber * 10 + "
     "net.Bias * 4 : Println k : Next",
     "-9\r\n-17\r\n-24\r\n", true},
    {"a fresh network's counts",
     "FF_NeuralNetwork net : Integer i, k : For i = 1 To 2 : k = k + net.InputsNumber - net.LayersNumber : Next : "
     "Println k",
     "-2\r\n", true},
    {"members in a condition and a for bound",
     "FF_NeuralNetwork net : Integer i, j, k : net.Bias = 2 : For i = 1 To 3 : For j = 0 To net.Bias * i : If j > "
     "net.Bias Then k = k + j Endif : Next : Next",
     "", true},
    {"a member in a for bound",
     "FF_NeuralNetwork net : Integer i, j, k : Println k : For i = 1 To 2 : For j = 1 To net.InputsNumber + 3 : k = k "
     "+ j : Next : Next",
     "0\r\n", true},
    {"a member in a while condition",
     "FF_NeuralNetwork net : Integer k : net.Bias = 3.5 : While k < net.Bias : k = k + net.InputsNumber + 2 : Wend",
     "", true},
    {"a member in a called subroutine",
     "FF_NeuralNetwork net : Integer i : Float t : Subroutin S : t = t + net.Bias * i : EndSub : net.Bias = 0.5 : For "
     "i = 1 To 3 : Call S : Next",
     "", true},
    {"a member after a text with names",
     "FF_NeuralNetwork net, other : Integer i : String s : For i = 1 To 2 : s = 'other Print k' + net.Bias : Next", "",
     true},
    {"a text with names after a member",
     "FF_NeuralNetwork net, other : Integer i : String s : For i = 1 To 2 : s = net.Bias + 'Bias other' : Next", "",
     true},
    {"a text with a keyword after a member",
     "FF_NeuralNetwork net, other : Integer i : String s : For i = 1 To 2 : s = net.Bias + 'i Print' : Next", "",
     true},
    {"two networks",
     "FF_NeuralNetwork net, other : Integer i : Float t : other.Bias = 2 : For i = 1 To 2 : t = other.Bias + net.Bias "
     ": Next",
     "", true},
    {"a member divided by at a later pass",
     "FF_NeuralNetwork net : Integer i : Float t : For i = 1 To 4 : net.Bias = 3 - i : t = t + 1 / net.Bias : Next",
     kDivisionByZero, true},
    {"a member as the grow step",
     "FF_NeuralNetwork net : Integer i : For i = 1 To 3 : net.Bias = i * 100.5 : BiggestArray = net.Bias : Next", "",
     true},
    // Members the reading reads on from, or reports; names that are no network.
    {"a member that reads on",
     "FF_NeuralNetwork net : Integer i : Float t : For i = 1 To 2 : t = t + net.Weights(1, 1, 1) : Next", nullptr,
     false},
    {"a member that is no value",
     "FF_NeuralNetwork net : Integer i, j, n : Float t : n = 7 : For i = 1 To 3 : For j = 9 - n To i : t = "
     "net.Simulate : Next : Next",
     nullptr, false},
    {"a name that is no member",
     "FF_NeuralNetwork net : Integer i, j, n : Float t : n = 7 : For i = 1 To 3 : For j = 9 - n To i : t = net.Biass "
     ": Next : Next",
     nullptr, false},
    {"a network array's member",
     "FF_NeuralNetwork nets[2] : Integer i, j, n : Float t : n = 7 : For i = 1 To 3 : For j = 9 - n To i : t = "
     "nets.Bias : Next : Next",
     nullptr, false},
    {"a logical network's member",
     "LogicalNeuralNetwork ram : Integer i, j, n : Float t : n = 7 : For i = 1 To 3 : For j = 9 - n To i : t = "
     "ram.Bias : Next : Next",
     nullptr, false},
    {"a variable of the network's name",
     "Integer i, j, n, w : Float t : FF_NeuralNetwork w : n = 7 : For i = 1 To 3 : For j = 9 - n To i : t = w.Bias : "
     "Next : Next",
     nullptr, false},
    {"a name that is no network",
     "Integer i, j, n : Float t : n = 7 : For i = 1 To 3 : For j = 9 - n To i : t = nothing.Bias : Next : Next",
     nullptr, false},
};

TEST(RegionMembers, LeaveWhatReadingWordByWordLeaves) {
    for (const Row& row : kRows) {
        NetworkScripts run(row.script);
        EXPECT_EQ(run.regions.Outcome(), run.reading.Outcome()) << row.name;
        if (row.pane != nullptr) {
            EXPECT_EQ(run.reading.view.Pane(), row.pane) << row.name;
        }
        EXPECT_EQ(run.reading.parser.CompiledStatements(), 0u) << row.name;
        ScriptSideOf<WithoutMemberOperands> without;
        without.Run(row.script, true);
        EXPECT_EQ(without.Outcome(), run.reading.Outcome()) << row.name;
        EXPECT_EQ(run.regions.parser.CompiledStatements() > without.parser.CompiledStatements(), row.compiled)
            << row.name;
    }
}

}  // namespace

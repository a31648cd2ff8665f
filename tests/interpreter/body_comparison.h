// Two interpreters on one text, one compiling its regions and one reading word by word, and a
// text of everything a block leaves behind, for tests and the fuzzer to compare.
#pragma once

#include <algorithm>
#include <string>

#include "interpreter/tessel_parser.h"
#include "interpreter/value.h"
#include "tests/interpreter/test_parser.h"

// The interpreter's fields and the first `shown` entries of its word history, as text.
inline std::string DescribeFields(const CTesselParser& p, int shown) {
    std::string out = "position " + std::to_string(p.position) + " tokens " + std::to_string(p.history.Count()) +
                      " token " + std::to_string(p.currentToken) + " variable " + std::to_string(p.variableIndex) +
                      " state " + std::to_string(p.runState) + " execute " + std::to_string(p.execute) + " object " +
                      std::to_string(p.objectKeywordId) + "/" + std::to_string(p.objectVariableIndex) + " step " +
                      std::to_string(p.variables.GetGrowBy()) + " word '" +
                      p.word + "' error '" + p.errorText + "'\n";
    shown = std::clamp(shown, 0, CTesselParser::kHistorySize);
    for (int i = 0; i < shown; ++i)
        out += " [" + std::to_string(p.history.Start(i)) + "," + std::to_string(p.history.Length(i)) + "]";
    return out + "\n";
}

// Every element of every variable, with its name, type and text.
inline std::string DescribeVariables(CTesselParser& p) {
    std::string out;
    for (int i = 0; i < p.variables.GetCount(); ++i) {
        const Value& record = p.variables[i];
        for (int k = 1; k <= (record.elements != nullptr ? record.count : 1); ++k) {
            Value v;
            v.CopyElementFrom(record, k);
            out += v.name + "[" + std::to_string(k) + "]:" + std::to_string(v.type) + "=" + ValueToText(v, true) + " ";
        }
    }
    return out;
}

// The output pane and the words highlighted in the editor.
inline std::string DescribeView(const RecordingView& view) {
    std::string out = "pane '" + view.Pane() + "'";
    for (const auto& [start, length] : view.Selections())
        out += " sel " + std::to_string(start) + "+" + std::to_string(length);
    return out;
}

// Everything a statement can leave behind, as text, so that a difference shows where it is.
inline std::string Describe(TestParser& p, RecordingView& view, int result) {
    return "result " + std::to_string(result) + " " + DescribeFields(p, p.history.Count() + 2) + DescribeVariables(p) +
           "\n" + DescribeView(view);
}

struct BodySide {
    RecordingView view;
    TestParser parser{&view};

    explicit BodySide(bool compiled, const std::string& text) {
        parser.sleepScale = 0;
        parser.compiledRegions = compiled;
        Prepare(text);
    }

    // A new text, with the variables and subroutines every body starts from.
    void Prepare(const std::string& text) {
        parser.PrepareScan(text, 1);
        // Subroutines the body declares can be called (a failed pre-scan leaves none).
        parser.PrescanSubroutines();
        parser.execute = 1;
        parser.DeclareVariable("i", kTypeInteger, 1, 0, 0);
        parser.DeclareVariable("x", kTypeFloat, 1, 0, 0);
        parser.DeclareVariable("s", kTypeString, 1, 0, 0);
        parser.DeclareVariable("n", kTypeInteger, 1, 0, 0);
        parser.DeclareVariable("f", kTypeFloat, 1, 0, 0);
        parser.DeclareVariable("a", kTypeInteger, 3, 0, 0);
        parser.DeclareVariable("g", kTypeFloat, 3, 0, 0);
        parser.DeclareVariable("t", kTypeString, 2, 0, 0);
        parser.DeclareVariable("m", kTypeMatrix, 1, 2, 2);
        parser.variables[parser.FindVariable("i")].value.integer = 7;
        parser.variables[parser.FindVariable("x")].value.number = 2.5;
        parser.variables[parser.FindVariable("s")].SetString("ab");
        const int a = parser.FindVariable("a");
        for (int k = 1; k <= 3; ++k) parser.ElementValue({a, k}).integer = k;
        const int g = parser.FindVariable("g");
        for (int k = 1; k <= 3; ++k) parser.ElementValue({g, k}).number = k - 0.5;
        Value::SetSlotText(parser.ElementValue({parser.FindVariable("t"), 2}), "t2");
    }

    // The text from its start as a loop body, as a pass of a For loop runs it.
    std::string Execute() {
        parser.RestorePosition(ScanMark{0, 0});
        parser.runState = kRunning;
        parser.execute = 1;
        parser.errorText.clear();
        // The extension's answers start each pass cleared, so that every pass's lookups show.
        parser.objectKeywordId = 0;
        parser.objectVariableIndex = 0;
        view.ClearRecords();
        const int result = parser.ExecuteBlock(1, ForBody);
        return Describe(parser, view, result);
    }
};


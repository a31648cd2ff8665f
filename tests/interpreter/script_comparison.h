// Whole scripts run as the editor runs them (the check pass, then the run on the worker thread)
// by an interpreter with compiled regions and by one reading word by word, and a text of
// everything a run leaves, for tests and the fuzzer to compare.
#pragma once

#include <chrono>
#include <string>
#include <thread>

#include "interpreter/tessel_parser.h"
#include "tests/interpreter/body_comparison.h"
#include "tests/interpreter/test_parser.h"

// An interpreter (the printing test one, or one with the network extension) that keeps, as text,
// what its run leaves just before the run's end empties the variables.
template <class Base>
class ComparingParserOf : public Base {
public:
    using Base::Base;

    std::string endState;  // empty until a run has ended

    int ExecuteNextStatement() override {
        CTesselParser& p = *this;
        const int result = Base::ExecuteNextStatement();
        // The worker's loop ends on the same conditions after this statement.
        if (p.view->stopRequested.load() || !p.errorText.empty() || !p.running || p.currentToken == token::kEnd ||
            p.runState != kRunning)
            endState = DescribeFields(p, p.history.Count()) + DescribeVariables(p);
        return result;
    }
};
using ComparingParser = ComparingParserOf<PrintingParser>;

// One side of the comparison: a view and an interpreter, for one script after another.
template <class Base>
struct ScriptSideOf {
    RecordingView view;
    ComparingParserOf<Base> parser{&view};

    // The check pass and, when it passes, the run; the final pane.
    std::string Run(const std::string& text, bool regions) {
        if (Start(text, regions)) parser.WaitFinished();
        return Pane();
    }
    // The check pass and, when it passes, the run started on the worker; false where the check failed.
    bool Start(const std::string& text, bool regions) {
        view.ClearRecords();
        parser.endState.clear();
        parser.compiledRegions = regions;
        parser.SetSource(text);
        static const int kOptions[4] = {1, 0, 0, 0};
        if (!parser.Compile(kOptions)) {
            parser.endState = "CHECK FAILED " + DescribeFields(parser, parser.history.Count()) + DescribeVariables(parser);
            checkFailed_ = true;
            return false;
        }
        checkFailed_ = false;
        view.running = 1;
        parser.CreateThread();
        return true;
    }
    std::string Pane() const { return (checkFailed_ ? "CHECK FAILED: " : "") + view.Pane(); }

    // Everything the script left: the interpreter at the run's end, the pane and the selections.
    std::string Outcome() const { return parser.endState + "\n" + DescribeView(view); }

private:
    bool checkFailed_ = false;
};

using ScriptSide = ScriptSideOf<PrintingParser>;

// A script run with compiled regions and word by word.
template <class Base>
struct ScriptComparisonOf {
    ScriptSideOf<Base> regions;
    ScriptSideOf<Base> reading;

    ScriptComparisonOf() = default;
    explicit ScriptComparisonOf(const std::string& text) { Run(text); }
    // true when both runs left the same
    bool Run(const std::string& text) {
        regions.Run(text, true);
        reading.Run(text, false);
        return Same();
    }
    bool Same() const { return regions.Outcome() == reading.Outcome(); }
};
using ScriptComparison = ScriptComparisonOf<PrintingParser>;

// The script run with compiled regions while pauses come and go at whatever statement it has
// reached (at most `pauses` of them); what the run left. A pause is looked at again after a
// millisecond.
inline std::string OutcomeWithPauses(const std::string& script, int pauses) {
    ScriptSide paused;
    paused.parser.sleepScale = 0.002;
    if (!paused.Start(script, true)) return paused.Outcome();
    for (int k = 0; k < pauses && paused.view.running.load() != 0; ++k) {
        std::this_thread::sleep_for(std::chrono::microseconds(200));
        paused.view.paused = 1;
        std::this_thread::sleep_for(std::chrono::microseconds(100));
        paused.view.paused = 0;
    }
    paused.parser.WaitFinished();
    return paused.Outcome();
}

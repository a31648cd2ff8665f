// Test fixture for the network extension: the interpreter tests' recording view (which keeps the
// output pane as the pane does) counting the ends of training displays, a help tree that keeps
// its items, and a CLoriantParser with synchronous check and run helpers.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "view/view_services.h"
#include "interpreter/keyword_catalogue.h"
#include "interpreter/test_parser.h"
#include "netscript/loriant_parser.h"
#include "netscript/object_variable.h"

class NetView : public RecordingView {
public:
    void EndTrainingDisplay() override { ++trainingEnds; }
    std::atomic<int> trainingEnds{0};
};

// A help tree that keeps each item's text and parent, in the order of insertion.
class RecordingHelpTree : public HelpTreeTarget {
public:
    TreeItem Insert(const std::string& text, TreeItem parent, bool /*sorted*/) override {
        items_.emplace_back(text, parent);
        return reinterpret_cast<TreeItem>(items_.size());
    }
    // The texts of the children of the first item reached by the path from the top.
    std::vector<std::string> Children(const std::vector<std::string>& path) const {
        TreeItem at = nullptr;
        for (const std::string& step : path) {
            auto it = std::find(items_.begin(), items_.end(), std::make_pair(step, at));
            if (it == items_.end()) return {};
            at = reinterpret_cast<TreeItem>(it - items_.begin() + 1);
        }
        std::vector<std::string> texts;
        for (const auto& [text, parent] : items_)
            if (parent == at) texts.push_back(text);
        return texts;
    }

private:
    std::vector<std::pair<std::string, TreeItem>> items_;
};

// A script and the pane it is expected to leave.
struct ScriptCase {
    std::string script;
    std::string pane;
};

// A view (NetView or a test's own kind of it) and a parser on it.
template <class View>
struct BasicNetHarness {
    View view;
    std::unique_ptr<CLoriantParser> parser = std::make_unique<CLoriantParser>(&view);

    // The check pass on a fresh parser: 1 success, 0 failure (the pane shows the error).
    int Check(const std::string& text) {
        parser = std::make_unique<CLoriantParser>(&view);
        parser->SetSource(text);
        static const int kOptions[4] = {1, 0, 0, 0};
        return parser->Compile(kOptions);
    }

    // The check pass and, when it succeeds, the run in the worker; the final pane text.
    std::string Run(const std::string& text) {
        if (!Check(text)) return view.Pane();
        return RunChecked();
    }

    // The run after a successful Check, waited for to its end; the final pane text.
    std::string RunChecked() {
        view.running = 1;
        parser->CreateThread();
        parser->WaitFinished();
        return view.Pane();
    }
};

using NetHarness = BasicNetHarness<NetView>;

inline std::string RunNetScript(const std::string& text) {
    NetHarness h;
    return h.Run(text);
}

// For every case: the check pass of `prefix` followed by the case's script fails and leaves
// exactly the case's pane.
inline void ExpectCheckPassErrors(std::span<const ScriptCase> cases, const std::string& prefix = "") {
    for (const ScriptCase& c : cases) {
        NetHarness h;
        EXPECT_EQ(h.Check(prefix + c.script), 0) << c.script;
        EXPECT_EQ(h.view.Pane(), c.pane) << c.script;
    }
}

// The pane after a run that printed `before` and ended by an error: the end line and the message,
// each appended after a line break (when the pane is not empty) and followed by one.
inline std::string EndedByError(const std::string& before, const std::string& message) {
    std::string pane = before;
    for (const std::string& line : {std::string("Program Terminated  By ERROR."), message}) {
        if (!pane.empty()) pane += "\r\n";
        pane += line + "\r\n";
    }
    return pane;
}

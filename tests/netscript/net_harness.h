// Test fixture for the network extension: the interpreter tests' recording view, which keeps the
// output pane as the pane does, extended to record what the extension shows (network tree
// entries, structure window calls, training display ends), a help tree that keeps its items, and a
// CLoriantParser with synchronous check and run helpers.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <mutex>
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
    struct NetworkEntry {
        std::string name;
        int type = 0;
        int count = 0;
        int start = 0;
        int length = 0;
    };

    TreeItem AddNetworkToTree(const ObjectVariable& record, int elementCount, int srcStart, int srcLength) override {
        std::lock_guard<std::mutex> lock(networksMutex_);
        networks_.push_back({record.name, record.type, elementCount, srcStart, srcLength});
        return nullptr;
    }
    void ShowNetworkStructure(const CFeedForwardNeuralNetwork&) override { ++structureShows; }
    void CloseStructureWindow() override { ++structureCloses; }
    void EndTrainingDisplay() override { ++trainingEnds; }

    std::vector<NetworkEntry> Networks() const {
        std::lock_guard<std::mutex> lock(networksMutex_);
        return networks_;
    }

    std::atomic<int> structureShows{0};
    std::atomic<int> structureCloses{0};
    std::atomic<int> trainingEnds{0};

private:
    mutable std::mutex networksMutex_;
    std::vector<NetworkEntry> networks_;
};

// A tree whose items keep their text, parent and children; sorted insertion compares bytes.
class RecordingHelpTree : public HelpTreeTarget {
public:
    struct Node {
        std::string text;
        int parent = -1;
        std::vector<int> children;
    };

    TreeItem Insert(const std::string& text, TreeItem parent, bool sorted) override {
        const int parentIndex = parent == nullptr ? -1 : static_cast<int>(reinterpret_cast<std::intptr_t>(parent)) - 1;
        nodes_.push_back({text, parentIndex, {}});
        const int index = static_cast<int>(nodes_.size()) - 1;
        std::vector<int>& siblings = parentIndex < 0 ? roots_ : nodes_[static_cast<std::size_t>(parentIndex)].children;
        auto at = siblings.end();
        if (sorted) {
            at = std::find_if(siblings.begin(), siblings.end(),
                              [&](int s) { return nodes_[static_cast<std::size_t>(s)].text > text; });
        }
        siblings.insert(at, index);
        return reinterpret_cast<TreeItem>(static_cast<std::intptr_t>(index) + 1);
    }

    // The texts of the children of the first item reached by the path from the top (empty path: the top level).
    std::vector<std::string> Children(const std::vector<std::string>& path) const {
        const std::vector<int>* level = &roots_;
        for (const std::string& step : path) {
            auto it = std::find_if(level->begin(), level->end(),
                                   [&](int s) { return nodes_[static_cast<std::size_t>(s)].text == step; });
            if (it == level->end()) return {};
            level = &nodes_[static_cast<std::size_t>(*it)].children;
        }
        std::vector<std::string> texts;
        for (int s : *level) texts.push_back(nodes_[static_cast<std::size_t>(s)].text);
        return texts;
    }

private:
    std::vector<Node> nodes_;
    std::vector<int> roots_;
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

    // The parser as a pass leaves it when it starts on an empty text, for calls on its tables
    // without a script: execute 0 as in the check pass, 1 as in a run.
    void StartEmptyPass(int execute) {
        parser->SetSource("");
        parser->ResetRun();
        parser->execute = execute;
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

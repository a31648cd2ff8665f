// Shared test fixture for the interpreter's unit tests: a view that records what a pass shows,
// an interpreter whose network-extension operations do nothing, and helpers that run a check
// pass or a whole run synchronously on a script text.
#pragma once

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "view/view_services.h"
#include "base/matrix.h"
#include "interpreter/tessel_parser.h"
#include "interpreter/value.h"

// A ViewServices that keeps the output pane's text exactly as the pane does (append/replace,
// "\r\n" line breaks) and records selections and charts.
class RecordingView : public ViewServices {
public:
    struct Chart {
        std::string title;
        std::vector<double> values;
        int count = 0;
        std::vector<std::string> labels;  // empty: numbered
    };

    // The user presses Stop while the run prints its stopAfterOutputs-th text (0: never).
    int stopAfterOutputs = 0;

    void OutputText(const std::string& text, int append, int crlfBefore, int crlfAfter, int /*repaint*/) override {
        std::lock_guard<std::mutex> lock(mutex_);
        if (append && ++outputs_ == stopAfterOutputs) stopRequested = 1;
        if (!append) {
            pane_ = text;
            return;
        }
        if (crlfBefore && !pane_.empty()) pane_ += "\r\n";
        pane_ += text;
        if (crlfAfter) pane_ += "\r\n";
    }
    void SelectSource(int start, int length) override {
        std::lock_guard<std::mutex> lock(mutex_);
        selections_.emplace_back(start, length);
    }
    void ShowChart(const std::string& title, const std::vector<double>& values, int count,
                   const std::vector<std::string>* labels) override {
        std::lock_guard<std::mutex> lock(mutex_);
        charts_.push_back({title, values, count, labels ? *labels : std::vector<std::string>()});
    }

    // --- what was recorded (read after the worker has ended) ---
    std::string Pane() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return pane_;
    }
    std::vector<std::pair<int, int>> Selections() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return selections_;
    }
    std::vector<Chart> Charts() const { return charts_; }
    // Forgets pane text, selections and charts (the flags stay).
    void ClearRecords() {
        std::lock_guard<std::mutex> lock(mutex_);
        outputs_ = 0;
        pane_.clear();
        selections_.clear();
        charts_.clear();
    }

private:
    mutable std::mutex mutex_;
    int outputs_ = 0;
    std::string pane_;
    std::vector<std::pair<int, int>> selections_;
    std::vector<Chart> charts_;
};

// The interpreter without the network extension: no object keywords or variables unless a test
// names some (objectKeywords / objectVariables), statements on them report nothing and fail.
class TestParser : public CTesselParser {
public:
    explicit TestParser(ViewServices* view) : CTesselParser(view) {}
    ~TestParser() override { WaitFinished(); }

    // A table of the extension's words (word -> id or index): a change to it changes what the
    // extension answers, which objectNamesVersion tells, as the real extension's tables do.
    class ExtensionWords {
    public:
        ExtensionWords(TestParser& owner, int none) : owner_(owner), none_(none) {}
        int& operator[](const std::string& word) {
            ++owner_.objectNamesVersion;
            return words_[word];
        }
        ExtensionWords& operator=(std::map<std::string, int> words) {
            ++owner_.objectNamesVersion;
            words_ = std::move(words);
            return *this;
        }
        int Find(const char* word) const {
            auto it = words_.find(word);
            return it == words_.end() ? none_ : it->second;
        }

    private:
        TestParser& owner_;
        int none_;
        std::map<std::string, int> words_;
    };
    // word -> extension keyword id (171 .. 215); word -> network variable index.
    ExtensionWords objectKeywords{*this, -2};
    ExtensionWords objectVariables{*this, -1};
    int clearObjectVariablesCalls = 0;

    void RegisterObjectKeywords() override {}
    int FindObjectKeyword(const char* w) override { return objectKeywords.Find(w); }
    int FindObjectVariable(const char* w) override { return objectVariables.Find(w); }
    int ExecuteObjectKeywordStatement() override { return 0; }
    void ResetRun() override { ResetBaseRunState(); }
    int ExecuteObjectStatement() override { return 0; }
    int EvaluateObjectMember(Value& /*result*/) override { return 0; }
    void ClearObjectVariables(int /*executeFlag*/) override { ++clearObjectVariablesCalls; }
    int SaveObjectStatement() override { return 0; }
    int LoadObjectStatement() override { return 0; }

    // Gives the lexer a text to scan from its start, as a pass would (check-pass mode: execute 0).
    void PrepareScan(const std::string& text, int executeFlag = 0) {
        SetSource(text);
        textLength = static_cast<int>(text.size());
        ResetRun();
        execute = executeFlag;
        runState = kRunning;
        errorText.clear();
    }
};

// The test interpreter with two output words: `Print expr` appends the value's text and a blank,
// `Println expr` the text and a line break.
class PrintingParser : public TestParser {
public:
    static constexpr int kPrintId = 171;
    static constexpr int kPrintlnId = 172;
    explicit PrintingParser(ViewServices* v) : TestParser(v) {
        objectKeywords["Print"] = kPrintId;
        objectKeywords["Println"] = kPrintlnId;
    }
    int ExecuteObjectKeywordStatement() override {
        // The expression's words are looked up too: the statement's word is the one read first.
        const int id = objectKeywordId;
        if (id != kPrintId && id != kPrintlnId) return 0;
        Value v;
        if (!ReadExpression2(v)) return 0;
        if (execute) PrintText(ValueToText(v, true), id == kPrintlnId);
        return 1;
    }
    int OutputStatementOf(int keywordId) const override {
        return keywordId == kPrintlnId ? 1 : keywordId == kPrintId ? 0 : kNoOutput;
    }
    // Print leaves a blank after its text, so that the panes of tests read as lists.
    void PrintText(const std::string& text, bool lineBreakAfter) override {
        if (lineBreakAfter)
            view->OutputText(text, 1, 0, 1, 0);
        else
            view->OutputText(text + " ", 1, 0, 0, 0);
    }
};

struct ScannedToken {
    int code;
    std::string word;
    bool operator==(const ScannedToken& other) const { return code == other.code && word == other.word; }
};

// A view and an interpreter on it, with synchronous check and run helpers.
template <class Parser>
struct BasicScriptHarness {
    RecordingView view;
    Parser parser{&view};

    // The check pass as Compile does it for the editor: 1 success, 0 failure (pane shows the error).
    int Check(const std::string& text) {
        parser.SetSource(text);
        static const int kOptions[4] = {1, 0, 0, 0};
        return parser.Compile(kOptions);
    }

    // The editor's Run: the check pass and, when it succeeds, the run in the worker; the final pane.
    std::string Run(const std::string& text) {
        if (!Check(text)) return view.Pane();
        return RunChecked();
    }

    std::string RunChecked() {
        StartRun();
        parser.WaitFinished();
        return view.Pane();
    }

    // Starts the worker after a successful Check (as the view does: running set, then resumed).
    void StartRun() {
        view.running = 1;
        parser.CreateThread();
    }

    // Every token of text up to the end (168) or an unclosed comment (167), as the check pass reads
    // them; the count is bounded so that a broken lexer cannot hang a test.
    std::vector<ScannedToken> Scan(const std::string& text) {
        parser.PrepareScan(text);
        std::vector<ScannedToken> tokens;
        for (int i = 0; i < 10000; ++i) {
            int code = parser.ReadToken();
            if (code == token::kEnd || code == token::kUnclosedComment) break;
            tokens.push_back({code, parser.word});
        }
        return tokens;
    }
};

using ScriptHarness = BasicScriptHarness<TestParser>;
using PrintingHarness = BasicScriptHarness<PrintingParser>;

// The pane of a run that ended with the error `message`: the end line and the message, each with
// a line break after it, the message after an empty line.
inline std::string RunErrorPane(const std::string& message) {
    return "Program Terminated  By ERROR.\r\n\r\n" + message + "\r\n";
}

// A matrix's elements row by row.
inline std::vector<double> Elements(const CMatrix& m) {
    std::vector<double> out;
    std::string error;
    for (int r = 0; r < m.GetRows(); ++r)
        for (int c = 0; c < m.GetCols(); ++c) out.push_back(m.GetAt(r, c, error));
    return out;
}

// Sets a matrix's first values.size() elements, row by row.
inline void FillRowByRow(CMatrix& m, const std::vector<double>& values) {
    std::string error;
    for (std::size_t i = 0; i < values.size(); ++i) {
        const int at = static_cast<int>(i);
        m.SetAt(at / m.GetCols(), at % m.GetCols(), values[i], error);
    }
}

// A text host for runs: an in-memory output pane that follows the editor's pane rules exactly,
// under the desktop pane's bound, or streamed to a stream as it grows (keeping only what it has
// not written yet), with tree entries and charts recorded for tests. Windows (structure, charts)
// show nothing here.
#pragma once

#include <atomic>
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

#include "host/exit_status.h"
#include "host/output_pane_text.h"
#include "view/view_services.h"

class ConsoleView : public ViewServices {
public:
    struct TreeEntry {
        std::string text;
        int category = 0;
        TreeItem parent = nullptr;
        int srcStart = 0;
        int srcLength = 0;
    };
    struct Chart {
        std::string title;
        std::vector<double> values;
        std::vector<std::string> labels;  // empty: numbered 1 .. count
    };

    ConsoleView() = default;

    // The Stop command (Ctrl+C, or another signal), with the exit status that the stop ends the
    // program with (the first request's). Unlike the run flag, which the end of a pass clears, it is
    // kept: a stop that arrives as the check pass ends must not let the run start.
    void RequestStop(int exitStatus = kExitStoppedByUser) {
        int none = 0;
        stopExitStatus_.compare_exchange_strong(none, exitStatus);
        stopRequested = 1;
    }
    bool StopEverRequested() const { return stopExitStatus_.load() != 0; }
    // 0 when no stop was requested.
    int StopExitStatus() const { return stopExitStatus_.load(); }

    // Streams appended pane text to out (UTF-8, CR LF shown as LF) as the run produces it. A stream
    // that cannot take it (a full disk, a closed pipe) stops the run: nobody would see the rest.
    void StreamTo(std::FILE* out);
    // Writes to the stream what it has not shown of the pane yet (e.g. a final error message).
    void FlushStream();
    // Some pane text could not be written to the stream.
    bool StreamFailed() const { return streamFailed_; }
    // Shows a training progress line on this stream (a terminal), rewritten in place.
    void ShowTrainingProgressOn(std::FILE* terminal) { progress_ = terminal; }

    // What the pane keeps: all of it within the bound, or, when streaming, what is not written yet.
    std::string PaneText() const { return pane_.Text(); }
    // The pane shows nothing (text already streamed counts as shown).
    bool PaneEmpty() const { return pane_.Empty(); }
    const std::vector<TreeEntry>& TreeEntries() const { return tree_; }
    const std::vector<Chart>& Charts() const { return charts_; }
    // The editor selection of the last reported error: byte start and length in the script text.
    int SelectionStart() const { return selStart_; }
    int SelectionLength() const { return selLength_; }
    bool ReadOnly() const { return readOnly_; }
    std::uint32_t Background() const { return background_; }
    int StructureShows() const { return structureShows_; }

    void OutputText(const std::string& text, int append, int crlfBefore, int crlfAfter, int repaint) override;
    std::uint32_t SetEditorBackground(std::uint32_t colour) override;
    void SetEditorReadOnly(bool readOnly) override { readOnly_ = readOnly; }
    void SelectSource(int start, int length) override { selStart_ = start; selLength_ = length; }

    TreeItem AddTreeItem(const std::string& text, int category, TreeItem parent, int srcStart, int srcLength) override;
    void AddVariableToTree(const Value& record, int elementCount, int srcStart, int srcLength) override;
    TreeItem AddNetworkToTree(const ObjectVariable& record, int elementCount, int srcStart, int srcLength) override;

    void ShowChart(const std::string& title, const std::vector<double>& values, int count,
                   const std::vector<std::string>* labels) override;

    void ShowNetworkStructure(const CFeedForwardNeuralNetwork&) override { ++structureShows_; }
    void EndTrainingDisplay() override;
    void UpdateTrainingStats(int epochs, int maxEpochs, double error, double errorGoal,
                             double learningConstant, double initialLearningConstant) override;
    void SetSimulationText(const std::string& text) override { simulationText_ = text; }
    const std::string& SimulationText() const { return simulationText_; }

private:
    TreeItem NewTreeItem(TreeEntry entry);
    // Writes the pane text not yet streamed; endLine: and a line feed when the pane does not end in one.
    void StreamRest(bool endLine);

    std::mutex mutex_;
    OutputPaneText pane_;
    std::FILE* stream_ = nullptr;
    std::FILE* progress_ = nullptr;
    bool streamFailed_ = false;
    std::atomic<int> stopExitStatus_{0};
    bool progressShown_ = false;
    std::vector<TreeEntry> tree_;
    std::vector<Chart> charts_;
    std::string simulationText_;
    int selStart_ = -1;
    int selLength_ = 0;
    bool readOnly_ = false;
    std::uint32_t background_ = 0xDCDCDC;
    int structureShows_ = 0;
};

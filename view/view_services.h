// The boundary between a run (interpreter, network engine, network extension) and whatever shows it.
// The Qt editor view and the console host implement it; nothing below it knows which.
// All texts are single-byte code page 1256, as the interpreter works with them.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

struct Value;
struct ObjectVariable;
class CFeedForwardNeuralNetwork;

// An entry of the tree view; nullptr is "no item".
using TreeItem = void*;

class ViewServices {
public:
    virtual ~ViewServices() = default;

    // Run flags, set by one thread and polled by another. 0 when the view is constructed.
    std::atomic<int> stopRequested{0};
    std::atomic<int> running{0};
    std::atomic<int> paused{0};
    std::atomic<int> stopLearning{0};

    // --- output and run state ---
    // append 0 replaces the whole pane; otherwise text is added at the end, after a line break when
    // crlfBefore is set and the pane is not empty, followed by one when crlfAfter is set.
    virtual void OutputText(const std::string& text, int append, int crlfBefore, int crlfAfter, int repaint) = 0;
    // A host that shows the pane in a window waits after some messages (an unclosed comment) so
    // that they can be read before the window changes; one without a window does not wait.
    virtual bool HasOutputWindow() const { return false; }
    // That wait, where the host has its own: what the pane holds shows first, and the window goes
    // on painting while it lasts. false: the caller is to sleep instead.
    virtual bool WaitWhileShown(long /*milliseconds*/) { return false; }
    // stop requested, running and paused become 0.
    virtual void ResetRunFlags() { stopRequested = 0; running = 0; paused = 0; }
    virtual void UpdateRunButtons() {}
    // The editor window's background (0x00BBGGRR as Windows stores it); returns the previous colour.
    virtual std::uint32_t SetEditorBackground(std::uint32_t colour) { return colour; }
    virtual void SetEditorReadOnly(bool /*readOnly*/) {}
    // Selects the offending word of an error in the editor (byte position and length in the script text).
    virtual void SelectSource(int /*start*/, int /*length*/) {}
    // Window that owns message boxes, questions and file dialogs raised by statements (nullptr: none).
    virtual void* OwnerWindow() { return nullptr; }

    // Every operation below does nothing unless a host shows it: a host without windows (tests,
    // benchmarks, the console) overrides only what it records.

    // --- source tree (check pass only, user-interface thread) ---
    virtual TreeItem AddTreeItem(const std::string& /*text*/, int /*category*/, TreeItem /*parent*/,
                                 int /*srcStart*/, int /*srcLength*/) { return nullptr; }
    virtual void AddVariableToTree(const Value& /*record*/, int /*elementCount*/, int /*srcStart*/,
                                   int /*srcLength*/) {}
    virtual TreeItem AddNetworkToTree(const ObjectVariable& /*record*/, int /*elementCount*/, int /*srcStart*/,
                                      int /*srcLength*/) { return nullptr; }

    // --- charts (worker) ---
    // labels nullptr: the numbers 1 .. count.
    virtual void ShowChart(const std::string& /*title*/, const std::vector<double>& /*values*/, int /*count*/,
                           const std::vector<std::string>* /*labels*/) {}

    // --- structure-and-training window (worker) ---
    // A host that shows the window lets training wait for its first repaint; one without does not.
    virtual bool HasTrainingWindow() const { return false; }
    virtual void ShowNetworkStructure(const CFeedForwardNeuralNetwork& /*network*/) {}
    virtual void CloseStructureWindow() {}
    // Also clears stopLearning.
    virtual void BeginTrainingDisplay(const CFeedForwardNeuralNetwork& /*network*/) { stopLearning = 0; }
    virtual void EndTrainingDisplay() {}
    virtual void AddTrainingGraphPoint(int /*curve*/, double /*value*/, int /*flag*/) {}
    virtual void UpdateTrainingStats(int /*epochs*/, int /*maxEpochs*/, double /*error*/, double /*errorGoal*/,
                                     double /*learningConstant*/, double /*initialLearningConstant*/) {}
    virtual void SetStructureProgress1(int /*position*/, int /*range*/) {}
    virtual void SetStructureProgress2(int /*position*/, int /*range*/) {}
    // network nullptr: only repaints the window (training does this once before its first pass).
    virtual void UpdateStructureWeights(const CFeedForwardNeuralNetwork* /*network*/, int /*force*/) {}

    // --- "Simulation:" bar (worker) ---
    virtual void SetSimulationText(const std::string& /*text*/) {}
    virtual void SetSimulationProgress(int /*position*/, int /*range*/) {}
};

// What a running script's worker hands its view in bulk, queued in order for the GUI thread: the
// output pane's text and the training window's curve points, counters and progress bars. A call
// per printed line or per epoch would hold the worker up far longer than the work itself.
// The worker adds; the GUI thread takes everything at once and applies it before anything reads
// or paints it. A queue that grows past its bound makes the worker wait until the GUI has taken it.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

// Output calls folded into at most one replacement and one insertion at the end of the pane.
struct QueuedOutput {
    bool replace = false;
    std::string replaceText;
    // Line breaks whose "only when the pane is not empty" depends on the pane as the GUI finds it.
    std::string conditionalPrefix;
    std::string appended;

    // Folds one output call (the pane's append rules) into the batch.
    void Add(const std::string& text, int append, int crlfBefore, int crlfAfter);
    // What to insert at the end of a pane that is (after any replacement) empty or not.
    std::string Insertion(bool paneEmpty) const;
    bool Empty() const { return !replace && conditionalPrefix.empty() && appended.empty(); }
    std::size_t Bytes() const { return replaceText.size() + conditionalPrefix.size() + appended.size(); }
};

struct TrainingReport {
    enum Kind : int { kCurvePoint, kStats, kProgress1, kProgress2 };
    Kind kind = kCurvePoint;
    // curve point: curve, flag; stats: epochs, maxEpochs; progress: position, range
    int first = 0;
    int second = 0;
    // curve point: value; stats: error, goal, learning constant, its setting
    double values[4] = {0, 0, 0, 0};
};

class WorkerQueue {
public:
    struct Batch {
        QueuedOutput output;
        std::vector<TrainingReport> reports;
        bool Empty() const { return output.Empty() && reports.empty(); }
    };

    static constexpr std::size_t kMaxBytes = std::size_t{1} << 18;
    static constexpr std::size_t kMaxReports = std::size_t{1} << 16;

    // requestTake: asks the GUI thread to take the queue soon (called by a worker that must wait).
    explicit WorkerQueue(std::function<void()> requestTake) : requestTake_(std::move(requestTake)) {}

    void AddOutput(const std::string& text, int append, int crlfBefore, int crlfAfter);
    void AddReport(const TrainingReport& report);
    // GUI thread: everything queued so far; wakes a waiting worker.
    Batch Take();

private:
    // Called with the lock held after an addition.
    void WaitWhileFull(std::unique_lock<std::mutex>& lock);

    std::function<void()> requestTake_;
    std::mutex mutex_;
    std::condition_variable taken_;
    Batch pending_;
};

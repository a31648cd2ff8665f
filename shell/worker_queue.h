// What a running script's worker hands its view in bulk, queued in order for the GUI thread: the
// output pane's text and the training window's curve points, counters and progress bars. A call
// per printed line or per epoch would hold the worker up far longer than the work itself.
// The worker adds; the GUI thread takes everything at once and applies it before anything reads
// or paints it. A queue that grows past its bound makes the worker wait until the GUI has taken it.
// One worker adds at a time (a view runs one script at a time).
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <memory>
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
    void Clear();
    std::size_t Bytes() const { return replaceText.size() + conditionalPrefix.size() + appended.size(); }
};

// The training window's counters and bars, which show their last report.
struct TrainingReport {
    enum Kind : int { kStats, kProgress1, kProgress2 };
    Kind kind = kStats;
    // stats: epochs, maxEpochs; progress: position, range
    int first = 0;
    int second = 0;
    // stats: error, goal, learning constant, its setting
    double values[4] = {0, 0, 0, 0};
};

struct CurvePoint {
    double value = 0.0;
    int curve = 0;
    int flag = 0;
};

class WorkerQueue {
public:
    struct Batch {
        QueuedOutput output;
        std::vector<TrainingReport> reports;
        bool Empty() const { return output.Empty() && reports.empty(); }
    };

    // About 15 ms of the pane's work at most, so that the GUI thread goes back to its events often.
    static constexpr std::size_t kMaxBytes = std::size_t{1} << 16;
    static constexpr std::size_t kMaxReports = std::size_t{1} << 12;
    static constexpr std::size_t kPointSlots = std::size_t{1} << 16;

    // requestTake: asks the GUI thread to take the queue soon (called by a worker that must wait).
    explicit WorkerQueue(std::function<void()> requestTake) : requestTake_(std::move(requestTake)) {}

    // --- the worker (one at a time) ---
    void AddOutput(const std::string& text, int append, int crlfBefore, int crlfAfter);
    void AddReport(const TrainingReport& report);
    // Two a training epoch: a ring the worker writes without a lock.
    void AddCurvePoint(const CurvePoint& point);

    // --- the GUI thread ---
    // Output and reports queued so far, swapped into batch (which is emptied first, its storage kept
    // for the queue's next round, so that a long run does not allocate anew). Take them before the
    // curve points: every point added before them is then in the ring.
    void Take(Batch& batch);
    // Hands every curve point in the ring to apply, in order; answers how many.
    template <typename Apply>
    std::size_t DrainCurvePoints(Apply&& apply);

private:
    // Called with the lock held after an addition.
    void WaitWhileFull(std::unique_lock<std::mutex>& lock);
    void WaitForPointRoom(std::size_t written);
    // Asks the GUI thread to take the queue (once until it does) and waits until room() holds.
    void WaitUntil(std::unique_lock<std::mutex>& lock, const std::function<bool()>& room);
    void PointsTaken();

    std::function<void()> requestTake_;
    std::mutex mutex_;
    std::condition_variable taken_;
    Batch pending_;
    bool takeRequested_ = false;  // one request at a time: the GUI takes everything at once

    std::unique_ptr<CurvePoint[]> points_;  // made by the first point
    alignas(64) std::atomic<std::size_t> pointsWritten_{0};
    std::size_t pointsReadSeen_ = 0;  // the worker's last look at pointsRead_
    alignas(64) std::atomic<std::size_t> pointsRead_{0};
};

template <typename Apply>
std::size_t WorkerQueue::DrainCurvePoints(Apply&& apply) {
    const std::size_t read = pointsRead_.load(std::memory_order_relaxed);
    const std::size_t written = pointsWritten_.load(std::memory_order_acquire);
    for (std::size_t i = read; i != written; ++i) apply(points_[i % kPointSlots]);
    if (written != read) {
        pointsRead_.store(written, std::memory_order_release);
        PointsTaken();
    }
    return written - read;
}

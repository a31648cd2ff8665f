#include "shell/worker_queue.h"

namespace {
const char kLineBreak[] = "\r\n";
}

void QueuedOutput::Add(const std::string& text, int append, int crlfBefore, int crlfAfter) {
    if (append == 0) {
        replace = true;
        replaceText = text;
        conditionalPrefix.clear();
        appended.clear();
        return;
    }
    if (crlfBefore) {
        if (replace || !appended.empty()) {
            // The pane's state at this point is known: the replacement and what followed it.
            if (!replaceText.empty() || !appended.empty()) appended += kLineBreak;
        } else {
            conditionalPrefix += kLineBreak;
        }
    }
    appended += text;
    if (crlfAfter) appended += kLineBreak;
}

void QueuedOutput::Clear() {
    replace = false;
    replaceText.clear();
    conditionalPrefix.clear();
    appended.clear();
}

std::string QueuedOutput::Insertion(bool paneEmpty) const {
    return paneEmpty ? appended : conditionalPrefix + appended;
}

void WorkerQueue::AddOutput(const std::string& text, int append, int crlfBefore, int crlfAfter) {
    std::unique_lock<std::mutex> lock(mutex_);
    pending_.output.Add(text, append, crlfBefore, crlfAfter);
    WaitWhileFull(lock);
}

void WorkerQueue::AddReport(const TrainingReport& report) {
    std::unique_lock<std::mutex> lock(mutex_);
    pending_.reports.push_back(report);
    WaitWhileFull(lock);
}

void WorkerQueue::Take(Batch& batch) {
    batch.output.Clear();
    batch.reports.clear();
    {
        std::lock_guard<std::mutex> lock(mutex_);
        std::swap(batch, pending_);
        takeRequested_ = false;
    }
    taken_.notify_all();
}

void WorkerQueue::AddCurvePoint(const CurvePoint& point) {
    const std::size_t written = pointsWritten_.load(std::memory_order_relaxed);
    if (written - pointsReadSeen_ >= kPointSlots) {
        pointsReadSeen_ = pointsRead_.load(std::memory_order_acquire);
        if (written - pointsReadSeen_ >= kPointSlots) WaitForPointRoom(written);
    }
    if (!points_) points_ = std::make_unique<CurvePoint[]>(kPointSlots);
    points_[written % kPointSlots] = point;
    pointsWritten_.store(written + 1, std::memory_order_release);
}

void WorkerQueue::WaitForPointRoom(std::size_t written) {
    std::unique_lock<std::mutex> lock(mutex_);
    WaitUntil(lock, [&] {
        pointsReadSeen_ = pointsRead_.load(std::memory_order_acquire);
        return written - pointsReadSeen_ < kPointSlots;
    });
}

void WorkerQueue::PointsTaken() {
    {
        // A worker that found the ring full looks again under the lock: it cannot miss this.
        std::lock_guard<std::mutex> lock(mutex_);
        takeRequested_ = false;
    }
    taken_.notify_all();
}

void WorkerQueue::WaitWhileFull(std::unique_lock<std::mutex>& lock) {
    WaitUntil(lock, [this] { return pending_.output.Bytes() <= kMaxBytes && pending_.reports.size() <= kMaxReports; });
}

void WorkerQueue::WaitUntil(std::unique_lock<std::mutex>& lock, const std::function<bool()>& room) {
    if (room()) return;
    if (!takeRequested_ && requestTake_) {
        takeRequested_ = true;
        lock.unlock();
        requestTake_();
        lock.lock();
    }
    taken_.wait(lock, room);
}

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

WorkerQueue::Batch WorkerQueue::Take() {
    Batch batch;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        std::swap(batch, pending_);
    }
    taken_.notify_all();
    return batch;
}

void WorkerQueue::WaitWhileFull(std::unique_lock<std::mutex>& lock) {
    const auto full = [this] {
        return pending_.output.Bytes() > kMaxBytes || pending_.reports.size() > kMaxReports;
    };
    if (!full()) return;
    lock.unlock();
    if (requestTake_) requestTake_();
    lock.lock();
    taken_.wait(lock, [&] { return !full(); });
}

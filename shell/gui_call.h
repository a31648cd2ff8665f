// Carrying a worker's calls into the GUI thread. A worker never touches a Qt object: what it asks
// of a window runs in the GUI thread while the worker waits (a blocking queued call). What a worker
// hands over in bulk (output text, curve points) waits in queues that every such call applies
// first, so that nothing is seen out of order.
#pragma once

#include <functional>

namespace gui {

// True in the thread that owns the QApplication.
bool InGuiThread();

// Work a worker left queued for the GUI thread. Registered sources are applied, in the GUI
// thread, before every call that CallInGuiThread carries there.
class PendingWork {
public:
    PendingWork();
    virtual ~PendingWork();
    PendingWork(const PendingWork&) = delete;
    PendingWork& operator=(const PendingWork&) = delete;
    virtual void ApplyPending() = 0;
};

// Applies every registered source's queued work (GUI thread only).
void ApplyAllPending();

// Runs body in the GUI thread after applying all queued work: at once in the GUI thread, otherwise
// as a blocking queued call (the caller waits; the GUI thread goes on serving events until then).
void CallInGuiThread(const std::function<void()>& body);

// Runs body in the GUI thread without waiting for it (from the GUI thread: queued all the same).
void PostToGuiThread(std::function<void()> body);

}  // namespace gui

#include "shell/gui_call.h"

#include <QCoreApplication>
#include <QThread>
#include <algorithm>
#include <vector>

namespace gui {
namespace {

// Touched only in the GUI thread: sources register and leave there, and only the GUI thread applies.
std::vector<PendingWork*>& Sources() {
    static std::vector<PendingWork*> sources;
    return sources;
}

}  // namespace

bool InGuiThread() {
    // Asked for every queued point of a training: each thread finds its answer once.
    thread_local const bool inGuiThread = [] {
        const QCoreApplication* app = QCoreApplication::instance();
        return app != nullptr && QThread::currentThread() == app->thread();
    }();
    return inGuiThread;
}

PendingWork::PendingWork() { Sources().push_back(this); }

PendingWork::~PendingWork() {
    auto& sources = Sources();
    sources.erase(std::remove(sources.begin(), sources.end(), this), sources.end());
}

void ApplyAllPending() {
    // A source may leave while another applies (a window closing in a repaint): walk a copy.
    const std::vector<PendingWork*> sources = Sources();
    for (PendingWork* source : sources) {
        if (std::find(Sources().begin(), Sources().end(), source) != Sources().end()) source->ApplyPending();
    }
}

void CallInGuiThread(const std::function<void()>& body) {
    auto run = [&body] {
        ApplyAllPending();
        body();
    };
    if (InGuiThread()) {
        run();
        return;
    }
    QMetaObject::invokeMethod(QCoreApplication::instance(), run, Qt::BlockingQueuedConnection);
}

void PostToGuiThread(std::function<void()> body) {
    QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(body), Qt::QueuedConnection);
}

}  // namespace gui

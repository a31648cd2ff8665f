#include "host/stop_signals.h"

#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <thread>

#include "host/console_view.h"
#include "host/exit_status.h"

namespace stop_signals {
namespace {

std::atomic<ConsoleView*> runView{nullptr};

[[noreturn]] void EndNow(int signal) {
    // A stream whose writer is stuck in the system (a full pipe) would hold the flush: the
    // alarm's default action ends the process all the same.
    alarm(2);
    std::fflush(nullptr);
    _exit(ExitStatusForSignal(signal));
}

// The signals are taken by a thread of their own (every other thread blocks them), so that what
// they do is ordinary code rather than what a signal handler may do. The first stops the run; the
// next ends the program, but only after the script's files (C streams, as stdout is) have been
// flushed: data a script wrote is not lost to an impatient user.
void Watch(sigset_t signals) {
    for (bool stopped = false;;) {
        int signal = 0;
        if (sigwait(&signals, &signal) != 0) continue;
        ConsoleView* view = runView.load();
        if (stopped || view == nullptr) EndNow(signal);
        stopped = true;
        view->RequestStop(ExitStatusForSignal(signal));
    }
}

void IgnoreClosedPipe(int) {}

}  // namespace

void TakeInAThread() {
    sigset_t signals;
    sigemptyset(&signals);
    for (const int s : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&signals, s);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    std::thread(Watch, signals).detach();
    // A write to a closed pipe fails (EPIPE) instead of ending the program: the output stream then
    // stops the run. A handler rather than SIG_IGN, so that programs the script opens start with
    // the default.
    struct sigaction closedPipe {};
    closedPipe.sa_handler = IgnoreClosedPipe;
    closedPipe.sa_flags = SA_RESTART;
    sigemptyset(&closedPipe.sa_mask);
    sigaction(SIGPIPE, &closedPipe, nullptr);
    // A write beyond the file-size limit fails with an error the run reports, instead of killing us.
    std::signal(SIGXFSZ, SIG_IGN);
}

void StopRunOf(ConsoleView* view) { runView = view; }

}  // namespace stop_signals

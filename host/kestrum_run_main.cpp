// kestrum-run: checks and runs a Loriant Script document from the command line.
#include <atomic>
#include <csignal>
#include <cstdio>
#include <string>
#include <thread>

#include <pthread.h>
#include <signal.h>
#include <unistd.h>
#include <vector>

#include "host/command_line.h"
#include "host/console_view.h"
#include "host/script_runner.h"
#include "platform/cp1256.h"
#include "platform/document_text.h"

namespace {

std::atomic<ConsoleView*> g_view{nullptr};

// Ctrl+C is taken by a thread of its own (every other thread blocks it), so that what it does is
// ordinary code rather than what a signal handler may do. The first is the Stop command; the
// second ends the program, but only after the script's files (C streams, as stdout is) have been
// flushed: data a script wrote is not lost to an impatient user.
void WatchInterrupts(sigset_t interrupts) {
    for (int count = 0;;) {
        int signal = 0;
        if (sigwait(&interrupts, &signal) != 0) continue;
        if (++count == 1) {
            if (ConsoleView* view = g_view.load()) view->RequestStop();
            continue;
        }
        // A stream whose writer is stuck in the system (a full pipe) would hold the flush: the
        // alarm's default action ends the process all the same.
        alarm(2);
        std::fflush(nullptr);
        _exit(kExitStoppedByUser);
    }
}

// Before any other thread exists, so that all of them inherit the mask.
void TakeInterruptsInAThread() {
    sigset_t interrupts;
    sigemptyset(&interrupts);
    sigaddset(&interrupts, SIGINT);
    pthread_sigmask(SIG_BLOCK, &interrupts, nullptr);
    std::thread(WatchInterrupts, interrupts).detach();
    // A write beyond the file-size limit fails with an error the run reports, instead of killing us.
    std::signal(SIGXFSZ, SIG_IGN);
}

}  // namespace

int main(int argc, char** argv) {
    TakeInterruptsInAThread();
    RunOptions options;
    std::string error;
    if (!ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
        std::fprintf(stderr, "kestrum-run: %s\n%s", error.c_str(), kUsage);
        return kExitUsage;
    }
    if (options.help) {
        std::fputs(kHelp, stdout);
        return std::fflush(stdout) == 0 ? kExitOk : kExitScriptError;
    }
    std::string bytes;
    if (!document::ReadDocumentFile(options.file, bytes, error)) {
        std::fprintf(stderr, "kestrum-run: cannot read %s: %s\n", options.file.c_str(), error.c_str());
        return kExitUsage;
    }
    std::string scriptText = document::LoadScriptDocument(bytes, error);
    if (!error.empty()) {
        std::fprintf(stderr, "kestrum-run: %s: %s\n", options.file.c_str(), error.c_str());
        return kExitUsage;
    }

    ConsoleView view;
    if (!options.paneAtEnd) view.StreamTo(stdout);
    if (isatty(STDERR_FILENO)) view.ShowTrainingProgressOn(stderr);
    g_view = &view;

    ScriptRunner runner(view, stderr);
    int status = runner.Execute(scriptText, options);
    g_view = nullptr;

    bool outputLost = false;
    if (options.paneAtEnd) {
        std::string pane = cp1256::ToUtf8(view.PaneText());
        outputLost = std::fwrite(pane.data(), 1, pane.size(), stdout) != pane.size();
    } else {
        view.FlushStream();
        outputLost = view.StreamFailed();
    }
    if (std::fflush(stdout) != 0) outputLost = true;
    // Output that never arrived is a failed run, whatever the script did.
    if (outputLost && status == kExitOk) {
        std::fprintf(stderr, "kestrum-run: the output could not be written\n");
        status = kExitScriptError;
    }
    return status;
}

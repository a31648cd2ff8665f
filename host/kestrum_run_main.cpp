// kestrum-run: checks and runs a Loriant Script document from the command line.
#include <atomic>
#include <csignal>
#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

#include "host/command_line.h"
#include "host/console_view.h"
#include "host/script_runner.h"
#include "platform/cp1256.h"
#include "platform/document_text.h"

namespace {

std::atomic<ViewServices*> g_view{nullptr};
std::atomic<int> g_interrupts{0};

// The first Ctrl+C is the Stop command; the second ends the program.
extern "C" void OnInterrupt(int) {
    if (++g_interrupts > 1) _exit(kExitStoppedByUser);
    if (ViewServices* view = g_view.load()) view->stopRequested = 1;
}

}  // namespace

int main(int argc, char** argv) {
    RunOptions options;
    std::string error;
    if (!ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
        std::fprintf(stderr, "kestrum-run: %s\n%s", error.c_str(), kUsage);
        return kExitUsage;
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
    std::signal(SIGINT, OnInterrupt);

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

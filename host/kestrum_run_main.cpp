// kestrum-run: checks and runs a Loriant Script document from the command line.
#include <atomic>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
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

bool ReadWholeFile(const std::string& path, std::string& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    if (in.bad()) return false;
    bytes = buffer.str();
    return true;
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
    if (!ReadWholeFile(options.file, bytes)) {
        std::fprintf(stderr, "kestrum-run: cannot read %s\n", options.file.c_str());
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

    if (options.paneAtEnd) {
        std::string pane = cp1256::ToUtf8(view.PaneText());
        std::fwrite(pane.data(), 1, pane.size(), stdout);
    } else {
        view.FlushStream();
    }
    std::fflush(stdout);
    return status;
}

// kestrum-run: checks and runs a Loriant Script document from the command line.
#include <cstdio>
#include <string>
#include <vector>

#include <unistd.h>

#include "host/command_line.h"
#include "host/console_view.h"
#include "host/exit_status.h"
#include "host/script_file.h"
#include "host/script_runner.h"
#include "host/stop_signals.h"
#include "platform/cp1256.h"

namespace {

// Writes what the run leaves for stdout; false when some of it could not be written.
bool WriteOutput(ConsoleView& view, const RunOptions& options) {
    bool written = true;
    if (options.paneAtEnd) {
        const std::string pane = cp1256::ToUtf8(view.PaneText());
        written = std::fwrite(pane.data(), 1, pane.size(), stdout) == pane.size();
    } else {
        view.FlushStream();
        written = !view.StreamFailed();
    }
    return std::fflush(stdout) == 0 && written;
}

int Run(const std::string& scriptText, const RunOptions& options) {
    ConsoleView view;
    if (!options.paneAtEnd) view.StreamTo(stdout);
    if (isatty(STDERR_FILENO)) view.ShowTrainingProgressOn(stderr);
    stop_signals::StopRunOf(&view);
    ScriptRunner runner(view, stderr);
    int status = runner.Execute(scriptText, options);
    stop_signals::StopRunOf(nullptr);
    // A stop ends with the status of what asked for it: a signal, or a stream that failed.
    if (status == kExitStoppedByUser && view.StopEverRequested()) status = view.StopExitStatus();

    // Output that never arrived is a failed run, whatever the script did.
    if (!WriteOutput(view, options)) {
        std::fprintf(stderr, "kestrum-run: the output could not be written\n");
        if (status == kExitOk) status = kExitScriptError;
    }
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    stop_signals::TakeInAThread();
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
    std::string scriptText;
    if (const int status = LoadScriptFile(options.file, scriptText, stderr); status != kExitOk) return status;
    return Run(scriptText, options);
}

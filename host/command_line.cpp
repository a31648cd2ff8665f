#include "host/command_line.h"

const char* const kUsage = "usage: kestrum-run [--check] [--pane] [--answer yes|no] [--select-file PATH] FILE\n";

const char* const kHelp =
    "usage: kestrum-run [--check] [--pane] [--answer yes|no] [--select-file PATH] FILE\n"
    "Checks and runs the script document FILE (.NNProg rich text, or plain text).\n"
    "  --check             the check pass only\n"
    "  --pane              print nothing while running; at the end print the output pane exactly\n"
    "  --answer yes|no     the answer to every yes/no question a script asks (default no)\n"
    "  --select-file PATH  what a script's file-open dialog returns (default: Cancel)\n"
    "  --help              print this and end\n"
    "Exit status: 0 ended or check passed, 1 check or run failed, 2 bad usage or unreadable FILE,\n"
    "130 stopped with Ctrl+C, 143 with SIGTERM, 129 with SIGHUP.\n";

bool ParseCommandLine(const std::vector<std::string>& args, RunOptions& options, std::string& error) {
    options = RunOptions{};
    bool haveFile = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto needValue = [&](const char* name) -> const std::string* {
            if (i + 1 >= args.size()) {
                error = std::string(name) + " needs a value";
                return nullptr;
            }
            return &args[++i];
        };
        if (a == "--help" || a == "-h") {
            options.help = true;
        } else if (a == "--check") {
            options.checkOnly = true;
        } else if (a == "--pane") {
            options.paneAtEnd = true;
        } else if (a == "--answer") {
            const std::string* v = needValue("--answer");
            if (!v) return false;
            if (*v != "yes" && *v != "no") {
                error = "--answer takes yes or no";
                return false;
            }
            options.answerYes = *v == "yes";
        } else if (a == "--select-file") {
            const std::string* v = needValue("--select-file");
            if (!v) return false;
            options.selectFile = *v;
        } else if (a.size() > 1 && a[0] == '-' && a != "-") {
            error = "unknown option " + a;
            return false;
        } else {
            if (haveFile) {
                error = "only one FILE may be given";
                return false;
            }
            options.file = a;
            haveFile = true;
        }
    }
    if (!haveFile && !options.help) {
        error = "no FILE given";
        return false;
    }
    return true;
}

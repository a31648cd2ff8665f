// kestrum-run's command line:
//   kestrum-run [--check] [--pane] [--answer yes|no] [--select-file PATH] FILE
//   kestrum-run --help
#pragma once

#include <string>
#include <vector>

struct RunOptions {
    bool checkOnly = false;   // the check pass only
    bool paneAtEnd = false;   // print the final pane bytes instead of streaming
    bool answerYes = false;   // the answer of every yes/no question
    std::string selectFile;   // what the file-open dialog returns ("" = Cancel)
    std::string file;
    bool help = false;        // print kHelp and end: nothing is read or run
};

// false with a message in error for bad usage.
bool ParseCommandLine(const std::vector<std::string>& args, RunOptions& options, std::string& error);

extern const char* const kUsage;
// The usage with what each option does.
extern const char* const kHelp;

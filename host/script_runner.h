// What the editor's Compile and Run do, for a text host: the check pass, then the run in the
// interpreter's worker thread, with kestrum-run's exit statuses.
#pragma once

#include <cstdio>
#include <string>

#include "host/command_line.h"
#include "host/console_view.h"
#include "host/exit_status.h"

// Line and column (both from 1) of a byte position in the script text.
struct SourcePlace {
    int line = 1;
    int column = 1;
};
SourcePlace PlaceOf(const std::string& text, int position);

class ScriptRunner {
public:
    // errors receives the FILE:LINE:COLUMN: report of the highlighted word.
    ScriptRunner(ConsoleView& view, std::FILE* errors) : view_(view), errors_(errors) {}

    // Runs the script text (code page 1256, "\n" line ends) as options say; returns the exit status.
    int Execute(const std::string& scriptText, const RunOptions& options);

private:
    int CheckAndRun(const std::string& scriptText, const RunOptions& options);
    // FILE: message on errors.
    void Report(const std::string& fileName, const std::string& message);
    void ReportHighlightedWord(const std::string& scriptText, const std::string& fileName);

    ConsoleView& view_;
    std::FILE* errors_;
};

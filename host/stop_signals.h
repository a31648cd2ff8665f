// The signals that end a console program (Ctrl+C, SIGTERM, SIGHUP, a closed pipe) end a run the
// way the Stop command does, so that the script's files are flushed and closed and what it wrote
// is kept.
#pragma once

class ConsoleView;

namespace stop_signals {

// Before any other thread exists, so that all of them inherit the signal mask.
void TakeInAThread();

// The view whose run the next signal stops (nullptr: no run, and a signal ends the program at once).
void StopRunOf(ConsoleView* view);

}  // namespace stop_signals

// kestrum-run's exit statuses.
#pragma once

enum ExitStatus : int {
    kExitOk = 0,
    kExitScriptError = 1,  // the check or the run failed, or the output could not be written
    kExitUsage = 2,        // bad usage, or a FILE that cannot be loaded
    kExitStoppedByUser = 130,
};

// What a stop by a signal ends with, as a shell reports a program the signal ended.
constexpr int ExitStatusForSignal(int signal) { return 128 + signal; }

// How a run stands: still running, or how it ended.
#pragma once

enum RunState : int {
    kRunning = 0,
    kStoppedByUser = 1,
    kEndedByExit = 2,
    kEndedByStopProgram = 3,
    kEndedByError = 4,
};

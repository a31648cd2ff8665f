// The process-wide clock of weight copies into structure-and-training windows: an unforced copy
// happens at most once per 300 ms, and the first unforced request of the process only starts the
// clock. Shared by every window; read and written in the GUI thread only.
#pragma once

class WeightCopyClock {
public:
    static WeightCopyClock& Shared() {
        static WeightCopyClock clock;
        return clock;
    }
    // now: milliseconds (clock()). true when a copy is due, and then the clock restarts.
    bool ShouldCopy(long now) {
        if (!started_) {
            started_ = true;
            last_ = now;
            return false;
        }
        if (now - last_ < 300) return false;
        last_ = now;
        return true;
    }

private:
    bool started_ = false;
    long last_ = 0;
};

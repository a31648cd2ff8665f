#include "platform/crt_runtime.h"

#include <chrono>
#include <ctime>
#include <thread>

namespace crt {
namespace {

// Every thread starts from the runtime's fixed seed 1, so each run repeats the numbers of the
// previous run until the script reseeds.
thread_local std::uint32_t randState = 1;
thread_local long requestedSleep = 0;

std::chrono::steady_clock::time_point ProgramStart() {
    static const std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
    return start;
}

// Takes the start time during static initialisation, before main runs.
const std::chrono::steady_clock::time_point kStartTaken = ProgramStart();

}  // namespace

int Rand() {
    randState = randState * 214013u + 2531011u;  // unsigned: wraps modulo 2^32 as intended
    return static_cast<int>((randState >> 16) & 0x7FFFu);
}

void Srand(std::uint32_t seed) { randState = seed; }

long Clock() {
    const auto elapsed = std::chrono::steady_clock::now() - ProgramStart();
    return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

std::int64_t TimeSeconds() { return static_cast<std::int64_t>(std::time(nullptr)); }

void SleepMilliseconds(long ms) {
    if (ms <= 0) return;
    requestedSleep += ms;
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

long RequestedSleepMilliseconds() { return requestedSleep; }

}  // namespace crt

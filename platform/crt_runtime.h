// The original C runtime's observable number sources: rand() with its exact generator and one
// state per thread (every thread starts from seed 1), and clock() as wall-clock milliseconds
// since the program started.
#pragma once

#include <cstdint>

namespace crt {

constexpr int kRandMax = 0x7FFF;

// state = state * 214013 + 2531011; value = (state >> 16) & 0x7FFF. Per thread.
int Rand();
void Srand(std::uint32_t seed);
// Milliseconds since the program started.
long Clock();
// Seconds since the epoch, as time(nullptr).
std::int64_t TimeSeconds();
// Sleeps the calling thread.
void SleepMilliseconds(long ms);
// The milliseconds SleepMilliseconds was asked for on the calling thread so far: what a test
// reads to see that a wait happened (or did not) without timing it.
long RequestedSleepMilliseconds();

}  // namespace crt

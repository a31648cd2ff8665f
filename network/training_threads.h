// How many threads a training pass may share its work among. A pass's pairs are independent and
// each gradient sum is independent of the others, so any number of threads gives the same bits;
// the count only changes the speed. Small passes stay on the training's own thread: a thread is
// added only for every `MinimumWork` multiply-adds that the pass's chunk of pairs needs.
#pragma once

namespace training_threads {

// The threads a pass may use; 0 or less: the machine's cores (the default).
void SetCount(int threads);
int Count();

// Multiply-adds that each thread of a shared chunk must have at least; below 1: 1.
void SetMinimumWork(long long multiplyAdds);
long long MinimumWork();

// A shared chunk costs its threads' start and two barriers, some microseconds on an idle machine
// and far more when other programs hold the cores; 200,000 multiply-adds are 20 to 50 us of one
// core's work. XOR 2-10-1 (368 per pass) never shares; network (b) (70 million) takes every core.
inline constexpr long long kDefaultMinimumWork = 200000;

// The threads for a chunk that needs `multiplyAdds`: 1 .. Count().
int ForWork(long long multiplyAdds);

}  // namespace training_threads

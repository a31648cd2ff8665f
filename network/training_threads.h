// How many threads a training pass may share its work among. A pass's pairs are independent and
// each gradient sum is independent of the others, so any number of threads gives the same bits;
// the count only changes the speed. Small passes stay on the training's own thread: a thread is
// added only for every `MinimumWork` multiply-adds that the pass's chunk of pairs needs.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace training_threads {

// The threads a pass may use; 0 or less: the default, the cores this process may run on, limited
// by OMP_NUM_THREADS where that holds a thread count (the variable users set for such programs).
void SetCount(int threads);
int Count();

// A thread count as OpenMP's variable writes it: a positive whole number, or a list of them
// separated by commas whose first counts, blanks allowed around each. Nothing for any other text.
std::optional<int> ParseLimit(std::string_view text);

// The default count for `cores` cores and the variable's text (null: not set). A text that gives no
// count is ignored, and `complaint` gets the one line that says so.
int DefaultCount(int cores, const char* limit, std::string& complaint);

// Multiply-adds that each thread of a shared chunk must have at least; below 1: 1.
void SetMinimumWork(long long multiplyAdds);
long long MinimumWork();

// Measured on an idle 8-core machine with network 8-16-4 (multiply-adds of the pass: time on 1, 2,
// 4 and 8 threads): 62,000: 29, 45, 37, 29 us; 250,000: 111-183, 143-169, 98-120, 68-76 us;
// 1,000,000: 460, 576, 382, 256 us. A chunk gets a thread per 125,000: 62,000 stays on one,
// 500,000 takes four, a million all eight. XOR 2-10-1 (368) never shares; network (b) (70
// million) always takes every core.
inline constexpr long long kDefaultMinimumWork = 125000;

// The threads for a chunk that needs `multiplyAdds`: 1 .. Count().
int ForWork(long long multiplyAdds);

}  // namespace training_threads

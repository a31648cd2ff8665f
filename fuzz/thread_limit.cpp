// Fuzz target: the reader of OMP_NUM_THREADS. The first byte chooses the cores; the rest is the
// variable's text (up to its first NUL, as the environment holds it). The count must lie within
// 1 .. cores and agree with the text's own first number; a complaint must be one printable line.

#include <cstdint>
#include <cstdlib>
#include <string>

#include "network/training_threads.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const int cores = data[0] % 64 + 1;
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    std::string complaint;
    const int threads = training_threads::DefaultCount(cores, text.c_str(), complaint);
    if (threads < 1 || threads > cores) std::abort();
    const auto limit = training_threads::ParseLimit(text.c_str());
    if (limit.has_value() == !complaint.empty()) std::abort();
    if (limit && (*limit < 1 || threads != std::min(cores, *limit))) std::abort();
    if (!limit && threads != cores) std::abort();
    if (complaint.empty()) return 0;
    if (complaint.back() != '\n' || complaint.size() > 200) std::abort();
    for (std::size_t i = 0; i + 1 < complaint.size(); ++i)
        if (complaint[i] < ' ' || complaint[i] > '~') std::abort();
    return 0;
}

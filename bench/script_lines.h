// Lines of a typical script, for the benchmarks that make large documents of them.
#pragma once

#include <iterator>

namespace bench_text {

inline const char* const kScriptLines[] = {
    "// Train a small network on the XOR pairs and print its answers",
    "FF_NeuralNetwork net(2, 1, 10, 1)",
    "For i = 1 To 100",
    "    total = total + i * 2 - (i Mod 3)",
    "    Println \"step \" + i + \" of 100: \" + total",
    "Next",
};

inline const char* ScriptLine(std::size_t n) { return kScriptLines[n % std::size(kScriptLines)]; }

}  // namespace bench_text

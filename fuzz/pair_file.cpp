// Fuzz target: the training/testing pair text reader. The first two bytes choose the network's
// input and output counts; the rest is the file. The result must agree with the error text, and
// every pair read must have the network's shape with the bias in its last input column.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz/scratch_file.h"
#include "network/feed_forward_network.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const std::string& path = ScratchPath("pairs", "");
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return 0;
    std::fwrite(data + 2, 1, size - 2, f);
    std::fclose(f);

    CFeedForwardNeuralNetwork net;
    const int inputs = data[0] % 6;
    const int outputs = data[1] % 4 + 1;
    net.SetInputCount(inputs);
    net.SetLayers(1, &outputs);
    net.SetBias(-0.5);
    // The tables' usual first growth makes 10000 pairs at once: too slow for fuzzing.
    net.GetTrainingPairs().SetGrowBy(8);
    net.GetTestingPairs().SetGrowBy(8);
    std::string error;
    const int result = net.LoadPairsFromFile(1 + (data[1] >> 7), path, error);
    if ((result == 1) != error.empty()) std::abort();
    if (!error.empty() && error != "File Items Mismatch In Size.") std::abort();
    const CDynaArray<TrainingPair>& pairs = (data[1] >> 7) ? net.GetTestingPairs() : net.GetTrainingPairs();
    std::string ignored;
    for (const TrainingPair& pair : pairs) {
        if (pair.input.GetCols() != inputs + 1 || pair.target.GetCols() != outputs) std::abort();
        if (pair.input.GetAt(0, inputs, ignored) != -0.5) std::abort();
    }
    return 0;
}

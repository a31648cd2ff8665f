// Pair text files: numbers in any layout, the bias column, the mismatch at a short end, the
// missing file.
#include <gtest/gtest.h>


#include "engine_test_support.h"

using enginetest::Shape;
using enginetest::TempFile;

namespace {

struct Loaded {
    int result;
    std::string error;
    std::vector<std::vector<double>> inputs;
    std::vector<std::vector<double>> targets;
};

std::vector<double> RowOf(const CMatrix& m) {
    std::vector<double> row;
    std::string ignored;
    for (int c = 0; c < m.GetCols(); ++c) row.push_back(m.GetAt(0, c, ignored));
    return row;
}

Loaded Load(const std::string& content, int kind = kTrainingPairs, double bias = 0.5) {
    CFeedForwardNeuralNetwork net;
    Shape(net, 2, {3, 1});
    net.SetBias(bias);
    TempFile file("pairs.txt");
    file.WriteBytes(content);
    Loaded out;
    out.result = net.LoadPairsFromFile(kind, file.Path(), out.error);
    const CDynaArray<TrainingPair>& pairs = kind == kTrainingPairs ? net.GetTrainingPairs() : net.GetTestingPairs();
    for (const TrainingPair& pair : pairs) {
        out.inputs.push_back(RowOf(pair.input));
        out.targets.push_back(RowOf(pair.target));
    }
    return out;
}

}  // namespace

TEST(PairFile, ReadsPairsWhateverTheLayout) {
    const std::vector<std::vector<double>> xorInputs = {{0, 0, 0.5}, {0, 1, 0.5}, {1, 0, 0.5}, {1, 1, 0.5}};
    const std::vector<std::vector<double>> xorTargets = {{0}, {1}, {1}, {0}};
    const char* layouts[] = {
        "0 0 0\n0 1 1\n1 0 1\n1 1 0\n",
        "0 0 0 0 1 1 1 0 1 1 1 0",
        "0\t0\t0\r\n0 1 1\r\n\r\n1 0 1\r\n 1   1   0\r\n",
    };
    for (const char* layout : layouts) {
        const Loaded loaded = Load(layout);
        EXPECT_EQ(loaded.result, 1) << layout;
        EXPECT_EQ(loaded.error, "");
        EXPECT_EQ(loaded.inputs, xorInputs) << layout;
        EXPECT_EQ(loaded.targets, xorTargets) << layout;
    }
}

TEST(PairFile, AFileEndingInsideAPairKeepsTheEarlierPairs) {
    struct Case {
        const char* content;
        int result;
        const char* error;
        std::size_t pairs;
    };
    const Case cases[] = {
        {"1\n2\n3\n4\n5\n6\n7\n", 0, "File Items Mismatch In Size.", 2},
        // The probe before a pair reaches the end of the file: reading stops without an error.
        {"1\n2\n3\n4\n5\n6\n7", 1, "", 2},
        {"", 1, "", 0},
    };
    for (const Case& c : cases) {
        const Loaded loaded = Load(c.content);
        EXPECT_EQ(loaded.result, c.result) << c.content;
        EXPECT_EQ(loaded.error, c.error) << c.content;
        EXPECT_EQ(loaded.inputs.size(), c.pairs) << c.content;
    }
}

TEST(PairFile, MissingFileNamesThePathAndTheCurrentDirectory) {
    CFeedForwardNeuralNetwork net;
    Shape(net, 2, {1});
    std::string error = "old";
    EXPECT_EQ(net.LoadPairsFromFile(kTrainingPairs, "no/such/pairs.txt", error), 0);
    EXPECT_EQ(error, "Error: File not found: \" no/such/pairs.txt \"\r\n\r\nCurrent Directory:" +
                         std::filesystem::current_path().string());
    EXPECT_EQ(net.GetTrainingPairs().GetCount(), 0);
}

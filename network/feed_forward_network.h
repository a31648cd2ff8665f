// CFeedForwardNeuralNetwork: the network behind the script type FF_NeuralNetwork: the layered
// model plus training and testing pairs, the training settings that scripts set as members, the
// forward pass, the output text, the ".qNN" network file and the pair text files. Training
// itself (Train, ShufflePairs) is in training.cpp.
#pragma once

#include <string>

#include "base/dyna_array.h"
#include "base/matrix.h"
#include "network/neural_network.h"
#include "network/transfer_function.h"

namespace crt { class CrtFile; }

// One training or testing example: one row of inputs and one row of desired outputs.
struct TrainingPair {
    CMatrix input{1, 1, ""};
    CMatrix target{1, 1, ""};
};

enum PairKind : int { kTrainingPairs = 1, kTestingPairs = 2 };

class CFeedForwardNeuralNetwork : public CNeuralNetwork {
public:
    CFeedForwardNeuralNetwork();
    // The model copy of CNeuralNetwork, the function code, both pair tables pair by pair
    // and every training setting; the copy is not simulated. nullptr: the default network.
    explicit CFeedForwardNeuralNetwork(const CFeedForwardNeuralNetwork* source);
    CFeedForwardNeuralNetwork(const CFeedForwardNeuralNetwork& source) : CFeedForwardNeuralNetwork(&source) {}
    ~CFeedForwardNeuralNetwork() override;

    // Appends a copy of the pair to the training pairs (kind 1) or the testing pairs (kind 2);
    // other kinds do nothing. 0 when the table could not grow.
    int AddPair(int kind, const TrainingPair& pair);
    CDynaArray<TrainingPair>& GetTrainingPairs() { return trainingPairs_; }
    const CDynaArray<TrainingPair>& GetTrainingPairs() const { return trainingPairs_; }
    CDynaArray<TrainingPair>& GetTestingPairs() { return testingPairs_; }
    const CDynaArray<TrainingPair>& GetTestingPairs() const { return testingPairs_; }

    // The forward pass: the bias neuron outputs the bias, then every computed layer in order gets
    // the network's function code and Steepness and computes. Nothing without computed layers.
    // showProgress non-zero: "Simulation in Layer i of L" on the view's "Simulation:" bar.
    void Simulate(int showProgress);
    // Leaves the network as Simulate(0) leaves it for these inputs, from the outputs that each
    // computed layer j gives for them (layerOutputs[j], computed elsewhere as training does).
    void SetSimulatedState(const double* inputs, const double* const* layerOutputs);
    // The output layer's values (single precision, FormatFloatTrimmed) joined by TAB, or the
    // "not simulated" text when structure or parameters changed since the last simulation.
    std::string toString() const;

    // Writes the object header (type 7) and the network body. 1 when every byte was written.
    int WriteToFile(crt::CrtFile& file) const;
    // Reads a network body (the caller has read the header) and rebuilds the network from it.
    // Every count is checked against the file's size before anything is allocated; a short or
    // inconsistent body changes nothing, sets `error` to "Error: Not a valid Kestrum Object." and
    // gives 0. The pairs and training settings keep their values.
    int ReadFromFile(crt::CrtFile& file, std::string& error);
    // Reads a pair text file into the training (kind 1) or testing (kind 2) pairs. 1 when
    // `errorText` is empty at the end.
    int LoadPairsFromFile(int kind, const std::string& path, std::string& errorText);

    // Trains on the training pairs by batch back-propagation, reporting to `view` (nullptr:
    // nothing is reported and no flag is read). 1 when `errorText` is empty at the end.
    int Train(std::string& errorText, ViewServices* view);
    // Permutes order[0 .. n - 1] with the C runtime's rand(), drawing exactly as many numbers as
    // the shuffle always has. n below 1: nothing.
    static void ShufflePairs(int* order, int n);

    // Training settings (script members of Train.).
    double LearningConstant = 1.0;
    double LearningMaxError = 0.0;
    double Steepness = 1.0;
    double CorrectOutputThreshold = 0.5;
    int SmartLearningConstant = 0;
    int ShowStorms = 1;
    int MaxEpochs = 0;
    int UpdateEpochs = 100;

private:
    CDynaArray<TrainingPair>& PairsOfKind(int kind) { return kind == kTrainingPairs ? trainingPairs_ : testingPairs_; }

    CDynaArray<TrainingPair> trainingPairs_{10000, "NN Training Pairs"};
    CDynaArray<TrainingPair> testingPairs_{10000, "NN Training Pairs"};
};

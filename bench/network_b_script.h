// Network (b) of the training benchmarks: 64-128-128-10 with 1000 random pairs; each benchmark
// adds its own training settings and the StartLearning line.
#pragma once

inline constexpr char kNetworkBSetup[] =
    "FF_NeuralNetwork net\n"
    "net.InputsNumber = 64 : net.LayersNumber = 3 : net.NeuronsInLayers = [128, 128, 10]\n"
    "net.Function = FCN_LOGSIG : net.Bias = 1\n"
    "net.Weights(1) = RANDOM_ELEMENTS(-0.5, 0.5)\n"
    "net.Weights(2) = RANDOM_ELEMENTS(-0.5, 0.5)\n"
    "net.Weights(3) = RANDOM_ELEMENTS(-0.5, 0.5)\n"
    "Integer i\n"
    "For i = 1 To 1000 : net.Train.AddTrainingPair(RANDOM_ELEMENTS(0, 1), RANDOM_ELEMENTS(0, 1)) : Next\n";

// The transfer functions of computed neurons, by the codes that scripts and network files use.
#pragma once

#include <cmath>

enum TransferFunctionCode : int {
    FCN_NONE = 0,      // the neuron is not computed: it keeps its output
    FCN_HARDLIM = 1,   // 1 if net >= 0, else 0
    FCN_HARDLIMS = 2,  // 1 if net >= 0, else -1
    FCN_LOGSIG = 3,    // 1 / (1 + e^(-gain * net))
    FCN_TANSIG = 4,    // 2 / (1 + e^(-gain * net)) - 1
};

// The output of a neuron with function code `code` and gain `gain` for the net input `net`;
// any code other than 1..4 is linear (code 0 is handled by the caller: nothing is computed).
inline double ApplyTransfer(int code, double gain, double net) {
    switch (code) {
    case FCN_HARDLIM:
        return net >= 0 ? 1.0 : 0.0;
    case FCN_HARDLIMS:
        return net >= 0 ? 1.0 : -1.0;
    case FCN_LOGSIG:
        return 1.0 / (1.0 + std::exp(-gain * net));
    case FCN_TANSIG:
        return 2.0 / (1.0 + std::exp(-gain * net)) - 1.0;
    default:
        return net;
    }
}

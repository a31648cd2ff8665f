// Fuzz target: the ".qNN" network body reader. The input is a body (what follows the 12-byte
// header); the harness puts a valid header in front, as the reader's callers check it first.
// A refused body must leave the network exactly as it was; an accepted one must write back and
// read again to the same network.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "fuzz/scratch_file.h"
#include "base/object_file_header.h"
#include "network/feed_forward_network.h"
#include "platform/crt_file.h"

namespace {

std::string Fingerprint(const CFeedForwardNeuralNetwork& net) {
    std::string text = net.GetName() + "|" + std::to_string(net.GetInputCount()) + "|" + std::to_string(net.GetFunction());
    double fields[2] = {net.GetBias(), net.Steepness};
    text.append(reinterpret_cast<const char*>(fields), sizeof fields);
    for (int j = 0; j < net.GetLayerCount(); ++j) {
        const NeuronLayer& layer = net.GetLayer(j);
        text += "|" + std::to_string(layer.GetNeuronCount()) + ":";
        text.append(reinterpret_cast<const char*>(layer.Weights()), layer.WeightCount() * sizeof(double));
    }
    return text;
}

bool ReadBody(CFeedForwardNeuralNetwork& net, const std::string& path, std::string& error) {
    auto in = crt::CrtFile::Open(path, "rb");
    if (!in || ReadObjectHeader(*in) != 7) std::abort();
    return net.ReadFromFile(*in, error) == 1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& path = ScratchPath("network", "");
    {
        auto out = crt::CrtFile::Open(path, "wb");
        if (!out || !WriteObjectHeader(*out, 7)) return 0;
        if (size > 0) out->Write(data, 1, size);
        out->Close();
    }
    CFeedForwardNeuralNetwork net;
    net.SetInputCount(2);
    const int sizes[] = {2, 1};
    net.SetLayers(2, sizes);
    net.GetLayer(1).GetNeuron(0).SetWeight(1, 0.25);
    const std::string before = Fingerprint(net);

    std::string error;
    if (!ReadBody(net, path, error)) {
        if (Fingerprint(net) != before || error != "Error: Not a valid Kestrum Object.") std::abort();
        return 0;
    }
    const std::string loaded = Fingerprint(net);
    {
        auto out = crt::CrtFile::Open(path, "wb");
        if (!out || net.WriteToFile(*out) != 1) std::abort();
        out->Close();
    }
    CFeedForwardNeuralNetwork again;
    if (!ReadBody(again, path, error) || Fingerprint(again) != loaded) std::abort();
    return 0;
}

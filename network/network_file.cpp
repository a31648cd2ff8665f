// The ".qNN" network file, which is also the body of a saved FF_NeuralNetwork object:
// header (777777777, 888888888, 7), then n, L, bias, function code, Steepness, the L layer sizes,
// the name (length and bytes) and every weight by layer, neuron and connection, the bias
// connection last; little endian, no padding.
#include <algorithm>
#include <cstdint>
#include <limits>
#include <vector>

#include "base/object_file_header.h"
#include "network/feed_forward_network.h"
#include "platform/crt_file.h"

namespace {

constexpr std::int32_t kFeedForwardType = 7;
// An input count that no weight of the file pays for (no computed layer, or an empty first
// layer) is still bounded, so that a few bytes cannot ask for gigabytes of neurons.
constexpr std::int64_t kMaxUnweightedInputs = std::int64_t{1} << 20;
constexpr std::int64_t kFixedFieldBytes = 4 + 4 + 8 + 4 + 8;

// A network body as read, every count already checked against the bytes the file holds.
struct NetworkBody {
    std::int32_t inputs = 0;
    std::int32_t function = 0;
    double bias = 0.0;
    double steepness = 1.0;
    std::vector<int> sizes;
    std::string name;
    std::vector<double> weights;
};

// The weight count that the rebuilt structure holds, or -1 when it passes `limit`.
std::int64_t WeightCount(std::int32_t inputs, const std::vector<int>& sizes, std::int64_t limit) {
    std::int64_t total = 0;
    std::int64_t feeding = std::max<std::int64_t>(inputs, 0) + 1;  // a built network has a bias neuron
    for (int size : sizes) {
        total += static_cast<std::int64_t>(size) * feeding;  // at most 2^31 * 2^31: no overflow
        if (total > limit) return -1;
        feeding = static_cast<std::int64_t>(size) + 1;
    }
    return total;
}

class BodyReader {
public:
    explicit BodyReader(crt::CrtFile& file) : file_(file), left_(file.Length() - file.Tell()) {}

    bool Read(NetworkBody& body) {
        std::int32_t layers = 0;
        if (left_ < kFixedFieldBytes || !Int(body.inputs) || !Int(layers) || !Double(body.bias) ||
            !Int(body.function) || !Double(body.steepness))
            return false;
        if (body.inputs < -1 || layers < 0 || layers > left_ / 4) return false;
        body.sizes.resize(static_cast<std::size_t>(layers));
        for (int& size : body.sizes)
            if (!Int(size) || size < 0) return false;
        std::int32_t nameLength = 0;
        if (!Int(nameLength) || nameLength < 0 || nameLength > left_) return false;
        body.name.resize(static_cast<std::size_t>(nameLength));
        if (nameLength > 0 && !Bytes(body.name.data(), static_cast<std::size_t>(nameLength))) return false;
        if (!InputsArePaidFor(body)) return false;
        const std::int64_t weights = WeightCount(body.inputs, body.sizes, left_ / 8);
        if (weights < 0) return false;
        body.weights.resize(static_cast<std::size_t>(weights));
        for (double& weight : body.weights)
            if (!Double(weight)) return false;
        return true;
    }

private:
    static bool InputsArePaidFor(const NetworkBody& body) {
        const bool weighted = !body.sizes.empty() && body.sizes.front() > 0;
        return weighted || body.inputs < kMaxUnweightedInputs;
    }
    bool Int(std::int32_t& value) { return Take(4) && ReadInt32(file_, value); }
    bool Double(double& value) { return Take(8) && ReadDouble(file_, value); }
    bool Bytes(char* data, std::size_t count) { return Take(static_cast<std::int64_t>(count)) && file_.Read(data, 1, count) == count; }
    bool Take(std::int64_t bytes) {
        if (bytes > left_) return false;
        left_ -= bytes;
        return true;
    }

    crt::CrtFile& file_;
    std::int64_t left_;
};

}  // namespace

int CFeedForwardNeuralNetwork::WriteToFile(crt::CrtFile& file) const {
    bool ok = WriteObjectHeader(file, kFeedForwardType);
    const int layers = GetLayerCount();
    ok = WriteInt32(file, GetInputCount() - 1) && ok;
    ok = WriteInt32(file, layers) && ok;
    ok = WriteDouble(file, GetBias()) && ok;
    ok = WriteInt32(file, GetFunction()) && ok;
    ok = WriteDouble(file, Steepness) && ok;
    for (int j = 0; j < layers; ++j) ok = WriteInt32(file, GetLayerSize(j)) && ok;
    const std::string& name = GetName();
    const auto nameLength = static_cast<std::int32_t>(std::min<std::size_t>(name.size(), std::numeric_limits<std::int32_t>::max()));
    ok = WriteInt32(file, nameLength) && ok;
    if (nameLength > 0) ok = file.Write(name.data(), 1, static_cast<std::size_t>(nameLength)) == static_cast<std::size_t>(nameLength) && ok;
    for (int j = 0; j < layers; ++j) {
        const NeuronLayer& layer = GetLayer(j);
        for (std::size_t i = 0; i < layer.WeightCount(); ++i) ok = WriteDouble(file, layer.Weights()[i]) && ok;
    }
    return ok ? 1 : 0;
}

int CFeedForwardNeuralNetwork::ReadFromFile(crt::CrtFile& file, std::string& error) {
    NetworkBody body;
    if (!BodyReader(file).Read(body)) {
        error = "Error: Not a valid Kestrum Object.";
        return 0;
    }
    // Everything is known and checked: now the network changes, in the order the fields come.
    ResizeInputLayer(body.inputs);
    ResizeLayerTable(static_cast<int>(body.sizes.size()));
    SetBias(body.bias);
    SetFunction(body.function);
    Steepness = body.steepness;
    SetLayers(body.sizes);
    SetName(body.name);
    std::size_t next = 0;
    for (int j = 0; j < GetLayerCount(); ++j) {
        NeuronLayer& layer = GetLayer(j);
        const std::size_t count = std::min(layer.WeightCount(), body.weights.size() - next);
        std::copy_n(body.weights.begin() + static_cast<std::ptrdiff_t>(next), count, layer.Weights());
        next += count;
    }
    return 1;
}

// The ".qNN" network file: a round trip, and bodies that must be refused whole (the bytes of a
// saved network are held to a hand-made file by the extension's tests).
#include <gtest/gtest.h>

#include <cstring>
#include <sstream>

#include "engine_test_support.h"
#include "heap_probe.h"
#include "base/object_file_header.h"
#include "platform/crt_file.h"

using enginetest::ForEachWeight;
using enginetest::Shape;
using enginetest::TempFile;

namespace {

void PutInt32(std::string& bytes, std::int32_t v) { bytes.append(reinterpret_cast<const char*>(&v), 4); }
void PutDouble(std::string& bytes, double v) { bytes.append(reinterpret_cast<const char*>(&v), 8); }

// The example network: 2 inputs, layers of 3 and 1 neurons, name "net", weight i = i + 0.5.
void MakeExample(CFeedForwardNeuralNetwork& net) {
    Shape(net, 2, {3, 1});
    net.SetName("net");
    net.SetBias(-1.0);
    net.SetFunction(3);
    net.Steepness = 0.5;
    double w = 0.5;
    ForEachWeight(net, [&w](Neuron& neuron, int c) { neuron.SetWeight(c, w++); });
}

int Write(const CFeedForwardNeuralNetwork& net, const TempFile& file) {
    auto out = crt::CrtFile::Open(file.Path(), "wb");
    const int result = net.WriteToFile(*out);
    out->Close();
    return result;
}

// Reads a body (after skipping the 12 header bytes) into the network.
int Read(CFeedForwardNeuralNetwork& net, const TempFile& file, std::string& error) {
    auto in = crt::CrtFile::Open(file.Path(), "rb");
    char header[12];
    if (in->Read(header, 1, 12) != 12) return -1;
    return net.ReadFromFile(*in, error);
}

// Every observable part of a network that the file carries.
std::string Fingerprint(const CFeedForwardNeuralNetwork& net) {
    std::ostringstream text;
    text << net.GetName() << '|' << net.GetInputCount() << '|' << net.GetLayerCount() << '|' << net.GetBias() << '|'
         << net.GetFunction() << '|' << net.Steepness;
    for (int j = 0; j < net.GetLayerCount(); ++j) {
        text << "|L" << net.GetLayerSize(j);
        const NeuronLayer& layer = net.GetLayer(j);
        for (std::size_t i = 0; i < layer.WeightCount(); ++i) text << ',' << layer.Weights()[i];
    }
    return text.str();
}

}  // namespace

TEST(NetworkFile, RoundTripKeepsTheNetworkAndTheTargetsOwnTrainingSettings) {
    CFeedForwardNeuralNetwork net;
    MakeExample(net);
    TempFile file("roundtrip.qNN");
    ASSERT_EQ(Write(net, file), 1);

    CFeedForwardNeuralNetwork target;
    target.LearningConstant = 0.3;
    target.MaxEpochs = 77;
    target.AddPair(kTrainingPairs, enginetest::MakePair({1, 2}, {3}));
    std::string error;
    ASSERT_EQ(Read(target, file, error), 1);
    EXPECT_TRUE(error.empty());
    EXPECT_EQ(Fingerprint(target), Fingerprint(net));
    EXPECT_EQ(target.LearningConstant, 0.3);
    EXPECT_EQ(target.MaxEpochs, 77);
    EXPECT_EQ(target.GetTrainingPairs().GetCount(), 1);
    EXPECT_EQ(target.IsSimulated(), 0);
}

TEST(NetworkFile, ShortOrInconsistentBodiesChangeNothing) {
    CFeedForwardNeuralNetwork example;
    MakeExample(example);
    TempFile good("good.qNN");
    ASSERT_EQ(Write(example, good), 1);
    const std::string bytes = good.ReadBytes();

    auto body = [](std::int32_t n, std::vector<std::int32_t> sizes, std::int32_t nameLength, int weights) {
        std::string b;
        PutInt32(b, ObjectFileHeader::kFirstMagic);
        PutInt32(b, ObjectFileHeader::kSecondMagic);
        PutInt32(b, 7);
        PutInt32(b, n);
        PutInt32(b, static_cast<std::int32_t>(sizes.size()));
        PutDouble(b, 0.0);
        PutInt32(b, 3);
        PutDouble(b, 1.0);
        for (std::int32_t s : sizes) PutInt32(b, s);
        PutInt32(b, nameLength);
        b.append(nameLength > 0 && nameLength < 100 ? static_cast<std::size_t>(nameLength) : 0, 'x');
        for (int i = 0; i < weights; ++i) PutDouble(b, 1.0);
        return b;
    };
    struct Case {
        const char* what;
        std::string bytes;
    };
    std::vector<Case> cases;
    for (std::size_t cut = 12; cut < bytes.size(); cut += 7) cases.push_back({"truncated", bytes.substr(0, cut)});
    cases.push_back({"negative input count", body(-2, {1}, 0, 1)});
    cases.push_back({"negative layer size", body(2, {3, -1}, 0, 9)});
    cases.push_back({"huge layer count", body(2, {}, 0, 0).replace(16, 4, std::string("\xff\xff\xff\x7f", 4))});
    cases.push_back({"negative name length", body(2, {1}, -5, 3)});
    cases.push_back({"name longer than the file", body(2, {1}, 1 << 30, 3)});
    cases.push_back({"weights the file lacks", body(2, {100000, 100000}, 0, 4)});
    cases.push_back({"inputs no weight pays for", body(2000000000, {}, 0, 0)});

    for (const Case& c : cases) {
        CFeedForwardNeuralNetwork net;
        MakeExample(net);
        net.Simulate(0);
        const std::string before = Fingerprint(net);
        TempFile file("bad.qNN");
        file.WriteBytes(c.bytes);
        std::string error;
        // No count is trusted beyond the bytes the file holds: no request comes near a megabyte.
        heap_probe::Arm(1 << 20);
        EXPECT_EQ(Read(net, file, error), 0) << c.what << " (" << c.bytes.size() << " bytes)";
        EXPECT_LE(heap_probe::Disarm(), std::size_t{1} << 20) << c.what;
        EXPECT_EQ(error, "Error: Not a valid Kestrum Object.") << c.what;
        EXPECT_EQ(Fingerprint(net), before) << c.what;
        EXPECT_EQ(net.IsSimulated(), 1) << c.what;
    }
}

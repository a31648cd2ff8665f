// SaveObject and LoadObject of network variables: the ".qNN" bytes of a feed-forward network,
// a round trip, and the failures.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "net_harness.h"
#include "platform/temp_dir.h"

namespace {

class NetworkObjects : public ::testing::Test {
protected:
    std::string Path(const char* name) const { return dir_.File(name); }
    std::string Bytes(const char* name) const { return platform_test::ReadBytes(Path(name)); }
    void Write(const char* name, const std::string& bytes) const { platform_test::WriteBytes(Path(name), bytes); }

    platform_test::TempDir dir_;
};

void AppendInt(std::string& out, std::int32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((static_cast<std::uint32_t>(v) >> (8 * i)) & 0xFF));
}

void AppendDouble(std::string& out, double v) {
    std::uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    for (int i = 0; i < 8; ++i) out.push_back(static_cast<char>((bits >> (8 * i)) & 0xFF));
}

// A network "net" of 2 inputs and layers of 3 and 1 neurons, bias 0.5, FCN_TANSIG, steepness 2,
// weight c of neuron k of layer j set to j * 100 + k * 10 + c (1-based).
constexpr const char* kBuildNet =
    "FF_NeuralNetwork net\n"
    "net.InputsNumber = 2 : net.LayersNumber = 2 : net.NeuronsInLayers = [3, 1]\n"
    "net.Bias = 0.5 : net.Function = FCN_TANSIG : net.Steepness = 2\n"
    "Integer k, c\n"
    "For k = 1 To 3 : For c = 1 To 3 : net.Weights(1, k, c) = 100 + k * 10 + c : Next : Next\n"
    "For c = 1 To 4 : net.Weights(2, 1, c) = 210 + c : Next\n";

std::string ExpectedNetFile() {
    std::string bytes;
    AppendInt(bytes, 777777777);
    AppendInt(bytes, 888888888);
    AppendInt(bytes, 7);
    AppendInt(bytes, 2);      // inputs without the bias
    AppendInt(bytes, 2);      // computed layers
    AppendDouble(bytes, 0.5);  // bias
    AppendInt(bytes, 4);      // FCN_TANSIG
    AppendDouble(bytes, 2.0);  // steepness
    AppendInt(bytes, 3);
    AppendInt(bytes, 1);
    AppendInt(bytes, 3);
    bytes += "net";
    for (int k = 1; k <= 3; ++k) {
        for (int c = 1; c <= 3; ++c) AppendDouble(bytes, 100 + k * 10 + c);
    }
    for (int c = 1; c <= 4; ++c) AppendDouble(bytes, 210 + c);
    return bytes;
}

TEST_F(NetworkObjects, LoadObjectRebuildsStructureNameAndWeights) {
    Write("in.qNN", ExpectedNetFile());
    const std::string script = "FF_NeuralNetwork a[2]\n"
                               "a[2].Train.LearningConstant = 0.25\n"
                               "LoadObject a[2] From '" + Path("in.qNN") + "'\n"
                               "Println a[2].InputsNumber : Println a[2].NeuronsInLayers(1) : Println a[2].Bias\n"
                               "Println a[2].Weights(2) : Println a[2].Output.toString()\n"
                               "Println a[1].LayersNumber\n"
                               "a[2].InputValues = [0, 0] : a[2].Simulate() : Println a[2].Output(1)\n"
                               "SaveObject a[2] In '" + Path("out.qNN") + "'";
    // With inputs 0 and bias 0.5 every hidden neuron's net input is half its bias weight (56.5 or
    // more), so tansig gives 1; the output neuron's net input is 211 + 212 + 213 + 107: 1 again.
    EXPECT_EQ(RunNetScript(script), "2\r\n3\r\n0.5\r\n211\r\n212\r\n213\r\n214\r\n"
                                    "toString(): \"net\" not simulated after last changes.\r\n"
                                    "0\r\n1\r\n");
    // Loading changed nothing in the file, and the loaded network saves the same bytes.
    EXPECT_EQ(Bytes("in.qNN"), ExpectedNetFile());
    EXPECT_EQ(Bytes("out.qNN"), ExpectedNetFile());
}

TEST_F(NetworkObjects, Failures) {
    Write("short.qNN", ExpectedNetFile().substr(0, 100));
    Write("nomagic.qNN", "not a network object at all");
    const ScriptCase cases[] = {
        {"FF_NeuralNetwork f : LoadObject f From '" + Path("missing.qNN") + "'",
         EndedByError("", " Runtime Error : File Not Found.")},
        {"FF_NeuralNetwork f : LoadObject f From '" + Path("nomagic.qNN") + "'",
         EndedByError("", "Error: Not a valid Kestrum Object.")},
        {"FF_NeuralNetwork f : f.Bias = 3 : LoadObject f From '" + Path("short.qNN") + "'",
         EndedByError("", "Error: Not a valid Kestrum Object.")},
        {"FF_NeuralNetwork f : SaveObject f In '" + Path("no/such/dir/f.qNN") + "'",
         EndedByError("", " Runtime Error : Cannot open file.")},
        {"FF_NeuralNetwork f[2] : SaveObject f[3] In 'x'",
         EndedByError("", " Runtime Error : Array Bound OUT OF RANGE.   :  3 > 2 (U.B)) ")},
    };
    for (const ScriptCase& c : cases) EXPECT_EQ(RunNetScript(c.script), c.pane) << c.script;
    EXPECT_EQ(Bytes("nomagic.qNN"), "not a network object at all");
}

}  // namespace

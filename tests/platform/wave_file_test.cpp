// The wave file header a sound is played from: its duration, or a clear refusal.
#include "platform/wave_file.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "temp_dir.h"

namespace {

using platform_test::TempDir;
using platform_test::WriteBytes;

std::string Le32(std::uint32_t v) {
    std::string s;
    for (int i = 0; i < 4; ++i) s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    return s;
}

std::string Le16(std::uint16_t v) { return Le32(v).substr(0, 2); }

std::string FmtChunk(std::uint16_t channels, std::uint32_t rate, std::uint16_t bits) {
    const std::uint16_t align = static_cast<std::uint16_t>(channels * bits / 8);
    return "fmt " + Le32(16) + Le16(1) + Le16(channels) + Le32(rate) + Le32(rate * align) + Le16(align) + Le16(bits);
}

std::string Riff(const std::string& chunks) { return "RIFF" + Le32(static_cast<std::uint32_t>(4 + chunks.size())) + "WAVE" + chunks; }

std::string DataChunk(std::uint32_t claimed, std::size_t present) {
    return "data" + Le32(claimed) + std::string(present, '\0');
}

struct WaveCase {
    const char* what;
    std::string file;
    bool readable;
    std::uint64_t milliseconds;
};

TEST(WaveFileTest, DurationFromTheHeaderOrAClearRefusal) {
    // 8000 Hz mono 16-bit: 16000 bytes per second.
    const std::string fmt = FmtChunk(1, 8000, 16);
    const std::vector<WaveCase> cases = {
        {"half a second", Riff(fmt + DataChunk(8000, 8000)), true, 500},
        {"odd chunk before data is padded", Riff(fmt + "LIST" + Le32(3) + "abc" + std::string(1, '\0') + DataChunk(1600, 1600)), true, 100},
        {"header claims more than the file has", Riff(fmt + DataChunk(16000, 8000)), true, 500},
        {"no data chunk", Riff(fmt), false, 0},
        {"short fmt", Riff("fmt " + Le32(8) + std::string(8, '\0') + DataChunk(8, 8)), false, 0},
        {"fmt cut short", Riff("fmt " + Le32(16) + "abc"), false, 0},
        {"chunk size past the end", Riff(fmt + "junk" + Le32(0xFFFFFFF0u) + "x"), false, 0},
        {"not RIFF", "RIFX" + Le32(4) + "WAVE", false, 0},
        {"empty file", "", false, 0},
    };
    TempDir dir;
    for (const WaveCase& c : cases) {
        const std::string path = dir.File("sound.wav");
        WriteBytes(path, c.file);
        desktop::WaveInfo info;
        std::string error;
        EXPECT_EQ(desktop::ReadWaveInfo(path, info, error), c.readable) << c.what;
        EXPECT_EQ(error.empty(), c.readable) << c.what << ": " << error;
        if (c.readable) {
            EXPECT_EQ(info.DurationMilliseconds(), c.milliseconds) << c.what;
        }
    }
}

}  // namespace

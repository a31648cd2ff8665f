#include "platform/desktop.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/wave_file.h"
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
        {"stereo 44.1 kHz", Riff(FmtChunk(2, 44100, 16) + DataChunk(176400, 176400)), true, 1000},
        {"odd chunk before data is padded", Riff(fmt + "LIST" + Le32(3) + "abc" + std::string(1, '\0') + DataChunk(1600, 1600)), true, 100},
        {"header claims more than the file has", Riff(fmt + DataChunk(16000, 8000)), true, 500},
        {"empty sound", Riff(fmt + DataChunk(0, 0)), true, 0},
        {"no data chunk", Riff(fmt), false, 0},
        {"data before fmt", Riff(DataChunk(8, 8) + fmt), false, 0},
        {"short fmt", Riff("fmt " + Le32(8) + std::string(8, '\0') + DataChunk(8, 8)), false, 0},
        {"zero byte rate", Riff("fmt " + Le32(16) + Le16(1) + Le16(1) + Le32(8000) + Le32(0) + Le16(2) + Le16(16) + DataChunk(8, 8)), false, 0},
        {"fmt cut short", Riff("fmt " + Le32(16) + "abc"), false, 0},
        {"chunk size past the end", Riff(fmt + "junk" + Le32(0xFFFFFFF0u) + "x"), false, 0},
        {"not RIFF", "RIFX" + Le32(4) + "WAVE", false, 0},
        {"not WAVE", "RIFF" + Le32(4) + "AVI ", false, 0},
        {"too short", "RIFF", false, 0},
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
    desktop::WaveInfo info;
    std::string error;
    EXPECT_FALSE(desktop::ReadWaveInfo(dir.File("absent.wav"), info, error));
    EXPECT_FALSE(error.empty());
}

TEST(ConsoleDesktopTest, PlayWaveRefusesWhatItCannotPlayAndStopEndsASound) {
    TempDir dir;
    const std::string good = dir.File("good.wav");
    WriteBytes(good, Riff(FmtChunk(1, 8000, 8) + DataChunk(16, 16)));  // 2 ms
    const std::string bad = dir.File("bad.wav");
    WriteBytes(bad, "not a sound");
    desktop::ConsoleDesktop d;
    EXPECT_FALSE(d.PlayWave(dir.File("absent.wav"), false, false));
    EXPECT_FALSE(d.PlayWave(bad, false, true));
    EXPECT_FALSE(d.IsPlaying());
    EXPECT_TRUE(d.PlayWave(good, true, false));
    EXPECT_TRUE(d.IsPlaying());
    d.StopWave();
    EXPECT_FALSE(d.IsPlaying());
    EXPECT_TRUE(d.PlayWave(good, false, true));  // returns once the sound has played
    EXPECT_FALSE(d.IsPlaying());
}

struct BoxCase {
    unsigned style;
    bool answerYes;
    int result;
};

TEST(ConsoleDesktopTest, MessageBoxAnswersAndPrintsUtf8ToStderr) {
    const std::vector<BoxCase> cases = {
        {desktop::kYesNo | desktop::kIconQuestion, true, desktop::kIdYes},
        {desktop::kYesNo | desktop::kIconQuestion, false, desktop::kIdNo},
        {desktop::kYesNo, true, desktop::kIdYes},
        {desktop::kIconHand, true, desktop::kIdOk},
        {desktop::kIconAsterisk, false, desktop::kIdOk},
        {desktop::kOk, true, desktop::kIdOk},
    };
    for (const BoxCase& c : cases) {
        desktop::ConsoleDesktop d;
        d.SetYesNoAnswer(c.answerYes);
        testing::internal::CaptureStderr();
        const int result = d.MessageBox(nullptr, "\xC7 2.5", "Loriant Script", c.style);
        const std::string printed = testing::internal::GetCapturedStderr();
        EXPECT_EQ(result, c.result) << c.style;
        EXPECT_EQ(printed, "Loriant Script: \xD8\xA7 2.5\n");
    }
}

TEST(ConsoleDesktopTest, HostSuppliedAnswersAndRecordedRequests) {
    desktop::ConsoleDesktop d;
    EXPECT_EQ(d.SelectFile(nullptr, "Tessel Select File", "*.txt"), "");  // Cancel by default
    d.SetSelectedFile("/tmp/pairs.txt");
    EXPECT_EQ(d.SelectFile(nullptr, "Tessel Select File", "*.txt"), "/tmp/pairs.txt");
    EXPECT_TRUE(d.SetClipboardText("1\t2"));
    EXPECT_EQ(d.ClipboardText(), "1\t2");
    EXPECT_FALSE(d.Open("notes.txt"));  // recorded, not opened
    EXPECT_EQ(d.LastOpened(), "notes.txt");
}

class OtherDesktop : public desktop::ConsoleDesktop {};

TEST(ConsoleDesktopTest, InstallReplacesTheCurrentDesktopAndNullRestoresTheConsole) {
    EXPECT_EQ(&desktop::Current(), &desktop::Console());
    OtherDesktop other;
    desktop::Install(&other);
    EXPECT_EQ(&desktop::Current(), &other);
    desktop::Install(nullptr);
    EXPECT_EQ(&desktop::Current(), &desktop::Console());
}

}  // namespace

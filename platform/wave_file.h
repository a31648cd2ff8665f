// The header facts of a WAV file that the console desktop needs to know how long a sound lasts.
#pragma once

#include <cstdint>
#include <string>

namespace desktop {

struct WaveInfo {
    std::uint16_t formatTag = 0;
    std::uint16_t channels = 0;
    std::uint32_t sampleRate = 0;
    std::uint32_t byteRate = 0;
    std::uint16_t blockAlign = 0;
    std::uint16_t bitsPerSample = 0;
    // Bytes of sound data present in the file (a header that claims more is cut to the file).
    std::uint64_t dataBytes = 0;

    std::uint64_t DurationMilliseconds() const;
};

// Reads the RIFF/WAVE header of a file: the "fmt " chunk and the size of the "data" chunk.
// false with a reason in error when the file is missing, unreadable or not a usable WAV file.
bool ReadWaveInfo(const std::string& path, WaveInfo& info, std::string& error);

}  // namespace desktop

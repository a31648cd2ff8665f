#include "platform/wave_file.h"

#include <algorithm>
#include <array>
#include <fstream>

namespace desktop {
namespace {

constexpr std::uint32_t kFmtMinimumSize = 16;

std::uint32_t Le32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

std::uint16_t Le16(const unsigned char* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

bool ReadExactly(std::ifstream& in, unsigned char* buffer, std::size_t n) {
    in.read(reinterpret_cast<char*>(buffer), static_cast<std::streamsize>(n));
    return in.gcount() == static_cast<std::streamsize>(n);
}

bool ParseFormat(std::ifstream& in, std::uint32_t size, WaveInfo& info, std::string& error) {
    if (size < kFmtMinimumSize) {
        error = "the \"fmt \" chunk is too short";
        return false;
    }
    std::array<unsigned char, kFmtMinimumSize> fmt{};
    if (!ReadExactly(in, fmt.data(), fmt.size())) {
        error = "the \"fmt \" chunk is cut short";
        return false;
    }
    info.formatTag = Le16(&fmt[0]);
    info.channels = Le16(&fmt[2]);
    info.sampleRate = Le32(&fmt[4]);
    info.byteRate = Le32(&fmt[8]);
    info.blockAlign = Le16(&fmt[12]);
    info.bitsPerSample = Le16(&fmt[14]);
    if (info.channels == 0 || info.sampleRate == 0 || info.byteRate == 0 || info.blockAlign == 0) {
        error = "the sound format is invalid";
        return false;
    }
    return true;
}

}  // namespace

std::uint64_t WaveInfo::DurationMilliseconds() const {
    if (byteRate == 0) return 0;
    // Split so that no product can overflow.
    return dataBytes / byteRate * 1000 + dataBytes % byteRate * 1000 / byteRate;
}

bool ReadWaveInfo(const std::string& path, WaveInfo& info, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot open the file";
        return false;
    }
    in.seekg(0, std::ios::end);
    const std::streamoff fileSize = in.tellg();
    in.seekg(0, std::ios::beg);
    std::array<unsigned char, 12> riff{};
    if (fileSize < 12 || !ReadExactly(in, riff.data(), riff.size()) ||
        std::string(reinterpret_cast<char*>(&riff[0]), 4) != "RIFF" ||
        std::string(reinterpret_cast<char*>(&riff[8]), 4) != "WAVE") {
        error = "not a RIFF/WAVE file";
        return false;
    }
    WaveInfo found;
    bool haveFormat = false;
    std::streamoff pos = 12;
    while (pos + 8 <= fileSize) {
        std::array<unsigned char, 8> chunk{};
        in.seekg(pos);
        if (!ReadExactly(in, chunk.data(), chunk.size())) break;
        const std::string id(reinterpret_cast<char*>(&chunk[0]), 4);
        const std::uint32_t size = Le32(&chunk[4]);
        const std::streamoff body = pos + 8;
        if (id == "fmt ") {
            if (!ParseFormat(in, size, found, error)) return false;
            haveFormat = true;
        } else if (id == "data") {
            if (!haveFormat) break;
            const std::streamoff present = fileSize - body;
            found.dataBytes = static_cast<std::uint64_t>(std::min<std::streamoff>(size, present));
            info = found;
            return true;
        }
        pos = body + static_cast<std::streamoff>(size) + (size & 1);  // chunks are word-aligned
    }
    error = haveFormat ? "no \"data\" chunk" : "no \"fmt \" chunk before the sound data";
    return false;
}

}  // namespace desktop

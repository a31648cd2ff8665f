// The 12 bytes in front of every saved object and every saved feed-forward network: two magic
// numbers and the object's type code, each a little-endian int32. There is no version field and no
// checksum, so a reader trusts nothing after the header without checking it against the file size.
#pragma once

#include <cstdint>

namespace crt { class CrtFile; }

struct ObjectFileHeader {
    static constexpr std::int32_t kFirstMagic = 777777777;    // bytes 71 F2 5B 2E
    static constexpr std::int32_t kSecondMagic = 888888888;   // bytes 38 5E FB 34
    static constexpr int kSize = 12;
    // Returned by ReadObjectHeader when the magic numbers are missing; never written.
    static constexpr std::int32_t kInvalidType = 6;

    std::int32_t firstMagic = kFirstMagic;
    std::int32_t secondMagic = kSecondMagic;
    std::int32_t type = kInvalidType;
};

// Little-endian fields of object and network files. Writers return false when the stream took
// fewer bytes; readers return false, leaving `out` unchanged, when the file ended first.
bool WriteInt32(crt::CrtFile& stream, std::int32_t value);
bool WriteDouble(crt::CrtFile& stream, double value);
bool ReadInt32(crt::CrtFile& stream, std::int32_t& out);
bool ReadDouble(crt::CrtFile& stream, double& out);

// Writes the header with the given type; false when a write failed.
bool WriteObjectHeader(crt::CrtFile& stream, std::int32_t type);
// The stored type, or ObjectFileHeader::kInvalidType when the 12 bytes cannot be read or either
// magic number differs.
std::int32_t ReadObjectHeader(crt::CrtFile& stream);

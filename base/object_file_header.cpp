#include "base/object_file_header.h"

#include <cstring>

#include "platform/crt_file.h"

namespace {

// Byte order is fixed by the file format, not by the machine.
template <std::size_t N>
void StoreLittleEndian(std::uint64_t bits, unsigned char (&bytes)[N]) {
    for (std::size_t i = 0; i < N; ++i) bytes[i] = static_cast<unsigned char>(bits >> (8 * i));
}

template <std::size_t N>
std::uint64_t LoadLittleEndian(const unsigned char (&bytes)[N]) {
    std::uint64_t bits = 0;
    for (std::size_t i = 0; i < N; ++i) bits |= static_cast<std::uint64_t>(bytes[i]) << (8 * i);
    return bits;
}

}  // namespace

bool WriteInt32(crt::CrtFile& stream, std::int32_t value) {
    unsigned char bytes[4];
    StoreLittleEndian(static_cast<std::uint32_t>(value), bytes);
    return stream.Write(bytes, 1, sizeof bytes) == sizeof bytes;
}

bool WriteDouble(crt::CrtFile& stream, double value) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    unsigned char bytes[8];
    StoreLittleEndian(bits, bytes);
    return stream.Write(bytes, 1, sizeof bytes) == sizeof bytes;
}

bool ReadInt32(crt::CrtFile& stream, std::int32_t& out) {
    unsigned char bytes[4];
    if (stream.Read(bytes, 1, sizeof bytes) != sizeof bytes) return false;
    out = static_cast<std::int32_t>(static_cast<std::uint32_t>(LoadLittleEndian(bytes)));
    return true;
}

bool ReadDouble(crt::CrtFile& stream, double& out) {
    unsigned char bytes[8];
    if (stream.Read(bytes, 1, sizeof bytes) != sizeof bytes) return false;
    const std::uint64_t bits = LoadLittleEndian(bytes);
    std::memcpy(&out, &bits, sizeof out);
    return true;
}

bool WriteObjectHeader(crt::CrtFile& stream, std::int32_t type) {
    return WriteInt32(stream, ObjectFileHeader::kFirstMagic) && WriteInt32(stream, ObjectFileHeader::kSecondMagic) &&
           WriteInt32(stream, type);
}

std::int32_t ReadObjectHeader(crt::CrtFile& stream) {
    ObjectFileHeader header;
    if (!ReadInt32(stream, header.firstMagic) || !ReadInt32(stream, header.secondMagic) ||
        !ReadInt32(stream, header.type)) {
        return ObjectFileHeader::kInvalidType;
    }
    if (header.firstMagic != ObjectFileHeader::kFirstMagic || header.secondMagic != ObjectFileHeader::kSecondMagic) {
        return ObjectFileHeader::kInvalidType;
    }
    return header.type;
}

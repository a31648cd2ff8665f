// What the fuzz targets' generators share: the input's bytes, read one at a time as choices.
#pragma once

#include <cstddef>
#include <cstdint>

class ByteChoices {
public:
    ByteChoices(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    // The next byte; 0 once the input is used up, so that every later choice takes its first way.
    int Next() { return pos_ < size_ ? data_[pos_++] : 0; }
    bool UsedUp() const { return pos_ >= size_; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

template <std::size_t N>
const char* Pick(const char* const (&words)[N], int byte) {
    return words[static_cast<std::size_t>(byte) % N];
}

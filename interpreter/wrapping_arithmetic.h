// 32-bit two's-complement Integer arithmetic that wraps instead of overflowing.
#pragma once

#include <cstdint>

inline std::int32_t WrapAdd(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}
inline std::int32_t WrapSubtract(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
}
inline std::int32_t WrapMultiply(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) * static_cast<std::uint32_t>(b));
}
inline std::int32_t WrapNegate(std::int32_t a) { return WrapSubtract(0, a); }
// Truncates toward zero; -2147483648 / -1 gives -2147483648 instead of trapping. b is not 0.
inline std::int32_t WrapDivide(std::int32_t a, std::int32_t b) { return b == -1 ? WrapNegate(a) : a / b; }

// Test helpers: little-endian fields written into hand-made record bytes,
// turn fractions, and the catalogue folders of the star tests.
#pragma once
#include <cmath>
#include <cstdint>
#include <string>

#include "core/mathutil.h"

namespace starbytes {

inline void Put16(std::string &b, size_t at, uint32_t v) {
    if (b.size() < at + 2) b.resize(at + 2, '\0');
    b[at] = static_cast<char>(v & 0xff);
    b[at + 1] = static_cast<char>((v >> 8) & 0xff);
}
inline void Put24(std::string &b, size_t at, uint32_t v) {
    Put16(b, at, v & 0xffff);
    if (b.size() < at + 3) b.resize(at + 3, '\0');
    b[at + 2] = static_cast<char>((v >> 16) & 0xff);
}
inline void Put32(std::string &b, size_t at, uint32_t v) {
    Put16(b, at, v & 0xffff);
    Put16(b, at + 2, v >> 16);
}
inline void Put8(std::string &b, size_t at, uint32_t v) {
    if (b.size() < at + 1) b.resize(at + 1, '\0');
    b[at] = static_cast<char>(v & 0xff);
}
// Radians -> signed 32-bit turn fraction (value x 2 pi / 2,147,483,647).
inline uint32_t Turn(double radians) {
    return static_cast<uint32_t>(static_cast<int32_t>(
        std::llround(radians * 2147483647.0 / (2.0 * kPi))));
}

}  // namespace starbytes

// Little-endian byte building for the chart layers' file fixtures, written
// field by field at the layouts' offsets.
#pragma once
#include <cstdint>
#include <cstring>
#include <string>

namespace charttest {

struct Bytes {
    std::string b;
    Bytes &i32(int32_t v) {
        for (int k = 0; k < 4; ++k) b += (char)((uint32_t)v >> (8 * k) & 0xff);
        return *this;
    }
    Bytes &u16(int v) {
        b += (char)(v & 0xff);
        b += (char)((v >> 8) & 0xff);
        return *this;
    }
    Bytes &u8(int v) {
        b += (char)v;
        return *this;
    }
    Bytes &f32(float v) {
        char c[4];
        std::memcpy(c, &v, 4);
        b.append(c, 4);
        return *this;
    }
    Bytes &pad(size_t n) {
        b.append(n, '\0');
        return *this;
    }
    // A text in a field of width bytes, NUL-padded (cut when longer).
    Bytes &text(const char *t, size_t width) {
        std::string s(t);
        s.resize(width, '\0');
        b += s;
        return *this;
    }
};

}  // namespace charttest

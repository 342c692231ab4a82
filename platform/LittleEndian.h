#pragma once
// Little-endian integers in byte buffers, as RIFF and BMP files store them.

#include <cstdint>
#include <vector>

namespace zelkor::le {

inline uint32_t U32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
inline uint16_t U16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }

inline void Put32(std::vector<uint8_t>& v, uint32_t x) {
    for (int i = 0; i < 4; ++i) v.push_back(uint8_t(x >> (8 * i)));
}
inline void Put16(std::vector<uint8_t>& v, uint16_t x) {
    v.push_back(uint8_t(x));
    v.push_back(uint8_t(x >> 8));
}

} // namespace zelkor::le

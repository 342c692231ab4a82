#pragma once
// JPEG pictures decoded with libjpeg into 0xAARRGGBB pixels (alpha 255).
// A broken or hostile picture is refused with the reason; nothing is
// written to the output then.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace zelkor {

struct TRgbPicture {
    int Width = 0;
    int Height = 0;
    std::vector<uint32_t> Pixels;  // row by row, top row first
};

// Pictures larger than this on either side are refused.
inline constexpr int kMaxJpegSide = 8192;

bool DecodeJpeg(const uint8_t* data, size_t size, TRgbPicture& out, std::string& error);

} // namespace zelkor

#pragma once
// Bitmap files for the board component's piece sets and textures: Windows
// BMP (uncompressed, 8-bit with a palette, 24 or 32 bits, either row order)
// and PNG. A broken or hostile file is refused with the reason and the
// output is left alone.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Canvas.h"

namespace zelkor {

// Pictures larger than this on either side are refused.
inline constexpr int kMaxBitmapSide = 8192;

bool ParseBmp(const uint8_t* data, size_t size, TBitmap& out, std::string& error);
bool ParsePngImage(const uint8_t* data, size_t size, TBitmap& out, std::string& error);
// BMP or PNG by the file's first bytes.
bool ParseBitmapFile(const uint8_t* data, size_t size, TBitmap& out, std::string& error);
bool ReadBitmapFile(const std::string& path, TBitmap& out, std::string& error);
// A 24-bit bottom-up BMP of the bitmap.
std::vector<uint8_t> EncodeBmp(const TBitmap& bitmap);

} // namespace zelkor

#pragma once
// Bitmap files for the board component's piece sets and textures: BMP
// (platform/Bitmap.h) and PNG (libpng). A broken or hostile file is refused with the reason and the
// output is left alone.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Bitmap.h"

namespace zelkor {

bool ParsePngImage(const uint8_t* data, size_t size, TBitmap& out, std::string& error);
// BMP or PNG by the file's first bytes.
bool ParseBitmapFile(const uint8_t* data, size_t size, TBitmap& out, std::string& error);
bool ReadBitmapFile(const std::string& path, TBitmap& out, std::string& error);

} // namespace zelkor

#pragma once
// PNG files as sheets of 0xAARRGGBB pixels (libpng).

#include <string>

#include "tools/pack/ImageBuilder.h"

namespace zelkor {

bool ReadPng(const std::string& path, TPixelSheet& sheet, std::string& error);
bool WritePng(const std::string& path, const TPixelSheet& sheet, std::string& error);

} // namespace zelkor

#pragma once
// JPEG files (libjpeg) of opaque pictures.

#include <string>

#include "tools/pack/ImageBuilder.h"

namespace zelkor::art {

bool WriteJpeg(const std::string& path, const TPixelSheet& sheet, int quality, std::string& error);

} // namespace zelkor::art

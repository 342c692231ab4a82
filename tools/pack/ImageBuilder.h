#pragma once
// Turns a sheet of pixels into an image record: the sheet is a grid of
// pattern-sized cells, read left to right and top to bottom, which are laid
// into textures the same way, over as many textures as needed, and stored
// in the chosen pixel format.

#include <cstdint>
#include <string>
#include <vector>

#include "assets/ImageRecord.h"

namespace zelkor {

// 0xAARRGGBB pixels, row by row.
struct TPixelSheet {
    int Width = 0;
    int Height = 0;
    std::vector<uint32_t> Pixels;
};

struct TImageLayout {
    TColorFormat Format = TColorFormat::A8R8G8B8;
    int PatternWidth = 0;   // 0: the whole sheet
    int PatternHeight = 0;
    int VisibleWidth = 0;   // 0: the pattern size
    int VisibleHeight = 0;
    int TextureWidth = 0;   // 0: the smallest power-of-two square that holds every pattern, up to 2048
    int TextureHeight = 0;
    int PatternCount = 0;   // 0: every cell of the sheet
};

bool BuildImageRecord(const TPixelSheet& sheet, TImageLayout layout, std::vector<uint8_t>& out, std::string& error);

bool BuildFontRecord(const TFontRecordHeader& font, const TPixelSheet& sheet, const TImageLayout& layout,
                     std::vector<uint8_t>& out, std::string& error);

} // namespace zelkor

#pragma once
// Pictures in linear colour with straight alpha, and their conversion to
// 8-bit sRGB sheets.

#include <cstdint>
#include <vector>

#include "tools/artgen/Vec.h"
#include "tools/pack/ImageBuilder.h"

namespace zelkor::art {

struct Pixel {
    Vec3 c;        // linear colour, not multiplied by alpha
    double a = 0;  // coverage
};

struct Picture {
    int width = 0, height = 0;
    std::vector<Pixel> pixels;
    Picture() = default;
    Picture(int w, int h) : width(w), height(h), pixels(size_t(w) * size_t(h)) {}
    Pixel& at(int x, int y) { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
    const Pixel& at(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
};

double ToSrgb(double linear);
double ToLinear(double srgb);
uint32_t ToArgb(const Pixel& p);

// Copies `tile` into `sheet` at (x, y) (0xAARRGGBB).
void PutTile(TPixelSheet& sheet, const Picture& tile, int x, int y);

} // namespace zelkor::art

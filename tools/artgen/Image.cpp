#include "tools/artgen/Image.h"

namespace zelkor::art {

double ToSrgb(double v) {
    v = Clamp01(v);
    return v <= 0.0031308 ? 12.92 * v : 1.055 * std::pow(v, 1 / 2.4) - 0.055;
}

double ToLinear(double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); }

uint32_t ToArgb(const Pixel& p) {
    auto byte = [](double v) { return uint32_t(std::lround(Clamp01(v) * 255.0)); };
    const uint32_t a = byte(p.a);
    if (a == 0) return 0;
    return a << 24 | byte(ToSrgb(p.c.x)) << 16 | byte(ToSrgb(p.c.y)) << 8 | byte(ToSrgb(p.c.z));
}

void PutTile(TPixelSheet& sheet, const Picture& tile, int x0, int y0) {
    for (int y = 0; y < tile.height; ++y)
        for (int x = 0; x < tile.width; ++x) {
            const int sx = x0 + x, sy = y0 + y;
            if (sx < 0 || sy < 0 || sx >= sheet.Width || sy >= sheet.Height) continue;
            sheet.Pixels[size_t(sy) * size_t(sheet.Width) + size_t(sx)] = ToArgb(tile.at(x, y));
        }
}

} // namespace zelkor::art

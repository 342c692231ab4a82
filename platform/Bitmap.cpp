#include "platform/Bitmap.h"

#include <algorithm>
#include <cmath>

#include "platform/LittleEndian.h"

namespace zelkor {

namespace {

using le::Put16;
using le::Put32;
using le::U16;
using le::U32;

} // namespace

// ---- Bitmap ----

TBitmap::TBitmap(int width, int height, uint32_t fill)
    : width_(std::max(0, width)), height_(std::max(0, height)), pixels_(size_t(width_) * size_t(height_), fill) {}

TBitmap TBitmap::Crop(int x, int y, int width, int height) const {
    TBitmap out(width, height, 0);
    for (int j = 0; j < out.height_; ++j)
        for (int i = 0; i < out.width_; ++i)
            if (x + i >= 0 && y + j >= 0 && x + i < width_ && y + j < height_) out.SetPixel(i, j, Pixel(x + i, y + j));
    return out;
}

// ---- Fonts ----

int TFont::PixelSize() const {
    if (Height < 0) return -Height;
    return std::max(1, int(std::lround(Size * 96.0 / 72.0)));
}

int TFont::PointSize() const {
    if (Height < 0) return std::max(1, int(std::lround(-Height * 72.0 / 96.0)));
    return Size;
}

bool ParseBmp(const uint8_t* data, size_t size, TBitmap& out, std::string& error) {
    if (!data || size < 54 || data[0] != 'B' || data[1] != 'M') {
        error = "not a BMP file";
        return false;
    }
    const uint32_t pixelOffset = U32(data + 10), headerSize = U32(data + 14);
    if (headerSize < 40 || 14 + uint64_t(headerSize) > size) {
        error = "the BMP header is cut short or of an unknown kind";
        return false;
    }
    const int32_t width = int32_t(U32(data + 18)), rawHeight = int32_t(U32(data + 22));
    const uint16_t planes = U16(data + 26), bits = U16(data + 28);
    const uint32_t compression = U32(data + 30);
    uint32_t colors = U32(data + 46);
    if (planes != 1 || (bits != 8 && bits != 24 && bits != 32) || (compression != 0 && !(compression == 3 && bits == 32))) {
        error = "only uncompressed BMP files of 8, 24 or 32 bits are read";
        return false;
    }
    const bool topDown = rawHeight < 0;
    const int64_t height = topDown ? -int64_t(rawHeight) : rawHeight;
    if (width <= 0 || height <= 0 || width > kMaxBitmapSide || height > kMaxBitmapSide) {
        error = "the BMP picture is " + std::to_string(width) + " x " + std::to_string(height) + " pixels (1 to " +
                std::to_string(kMaxBitmapSide) + " on each side)";
        return false;
    }
    const uint64_t stride = (uint64_t(width) * bits / 8 + 3) / 4 * 4;
    if (pixelOffset > size || stride * uint64_t(height) > size - pixelOffset) {
        error = "the BMP pixels run past the end of the file";
        return false;
    }
    // The palette of an 8-bit picture follows the header.
    std::vector<uint32_t> palette;
    if (bits == 8) {
        if (colors == 0 || colors > 256) colors = 256;
        const uint64_t at = 14 + uint64_t(headerSize);
        if (at + uint64_t(colors) * 4 > pixelOffset) {
            error = "the BMP palette is cut short";
            return false;
        }
        for (uint32_t i = 0; i < colors; ++i) {
            const uint8_t* p = data + at + i * 4;
            palette.push_back(0xFF000000u | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0]);
        }
    }
    TBitmap bitmap(width, int(height));
    for (int64_t row = 0; row < height; ++row) {
        const uint8_t* line = data + pixelOffset + stride * uint64_t(row);
        const int y = int(topDown ? row : height - 1 - row);
        for (int x = 0; x < width; ++x) {
            uint32_t argb = 0xFF000000u;
            if (bits == 8) {
                const uint8_t index = line[x];
                argb = index < palette.size() ? palette[index] : 0xFF000000u;
            } else {
                const uint8_t* p = line + size_t(x) * (bits / 8);
                argb = 0xFF000000u | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
            }
            bitmap.SetPixel(x, y, argb);
        }
    }
    out = std::move(bitmap);
    return true;
}

std::vector<uint8_t> EncodeBmp(const TBitmap& bitmap) {
    const uint32_t stride = (uint32_t(bitmap.Width()) * 3 + 3) / 4 * 4;
    const uint32_t pixels = stride * uint32_t(bitmap.Height());
    std::vector<uint8_t> v;
    v.push_back('B');
    v.push_back('M');
    Put32(v, 54 + pixels);
    Put32(v, 0);
    Put32(v, 54);
    Put32(v, 40);
    Put32(v, uint32_t(bitmap.Width()));
    Put32(v, uint32_t(bitmap.Height()));
    Put16(v, 1);
    Put16(v, 24);
    Put32(v, 0);
    Put32(v, pixels);
    Put32(v, 2835);
    Put32(v, 2835);
    Put32(v, 0);
    Put32(v, 0);
    for (int y = bitmap.Height() - 1; y >= 0; --y) {
        size_t written = 0;
        for (int x = 0; x < bitmap.Width(); ++x) {
            const uint32_t p = bitmap.Pixel(x, y);
            v.push_back(uint8_t(p));
            v.push_back(uint8_t(p >> 8));
            v.push_back(uint8_t(p >> 16));
            written += 3;
        }
        for (; written < stride; ++written) v.push_back(0);
    }
    return v;
}

} // namespace zelkor

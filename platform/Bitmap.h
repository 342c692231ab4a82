#pragma once
// Plain picture data for the board component's view: colours, points,
// rectangles, bitmaps of 0xAARRGGBB pixels, pens and fonts; and Windows BMP
// files (uncompressed, 8-bit with a palette, 24 or 32 bits, either row
// order), read with every size checked against the file and written as
// 24-bit pictures.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace zelkor {

// Colours as the board's properties hold them: 0x00BBGGRR.
using TColor = uint32_t;
inline constexpr TColor clBlack = 0x000000, clWhite = 0xFFFFFF, clSilver = 0xC0C0C0, clGray = 0x808080;
// 0xFFRRGGBB of a colour.
inline uint32_t ColorToArgb(TColor c) {
    return 0xFF000000u | (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF);
}

struct TPoint {
    int X = 0, Y = 0;
};
// Left and top inclusive, right and bottom exclusive.
struct TRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
};

class TBitmap {
public:
    TBitmap() = default;
    TBitmap(int width, int height, uint32_t fill = 0xFF000000u);
    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Empty() const { return width_ <= 0 || height_ <= 0; }
    uint32_t Pixel(int x, int y) const { return pixels_[size_t(y) * size_t(width_) + size_t(x)]; }
    void SetPixel(int x, int y, uint32_t argb) { pixels_[size_t(y) * size_t(width_) + size_t(x)] = argb; }
    const std::vector<uint32_t>& Pixels() const { return pixels_; }
    std::vector<uint32_t>& Pixels() { return pixels_; }
    // A part of the bitmap (clipped to it).
    TBitmap Crop(int x, int y, int width, int height) const;

private:
    int width_ = 0, height_ = 0;
    std::vector<uint32_t> pixels_;
};

struct TPen {
    TColor Color = clBlack;
    int Width = 1;
};

// Size is in points (at 96 pixels per inch); a Height below 0 gives the
// character height in pixels instead and takes precedence.
struct TFont {
    std::string Name = "Arial";
    int Size = 7;
    int Height = 0;
    TColor Color = clWhite;
    // The pixel size the font is drawn at.
    int PixelSize() const;
    // The size in points (from Height when that is set).
    int PointSize() const;
};

// Pictures larger than this on either side are refused.
inline constexpr int kMaxBitmapSide = 8192;

// A broken or hostile file is refused with the reason; `out` is left alone.
bool ParseBmp(const uint8_t* data, size_t size, TBitmap& out, std::string& error);
// A 24-bit bottom-up BMP of the bitmap.
std::vector<uint8_t> EncodeBmp(const TBitmap& bitmap);

} // namespace zelkor

#pragma once
// A small GDI-like canvas drawn in software into a bitmap of 0xAARRGGBB
// pixels: a clip region that rectangles are intersected with or cut out
// of (with a stack of saved states), solid and tiled-bitmap fills, a pen
// for polylines, text in a TrueType font with a transparent background,
// and images drawn through a mask.

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
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

class TFontFace;

class TCanvas {
public:
    explicit TCanvas(TBitmap& surface);
    ~TCanvas();
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    TBitmap& Surface() { return surface_; }

    // The clip region: everything at first.
    void SaveState();
    void RestoreState();
    void ResetClip();
    void IntersectClipRect(const TRect& r);
    void ExcludeClipRect(const TRect& r);
    bool InClip(int x, int y) const;

    // Every pixel of `r` inside the clip.
    void FillRect(const TRect& r, TColor color);
    // The whole clip region.
    void FillClip(TColor color);
    // Copies of `tile` side by side from (x0, y0) over the whole surface, inside the clip.
    void TileBitmap(const TBitmap& tile, int x0, int y0);
    // Lines through the points with the pen, inside the clip; every point
    // of every segment is drawn, the last one too.
    void Polyline(std::span<const TPoint> points, const TPen& pen);
    void Line(TPoint a, TPoint b, const TPen& pen);
    // Text with its cell's top-left at (x, y), background left as it is.
    void TextOut(int x, int y, std::string_view text, const TFont& font);
    int TextHeight(std::string_view text, const TFont& font);
    int TextWidth(std::string_view text, const TFont& font);
    // `image` at (x, y) where `mask` is dark (a light mask pixel leaves the surface as it is).
    void DrawMasked(const TBitmap& image, const TBitmap& mask, int x, int y);
    // `image` at (x, y), every pixel.
    void Draw(const TBitmap& image, int x, int y);

private:
    void Plot(int x, int y, uint32_t argb);
    TFontFace* Face(const TFont& font);

    TBitmap& surface_;
    std::vector<uint8_t> clip_;  // 1 inside
    std::vector<std::vector<uint8_t>> saved_;
    std::unique_ptr<TFontFace> face_;
};

// The font file used for a font name: Arial and Helvetica are drawn with a
// metric-compatible free font where one is installed; empty when none is.
std::string FontFileFor(std::string_view name);

} // namespace zelkor

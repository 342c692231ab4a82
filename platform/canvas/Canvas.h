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

#include "platform/Bitmap.h"

namespace zelkor {

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
    // Lines through the points with the pen, inside the clip. As with the
    // system's lines, each segment leaves out its end point: a frame that
    // returns to its start is closed, an open line stops one pixel short.
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

#include "platform/canvas/Canvas.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>

namespace zelkor {

std::string FontFileFor(std::string_view name) {
    std::string lower(name);
    for (char& c : lower) c = char(std::tolower(static_cast<unsigned char>(c)));
    std::vector<std::string> candidates;
    if (lower == "arial" || lower == "helvetica" || lower == "sans")
        candidates = {"/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf",
                      "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf"};
    candidates.push_back("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf");
    std::error_code ec;
    for (const std::string& c : candidates)
        if (std::filesystem::exists(c, ec)) return c;
    return {};
}

class TFontFace {
public:
    TFontFace(const std::string& file, int pixels) : file_(file), pixels_(pixels) {
        if (FT_Init_FreeType(&library_) != 0) {
            library_ = nullptr;
            return;
        }
        if (file.empty() || FT_New_Face(library_, file.c_str(), 0, &face_) != 0) {
            face_ = nullptr;
            return;
        }
        FT_Set_Pixel_Sizes(face_, 0, FT_UInt(pixels));
    }
    ~TFontFace() {
        if (face_) FT_Done_Face(face_);
        if (library_) FT_Done_FreeType(library_);
    }
    bool Matches(const std::string& file, int pixels) const { return file == file_ && pixels == pixels_; }
    FT_Face Face() const { return face_; }
    // The baseline's distance from the cell's top, and the cell's height.
    int Ascent() const { return face_ ? int(face_->size->metrics.ascender >> 6) : 0; }
    int CellHeight() const {
        return face_ ? int((face_->size->metrics.ascender - face_->size->metrics.descender) >> 6) : 0;
    }

private:
    std::string file_;
    int pixels_;
    FT_Library library_ = nullptr;
    FT_Face face_ = nullptr;
};

// ---- Canvas ----

TCanvas::TCanvas(TBitmap& surface) : surface_(surface) { ResetClip(); }

TCanvas::~TCanvas() = default;

void TCanvas::SaveState() { saved_.push_back(clip_); }

void TCanvas::RestoreState() {
    if (saved_.empty()) return;
    clip_ = std::move(saved_.back());
    saved_.pop_back();
}

void TCanvas::ResetClip() { clip_.assign(size_t(surface_.Width()) * size_t(surface_.Height()), 1); }

void TCanvas::IntersectClipRect(const TRect& r) {
    for (int y = 0; y < surface_.Height(); ++y)
        for (int x = 0; x < surface_.Width(); ++x)
            if (x < r.Left || x >= r.Right || y < r.Top || y >= r.Bottom) clip_[size_t(y) * size_t(surface_.Width()) + size_t(x)] = 0;
}

void TCanvas::ExcludeClipRect(const TRect& r) {
    const int x0 = std::max(0, r.Left), x1 = std::min(surface_.Width(), r.Right);
    const int y0 = std::max(0, r.Top), y1 = std::min(surface_.Height(), r.Bottom);
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) clip_[size_t(y) * size_t(surface_.Width()) + size_t(x)] = 0;
}

bool TCanvas::InClip(int x, int y) const {
    return x >= 0 && y >= 0 && x < surface_.Width() && y < surface_.Height() &&
           clip_[size_t(y) * size_t(surface_.Width()) + size_t(x)];
}

void TCanvas::Plot(int x, int y, uint32_t argb) {
    if (InClip(x, y)) surface_.SetPixel(x, y, argb);
}

void TCanvas::FillRect(const TRect& r, TColor color) {
    const uint32_t argb = ColorToArgb(color);
    const int x0 = std::max(0, r.Left), x1 = std::min(surface_.Width(), r.Right);
    const int y0 = std::max(0, r.Top), y1 = std::min(surface_.Height(), r.Bottom);
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) Plot(x, y, argb);
}

void TCanvas::FillClip(TColor color) { FillRect({0, 0, surface_.Width(), surface_.Height()}, color); }

void TCanvas::TileBitmap(const TBitmap& tile, int x0, int y0) {
    if (tile.Empty()) return;
    for (int y = 0; y < surface_.Height(); ++y)
        for (int x = 0; x < surface_.Width(); ++x) {
            if (!InClip(x, y)) continue;
            int tx = (x - x0) % tile.Width(), ty = (y - y0) % tile.Height();
            if (tx < 0) tx += tile.Width();
            if (ty < 0) ty += tile.Height();
            surface_.SetPixel(x, y, 0xFF000000u | tile.Pixel(tx, ty));
        }
}

void TCanvas::Line(TPoint a, TPoint b, const TPen& pen) {
    const uint32_t argb = ColorToArgb(pen.Color);
    const int width = std::max(1, pen.Width), half = width / 2, extra = width - 1 - half;
    int x = a.X, y = a.Y;
    const int dx = std::abs(b.X - a.X), dy = -std::abs(b.Y - a.Y);
    const int sx = a.X < b.X ? 1 : -1, sy = a.Y < b.Y ? 1 : -1;
    int err = dx + dy;
    // As the system's line drawing: the end point itself is left out.
    while (x != b.X || y != b.Y) {
        for (int j = -half; j <= extra; ++j)
            for (int i = -half; i <= extra; ++i) Plot(x + i, y + j, argb);
        const int e2 = 2 * err;
        if (e2 >= dy) err += dy, x += sx;
        if (e2 <= dx) err += dx, y += sy;
    }
}

void TCanvas::Polyline(std::span<const TPoint> points, const TPen& pen) {
    for (size_t i = 1; i < points.size(); ++i) Line(points[i - 1], points[i], pen);
}

TFontFace* TCanvas::Face(const TFont& font) {
    const std::string file = FontFileFor(font.Name);
    if (!face_ || !face_->Matches(file, font.PixelSize())) face_ = std::make_unique<TFontFace>(file, font.PixelSize());
    return face_->Face() ? face_.get() : nullptr;
}

int TCanvas::TextHeight(std::string_view, const TFont& font) {
    TFontFace* face = Face(font);
    return face ? face->CellHeight() : font.PixelSize();
}

int TCanvas::TextWidth(std::string_view text, const TFont& font) {
    TFontFace* face = Face(font);
    if (!face) return 0;
    int width = 0;
    for (char c : text)
        if (FT_Load_Char(face->Face(), static_cast<unsigned char>(c), FT_LOAD_DEFAULT) == 0)
            width += int(face->Face()->glyph->advance.x >> 6);
    return width;
}

void TCanvas::TextOut(int x, int y, std::string_view text, const TFont& font) {
    TFontFace* face = Face(font);
    if (!face) return;
    const uint32_t color = ColorToArgb(font.Color);
    int penX = x;
    const int baseline = y + face->Ascent();
    for (char c : text) {
        if (FT_Load_Char(face->Face(), static_cast<unsigned char>(c), FT_LOAD_RENDER) != 0) continue;
        const FT_GlyphSlot g = face->Face()->glyph;
        const FT_Bitmap& b = g->bitmap;
        for (unsigned row = 0; row < b.rows; ++row)
            for (unsigned col = 0; col < b.width; ++col) {
                const unsigned coverage = b.buffer[size_t(row) * size_t(std::abs(b.pitch)) + col];
                if (coverage == 0) continue;
                const int px = penX + g->bitmap_left + int(col), py = baseline - g->bitmap_top + int(row);
                if (!InClip(px, py)) continue;
                // Blended by coverage over what is there.
                const uint32_t under = surface_.Pixel(px, py);
                auto mix = [&](int shift) {
                    const unsigned a = (color >> shift) & 0xFF, u = (under >> shift) & 0xFF;
                    return ((a * coverage + u * (255 - coverage) + 127) / 255) << shift;
                };
                surface_.SetPixel(px, py, 0xFF000000u | mix(16) | mix(8) | mix(0));
            }
        penX += int(g->advance.x >> 6);
    }
}

void TCanvas::DrawMasked(const TBitmap& image, const TBitmap& mask, int x, int y) {
    for (int j = 0; j < image.Height(); ++j)
        for (int i = 0; i < image.Width(); ++i) {
            if (i < mask.Width() && j < mask.Height()) {
                const uint32_t m = mask.Pixel(i, j);
                const int luma = int((m >> 16) & 0xFF) + int((m >> 8) & 0xFF) + int(m & 0xFF);
                if (luma >= 3 * 128) continue;  // light: transparent
            }
            Plot(x + i, y + j, 0xFF000000u | image.Pixel(i, j));
        }
}

void TCanvas::Draw(const TBitmap& image, int x, int y) {
    for (int j = 0; j < image.Height(); ++j)
        for (int i = 0; i < image.Width(); ++i) Plot(x + i, y + j, 0xFF000000u | image.Pixel(i, j));
}

} // namespace zelkor

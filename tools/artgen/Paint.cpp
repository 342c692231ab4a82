#include "tools/artgen/Paint.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>

namespace zelkor::art {

namespace {

bool Inside(const std::vector<Vec2>& poly, double x, double y) {
    bool in = false;
    for (size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++) {
        const Vec2 a = poly[j], b = poly[i];
        if ((a.y > y) != (b.y > y) && x < a.x + (y - a.y) / (b.y - a.y) * (b.x - a.x)) in = !in;
    }
    return in;
}

uint32_t Hash(int x, int y, int seed) {
    uint32_t h = uint32_t(x) * 374761393u + uint32_t(y) * 668265263u + uint32_t(seed) * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return h ^ (h >> 16);
}

} // namespace

Canvas::Canvas(int w, int h, Rgba fill) : w_(w), h_(h), px_(size_t(w) * size_t(h), fill) {}

void Canvas::Blend(int x, int y, Rgba c, double k) {
    if (x < 0 || y < 0 || x >= w_ || y >= h_) return;
    const double a = Clamp01(c.a * k);
    if (a <= 0) return;
    Rgba& d = At(x, y);
    const double outA = a + d.a * (1 - a);
    if (outA <= 0) return;
    d.r = (c.r * a + d.r * d.a * (1 - a)) / outA;
    d.g = (c.g * a + d.g * d.a * (1 - a)) / outA;
    d.b = (c.b * a + d.b * d.a * (1 - a)) / outA;
    d.a = outA;
}

void Canvas::Add(int x, int y, Rgba c, double k) {
    if (x < 0 || y < 0 || x >= w_ || y >= h_) return;
    Rgba& d = At(x, y);
    d.r = std::min(1.0, d.r + c.r * k);
    d.g = std::min(1.0, d.g + c.g * k);
    d.b = std::min(1.0, d.b + c.b * k);
}

void Canvas::Paint(const std::function<Rgba(double, double)>& color) {
    for (int y = 0; y < h_; ++y)
        for (int x = 0; x < w_; ++x) Blend(x, y, color(x + 0.5, y + 0.5));
}

void Canvas::FillPolygon(const std::vector<Vec2>& points, const std::function<Rgba(double, double)>& color) {
    if (points.size() < 3) return;
    double x0 = 1e9, y0 = 1e9, x1 = -1e9, y1 = -1e9;
    for (const Vec2& p : points) x0 = std::min(x0, p.x), x1 = std::max(x1, p.x), y0 = std::min(y0, p.y), y1 = std::max(y1, p.y);
    for (int y = std::max(0, int(std::floor(y0))); y <= std::min(h_ - 1, int(std::ceil(y1))); ++y)
        for (int x = std::max(0, int(std::floor(x0))); x <= std::min(w_ - 1, int(std::ceil(x1))); ++x) {
            int n = 0;
            for (int sy = 0; sy < 4; ++sy)
                for (int sx = 0; sx < 4; ++sx) n += Inside(points, x + (sx + 0.5) / 4, y + (sy + 0.5) / 4);
            if (n) Blend(x, y, color(x + 0.5, y + 0.5), n / 16.0);
        }
}

void Canvas::FillRoundRect(double x, double y, double w, double h, double r,
                           const std::function<Rgba(double, double)>& color) {
    std::vector<Vec2> pts;
    const double cx[4] = {x + w - r, x + w - r, x + r, x + r}, cy[4] = {y + r, y + h - r, y + h - r, y + r};
    const double start[4] = {-M_PI / 2, 0, M_PI / 2, M_PI};
    for (int c = 0; c < 4; ++c)
        for (int i = 0; i <= 8; ++i) {
            const double a = start[c] + (M_PI / 2) * i / 8;
            pts.push_back({cx[c] + r * std::cos(a), cy[c] + r * std::sin(a)});
        }
    FillPolygon(pts, color);
}

void Canvas::FillEllipse(double cx, double cy, double rx, double ry, Rgba c) {
    std::vector<Vec2> pts;
    for (int i = 0; i < 64; ++i) pts.push_back({cx + rx * std::cos(i * M_PI / 32), cy + ry * std::sin(i * M_PI / 32)});
    FillPolygon(pts, c);
}

void Canvas::Glow(double cx, double cy, double radius, Rgba c, double strength) {
    for (int y = std::max(0, int(cy - radius)); y < std::min(h_, int(cy + radius) + 1); ++y)
        for (int x = std::max(0, int(cx - radius)); x < std::min(w_, int(cx + radius) + 1); ++x) {
            const double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy) / radius;
            if (d >= 1) continue;
            const double k = (1 - d) * (1 - d) * strength;
            Add(x, y, c, k);
        }
}

void Canvas::Vignette(double strength) {
    for (int y = 0; y < h_; ++y)
        for (int x = 0; x < w_; ++x) {
            const double dx = (x + 0.5) / w_ - 0.5, dy = (y + 0.5) / h_ - 0.5;
            const double k = 1 - strength * std::pow(Clamp01(std::hypot(dx * 1.1, dy * 1.25) * 1.6), 2.2);
            Rgba& p = At(x, y);
            p.r *= k, p.g *= k, p.b *= k;
        }
}

void Canvas::StrokeLine(double x0, double y0, double x1, double y1, double width, Rgba c) {
    const double dx = x1 - x0, dy = y1 - y0, len = std::max(1e-9, std::hypot(dx, dy));
    const double nx = -dy / len * width / 2, ny = dx / len * width / 2;
    FillPolygon({{x0 + nx, y0 + ny}, {x1 + nx, y1 + ny}, {x1 - nx, y1 - ny}, {x0 - nx, y0 - ny}}, c);
}

void Canvas::Draw(const Canvas& o, int x, int y, double opacity) {
    for (int j = 0; j < o.h_; ++j)
        for (int i = 0; i < o.w_; ++i) Blend(x + i, y + j, o.At(i, j), opacity);
}

void Canvas::Shadow(const Canvas& shape, int x, int y, double blur, Rgba c) {
    const int pad = int(std::ceil(blur * 3)) + 1;
    const int w = shape.w_ + 2 * pad, h = shape.h_ + 2 * pad;
    std::vector<double> alpha(size_t(w) * size_t(h), 0);
    for (int j = 0; j < shape.h_; ++j)
        for (int i = 0; i < shape.w_; ++i) alpha[size_t(j + pad) * size_t(w) + size_t(i + pad)] = shape.At(i, j).a;
    BlurAlpha(alpha, w, h, blur);
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) Blend(x + i - pad, y + j - pad, c, alpha[size_t(j) * size_t(w) + size_t(i)]);
}

TPixelSheet Canvas::ToSheet() const {
    TPixelSheet s;
    s.Width = w_;
    s.Height = h_;
    s.Pixels.reserve(px_.size());
    auto byte = [](double v) { return uint32_t(std::lround(Clamp01(v) * 255)); };
    for (const Rgba& p : px_) s.Pixels.push_back(byte(p.a) << 24 | byte(p.r) << 16 | byte(p.g) << 8 | byte(p.b));
    return s;
}

Canvas Canvas::FromSheet(const TPixelSheet& sheet, int sx, int sy, int w, int h) {
    Canvas c(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint32_t v = sheet.Pixels[size_t(sy + y) * size_t(sheet.Width) + size_t(sx + x)];
            c.At(x, y) = {((v >> 16) & 0xFF) / 255.0, ((v >> 8) & 0xFF) / 255.0, (v & 0xFF) / 255.0, (v >> 24) / 255.0};
        }
    return c;
}

double Noise(double x, double y, int seed) {
    const int xi = int(std::floor(x)), yi = int(std::floor(y));
    const double fx = x - xi, fy = y - yi;
    const double u = fx * fx * (3 - 2 * fx), v = fy * fy * (3 - 2 * fy);
    auto h = [&](int i, int j) { return (Hash(xi + i, yi + j, seed) & 0xFFFFFF) / double(0xFFFFFF); };
    return (h(0, 0) * (1 - u) + h(1, 0) * u) * (1 - v) + (h(0, 1) * (1 - u) + h(1, 1) * u) * v;
}

double Fbm(double x, double y, int octaves, int seed) {
    double sum = 0, amp = 0.5, norm = 0;
    for (int o = 0; o < octaves; ++o) {
        sum += amp * Noise(x, y, seed + o * 101);
        norm += amp;
        x *= 2.03;
        y *= 2.03;
        amp *= 0.5;
    }
    return sum / norm;
}

void BlurAlpha(std::vector<double>& a, int w, int h, double radius) {
    const int r = std::max(1, int(std::lround(radius)));
    std::vector<double> tmp(a.size());
    for (int pass = 0; pass < 3; ++pass) {
        for (int y = 0; y < h; ++y) {
            double sum = 0;
            for (int x = -r; x <= r; ++x) sum += a[size_t(y) * size_t(w) + size_t(std::clamp(x, 0, w - 1))];
            for (int x = 0; x < w; ++x) {
                tmp[size_t(y) * size_t(w) + size_t(x)] = sum / (2 * r + 1);
                sum += a[size_t(y) * size_t(w) + size_t(std::clamp(x + r + 1, 0, w - 1))] -
                       a[size_t(y) * size_t(w) + size_t(std::clamp(x - r, 0, w - 1))];
            }
        }
        for (int x = 0; x < w; ++x) {
            double sum = 0;
            for (int y = -r; y <= r; ++y) sum += tmp[size_t(std::clamp(y, 0, h - 1)) * size_t(w) + size_t(x)];
            for (int y = 0; y < h; ++y) {
                a[size_t(y) * size_t(w) + size_t(x)] = sum / (2 * r + 1);
                sum += tmp[size_t(std::clamp(y + r + 1, 0, h - 1)) * size_t(w) + size_t(x)] -
                       tmp[size_t(std::clamp(y - r, 0, h - 1)) * size_t(w) + size_t(x)];
            }
        }
    }
}

TextMask SetText(const std::string& fontFile, int pixelSize, const std::string& text, double tracking) {
    TextMask m;
    FT_Library lib = nullptr;
    FT_Face face = nullptr;
    if (FT_Init_FreeType(&lib) || FT_New_Face(lib, fontFile.c_str(), 0, &face)) {
        if (lib) FT_Done_FreeType(lib);
        return m;
    }
    FT_Set_Pixel_Sizes(face, 0, FT_UInt(pixelSize));
    const int ascender = int(face->size->metrics.ascender >> 6), descender = int(-(face->size->metrics.descender >> 6));
    // First the width, then the glyphs.
    double pen = 0;
    int maxRight = 1;
    for (unsigned char ch : text) {
        if (FT_Load_Char(face, ch, FT_LOAD_DEFAULT)) continue;
        maxRight = std::max(maxRight, int(pen + double(face->glyph->metrics.horiBearingX >> 6) +
                                          double(face->glyph->metrics.width >> 6)) + 2);
        pen += double(face->glyph->advance.x >> 6) + tracking;
    }
    m.width = std::max(maxRight, int(pen) + 2);
    m.height = ascender + descender + 2;
    m.baseline = ascender + 1;
    m.coverage.assign(size_t(m.width) * size_t(m.height), 0);
    pen = 0;
    for (unsigned char ch : text) {
        if (FT_Load_Char(face, ch, FT_LOAD_RENDER)) continue;
        const FT_Bitmap& b = face->glyph->bitmap;
        const int ox = int(std::lround(pen)) + face->glyph->bitmap_left, oy = m.baseline - face->glyph->bitmap_top;
        for (int y = 0; y < int(b.rows); ++y)
            for (int x = 0; x < int(b.width); ++x) {
                const int px = ox + x, py = oy + y;
                if (px < 0 || py < 0 || px >= m.width || py >= m.height) continue;
                double& c = m.coverage[size_t(py) * size_t(m.width) + size_t(px)];
                c = std::max(c, b.buffer[y * b.pitch + x] / 255.0);
            }
        pen += double(face->glyph->advance.x >> 6) + tracking;
    }
    FT_Done_Face(face);
    FT_Done_FreeType(lib);
    return m;
}

void DrawText(Canvas& canvas, const TextMask& t, int x, int y, const TextStyle& s) {
    const int pad = int(std::ceil(std::max({s.outlineWidth, s.shadowBlur * 3, s.glowRadius * 3}))) + 4 +
                    int(std::ceil(std::max(std::abs(s.shadowX), std::abs(s.shadowY))));
    const int w = t.width + 2 * pad, h = t.height + 2 * pad;
    std::vector<double> cover(size_t(w) * size_t(h), 0);
    for (int j = 0; j < t.height; ++j)
        for (int i = 0; i < t.width; ++i) cover[size_t(j + pad) * size_t(w) + size_t(i + pad)] = t.coverage[size_t(j) * size_t(t.width) + size_t(i)];
    // The outline: the text grown by its width.
    std::vector<double> grown = cover;
    if (s.outlineWidth > 0) {
        const int r = int(std::ceil(s.outlineWidth));
        for (int j = 0; j < h; ++j)
            for (int i = 0; i < w; ++i) {
                double best = 0;
                for (int dy = -r; dy <= r; ++dy)
                    for (int dx = -r; dx <= r; ++dx) {
                        const int ni = i + dx, nj = j + dy;
                        if (ni < 0 || nj < 0 || ni >= w || nj >= h) continue;
                        best = std::max(best, cover[size_t(nj) * size_t(w) + size_t(ni)] * Clamp01(s.outlineWidth + 0.5 - std::hypot(dx, dy)));
                    }
                grown[size_t(j) * size_t(w) + size_t(i)] = best;
            }
    }
    auto paintLayer = [&](const std::vector<double>& a, Rgba c, double ox, double oy) {
        for (int j = 0; j < h; ++j)
            for (int i = 0; i < w; ++i) {
                const double k = a[size_t(j) * size_t(w) + size_t(i)];
                if (k > 0) canvas.Blend(x + i - pad + int(ox), y + j - pad + int(oy), c, k);
            }
    };
    if (s.glowRadius > 0) {
        std::vector<double> glow = grown;
        BlurAlpha(glow, w, h, s.glowRadius);
        paintLayer(glow, s.glow, 0, 0);
    }
    if (s.shadow.a > 0) {
        std::vector<double> shadow = grown;
        if (s.shadowBlur > 0) BlurAlpha(shadow, w, h, s.shadowBlur);
        paintLayer(shadow, s.shadow, s.shadowX, s.shadowY);
    }
    if (s.outlineWidth > 0) paintLayer(grown, s.outline, 0, 0);
    for (int j = 0; j < t.height; ++j)
        for (int i = 0; i < t.width; ++i) {
            const double k = t.coverage[size_t(j) * size_t(t.width) + size_t(i)];
            if (k > 0) canvas.Blend(x + i, y + j, s.fill(double(i) / t.width, double(j) / t.height), k);
        }
}

} // namespace zelkor::art

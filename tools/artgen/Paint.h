#pragma once
// A small painting toolkit for the game's pictures: an RGBA canvas (colour
// values 0..1 as displayed, straight alpha), antialiased polygons, quads,
// rounded rectangles and ellipses, gradients and glows, deterministic
// noise, blur, and text set with FreeType.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tools/artgen/Vec.h"
#include "tools/pack/ImageBuilder.h"

namespace zelkor::art {

struct Rgba {
    double r = 0, g = 0, b = 0, a = 1;
};

inline Rgba Hex(uint32_t rgb, double a = 1) {
    return {((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0, a};
}
inline Rgba Lerp(Rgba x, Rgba y, double t) {
    return {x.r + (y.r - x.r) * t, x.g + (y.g - x.g) * t, x.b + (y.b - x.b) * t, x.a + (y.a - x.a) * t};
}
inline Rgba Scale(Rgba c, double k) { return {c.r * k, c.g * k, c.b * k, c.a}; }

class Canvas {
public:
    Canvas(int w, int h, Rgba fill = {0, 0, 0, 0});
    int Width() const { return w_; }
    int Height() const { return h_; }
    Rgba& At(int x, int y) { return px_[size_t(y) * size_t(w_) + size_t(x)]; }
    const Rgba& At(int x, int y) const { return px_[size_t(y) * size_t(w_) + size_t(x)]; }

    // `c` over the pixel with coverage `k`.
    void Blend(int x, int y, Rgba c, double k = 1);
    // Light added: colour times strength.
    void Add(int x, int y, Rgba c, double k = 1);

    // Every pixel: colour from a function of the pixel's centre.
    void Paint(const std::function<Rgba(double x, double y)>& color);
    // A filled polygon (4 x 4 samples at its edges), coloured per pixel.
    void FillPolygon(const std::vector<Vec2>& points, const std::function<Rgba(double x, double y)>& color);
    void FillPolygon(const std::vector<Vec2>& points, Rgba c) {
        FillPolygon(points, [c](double, double) { return c; });
    }
    void FillRoundRect(double x, double y, double w, double h, double radius, const std::function<Rgba(double, double)>& color);
    void FillRoundRect(double x, double y, double w, double h, double radius, Rgba c) {
        FillRoundRect(x, y, w, h, radius, [c](double, double) { return c; });
    }
    void FillEllipse(double cx, double cy, double rx, double ry, Rgba c);
    void FillRect(double x, double y, double w, double h, Rgba c) {
        FillPolygon({{x, y}, {x + w, y}, {x + w, y + h}, {x, y + h}}, c);
    }
    // A soft round light: added, fading from the centre out to `radius`.
    void Glow(double cx, double cy, double radius, Rgba c, double strength);
    // Darkens towards the edges.
    void Vignette(double strength);
    void StrokeLine(double x0, double y0, double x1, double y1, double width, Rgba c);

    // `other` over this canvas with its top-left corner at (x, y).
    void Draw(const Canvas& other, int x, int y, double opacity = 1);
    // Drop shadow / glow: the alpha of `shape`, blurred, in colour `c`.
    void Shadow(const Canvas& shape, int x, int y, double blur, Rgba c);

    TPixelSheet ToSheet() const;
    static Canvas FromSheet(const TPixelSheet& sheet, int sx, int sy, int w, int h);

private:
    int w_, h_;
    std::vector<Rgba> px_;
};

// Deterministic value noise in 0..1 and a sum of octaves.
double Noise(double x, double y, int seed);
double Fbm(double x, double y, int octaves, int seed);

// A separable box blur (three passes approximate a Gaussian) of the alpha
// channel, or of all channels.
void BlurAlpha(std::vector<double>& alpha, int w, int h, double radius);

// Text set with FreeType: the coverage of `text` at `pixelSize`, its width
// and the baseline's offset from the top.
struct TextMask {
    int width = 0, height = 0, baseline = 0;
    std::vector<double> coverage;
};
TextMask SetText(const std::string& fontFile, int pixelSize, const std::string& text, double tracking = 0);

// Text painted onto the canvas: fill (per pixel, a function of the
// position inside the text box, 0..1 each way), an outline and a shadow.
struct TextStyle {
    std::function<Rgba(double u, double v)> fill;
    Rgba outline{0, 0, 0, 0};
    double outlineWidth = 0;
    Rgba shadow{0, 0, 0, 0};
    double shadowBlur = 0;
    double shadowX = 0, shadowY = 0;
    Rgba glow{0, 0, 0, 0};
    double glowRadius = 0;
};
void DrawText(Canvas& canvas, const TextMask& text, int x, int y, const TextStyle& style);

} // namespace zelkor::art

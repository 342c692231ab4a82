#include "tools/artgen/Preview.h"

#include "game/geometry/BoardGeometry.h"

#include <algorithm>
#include <cmath>

namespace zelkor::art {

namespace {

struct Rgba {
    double r, g, b, a;
};

Rgba Unpack(uint32_t v) {
    return {double((v >> 16) & 0xFF), double((v >> 8) & 0xFF), double(v & 0xFF), double(v >> 24) / 255.0};
}

uint32_t Pack(double r, double g, double b, double a) {
    auto c = [](double v) { return uint32_t(std::clamp(std::lround(v), 0L, 255L)); };
    return c(a * 255) << 24 | c(r) << 16 | c(g) << 8 | c(b);
}

void BlendOver(uint32_t& dst, double r, double g, double b, double a) {
    const Rgba d = Unpack(dst);
    const double outA = a + d.a * (1 - a);
    if (outA <= 0) return;
    dst = Pack((r * a + d.r * d.a * (1 - a)) / outA, (g * a + d.g * d.a * (1 - a)) / outA,
               (b * a + d.b * d.a * (1 - a)) / outA, outA);
}

} // namespace

void Fill(TPixelSheet& dst, int x, int y, int w, int h, uint32_t argb) {
    for (int j = std::max(0, y); j < std::min(dst.Height, y + h); ++j)
        for (int i = std::max(0, x); i < std::min(dst.Width, x + w); ++i) dst.Pixels[size_t(j) * size_t(dst.Width) + size_t(i)] = argb;
}

void FillQuad(TPixelSheet& dst, const double c[4][2], uint32_t argb) {
    double x0 = 1e9, y0 = 1e9, x1 = -1e9, y1 = -1e9;
    for (int i = 0; i < 4; ++i) x0 = std::min(x0, c[i][0]), x1 = std::max(x1, c[i][0]), y0 = std::min(y0, c[i][1]), y1 = std::max(y1, c[i][1]);
    const Rgba col = Unpack(argb);
    for (int y = std::max(0, int(y0) - 1); y <= std::min(dst.Height - 1, int(y1) + 1); ++y)
        for (int x = std::max(0, int(x0) - 1); x <= std::min(dst.Width - 1, int(x1) + 1); ++x) {
            // 4 x 4 samples for smooth edges.
            int inside = 0;
            for (int sy = 0; sy < 4; ++sy)
                for (int sx = 0; sx < 4; ++sx) {
                    const double px = x + (sx + 0.5) / 4, py = y + (sy + 0.5) / 4;
                    int sign = 0;
                    bool in = true;
                    for (int e = 0; e < 4 && in; ++e) {
                        const double* a = c[e];
                        const double* b = c[(e + 1) % 4];
                        const double cross = (b[0] - a[0]) * (py - a[1]) - (b[1] - a[1]) * (px - a[0]);
                        const int s = cross > 0 ? 1 : (cross < 0 ? -1 : 0);
                        if (s != 0 && sign != 0 && s != sign) in = false;
                        if (s != 0) sign = s;
                    }
                    inside += in;
                }
            if (inside) BlendOver(dst.Pixels[size_t(y) * size_t(dst.Width) + size_t(x)], col.r, col.g, col.b, col.a * inside / 16.0);
        }
}

void Blit(TPixelSheet& dst, const TPixelSheet& src, int sx, int sy, int sw, int sh, double dx, double dy, double scale) {
    const int w = int(std::ceil(sw * scale)), h = int(std::ceil(sh * scale));
    auto texel = [&](int x, int y) {
        x = std::clamp(x, 0, sw - 1);
        y = std::clamp(y, 0, sh - 1);
        return Unpack(src.Pixels[size_t(sy + y) * size_t(src.Width) + size_t(sx + x)]);
    };
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) {
            const int tx = int(std::floor(dx)) + i, ty = int(std::floor(dy)) + j;
            if (tx < 0 || ty < 0 || tx >= dst.Width || ty >= dst.Height) continue;
            // Several source texels a pixel when shrinking: box over the footprint.
            const double u0 = i / scale, v0 = j / scale, step = std::max(1.0, 1.0 / scale);
            double r = 0, g = 0, b = 0, a = 0;
            int n = 0;
            for (double v = v0; v < v0 + step; v += 1.0)
                for (double u = u0; u < u0 + step; u += 1.0) {
                    const int x = int(u), y = int(v);
                    const double fx = u - x, fy = v - y;
                    const Rgba t00 = texel(x, y), t10 = texel(x + 1, y), t01 = texel(x, y + 1), t11 = texel(x + 1, y + 1);
                    const double w00 = (1 - fx) * (1 - fy) * t00.a, w10 = fx * (1 - fy) * t10.a, w01 = (1 - fx) * fy * t01.a,
                                 w11 = fx * fy * t11.a;
                    r += t00.r * w00 + t10.r * w10 + t01.r * w01 + t11.r * w11;
                    g += t00.g * w00 + t10.g * w10 + t01.g * w01 + t11.g * w11;
                    b += t00.b * w00 + t10.b * w10 + t01.b * w01 + t11.b * w11;
                    a += w00 + w10 + w01 + w11;
                    ++n;
                }
            if (a <= 0) continue;
            BlendOver(dst.Pixels[size_t(ty) * size_t(dst.Width) + size_t(tx)], r / a, g / a, b / a, a / n);
        }
}

TPixelSheet PieceContactSheet(const PieceSheets& s) {
    const uint32_t neutral = 0xFF8A8A86, dark = 0xFF1E1F24, light = 0xFFE9D8B4, darkSquare = 0xFF9A6A44;
    const int pad = 16;
    TPixelSheet out;
    out.Width = 2 * s.standing.Width + 3 * pad;
    const int boardH = 400;
    const double largeScale = double(s.standing.Width * 2 + pad) / s.large.Width;
    const int largeH = int(s.large.Height * largeScale);
    out.Height = pad + s.standing.Height + pad + boardH + pad + largeH + pad + 2 * (s.icons.Height + pad);
    out.Pixels.assign(size_t(out.Width) * size_t(out.Height), 0xFF3A3B40);

    int y = pad;
    Fill(out, pad, y, s.standing.Width, s.standing.Height, neutral);
    Blit(out, s.standing, 0, 0, s.standing.Width, s.standing.Height, pad, y, 1.0);
    Fill(out, 2 * pad + s.standing.Width, y, s.standing.Width, s.standing.Height, dark);
    Blit(out, s.standing, 0, 0, s.standing.Width, s.standing.Height, 2 * pad + s.standing.Width, y, 1.0);
    y += s.standing.Height + pad;

    // The starting position on the perspective board, at the game's scales.
    const int boardX = pad, boardY = y - 230;
    Fill(out, pad, y, out.Width - 2 * pad, boardH, 0xFF4B3A2C);
    for (int sq = 0; sq < 64; ++sq) {
        const game::TSquareQuad& q = game::SquareQuads[size_t(sq)];
        double corners[4][2];
        for (int k = 0; k < 4; ++k) {
            corners[k][0] = q[size_t(k)].X + boardX;
            corners[k][1] = q[size_t(k)].Y + boardY;
        }
        const int file = sq % 8, rank = sq / 8;
        FillQuad(out, corners, ((file + rank) % 2 == 0) ? light : darkSquare);
    }
    const char* start = "rnbqkbnrpppppppp                                PPPPPPPPRNBQKBNR";
    const double pieceScale = 0.59;
    for (int sq = 0; sq < 64; ++sq) {
        const char c = start[sq];
        if (c == ' ') continue;
        const game::TScreenPoint center = game::SquareCenter(static_cast<Square>(sq + 1), 1);
        const double cx = center.X, cy = center.Y;
        const double scale = game::PerspectiveScale(center.Y, pieceScale);
        const std::string letters = "PNBRQK";
        const bool white = c >= 'A' && c <= 'Z';
        const int pattern = int(letters.find(char(white ? c : c - 32))) + (white ? 0 : 6);
        double ax = 0, ay = 0;
        PieceAnchor(pattern, ax, ay);
        const int col = pattern % 6, row = pattern / 6;
        Blit(out, s.standing, col * s.standingW, row * s.standingH, s.standingW, s.standingH,
             boardX + cx - std::nearbyint(scale * ax), boardY + cy - std::nearbyint(scale * ay), scale / s.Scale());
    }
    // The large ones, the selected piece's picture, beside the board at scale 1/2 of the sheet.
    const int bx = 700;
    Blit(out, s.icons, 0, 0, s.icons.Width, s.icons.Height, bx, y + 10, 1.0);
    Blit(out, s.flat, 0, 0, s.flat.Width, s.flat.Height, bx, y + 10 + s.icons.Height + 10, 1.0);
    y += boardH + pad;

    Fill(out, pad, y, out.Width - 2 * pad, largeH, neutral);
    Blit(out, s.large, 0, 0, s.large.Width, s.large.Height, pad, y, largeScale);
    y += largeH + pad;

    for (const TPixelSheet* icons : {&s.icons, &s.flat}) {
        Fill(out, pad, y, icons->Width, icons->Height, light);
        Blit(out, *icons, 0, 0, icons->Width, icons->Height, pad, y, 1.0);
        Fill(out, 2 * pad + icons->Width, y, icons->Width, icons->Height, dark);
        Blit(out, *icons, 0, 0, icons->Width, icons->Height, 2 * pad + icons->Width, y, 1.0);
        // The same at 25 pixels a cell, as small as the classic board draws them.
        const double small = 25.0 / s.iconSize;
        Fill(out, 3 * pad + 2 * icons->Width, y, int(icons->Width * small), int(icons->Height * small), darkSquare);
        Blit(out, *icons, 0, 0, icons->Width, icons->Height, 3 * pad + 2 * icons->Width, y, small);
        y += icons->Height + pad;
    }
    return out;
}

} // namespace zelkor::art

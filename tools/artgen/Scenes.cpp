#include "tools/artgen/Scenes.h"

#include <cmath>
#include <filesystem>

#include "game/geometry/BoardGeometry.h"
#include "tools/artgen/Homography.h"
#include "tools/artgen/Paint.h"
#include "tools/artgen/PieceModels.h"
#include "tools/artgen/PieceRenderer.h"
#include "tools/artgen/Preview.h"

namespace zelkor::art {

namespace {

constexpr int W = 1024, H = 768;

std::string FirstExisting(std::initializer_list<const char*> files) {
    for (const char* f : files)
        if (std::filesystem::exists(f)) return f;
    return "";
}

Rgba Mul(Rgba c, double k) { return {c.r * k, c.g * k, c.b * k, c.a}; }

// ---- The perspective board ----------------------------------------------------------

// Board coordinates: u along the files (a = 0 .. 8), v along the ranks from
// the eighth (0) to the first (8).
Homography BoardToScreen(int ox, int oy) {
    const Vec2 board[4] = {{0, 0}, {8, 0}, {8, 8}, {0, 8}};
    const Vec2 screen[4] = {{301.0 + ox, 251.0 + oy}, {636.0 + ox, 284.0 + oy}, {520.0 + ox, 619.0 + oy}, {32.0 + ox, 483.0 + oy}};
    return Homography(board, screen);
}

struct BoardStyle {
    Rgba light, dark, frame, frameEdge;
    int seed;
};

// Wood grain along u with rings, in board coordinates.
Rgba Grain(Rgba base, double u, double v, int seed, double strength) {
    const double rings = std::sin((v * 6 + Fbm(u * 0.7, v * 3, 4, seed) * 9) * 3.1);
    const double streak = Fbm(u * 0.4, v * 14, 3, seed + 7);
    const double k = 1 + strength * (0.22 * rings + 0.35 * (streak - 0.5));
    return Mul(base, k);
}

void PaintBoard(Canvas& c, int ox, int oy, const BoardStyle& style) {
    const Homography toScreen = BoardToScreen(ox, oy);
    const Homography toBoard = toScreen.Inverse();
    auto board = [&](double x, double y) { return toBoard.Map({x, y}); };
    // Shadow under the board and its frame.
    {
        Canvas shape(W, H);
        std::vector<Vec2> outer;
        for (Vec2 p : std::initializer_list<Vec2>{{-0.75, -0.75}, {8.75, -0.75}, {8.75, 8.75}, {-0.75, 8.75}})
            outer.push_back(toScreen.Map(p));
        shape.FillPolygon(outer, Rgba{0, 0, 0, 1});
        c.Shadow(shape, 10, 16, 10, Rgba{0, 0, 0, 0.65});
    }
    // The frame: a bevelled moulding around the squares.
    std::vector<Vec2> frame;
    for (Vec2 p : std::initializer_list<Vec2>{{-0.6, -0.6}, {8.6, -0.6}, {8.6, 8.6}, {-0.6, 8.6}}) frame.push_back(toScreen.Map(p));
    c.FillPolygon(frame, [&](double x, double y) {
        const Vec2 b = board(x, y);
        const double du = b.x < 0 ? -b.x : (b.x > 8 ? b.x - 8 : 0), dv = b.y < 0 ? -b.y : (b.y > 8 ? b.y - 8 : 0);
        const double out = std::max(du, dv) / 0.6;  // 0 at the squares, 1 at the outer edge
        // Light from the upper left: the far and left sides of the moulding are lit.
        const bool litSide = (b.y < 0 && du <= dv) || (b.x < 0 && dv <= du);
        const double profile = std::sin(std::min(1.0, out) * M_PI);
        double k = 0.8 + 0.45 * profile * (litSide ? 1 : -0.55);
        if (out < 0.12 || out > 0.9) k *= 0.7;  // the grooves at both edges
        return Grain(Mul(style.frame, k), b.x + b.y * 0.3, b.y + b.x * 0.3, style.seed + 3, 0.8);
    });
    // The squares, each on its own corners.
    for (int sq = 0; sq < 64; ++sq) {
        // Corners in order top, left, bottom, right; squares a8 light.
        std::vector<Vec2> quad;
        for (const game::TScreenPoint& corner : game::SquareQuads[size_t(sq)])
            quad.push_back({double(corner.X + ox), double(corner.Y + oy)});
        const bool light = IsLightSquare(static_cast<Square>(sq + 1));
        c.FillPolygon(quad, [&](double x, double y) {
            const Vec2 b = board(x, y);
            Rgba base = light ? style.light : style.dark;
            // A slight bevel at each square's edges and a gloss towards the light.
            const double fu = b.x - std::floor(b.x), fv = b.y - std::floor(b.y);
            const double edge = std::min({fu, fv, 1 - fu, 1 - fv});
            double k = 1.0 + 0.1 * (0.5 - b.y / 8) + 0.05 * (0.5 - b.x / 8);
            if (edge < 0.03) k *= 0.86;
            return Grain(Mul(base, k), b.x, b.y + sq * 0.37, style.seed, light ? 0.35 : 0.55);
        });
    }
}

// Flagstones (or cobbles) on the floor around the board, in the board's perspective.
void PaintFloor(Canvas& c, int ox, int oy, double horizon, bool cobbles, Rgba stone, int seed) {
    const Homography toBoard = BoardToScreen(ox, oy).Inverse();
    for (int y = int(horizon); y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const Vec2 s{x + 0.5, y + 0.5};
            if (!toBoard.InFront(s)) continue;
            const Vec2 b = toBoard.Map(s);
            if (std::abs(b.x) > 80 || std::abs(b.y) > 80) continue;
            double k;
            if (cobbles) {
                const double cu = b.x * 2.2, cv = b.y * 2.2 + (int(std::floor(b.x * 2.2)) % 2) * 0.5;
                const double fu = cu - std::floor(cu), fv = cv - std::floor(cv);
                const double d = std::min({fu, fv, 1 - fu, 1 - fv});
                k = Clamp01(d * 9) * (0.75 + 0.45 * Noise(std::floor(cu), std::floor(cv), seed)) *
                    (0.85 + 0.3 * Fbm(b.x * 6, b.y * 6, 3, seed + 1));
            } else {
                const double tu = b.x / 2.0, tv = b.y / 2.0 + (int(std::floor(b.x / 2.0)) % 2) * 0.5;
                const double fu = tu - std::floor(tu), fv = tv - std::floor(tv);
                const double d = std::min({fu, fv, 1 - fu, 1 - fv});
                k = (0.35 + 0.65 * Clamp01(d * 40)) * (0.8 + 0.3 * Noise(std::floor(tu), std::floor(tv), seed)) *
                    (0.82 + 0.36 * Fbm(b.x * 1.5, b.y * 1.5, 4, seed + 1));
            }
            // Farther is darker.
            const double distance = std::hypot(b.x - 4, b.y - 4);
            const double fade = Clamp01(1.15 - distance / 22) * Clamp01((y - horizon) / 90.0);
            c.Blend(x, y, Mul(stone, k * (0.25 + 0.75 * fade)), 1);
        }
}

// ---- The castle hall ----------------------------------------------------------------

void CastleWall(Canvas& c, double floorLine) {
    // Ashlar blocks, warm grey, in staggered courses.
    c.Paint([&](double x, double y) {
        if (y > floorLine + 30) return Rgba{0, 0, 0, 0};
        const double course = 34, block = 78;
        const int row = int(std::floor(y / course));
        const double bx = x + (row % 2) * block / 2;
        const double fu = bx / block - std::floor(bx / block), fv = y / course - row;
        const double mortar = std::min({fu * block, (1 - fu) * block, fv * course, (1 - fv) * course});
        const double tone = 0.78 + 0.25 * Noise(std::floor(bx / block), row, 11) + 0.18 * (Fbm(x / 9, y / 9, 4, 12) - 0.5);
        Rgba stone = Mul(Hex(0x6f655a), tone);
        if (mortar < 2.2) stone = Mul(Hex(0x2e2924), 1.0);
        const double light = 0.55 + 0.45 * Clamp01(1 - y / (floorLine + 30));  // higher is a little lit
        return Mul(stone, light * 0.8);
    });
    // Two tall arched windows with night light.
    for (double wx : {470.0, 760.0}) {
        std::vector<Vec2> arch;
        const double left = wx - 45, right = wx + 45, top = 40, bottom = 205;
        for (int i = 0; i <= 24; ++i) {
            const double a = M_PI + M_PI * i / 24;
            arch.push_back({wx + 45 * std::cos(a), top + 45 + 45 * std::sin(a)});
        }
        arch.push_back({right, bottom});
        arch.push_back({left, bottom});
        Canvas glass(W, H);
        glass.FillPolygon(arch, [&](double x, double y) {
            const double bar = std::min(std::abs(x - wx), std::abs(y - 130.0));
            if (bar < 2.5) return Hex(0x1b1a22);
            return Lerp(Hex(0x3d5a8a), Hex(0x8fb3e0), Clamp01((y - top) / (bottom - top)) * 0.6 + 0.2 * Noise(x / 7, y / 7, 3));
        });
        c.Shadow(glass, 4, 4, 6, Rgba{0, 0, 0, 0.8});
        c.Draw(glass, 0, 0);
        c.Glow(wx, 140, 190, Hex(0x4a6fa8), 0.25);
    }
    // Torches on the wall with warm light.
    for (double tx : {150.0, 960.0}) {
        c.Glow(tx, 120, 260, Hex(0xffa040), 0.55);
        c.FillRoundRect(tx - 5, 118, 10, 48, 3, Hex(0x2a1d12));
        c.FillEllipse(tx, 112, 9, 16, Hex(0xffcf6a));
        c.FillEllipse(tx, 116, 5, 9, Hex(0xfff2c0));
    }
}

// ---- The town square -----------------------------------------------------------------

void TownBackdrop(Canvas& c, double floorLine) {
    // Dusk sky with a few stars.
    c.Paint([&](double x, double y) {
        if (y > floorLine + 40) return Rgba{0, 0, 0, 0};
        const double t = Clamp01(y / (floorLine + 20));
        Rgba sky = Lerp(Hex(0x0b1430), Hex(0x7a4e6a), std::pow(t, 1.6));
        sky = Lerp(sky, Hex(0xe0906a), Clamp01((t - 0.75) * 3) * 0.6);
        if (Noise(x * 0.9, y * 0.9, 21) > 0.985 && t < 0.5) sky = Lerp(sky, Hex(0xffffff), 0.8);
        return sky;
    });
    c.FillEllipse(860, 70, 26, 26, Hex(0xf3ecd2));
    c.Glow(860, 70, 120, Hex(0xf3e6c0), 0.25);
    // Houses: gabled silhouettes with lit windows, two rows.
    for (int row = 0; row < 2; ++row) {
        double x = -20 + row * 37;
        int n = 0;
        while (x < W + 20) {
            const double w = 70 + 50 * Noise(n, row, 31), h = (row ? 120 : 95) + 70 * Noise(n, row, 32);
            const double base = floorLine + (row ? 22 : 8);
            const double top = base - h, roof = 26 + 20 * Noise(n, row, 33);
            const Rgba wall = Mul(row ? Hex(0x3a3340) : Hex(0x2a2533), 0.85 + 0.3 * Noise(n, row, 34));
            c.FillPolygon({{x, base}, {x, top}, {x + w / 2, top - roof}, {x + w, top}, {x + w, base}}, wall);
            for (int wy = 0; wy < 3; ++wy)
                for (int wx = 0; wx < 3; ++wx) {
                    if (Noise(n * 7 + wx, wy + row * 5, 35) < 0.45) continue;
                    const double px = x + 12 + wx * (w - 24) / 3, py = top + 14 + wy * 28;
                    if (py + 14 > base - 6) continue;
                    c.FillRoundRect(px, py, 10, 14, 2, Hex(0xffd37a));
                    c.Glow(px + 5, py + 7, 22, Hex(0xffb050), 0.25);
                }
            x += w + 6;
            ++n;
        }
    }
    // Street lamps.
    for (double lx : {120.0, 940.0}) {
        c.FillRoundRect(lx - 3, floorLine - 110, 6, 150, 2, Hex(0x1a1818));
        c.FillEllipse(lx, floorLine - 116, 10, 12, Hex(0xffe2a0));
        c.Glow(lx, floorLine - 116, 200, Hex(0xffb860), 0.5);
    }
}

// ---- Title and help -------------------------------------------------------------------

Canvas RenderedPiece(PieceKind kind, bool white, double scale, int w, int h, double ax, double ay) {
    View v;
    v.width = w;
    v.height = h;
    v.pixelsPerUnit = scale;
    v.anchorX = ax;
    v.anchorY = ay;
    v.elevation = 22;
    const Picture p = RenderPiece(PieceModel(kind), white ? Ivory() : Chestnut(), v);
    Canvas c(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const Pixel& px = p.at(x, y);
            c.At(x, y) = {ToSrgb(px.c.x), ToSrgb(px.c.y), ToSrgb(px.c.z), px.a};
        }
    return c;
}

void Logo(Canvas& c, const ContentFonts& fonts, double cx, double y, int size) {
    const TextMask zelkor = SetText(fonts.logo, size, "Zelkor", 1);
    const TextMask chess = SetText(fonts.logo, int(size * 0.62), "C H E S S", 0);
    TextStyle gold;
    gold.fill = [](double, double v) { return Lerp(Hex(0xfff0b0), Hex(0xb8762a), Clamp01(v * 1.3 - 0.1)); };
    gold.outline = Hex(0x2a1606);
    gold.outlineWidth = size / 28.0;
    gold.shadow = Rgba{0, 0, 0, 0.7};
    gold.shadowBlur = size / 22.0;
    gold.shadowX = size / 30.0;
    gold.shadowY = size / 24.0;
    gold.glow = Hex(0xffc060, 0.35);
    gold.glowRadius = size / 10.0;
    DrawText(c, zelkor, int(cx - zelkor.width / 2), int(y), gold);
    TextStyle silver = gold;
    silver.fill = [](double, double v) { return Lerp(Hex(0xf4f1ea), Hex(0x8e8a82), Clamp01(v)); };
    silver.glow = Hex(0x90b0ff, 0.25);
    DrawText(c, chess, int(cx - chess.width / 2), int(y + zelkor.height * 0.86), silver);
}

void TitleScreen(Canvas& c, const ContentFonts& fonts) {
    // A deep blue hall with a warm lit panel on the left for the menus.
    c.Paint([](double x, double y) {
        const double t = y / H;
        Rgba base = Lerp(Hex(0x141a2e), Hex(0x06080f), t);
        base = Mul(base, 0.85 + 0.3 * Fbm(x / 60, y / 60, 4, 41));
        return base;
    });
    c.Glow(790, 300, 420, Hex(0x3a4f8a), 0.45);
    // The menu panel: soft parchment tone, framed.
    c.FillRoundRect(44, 112, 380, 500, 18, Rgba{0, 0, 0, 0.55});
    c.FillRoundRect(52, 120, 364, 484, 14, [](double x, double y) {
        const double k = 0.82 + 0.3 * Fbm(x / 25, y / 25, 5, 42);
        return Mul(Lerp(Hex(0x9c8a6c), Hex(0x7a6a52), Clamp01((y - 120) / 484)), k);
    });
    c.FillRoundRect(52, 120, 364, 6, 3, Hex(0xd9b870, 0.8));
    c.FillRoundRect(52, 598, 364, 6, 3, Hex(0xd9b870, 0.8));
    Logo(c, fonts, 745, 86, 128);
    // The king and queen below the name, on a polished floor with reflections.
    const Canvas king = RenderedPiece(PieceKind::King, true, 1.55, 220, 330, 110, 300);
    const Canvas queen = RenderedPiece(PieceKind::Queen, false, 1.55, 220, 330, 110, 300);
    c.FillPolygon({{470, 640}, {1024, 640}, {1024, 768}, {470, 768}}, [](double, double y) {
        return Lerp(Hex(0x1a1e2c), Hex(0x05060a), Clamp01((y - 640) / 128)) ;
    });
    for (const auto& [piece, x] : {std::pair<const Canvas*, int>{&queen, 530}, {&king, 730}}) {
        Canvas reflection(piece->Width(), piece->Height());
        for (int y = 0; y < piece->Height(); ++y)
            for (int xx = 0; xx < piece->Width(); ++xx) {
                Rgba p = piece->At(xx, piece->Height() - 1 - y);
                p.a *= 0.22 * Clamp01(1 - y / 120.0);
                reflection.At(xx, y) = p;
            }
        c.Draw(reflection, x, 640 + 298 - piece->Height() + 12 - 8);
        c.Draw(*piece, x, 640 - 300);
    }
    c.Vignette(0.55);
}

void HelpScreen(Canvas& c, const ContentFonts& fonts) {
    c.Paint([](double x, double y) {
        Rgba base = Lerp(Hex(0x1a1410), Hex(0x0a0806), y / H);
        return Mul(base, 0.8 + 0.35 * Fbm(x / 40, y / 40, 5, 51));
    });
    // The legend panel.
    c.FillRoundRect(36, 96, 560, 600, 16, Rgba{0, 0, 0, 0.5});
    c.FillRoundRect(44, 104, 544, 584, 12, [](double x, double y) {
        return Mul(Hex(0x2a2c34), 0.85 + 0.25 * Fbm(x / 30, y / 30, 4, 52));
    });
    for (int r = 0; r < 9; ++r) c.FillRect(60, 112 + 60 * r + 56, 512, 1, Hex(0x8a7a50, 0.5));
    const TextMask title = SetText(fonts.logo, 54, "How to play", 0.5);
    TextStyle gold;
    gold.fill = [](double, double v) { return Lerp(Hex(0xfff0b0), Hex(0xc08a38), v); };
    gold.outline = Hex(0x1a0e04);
    gold.outlineWidth = 2;
    gold.shadow = Rgba{0, 0, 0, 0.8};
    gold.shadowBlur = 3;
    gold.shadowX = 2;
    gold.shadowY = 3;
    DrawText(c, title, 62, 24, gold);
    // A quiet picture on the right: the knight, large.
    const Canvas knight = RenderedPiece(PieceKind::Knight, true, 2.6, 360, 500, 160, 470);
    c.Glow(820, 420, 300, Hex(0x805a30), 0.35);
    c.Draw(knight, 640, -10 + 160);
    Logo(c, fonts, 820, 40, 56);
    // The help bar's place.
    c.FillRoundRect(700, 712, 320, 52, 10, Rgba{0, 0, 0, 0.35});
    c.Vignette(0.5);
}

} // namespace

ContentFonts FindFonts() {
    ContentFonts f;
    f.logo = FirstExisting({"/usr/share/fonts/opentype/ebgaramond/EBGaramond12-Bold.otf",
                            "/usr/share/fonts/opentype/linux-libertine/LinLibertine_RB.otf",
                            "/usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf"});
    f.serif = FirstExisting({"/usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf"});
    f.sans = FirstExisting({"/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"});
    return f;
}

TPixelSheet Grounds(const PieceSheets& pieces, const ContentFonts& fonts) {
    (void)pieces;
    TPixelSheet sheet;
    sheet.Width = W;
    sheet.Height = H * 4;
    sheet.Pixels.assign(size_t(W) * size_t(H) * 4, 0xFF000000);
    auto put = [&](const Canvas& c, int index) {
        const TPixelSheet s = c.ToSheet();
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                sheet.Pixels[size_t(index * H + y) * size_t(W) + size_t(x)] = s.Pixels[size_t(y) * size_t(W) + size_t(x)] | 0xFF000000u;
    };
    {
        Canvas c(W, H, Rgba{0, 0, 0, 1});
        TitleScreen(c, fonts);
        put(c, 0);
    }
    {
        Canvas c(W, H, Rgba{0, 0, 0, 1});
        HelpScreen(c, fonts);
        put(c, 1);
    }
    {
        Canvas c(W, H, Rgba{0, 0, 0, 1});
        CastleWall(c, 210);
        PaintFloor(c, 0, 0, 180, false, Hex(0x8a7f70), 61);
        // A red carpet under the board.
        const Homography toScreen = BoardToScreen(0, 0);
        std::vector<Vec2> carpet;
        for (Vec2 p : std::initializer_list<Vec2>{{-2.2, -2.2}, {10.2, -2.2}, {10.2, 10.2}, {-2.2, 10.2}}) carpet.push_back(toScreen.Map(p));
        const Homography toBoard = toScreen.Inverse();
        c.FillPolygon(carpet, [&](double x, double y) {
            const Vec2 b = toBoard.Map({x, y});
            const double border = std::min({b.x + 2.2, 10.2 - b.x, b.y + 2.2, 10.2 - b.y});
            Rgba red = Mul(Hex(0x7a1a1c), 0.8 + 0.25 * Fbm(b.x * 8, b.y * 8, 3, 62));
            if (border < 0.35 && border > 0.15) red = Hex(0xc8a040);
            return red;
        });
        PaintBoard(c, 0, 0, {Hex(0xe8d2a6), Hex(0x6e4226), Hex(0x4a2a14), Hex(0x2a160a), 71});
        c.Vignette(0.45);
        put(c, 2);
    }
    {
        Canvas c(W, H, Rgba{0, 0, 0, 1});
        const game::TScreenPoint town = game::LocationOffset(2);
        TownBackdrop(c, 250);
        PaintFloor(c, town.X, town.Y, 240, true, Hex(0x7d7670), 81);
        PaintBoard(c, town.X, town.Y, {Hex(0xeadfc8), Hex(0x4f5a3a), Hex(0x3a2418), Hex(0x1e120a), 91});
        c.Vignette(0.45);
        put(c, 3);
    }
    return sheet;
}

} // namespace zelkor::art

namespace zelkor::art {

namespace {

Rgba MarbleColor(double x, double y, Rgba base, Rgba vein, int seed) {
    const double t = Fbm(x / 90, y / 90, 5, seed) * 6 + x / 210 + y / 300;
    const double v = std::pow(std::abs(std::sin(t * M_PI)), 0.25);
    const double fine = Fbm(x / 12, y / 12, 3, seed + 5);
    return Mul(Lerp(vein, base, v), 0.9 + 0.2 * fine);
}

Rgba WoodColor(double x, double y, Rgba base, int seed, bool across) {
    const double u = across ? y : x, v = across ? x : y;
    const double rings = std::sin((v / 9 + Fbm(u / 140, v / 40, 4, seed) * 7) * 2.4);
    const double streak = Fbm(u / 300, v / 3, 3, seed + 3);
    return Mul(base, 1 + 0.12 * rings + 0.3 * (streak - 0.5));
}

TPixelSheet CanvasesToSheet(const std::vector<Canvas>& cells, int columns) {
    const int w = cells[0].Width(), h = cells[0].Height();
    const int rows = (int(cells.size()) + columns - 1) / columns;
    TPixelSheet sheet;
    sheet.Width = w * columns;
    sheet.Height = h * rows;
    sheet.Pixels.assign(size_t(sheet.Width) * size_t(sheet.Height), 0);
    for (size_t i = 0; i < cells.size(); ++i) {
        const TPixelSheet s = cells[i].ToSheet();
        const int ox = int(i % size_t(columns)) * w, oy = int(i / size_t(columns)) * h;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) sheet.Pixels[size_t(oy + y) * size_t(sheet.Width) + size_t(ox + x)] = s.Pixels[size_t(y) * size_t(w) + size_t(x)];
    }
    return sheet;
}

// A flat piece picture from the classic-board sheet, scaled into `c`.
void PieceIcon(Canvas& c, const PieceSheets& pieces, int pattern, double x, double y, double size) {
    const int n = pieces.iconSize;
    const Canvas src = Canvas::FromSheet(pieces.flat, (pattern % 6) * n, (pattern / 6) * n, n, n);
    const double k = double(n) / size;
    for (int j = 0; j < int(std::ceil(size)); ++j)
        for (int i = 0; i < int(std::ceil(size)); ++i) {
            Rgba sum{0, 0, 0, 0};
            double weight = 0;
            for (double sy = j * k; sy < (j + 1) * k; sy += 1)
                for (double sx = i * k; sx < (i + 1) * k; sx += 1) {
                    const int px = std::min(n - 1, int(sx)), py = std::min(n - 1, int(sy));
                    const Rgba p = src.At(px, py);
                    sum.r += p.r * p.a, sum.g += p.g * p.a, sum.b += p.b * p.a, sum.a += p.a;
                    weight += 1;
                }
            if (sum.a <= 0) continue;
            c.Blend(int(x) + i, int(y) + j, {sum.r / sum.a, sum.g / sum.a, sum.b / sum.a, sum.a / weight});
        }
}

} // namespace

TPixelSheet ClassicBoards(const ContentFonts& fonts) {
    std::vector<Canvas> boards;
    for (int style = 0; style < 2; ++style)
        for (int blackBelow = 0; blackBelow < 2; ++blackBelow) {
            Canvas c(800, 800, Rgba{0, 0, 0, 1});
            const bool wood = style == 0;
            // The border.
            c.Paint([&](double x, double y) {
                const double edge = std::min({x, y, 800 - x, 800 - y});
                Rgba base = wood ? WoodColor(x, y, Hex(0x4b2a14), 101, x < 40 || x > 760)
                                 : MarbleColor(x, y, Hex(0x2b2d33), Hex(0x6a6e78), 102);
                double k = 1.0;
                if (edge < 4) k = 1.25;                        // a bright outer lip
                else if (edge > 34 && edge < 40) k = 0.7;      // the groove before the squares
                return Mul(base, k);
            });
            for (int r = 0; r < 8; ++r)
                for (int f = 0; f < 8; ++f) {
                    const bool light = (r + f) % 2 == 0;
                    const double x0 = 40 + f * 90, y0 = 40 + r * 90;
                    c.FillPolygon({{x0, y0}, {x0 + 90, y0}, {x0 + 90, y0 + 90}, {x0, y0 + 90}}, [&](double x, double y) {
                        if (wood)
                            return light ? WoodColor(x + r * 131, y, Hex(0xe9c896), 103, r % 2 == 0)
                                         : WoodColor(x + f * 97, y, Hex(0x8a5430), 104, f % 2 == 1);
                        return light ? MarbleColor(x, y, Hex(0xf0ede6), Hex(0xa8a59c), 105)
                                     : MarbleColor(x, y, Hex(0x3f6a58), Hex(0x9cc2ae), 106);
                    });
                }
            // Coordinates in the border.
            TextStyle label;
            label.fill = [wood](double, double) { return wood ? Hex(0xf2dcaa) : Hex(0xe2c070); };
            label.shadow = Rgba{0, 0, 0, 0.8};
            label.shadowBlur = 1;
            label.shadowX = 1;
            label.shadowY = 1;
            for (int i = 0; i < 8; ++i) {
                const std::string file(1, char(blackBelow ? 'H' - i : 'A' + i));
                const std::string rank(1, char(blackBelow ? '1' + i : '8' - i));
                const TextMask f = SetText(fonts.serif, 22, file), rk = SetText(fonts.serif, 22, rank);
                DrawText(c, f, 40 + i * 90 + 45 - f.width / 2, 20 - f.height / 2, label);
                DrawText(c, f, 40 + i * 90 + 45 - f.width / 2, 780 - f.height / 2, label);
                DrawText(c, rk, 20 - rk.width / 2, 40 + i * 90 + 45 - rk.height / 2, label);
                DrawText(c, rk, 780 - rk.width / 2, 40 + i * 90 + 45 - rk.height / 2, label);
            }
            boards.push_back(std::move(c));
        }
    return CanvasesToSheet(boards, 1);
}

TPixelSheet Buttons(const PieceSheets& pieces) {
    std::vector<Canvas> buttons;
    const Rgba face = Hex(0x101824, 0.62), rim = Hex(0xd8b878), glyph = Hex(0xf4ead2);
    auto base = [&]() {
        Canvas c(44, 44);
        c.FillRoundRect(1, 1, 42, 42, 8, rim);
        c.FillRoundRect(3, 3, 38, 38, 6, Rgba{0, 0, 0, 0});  // see-through inside the rim
        // The rim's inner cut: redraw as a ring by painting the face over a cleared centre.
        Canvas ring(44, 44);
        for (int y = 0; y < 44; ++y)
            for (int x = 0; x < 44; ++x) {
                const double d = std::min({x + 0.5, y + 0.5, 43.5 - x, 43.5 - y});
                if (d < 3) ring.At(x, y) = c.At(x, y);
            }
        ring.FillRoundRect(3, 3, 38, 38, 6, [&](double, double y) { return Lerp(Hex(0x2a3448, 0.7), face, y / 44); });
        ring.FillRect(6, 5, 32, 1.5, Hex(0xffffff, 0.25));  // a glint at the top
        return ring;
    };
    auto board = [&](Canvas& c, double x, double y, double size) {
        for (int r = 0; r < 4; ++r)
            for (int f = 0; f < 4; ++f) {
                const double s = size / 4;
                c.FillRect(x + f * s, y + r * s, s, s, ((r + f) % 2) ? Hex(0x8a5a34) : Hex(0xeed8b0));
            }
    };
    auto plus = [&](Canvas& c, double x, double y, bool minus) {
        c.FillEllipse(x, y, 7, 7, Hex(0x2a7a2a));
        if (minus) c.FillEllipse(x, y, 7, 7, Hex(0x8a2222));
        c.FillRect(x - 4, y - 1.2, 8, 2.4, glyph);
        if (!minus) c.FillRect(x - 1.2, y - 4, 2.4, 8, glyph);
    };
    for (int k = 0; k <= 10; ++k) {
        Canvas c = base();
        switch (k) {
        case 0:  // Black pieces at the bottom
        case 1:  // White pieces at the bottom
            board(c, 9, 9, 26);
            PieceIcon(c, pieces, k == 0 ? 0 : 6, 10, 2, 22);    // the far side's pawn, above
            PieceIcon(c, pieces, k == 0 ? 6 : 0, 12, 18, 24);   // the near side's pawn, below
            break;
        case 2:
        case 3:
            PieceIcon(c, pieces, 0, 4, 4, 34);
            plus(c, 33, 33, k == 3);
            break;
        case 4:
        case 9:
            board(c, 8, 8, 28);
            c.StrokeLine(8, 36, 36, 8, 3.5, Hex(0xd02828));
            break;
        case 5:
        case 8:
            board(c, 8, 8, 28);
            break;
        case 6:
        case 7:
            board(c, 7, 7, 24);
            plus(c, 33, 33, k == 7);
            break;
        case 10: {
            // Exit: a power symbol.
            std::vector<Vec2> arc;
            for (int i = 0; i <= 40; ++i) {
                const double a = -M_PI / 2 + 0.6 + (2 * M_PI - 1.2) * i / 40;
                arc.push_back({22 + 12 * std::cos(a), 23 + 12 * std::sin(a)});
            }
            for (size_t i = 1; i < arc.size(); ++i) c.StrokeLine(arc[i - 1].x, arc[i - 1].y, arc[i].x, arc[i].y, 3.6, Hex(0xff7060));
            c.StrokeLine(22, 8, 22, 22, 3.6, Hex(0xff7060));
            break;
        }
        }
        buttons.push_back(std::move(c));
    }
    return CanvasesToSheet(buttons, 11);
}

TPixelSheet ClockPanels(const PieceSheets& pieces) {
    std::vector<Canvas> panels;
    for (int side = 0; side < 2; ++side) {
        Canvas c(kClockW, kClockH);
        c.FillRoundRect(0, 0, kClockW, kClockH, 10, Rgba{0, 0, 0, 0.55});
        c.FillRoundRect(2, 2, kClockW - 4, kClockH - 4, 8, [&](double, double y) {
            return Lerp(Hex(0x2c3444, 0.92), Hex(0x0e1118, 0.92), y / kClockH);
        });
        c.FillRoundRect(2, 2, kClockW - 4, 2, 1, Hex(0xd8b878, 0.9));
        c.FillRoundRect(2, kClockH - 4, kClockW - 4, 2, 1, Hex(0xd8b878, 0.6));
        c.FillEllipse(26, 20, 16, 16, side == 0 ? Hex(0xe8dcc0) : Hex(0x2a1a10));
        PieceIcon(c, pieces, side == 0 ? 5 : 11, 11, 3, 32);
        panels.push_back(std::move(c));
    }
    return CanvasesToSheet(panels, 2);
}

TPixelSheet Cursor() {
    // The hot spot is the top-left pixel, so the arrow's tip is pixel (0, 0).
    Canvas c(32, 32);
    const std::vector<Vec2> arrow = {{0, 0}, {0, 21}, {5.5, 16}, {9.5, 25}, {13, 23.5}, {9, 14.5}, {16, 14.5}};
    Canvas shape(32, 32);
    shape.FillPolygon(arrow, Rgba{0, 0, 0, 1});
    c.Shadow(shape, 2, 2, 1.5, Rgba{0, 0, 0, 0.5});
    c.FillPolygon(arrow, Hex(0x101010));
    c.FillRect(0, 0, 2, 2, Hex(0x101010));
    const std::vector<Vec2> inner = {{1.6, 3.6}, {1.6, 17.6}, {5.9, 13.6}, {10.2, 22.6}, {11.2, 22.1}, {7, 13.2}, {12.4, 13.2}};
    c.FillPolygon(inner, [](double, double y) { return Lerp(Hex(0xffffff), Hex(0xe8d8a8), y / 24); });
    return c.ToSheet();
}

TPixelSheet WindowFrame(const ContentFonts& fonts) {
    (void)fonts;
    Canvas c(kWindowW, kWindowH);
    c.FillRoundRect(0, 0, kWindowW, kWindowH, 18, Rgba{0, 0, 0, 0.5});
    c.FillRoundRect(4, 4, kWindowW - 8, kWindowH - 8, 15, Hex(0xd8b878));
    c.FillRoundRect(8, 8, kWindowW - 16, kWindowH - 16, 12, [](double x, double y) {
        return Mul(Lerp(Hex(0x2a3350), Hex(0x0c1020), y / kWindowH), 0.9 + 0.2 * Fbm(x / 30, y / 30, 4, 121));
    });
    // The title band (its text is drawn at 71 pixels from the top).
    c.FillRoundRect(30, 62, kWindowW - 60, 34, 6, Rgba{0, 0, 0, 0.35});
    c.FillRect(30, 62, kWindowW - 60, 1, Hex(0xd8b878, 0.7));
    c.FillRect(30, 95, kWindowW - 60, 1, Hex(0xd8b878, 0.7));
    // Corner ornaments.
    for (auto [x, y] : {std::pair<double, double>{24, 24}, {kWindowW - 24.0, 24}, {24, kWindowH - 24.0}, {kWindowW - 24.0, kWindowH - 24.0}}) {
        c.FillEllipse(x, y, 6, 6, Hex(0xd8b878));
        c.FillEllipse(x, y, 3, 3, Hex(0x6a4a20));
    }
    return c.ToSheet();
}

TPixelSheet Splash(const PieceSheets& pieces, const ContentFonts& fonts) {
    (void)pieces;
    // The launcher covers x 181..449 from y 96 down with its panel: the name
    // runs along the top, a piece stands on either side.
    Canvas c(630, 360, Rgba{0, 0, 0, 1});
    c.Paint([](double x, double y) { return Mul(Lerp(Hex(0x18203a), Hex(0x05070c), y / 360), 0.85 + 0.3 * Fbm(x / 50, y / 50, 4, 131)); });
    c.Glow(315, 40, 260, Hex(0x3a4f8a), 0.55);
    c.Glow(90, 250, 150, Hex(0x4a3a2a), 0.35);
    c.Glow(540, 250, 150, Hex(0x4a3a2a), 0.35);
    const Canvas knight = RenderedPiece(PieceKind::Knight, false, 1.05, 160, 240, 70, 220);
    const Canvas king = RenderedPiece(PieceKind::King, true, 1.05, 160, 240, 80, 220);
    c.Draw(knight, 10, 112);
    c.Draw(king, 460, 108);
    // "Zelkor" in gold and "CHESS" in silver on one line.
    const TextMask zelkor = SetText(fonts.logo, 58, "Zelkor", 1);
    const TextMask chess = SetText(fonts.logo, 34, "C H E S S", 0);
    TextStyle gold;
    gold.fill = [](double, double v) { return Lerp(Hex(0xfff0b0), Hex(0xb8762a), Clamp01(v * 1.3 - 0.1)); };
    gold.outline = Hex(0x2a1606);
    gold.outlineWidth = 2;
    gold.shadow = Rgba{0, 0, 0, 0.7};
    gold.shadowBlur = 2.6;
    gold.shadowX = 2;
    gold.shadowY = 2.4;
    gold.glow = Hex(0xffc060, 0.35);
    gold.glowRadius = 6;
    TextStyle silver = gold;
    silver.fill = [](double, double v) { return Lerp(Hex(0xf4f1ea), Hex(0x8e8a82), Clamp01(v)); };
    silver.glow = Hex(0x90b0ff, 0.25);
    const int gap = 22, width = zelkor.width + gap + chess.width;
    const int x = 315 - width / 2, y = 12;
    DrawText(c, zelkor, x, y, gold);
    DrawText(c, chess, x + zelkor.width + gap, y + zelkor.baseline - chess.baseline, silver);
    c.Vignette(0.45);
    TPixelSheet s = c.ToSheet();
    for (uint32_t& p : s.Pixels) p |= 0xFF000000u;
    return s;
}

} // namespace zelkor::art

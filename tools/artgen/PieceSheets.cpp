#include "tools/artgen/PieceSheets.h"

#include <cmath>

#include "tools/artgen/Image.h"
#include "tools/artgen/PieceModels.h"
#include "tools/artgen/PieceRenderer.h"

namespace zelkor::art {

namespace {

constexpr PieceKind kKinds[6] = {PieceKind::Pawn, PieceKind::Knight, PieceKind::Bishop,
                                 PieceKind::Rook, PieceKind::Queen,  PieceKind::King};

// The game's anchors by pattern: White pawn .. king, Black pawn .. king.
constexpr int kAnchors[12][2] = {{43, 171}, {34, 180}, {28, 175}, {32, 173}, {46, 188}, {35, 173},
                                 {49, 169}, {42, 174}, {39, 174}, {27, 169}, {47, 173}, {54, 174}};

constexpr int kStandingW = 128, kStandingH = 216;
constexpr double kLargeFactor = 3.33;

// A flat, outlined rendering for the classic board: three tones of the
// piece's colour by how much light the shaded rendering caught, inside a
// firm outline, readable when small.
Picture Flatten(const Picture& shaded, bool white, const Material& material) {
    Picture out(shaded.width, shaded.height);
    const Vec3 fill = white ? Vec3{0.86, 0.78, 0.62} : Vec3{0.05, 0.04, 0.035};
    const Vec3 shade = white ? Vec3{0.55, 0.45, 0.32} : Vec3{0.012, 0.01, 0.009};
    const Vec3 light = white ? Vec3{1.0, 0.96, 0.86} : Vec3{0.2, 0.16, 0.13};
    const Vec3 line = white ? Vec3{0.01, 0.008, 0.006} : Vec3{0.62, 0.55, 0.45};
    const double albedo = 0.3 * material.albedo.x + 0.59 * material.albedo.y + 0.11 * material.albedo.z;
    const double radius = shaded.width / 40.0;  // the outline: 2.25 pixels at 90
    const int reach = int(std::ceil(radius)) + 1;
    for (int y = 0; y < shaded.height; ++y)
        for (int x = 0; x < shaded.width; ++x) {
            const Pixel& s = shaded.at(x, y);
            double grown = 0;
            for (int dy = -reach; dy <= reach; ++dy)
                for (int dx = -reach; dx <= reach; ++dx) {
                    const int nx = x + dx, ny = y + dy;
                    if (nx < 0 || ny < 0 || nx >= shaded.width || ny >= shaded.height) continue;
                    grown = std::max(grown, shaded.at(nx, ny).a * Clamp01(radius + 0.5 - std::hypot(dx, dy)));
                }
            // How lit the surface is, relative to its own colour.
            const double lit = (0.3 * s.c.x + 0.59 * s.c.y + 0.11 * s.c.z) / albedo;
            const Vec3 body = lit < 0.42 ? shade : (lit > 1.08 ? light : fill);
            Pixel& o = out.at(x, y);
            o.a = std::max(grown, s.a);
            o.c = o.a > 0 ? (body * s.a + line * (o.a - s.a)) * (1.0 / o.a) : Vec3{};
        }
    return out;
}

} // namespace

void PieceAnchor(int pattern, double& x, double& y) {
    x = kAnchors[pattern][0];
    y = kAnchors[pattern][1];
}

double PieceSheets::Scale() const { return double(standingW) / kStandingW; }

PieceSheets RenderPieceSheets(const SheetOptions& o) {
    PieceSheets s;
    const double k = o.scale;
    s.standingW = int(std::lround(kStandingW * k));
    s.standingH = int(std::lround(kStandingH * k));
    s.largeW = int(std::lround(std::round(kStandingW * kLargeFactor) * k));
    s.largeH = int(std::lround(std::round(kStandingH * kLargeFactor) * k));
    s.iconSize = int(std::lround(90 * k));
    auto sheet = [](int w, int h) {
        TPixelSheet t;
        t.Width = w * 6;
        t.Height = h * 2;
        t.Pixels.assign(size_t(t.Width) * size_t(t.Height), 0);
        return t;
    };
    s.standing = sheet(s.standingW, s.standingH);
    s.large = sheet(s.largeW, s.largeH);
    s.icons = sheet(s.iconSize, s.iconSize);
    s.flat = sheet(s.iconSize, s.iconSize);

    for (int pattern = 0; pattern < 12; ++pattern) {
        const bool white = pattern < 6;
        const PieceModel model(kKinds[pattern % 6]);
        const Material material = white ? Ivory() : Chestnut();
        const int col = pattern % 6, row = pattern / 6;

        View v;
        v.threads = o.threads;
        v.width = s.standingW;
        v.height = s.standingH;
        v.pixelsPerUnit = k;
        v.anchorX = kAnchors[pattern][0] * k;
        v.anchorY = kAnchors[pattern][1] * k;
        PutTile(s.standing, RenderPiece(model, material, v), col * s.standingW, row * s.standingH);

        View large = v;
        large.width = s.largeW;
        large.height = s.largeH;
        large.pixelsPerUnit = kLargeFactor * k;
        large.anchorX = kAnchors[pattern][0] * kLargeFactor * k;
        large.anchorY = kAnchors[pattern][1] * kLargeFactor * k;
        PutTile(s.large, RenderPiece(model, material, large), col * s.largeW, row * s.largeH);

        // Icons: seen from the front, the tallest piece filling the height.
        View icon;
        icon.threads = o.threads;
        icon.width = icon.height = s.iconSize;
        icon.elevation = 12;
        icon.pixelsPerUnit = 0.445 * k;
        icon.anchorX = (45 - (model.Kind() == PieceKind::Knight ? 5 : 0)) * k;
        icon.anchorY = 87 * k;
        icon.groundShadow = false;
        PutTile(s.icons, RenderPiece(model, material, icon), col * s.iconSize, row * s.iconSize);

        View flat = icon;
        flat.elevation = 4;
        flat.pixelsPerUnit = 0.42 * k;
        flat.stretchX = 1.3;
        flat.anchorY = 86 * k;
        PutTile(s.flat, Flatten(RenderPiece(model, material, flat), white, material), col * s.iconSize,
                row * s.iconSize);
    }
    return s;
}

} // namespace zelkor::art

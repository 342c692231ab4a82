#include "tools/artgen/PieceModels.h"

#include <cmath>
#include <vector>

namespace zelkor::art {

namespace {

struct P {
    double r, y;
    bool sharp = false;
};

// The turned foot every piece stands on, up to the start of its stem.
const std::vector<P> kFoot = {{0, 0, true},   {24.2, 0, true}, {25.6, 1.6},  {26, 4.2},   {25, 6.8},
                              {22.6, 8.6},    {21.2, 9.6},     {21.7, 11.6}, {21, 13.6},  {18.8, 15.2}};

std::vector<P> Join(const std::vector<P>& a, const std::vector<P>& b) {
    std::vector<P> out = a;
    out.insert(out.end(), b.begin(), b.end());
    return out;
}

// The right half of a profile from the bottom centre to the top centre,
// mirrored into a closed outline around the axis.
std::vector<Vec2> Revolve(const std::vector<P>& half) {
    Outline o;
    for (const P& p : half) o.Add(p.r, p.y, p.sharp);
    for (size_t i = half.size() - 1; i-- > 1;) o.Add(-half[i].r, half[i].y, half[i].sharp);
    return o.Polygon(10);
}

std::vector<P> Profile(PieceKind kind) {
    switch (kind) {
    case PieceKind::Pawn:
        return Join(kFoot, {{16, 17.5},  {13.6, 22},  {11.8, 32},  {10.6, 44}, {10.2, 54},  {14.4, 57.5},
                            {15.6, 60},  {14.6, 62.6}, {10.4, 64.6}, {12.6, 68}, {16.2, 75.5}, {17.4, 84},
                            {16.2, 92.5}, {12.6, 100}, {7, 104.6},  {0, 106}});
    case PieceKind::Bishop:
        return Join(kFoot, {{16, 18},    {13.2, 26},   {11.2, 40},  {9.8, 58},   {9.4, 72},   {13.4, 75},
                            {15.8, 78},  {15.8, 81},   {12.6, 83},  {14.6, 86},  {14, 89},    {10.2, 91.5},
                            {12.4, 95.5}, {16.2, 104}, {17.6, 113}, {16.8, 122}, {13.6, 131}, {8.4, 139},
                            {4.2, 143.5}, {5.8, 146},  {6.2, 149},  {4.6, 152.4}, {0, 153.8}});
    case PieceKind::Rook:
        return {{0, 0, true},  {25, 0, true}, {26.4, 2},   {26.6, 5},     {24.8, 7.8},   {22.4, 9.8},
                {22.8, 12.4},  {21, 14.8},    {18.8, 18},  {17.6, 24},    {16.2, 40},    {15.4, 60},
                {15.4, 72},    {16.4, 76},    {19.2, 79},  {19.6, 82},    {17.8, 84},    {18.4, 86.5},
                {21.2, 92},    {21.8, 96, true}, {21.8, 118, true}, {15.6, 118, true}, {15.6, 111, true},
                {0, 111, true}};
    case PieceKind::Knight:
        return Join(kFoot, {{16.6, 17.6}, {15.6, 22}, {16.6, 26.5}, {15.6, 29.5, true}, {0, 29.5, true}});
    case PieceKind::Queen:
        return Join(kFoot, {{16.4, 18},   {13.4, 26},    {11, 42},     {9.6, 62},    {9.2, 84},     {9.6, 96},
                            {13.2, 99},   {15.8, 102},   {15.8, 105},  {12.2, 107},  {13.8, 110},   {12.8, 113},
                            {10.2, 115},  {11, 120},     {14, 130},    {18, 140},    {20.4, 145.5, true},
                            {17.2, 146.5, true}, {12.4, 150}, {10.2, 155}, {8.6, 159}, {6, 162.2}, {6.4, 165.6},
                            {4.8, 169.2}, {0, 170.6}});
    case PieceKind::King:
        return Join(kFoot, {{16.4, 18},   {13.4, 26},   {11, 42},     {9.6, 62},    {9.2, 84},    {9.6, 98},
                            {13.2, 101},  {15.8, 104},  {15.8, 107},  {12.2, 109},  {13.8, 112},  {12.8, 115},
                            {10.2, 117},  {11.2, 122},  {14.6, 132},  {17.2, 140, true}, {17.2, 143.5, true},
                            {13.4, 145.5}, {11.2, 150}, {8.2, 155},  {5.4, 157.4}, {3.6, 158.6}, {0, 159}});
    }
    return kFoot;
}

// The horse's head seen from its left side, facing -x.
std::vector<Vec2> HeadOutline() {
    Outline o;
    const double pts[][2] = {{17, 26},   {21, 46},  {21.5, 66}, {19, 88},   {14, 108},  {11.5, 122}, {9, 131},
                             {5.5, 139}, {2, 128},  {-3, 126},  {-8, 129},  {-11, 121}, {-20, 113},  {-29, 102},
                             {-37, 90},  {-41, 81}, {-40, 74},  {-35, 70},  {-27, 69},  {-19, 73},   {-12, 70},
                             {-8, 62},   {-10, 48}, {-15, 36},  {-16, 26}};
    for (const auto& p : pts) o.Add(p[0], p[1]);
    return o.Polygon(14);
}

double RoundBox(Vec3 p, Vec3 half, double r) {
    const Vec3 q{std::abs(p.x) - half.x + r, std::abs(p.y) - half.y + r, std::abs(p.z) - half.z + r};
    const Vec3 outside{std::max(q.x, 0.0), std::max(q.y, 0.0), std::max(q.z, 0.0)};
    return Length(outside) + std::min(std::max(q.x, std::max(q.y, q.z)), 0.0) - r;
}

double Capsule(Vec3 p, Vec3 a, Vec3 b, double r) {
    const Vec3 pa = p - a, ba = b - a;
    const double h = Clamp01(Dot(pa, ba) / Dot(ba, ba));
    return Length(pa - ba * h) - r;
}

// p turned about the y axis into the first of `n` equal sectors, centred on +x.
Vec3 Sector(Vec3 p, int n) {
    const double sector = 2 * M_PI / n;
    double a = std::atan2(p.z, p.x);
    a = a - sector * std::floor(a / sector + 0.5);
    const double r = std::hypot(p.x, p.z);
    return {r * std::cos(a), p.y, r * std::sin(a)};
}

} // namespace

PieceModel::PieceModel(PieceKind kind) : kind_(kind) {
    const auto half = Profile(kind);
    double top = 0;
    for (const P& p : half) top = std::max(top, p.y);
    profile_ = DistanceGrid(Revolve(half), -32, -6, 32, top + 8, 0.25);
    height_ = top;
    radius_ = 27.5;
    if (kind == PieceKind::Knight) {
        side_ = DistanceGrid(HeadOutline(), -48, 18, 30, 146, 0.25);
        height_ = 140;
        radius_ = 43;
    }
    if (kind == PieceKind::King) height_ = 189;
    if (kind == PieceKind::Queen) height_ = 171;
}

double PieceModel::Lathe(Vec3 p) const { return profile_(std::hypot(p.x, p.z), p.y); }

double PieceModel::Knight(Vec3 world) const {
    // The head faces +x on the board (the outline is drawn facing -x).
    const Vec3 p{-world.x, world.y, world.z};
    // The head: the side outline extruded, fuller at the cheeks and the
    // neck, thinner at the muzzle and the ears, with rounded edges.
    const double outline = side_(p.x, p.y);
    double half = 11.0;
    half += 3.2 * std::exp(-((p.x + 12) * (p.x + 12) + (p.y - 96) * (p.y - 96)) / 260.0);  // the cheek
    half += 2.0 * Clamp01((70 - p.y) / 40.0);                                            // the neck's foot
    if (p.x < -20) half -= std::min(3.5, (-20 - p.x) * 0.2);
    if (p.y > 120) half -= std::min(5.0, (p.y - 120) * 0.35);
    const double rounding = 4.5;
    const double w = std::abs(p.z) - (half - rounding);
    const double inner = outline + rounding;
    const double head = std::hypot(std::max(inner, 0.0), std::max(w, 0.0)) + std::min(std::max(inner, w), 0.0) - rounding;
    // The gap between the ears and a groove along the mane.
    double d = SmoothMin(head, Lathe(p), 5.0);
    const double earGap = RoundBox(p - Vec3{3.5, 134, 0}, {2.2, 7, 1.6}, 0.8);
    d = SmoothMax(d, -earGap, 1.2);
    // Eyes and nostrils, on both sides.
    const Vec3 side{p.x, p.y, std::abs(p.z)};
    d = SmoothMax(d, -(Length(side - Vec3{-13, 109, half + 0.6}) - 2.6), 1.0);
    d = SmoothMax(d, -(Length(side - Vec3{-36.5, 82, half - 3.5}) - 2.0), 0.8);
    // The mane: a ridge down the back of the neck.
    const double mane = Capsule(p, {15, 112, 0}, {20.5, 46, 0}, 3.0);
    return SmoothMin(d, mane, 3.0);
}

double PieceModel::Distance(Vec3 p) const {
    switch (kind_) {
    case PieceKind::Pawn: return Lathe(p);
    case PieceKind::Knight: return Knight(p);
    case PieceKind::Bishop: {
        // The mitre: a slit cut slanting into the right of the head.
        const double d = Lathe(p);
        const Vec3 n = Normalize({1, 1, 0});
        const double slab = std::abs(Dot(p - Vec3{0, 121, 0}, n)) - 1.4;
        const double cut = std::max(slab, -(p.x + 2.5));
        return SmoothMax(d, -cut, 0.6);
    }
    case PieceKind::Rook: {
        // Six crenels cut into the top.
        const double d = Lathe(p);
        const Vec3 q = Sector(p, 6);
        const double notch = RoundBox(q - Vec3{19, 118, 0}, {7, 8.5, 3.6}, 0.6);
        return SmoothMax(d, -notch, 0.5);
    }
    case PieceKind::Queen: {
        // Nine points round the crown, each with a ball.
        const double d = Lathe(p);
        const Vec3 q = Sector(p, 9);
        const double point = Capsule(q, {18.6, 143, 0}, {19.4, 150.5, 0}, 2.1);
        const double ball = Length(q - Vec3{19.6, 152.5, 0}) - 3.1;
        return SmoothMin(d, SmoothMin(point, ball, 1.2), 1.5);
    }
    case PieceKind::King: {
        const double d = Lathe(p);
        const double upright = RoundBox(p - Vec3{0, 173, 0}, {3.2, 16, 3.2}, 1.0);
        const double bar = RoundBox(p - Vec3{0, 178, 0}, {10.5, 3.2, 3.2}, 1.0);
        return SmoothMin(d, std::min(upright, bar), 1.6);
    }
    }
    return Lathe(p);
}

} // namespace zelkor::art

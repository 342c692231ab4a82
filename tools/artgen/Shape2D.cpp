#include "tools/artgen/Shape2D.h"

#include <limits>

namespace zelkor::art {

std::vector<Vec2> Outline::Polygon(int steps) const {
    std::vector<Vec2> out;
    const size_t n = points_.size();
    for (size_t i = 0; i < n; ++i) {
        const Point& a = points_[i];
        const Point& b = points_[(i + 1) % n];
        // Neighbours for the tangents; a sharp point takes its own as neighbour.
        const Vec2 p0 = a.sharp ? a.p : points_[(i + n - 1) % n].p;
        const Vec2 p3 = b.sharp ? b.p : points_[(i + 2) % n].p;
        for (int s = 0; s < steps; ++s) {
            const double t = double(s) / steps, t2 = t * t, t3 = t2 * t;
            const Vec2 v = (a.p * 2.0 + (b.p - p0) * t + (p0 * 2.0 - a.p * 5.0 + b.p * 4.0 - p3) * t2 +
                            (a.p * 3.0 - p0 - b.p * 3.0 + p3) * t3) *
                           0.5;
            out.push_back(v);
        }
    }
    return out;
}

double PolygonDistance(const std::vector<Vec2>& poly, Vec2 p) {
    double best = std::numeric_limits<double>::max();
    bool inside = false;
    const size_t n = poly.size();
    for (size_t i = 0, j = n - 1; i < n; j = i++) {
        const Vec2 a = poly[j], b = poly[i];
        const Vec2 e = b - a, w = p - a;
        const double t = Clamp01(Dot(w, e) / std::max(1e-12, Dot(e, e)));
        best = std::min(best, Length(w - e * t));
        if ((a.y > p.y) != (b.y > p.y) && p.x < a.x + (p.y - a.y) / (b.y - a.y) * (b.x - a.x)) inside = !inside;
    }
    return inside ? -best : best;
}

DistanceGrid::DistanceGrid(const std::vector<Vec2>& polygon, double x0, double y0, double x1, double y1, double cell)
    : x0_(x0), y0_(y0), cell_(cell) {
    w_ = int((x1 - x0) / cell) + 2;
    h_ = int((y1 - y0) / cell) + 2;
    d_.resize(size_t(w_) * size_t(h_));
    for (int y = 0; y < h_; ++y)
        for (int x = 0; x < w_; ++x)
            d_[size_t(y) * size_t(w_) + size_t(x)] = float(PolygonDistance(polygon, {x0 + x * cell, y0 + y * cell}));
}

double DistanceGrid::operator()(Vec2 p) const {
    const double gx = (p.x - x0_) / cell_, gy = (p.y - y0_) / cell_;
    const double cx = std::clamp(gx, 0.0, double(w_ - 1) - 1e-9), cy = std::clamp(gy, 0.0, double(h_ - 1) - 1e-9);
    const int ix = int(cx), iy = int(cy);
    const double fx = cx - ix, fy = cy - iy;
    auto at = [&](int x, int y) { return double(d_[size_t(y) * size_t(w_) + size_t(x)]); };
    const double v = (at(ix, iy) * (1 - fx) + at(ix + 1, iy) * fx) * (1 - fy) +
                     (at(ix, iy + 1) * (1 - fx) + at(ix + 1, iy + 1) * fx) * fy;
    // Outside the grid the distance grows by how far outside the point is.
    const double outside = std::hypot((gx - cx) * cell_, (gy - cy) * cell_);
    return v + outside;
}

} // namespace zelkor::art

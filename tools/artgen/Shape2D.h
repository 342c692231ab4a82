#pragma once
// Closed 2D outlines as smooth curves, and their signed distance sampled on
// a grid (negative inside) for fast lookups while rendering.

#include <vector>

#include "tools/artgen/Vec.h"

namespace zelkor::art {

// A closed outline through control points, smoothed with Catmull-Rom
// splines; a point marked sharp keeps its corner.
class Outline {
public:
    void Add(double x, double y, bool sharp = false) { points_.push_back({{x, y}, sharp}); }
    // The outline as a fine polygon.
    std::vector<Vec2> Polygon(int stepsPerSegment = 12) const;

private:
    struct Point {
        Vec2 p;
        bool sharp;
    };
    std::vector<Point> points_;
};

// Exact signed distance to a closed polygon.
double PolygonDistance(const std::vector<Vec2>& polygon, Vec2 p);

// Signed distance of a polygon sampled on a grid over [x0, x1] x [y0, y1],
// read back with bilinear interpolation (outside the grid: the distance
// to the grid's edge added).
class DistanceGrid {
public:
    DistanceGrid() = default;
    DistanceGrid(const std::vector<Vec2>& polygon, double x0, double y0, double x1, double y1, double cell);
    double operator()(Vec2 p) const;
    double operator()(double x, double y) const { return (*this)({x, y}); }

private:
    double x0_ = 0, y0_ = 0, cell_ = 1;
    int w_ = 0, h_ = 0;
    std::vector<float> d_;
};

} // namespace zelkor::art

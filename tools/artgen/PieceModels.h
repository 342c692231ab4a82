#pragma once
// The six chess pieces as signed distance fields (world units: a base 50
// across, y up, the base's centre at the origin). Pawn, bishop, rook, queen
// and king are solids of revolution from Staunton-style profile curves,
// with the bishop's mitre cut, the rook's crenellations, the queen's
// coronet and the king's cross carved or added; the knight is a horse's
// head, a rounded extrusion of a side profile, on a turned pedestal.

#include <memory>

#include "tools/artgen/Shape2D.h"
#include "tools/artgen/Vec.h"

namespace zelkor::art {

enum class PieceKind { Pawn, Knight, Bishop, Rook, Queen, King };

class PieceModel {
public:
    explicit PieceModel(PieceKind kind);
    // Signed distance from p to the piece's surface (negative inside).
    double Distance(Vec3 p) const;
    // Everything lies within this radius of the y axis and between y = 0 and Height.
    double Radius() const { return radius_; }
    double Height() const { return height_; }
    PieceKind Kind() const { return kind_; }

private:
    double Lathe(Vec3 p) const;
    double Knight(Vec3 p) const;

    PieceKind kind_;
    DistanceGrid profile_;  // in (distance from the axis, height)
    DistanceGrid side_;     // the knight's head, side view (x, y)
    double radius_ = 27, height_ = 100;
};

} // namespace zelkor::art

#pragma once
// A plane-to-plane perspective mapping from four point pairs.

#include "tools/artgen/Vec.h"

namespace zelkor::art {

class Homography {
public:
    Homography() = default;
    // Maps from[i] to to[i].
    Homography(const Vec2 from[4], const Vec2 to[4]);
    Vec2 Map(Vec2 p) const;
    // Whether p lies on the visible side of the horizon.
    bool InFront(Vec2 p) const;
    Homography Inverse() const;

private:
    double m_[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
};

} // namespace zelkor::art

#pragma once
// Contact sheets for judging the art at a glance, and the small 2D
// compositing they need (scaled, alpha-blended sheets and filled quads).

#include <cstdint>

#include "tools/artgen/PieceSheets.h"
#include "tools/pack/ImageBuilder.h"

namespace zelkor::art {

// `src` region (sx, sy, sw, sh) drawn scaled by `scale` with its top-left
// corner at (dx, dy), blended over `dst` by its alpha (bilinear filtering).
void Blit(TPixelSheet& dst, const TPixelSheet& src, int sx, int sy, int sw, int sh, double dx, double dy,
          double scale);
void Fill(TPixelSheet& dst, int x, int y, int w, int h, uint32_t argb);
// A convex quadrilateral, corners in order.
void FillQuad(TPixelSheet& dst, const double corners[4][2], uint32_t argb);

// All four piece images on a neutral and a dark background, and the
// starting position on a drawn sample of the perspective board at the
// game's default piece scale.
TPixelSheet PieceContactSheet(const PieceSheets& sheets);

} // namespace zelkor::art

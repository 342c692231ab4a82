#pragma once
// Renders a piece model: an orthographic camera above the board looking
// down at a chosen elevation from White's side, light from the upper left,
// ray marching with soft shadows, ambient occlusion, specular highlights
// and a soft contact shadow on the (otherwise invisible) ground. Edges are
// supersampled; colours come out in straight alpha, so that the edges show
// no dark or light fringe when blended or added.

#include "tools/artgen/Image.h"
#include "tools/artgen/PieceModels.h"

namespace zelkor::art {

struct Material {
    Vec3 albedo;       // linear
    double specular;   // strength
    double shininess;  // exponent
    double rim;        // strength of the rim light
    double sheen;      // a second, broader highlight (polish)
};

Material Ivory();
Material Chestnut();

struct View {
    int width = 128, height = 216;
    double elevation = 35;      // degrees above the horizon
    double pixelsPerUnit = 1;   // world units are pixels at scale 1
    double stretchX = 1;        // wider than true (the flat pieces, for small sizes)
    double anchorX = 64, anchorY = 180;  // where the base's centre lands
    bool groundShadow = true;
    int edgeSamples = 4;  // per side, at silhouette edges
    int threads = 2;
};

Picture RenderPiece(const PieceModel& model, const Material& material, const View& view);

} // namespace zelkor::art

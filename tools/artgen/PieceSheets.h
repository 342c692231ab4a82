#pragma once
// The four piece images of the game, each a sheet of twelve patterns in
// the game's order (White pawn, knight, bishop, rook, queen, king, then the
// Black ones):
//   zelkor_piece_2  pieces standing on the perspective board, base centres
//                   on the game's anchor points;
//   zelkor_piece_1  the same 3.33 times larger, for the selected piece;
//   piece_1         90 x 90 icons seen from the front;
//   piece_2         90 x 90 pieces for the flat classic board, drawn flat.

#include <string>

#include "tools/pack/ImageBuilder.h"

namespace zelkor::art {

struct SheetOptions {
    double scale = 1.0;  // below 1: a smaller, faster rendering (tests)
    int threads = 2;
};

struct PieceSheets {
    TPixelSheet standing;  // zelkor_piece_2
    TPixelSheet large;     // zelkor_piece_1
    TPixelSheet icons;     // piece_1
    TPixelSheet flat;      // piece_2
    int standingW, standingH, largeW, largeH, iconSize;
    // The rendering's scale (1 for the game's pictures).
    double Scale() const;
};

PieceSheets RenderPieceSheets(const SheetOptions& options);

// The anchor of each pattern (the base's centre in the standing picture).
void PieceAnchor(int pattern, double& x, double& y);

} // namespace zelkor::art

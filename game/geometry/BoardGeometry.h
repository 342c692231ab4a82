#pragma once
// Where the squares of the painted 3D board lie on the 1024 x 768 screen.
//
// Both "ground" pictures paint the board on the same corners; the town's
// picture shifts it by a location offset. Everything here is pure and
// shared by the scene, its input handling and the content generator.

#include <array>

#include "chess/Square.h"

namespace zelkor::game {

struct TScreenPoint {
    int X = 0;
    int Y = 0;
    friend bool operator==(const TScreenPoint&, const TScreenPoint&) = default;
};

// The four corners of one square in the order top, left, bottom, right,
// without the location offset.
using TSquareQuad = std::array<TScreenPoint, 4>;

// The corners of A8..H1 (index 0 is A8).
extern const std::array<TSquareQuad, 64> SquareQuads;

// The quadrilateral of a board square; A8's for anything that is no square.
const TSquareQuad& SquareQuad(Square sq);

// The shift of the 3D board for Location 1 (the castle) and 2 (the town);
// any other location gets no shift.
TScreenPoint LocationOffset(int location);

// The screen point at the middle of a square: half-way between its left and
// right corners across, half-way between its top and bottom corners down,
// halves rounded to even, plus the location offset.
TScreenPoint SquareCenter(Square sq, int location);
TScreenPoint SquareCenter(Square sq, TScreenPoint offset);

// Rounds halves to even, as the screens' arithmetic does throughout.
int RoundToEven(double v);

// A square of the flat classic board, drawn from (10, 64) at `scale`
// percent: its top left corner and its side. `square` is 1 (A8) to 64
// (H1); with Black below the board is turned.
struct TScreenRect {
    int X = 0, Y = 0, Size = 0;
};
TScreenRect ClassicSquareRect(int square, int scale, bool blackBelow);

// The drawing scale of a piece standing at screen row y: 0.6 x pieceScale at
// y = 314, growing by 0.4 / 314 per row.
double PerspectiveScale(int y, double pieceScale);

// The first square (A8 first) whose quadrilateral holds the screen point,
// after removing the location offset; None when no square does. Points on
// an edge shared by two squares belong to one of them by the crossing rule.
Square SquareAtScreenPoint(int x, int y, int location);
Square SquareAtScreenPoint(int x, int y, TScreenPoint offset);

} // namespace zelkor::game

#pragma once
// What the board asks of whatever shows it: a full repaint, one cell drawn
// again, and the slide of a moving piece. The default view shows nothing;
// the board is complete without one (the game's referee is never shown).

#include "chess/Square.h"

namespace zelkor {

class TChessBoardView {
public:
    virtual ~TChessBoardView() = default;
    // Everything: border, cells, pieces.
    virtual void Paint() {}
    // The cell of `sq` with `piece` on it (a blank: the empty cell).
    virtual void DrawSquare(Square /*sq*/, char /*piece*/) {}
    // The piece on oldSq sliding to newSq, `delay` ms per pixel step.
    virtual void AnimateMove(Square /*oldSq*/, Square /*newSq*/, int /*delay*/) {}
};

} // namespace zelkor

// Arbitrary positions, sides, castling rights and en-passant squares for
// the engine: generation, the move tree and a shallow search must stay
// inside the engine's arrays and leave the root position as it was.

#include <cstdint>
#include <cstdlib>

#include "chess/ChessBoard.h"
#include "chess/ChessEngine.h"
#include "tests/fuzz/FuzzInput.h"

using namespace zelkor;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::FuzzInput in(data, size);
    TChessBoard board;
    board.SetPosition(in.Bytes(64));
    // At most 12 pieces a side: a board full of queens makes the capture
    // search explode, which says nothing about safety and only costs time.
    int pieces[2] = {0, 0};
    for (int s = 1; s <= 64; ++s) {
        const int color = board.PieceColor(static_cast<Square>(s));
        if (color >= 0 && ++pieces[color] > 12) return 0;
    }
    const bool white = in.Bool();
    const CastleSet castling = CastleSet::FromBits(in.Byte());
    const auto ep = static_cast<Square>(in.Byte());
    const int depth = 1 + in.Byte() % 2;

    TChessEngine engine;
    engine.LoadPosition(board.Cells(), white, castling, ep);
    int colors[64], kinds[64];
    for (int s = 0; s < 64; ++s) colors[s] = engine.ColorAt(s), kinds[s] = engine.PieceAt(s);
    (void)engine.Perft(2);
    engine.Think(depth);
    for (int s = 0; s < 64; ++s)
        if (engine.ColorAt(s) != colors[s] || engine.PieceAt(s) != kinds[s]) std::abort();
    if (engine.CurrentPly() != 0) std::abort();
    return 0;
}

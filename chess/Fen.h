#pragma once
// Forsyth-Edwards Notation: reading a FEN text into a position the board
// accepts, and writing the board's position as FEN.

#include <string>
#include <string_view>

#include "chess/Castling.h"
#include "chess/Square.h"

namespace zelkor {

class TChessBoard;

struct FenPosition {
    std::string Placement;  // the board's 64-character position text, a8..h1
    bool WhiteToMove = true;
    CastleSet Castling;
    Square EnPassant = Square::None;
    int HalfMoveClock = 0;
    int FullMoveNumber = 1;
};

// Parses `fen` (the last two fields may be left out). On failure returns
// false and says why in `error`; `out` is then unchanged. Refused besides
// malformed text: a side without exactly one king, a pawn on the first or
// last rank, the side not to move standing in check, and an en-passant
// square on the wrong rank for the side to move. Castling rights whose king
// or rook is not at home are dropped.
bool ParseFen(std::string_view fen, FenPosition& out, std::string& error);

// Starts a new game on `board` from the position: the record of earlier
// positions no longer counts.
void ApplyFen(TChessBoard& board, const FenPosition& position);

// The board's position, side, rights and en-passant square as FEN, with a
// half-move clock of 0 and the board's move number.
std::string BoardToFen(const TChessBoard& board);

inline constexpr std::string_view StartFen = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";

} // namespace zelkor

// Filling the engine board from the board component.

#include "chess/ChessEngine.h"
#include "chess/Piece.h"

namespace zelkor {

using namespace engine;

namespace {

int PieceCode(char c) {
    switch (ToLowerLetter(c)) {
    case 'p': return Pawn;
    case 'n': return Knight;
    case 'b': return Bishop;
    case 'r': return Rook;
    case 'q': return Queen;
    case 'k': return King;
    default: return Empty;
    }
}

} // namespace

void TChessEngine::LoadPosition(const std::array<char, 65>& cells, bool whiteToMove, CastleSet castling,
                                Square enPassant) {
    Colors.fill(Empty);
    Pieces.fill(Empty);
    ColorBB = {};
    PieceBB = {};
    PstSum = {0, 0};
    PawnFiles = {};
    for (int s = 0; s < 64; ++s) {
        const char c = cells[static_cast<size_t>(s + 1)];
        const int color = ColorOfLetter(c);
        const int piece = PieceCode(c);
        if (color != -1 && piece != Empty) Put(s, color == 1 ? White : Black, piece);
    }
    SideToMove = whiteToMove ? White : Black;
    Opponent = 1 - SideToMove;

    // Only the rights whose king and rook stand at home: a right kept after
    // its rook was taken on the corner would give a castling the board
    // refuses.
    auto at = [&](int s, int color, int piece) { return Colors[s] == color && Pieces[s] == piece; };
    CastleRights = 0;
    if (castling.Has(CanStillCastle::WhiteKingSide) && at(60, White, King) && at(63, White, Rook))
        CastleRights |= crWhiteKingSide;
    if (castling.Has(CanStillCastle::WhiteQueenSide) && at(60, White, King) && at(56, White, Rook))
        CastleRights |= crWhiteQueenSide;
    if (castling.Has(CanStillCastle::BlackKingSide) && at(4, Black, King) && at(7, Black, Rook))
        CastleRights |= crBlackKingSide;
    if (castling.Has(CanStillCastle::BlackQueenSide) && at(4, Black, King) && at(0, Black, Rook))
        CastleRights |= crBlackQueenSide;

    // Only an en-passant square that an enemy pawn has just passed, on the
    // side of the board where the side to move can take it.
    EpSquare = -1;
    if (IsBoardSquare(enPassant)) {
        const int e = SquareIndex(enPassant) - 1;
        const bool whiteTakes = SideToMove == White && RowOfSq(e) == 2 && at(e + 8, Black, Pawn);
        const bool blackTakes = SideToMove == Black && RowOfSq(e) == 5 && at(e - 8, White, Pawn);
        if ((whiteTakes || blackTakes) && Colors[e] == Empty) EpSquare = e;
    }

    FiftyCount = 0;
    Ply = 0;
    PlyFirst[0] = 0;
    CheckState[0] = -1;
}

} // namespace zelkor

// The referee: whether a move is legal, piece by piece, and whether a king
// stands attacked.

#include <cstdlib>

#include "chess/ChessBoard.h"

namespace zelkor {

namespace {

constexpr int kDiagonals[4][2] = {{1, 1}, {1, -1}, {-1, 1}, {-1, -1}};
constexpr int kLines[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
constexpr int kKnightJumps[8][2] = {{2, 1}, {2, -1}, {-2, 1}, {-2, -1}, {1, 2}, {1, -2}, {-1, 2}, {-1, -2}};

bool IsEmptyCell(char c) { return ColorOfLetter(c) == -1; }

// Whether the first `king` on `cells` (scanning A8..H1) is attacked by the
// pieces of the other side. `king` is 'K' or 'k'; `missing` is the answer
// when there is no such king.
bool KingAttackedOn(const BoardCells& cells, char king, bool missing) {
    Square k = Square::None;
    for (int i = 1; i <= 64; ++i) {
        if (cells[i] == king) {
            k = static_cast<Square>(i);
            break;
        }
    }
    if (k == Square::None) return missing;

    const bool white = king == 'K';
    const char pawn = white ? 'p' : 'P';
    const char knight = white ? 'n' : 'N';
    const char bishop = white ? 'b' : 'B';
    const char rook = white ? 'r' : 'R';
    const char queen = white ? 'q' : 'Q';
    const char enemyKing = white ? 'k' : 'K';
    const int f = FileOf(k);
    const int r = RankOf(k);
    auto at = [&](int ff, int rr) { return cells[SquareIndex(SquareAt(ff, rr))]; };

    // Pawns attack towards their forward direction: a black pawn from the
    // rank above the white king, a white pawn from the rank below the black.
    const int pawnRank = white ? r + 1 : r - 1;
    if (at(f - 1, pawnRank) == pawn || at(f + 1, pawnRank) == pawn) return true;

    for (const auto& j : kKnightJumps)
        if (at(f + j[0], r + j[1]) == knight) return true;

    auto walk = [&](const int (*dirs)[2], char slider) {
        for (int d = 0; d < 4; ++d) {
            for (int step = 1; step <= 7; ++step) {
                const Square s = SquareAt(f + step * dirs[d][0], r + step * dirs[d][1]);
                if (s == Square::None) break;
                const char c = cells[SquareIndex(s)];
                if (IsEmptyCell(c)) continue;
                if (c == slider || c == queen || (c == enemyKing && step == 1)) return true;
                break;
            }
        }
        return false;
    };
    return walk(kDiagonals, bishop) || walk(kLines, rook);
}

// A copy of the board with the piece on oldSq moved to newSq and, when
// given, `removed` emptied as well.
BoardCells CopyAfterMove(const BoardCells& board, Square oldSq, Square newSq, Square removed) {
    BoardCells copy = board;
    if (oldSq != newSq) {
        copy[SquareIndex(newSq)] = copy[SquareIndex(oldSq)];
        copy[SquareIndex(oldSq)] = Blank;
    }
    if (IsBoardSquare(removed)) copy[SquareIndex(removed)] = Blank;
    copy[0] = Blank;
    return copy;
}

bool ValidPair(Square oldSq, Square newSq) { return IsBoardSquare(oldSq) && IsBoardSquare(newSq); }

} // namespace

bool TChessBoard::WhiteKingAttacked(Square oldSq, Square newSq) const {
    if (SquareIndex(oldSq) > 64 || SquareIndex(newSq) > 64) return false;
    return KingAttackedOn(CopyAfterMove(board_, oldSq, newSq, Square::None), 'K', false);
}

bool TChessBoard::BlackKingAttacked(Square oldSq, Square newSq) const {
    if (SquareIndex(oldSq) > 64 || SquareIndex(newSq) > 64) return false;
    return KingAttackedOn(CopyAfterMove(board_, oldSq, newSq, Square::None), 'k', true);
}

Square TChessBoard::EnPassantVictim(Square oldSq, Square newSq) const {
    // A pawn stepping diagonally onto the empty square that an enemy pawn
    // has just passed over; the victim stands right behind that square.
    if (!ValidPair(oldSq, newSq) || newSq != enPassant_) return Square::None;
    const char pawn = PieceAt(oldSq);
    if (pawn != 'P' && pawn != 'p') return Square::None;
    const bool white = pawn == 'P';
    const int forward = white ? 1 : -1;
    if (RankOf(newSq) - RankOf(oldSq) != forward || std::abs(FileOf(newSq) - FileOf(oldSq)) != 1) return Square::None;
    if (RankOf(newSq) != (white ? 6 : 3) || !IsEmptyCell(PieceAt(newSq))) return Square::None;
    const Square victim = SquareAt(FileOf(newSq), white ? 5 : 4);
    return PieceAt(victim) == (white ? 'p' : 'P') ? victim : Square::None;
}

bool TChessBoard::PawnMoveOk(Square oldSq, Square newSq) const {
    if (!ValidPair(oldSq, newSq)) return false;
    const int color = PieceColor(oldSq);
    if (color == -1) return false;
    const bool white = color == 1;
    const int df = FileOf(newSq) - FileOf(oldSq);
    const int dr = RankOf(newSq) - RankOf(oldSq);
    const int forward = white ? 1 : -1;
    if (dr == forward) {
        if (df == 0) return IsEmptyCell(PieceAt(newSq));
        if (std::abs(df) == 1)
            return PieceColor(newSq) == (white ? 0 : 1) || EnPassantVictim(oldSq, newSq) != Square::None;
        return false;
    }
    const int home = white ? 2 : 7;
    if (RankOf(oldSq) != home || dr != 2 * forward || df != 0) return false;
    const auto passed = static_cast<Square>((SquareIndex(oldSq) + SquareIndex(newSq)) / 2);
    return IsEmptyCell(PieceAt(newSq)) && IsEmptyCell(PieceAt(passed));
}

bool TChessBoard::KnightMoveOk(Square oldSq, Square newSq) const {
    if (!ValidPair(oldSq, newSq)) return false;
    const int df = std::abs(FileOf(newSq) - FileOf(oldSq));
    const int dr = std::abs(RankOf(newSq) - RankOf(oldSq));
    return (df == 1 && dr == 2) || (df == 2 && dr == 1);
}

bool TChessBoard::SlideReaches(Square oldSq, Square newSq, const int (*dirs)[2], int dirCount) const {
    if (!ValidPair(oldSq, newSq)) return false;
    const int f = FileOf(oldSq);
    const int r = RankOf(oldSq);
    for (int d = 0; d < dirCount; ++d) {
        for (int step = 1; step <= 7; ++step) {
            const Square s = SquareAt(f + step * dirs[d][0], r + step * dirs[d][1]);
            if (s == Square::None) break;
            if (s == newSq) return true;
            if (!IsEmptyCell(PieceAt(s))) break;
        }
    }
    return false;
}

bool TChessBoard::BishopMoveOk(Square oldSq, Square newSq) const { return SlideReaches(oldSq, newSq, kDiagonals, 4); }

bool TChessBoard::RookMoveOk(Square oldSq, Square newSq) const { return SlideReaches(oldSq, newSq, kLines, 4); }

bool TChessBoard::QueenMoveOk(Square oldSq, Square newSq) const {
    return BishopMoveOk(oldSq, newSq) || RookMoveOk(oldSq, newSq);
}

bool TChessBoard::KingMoveOk(Square oldSq, Square newSq) const {
    if (!ValidPair(oldSq, newSq)) return false;
    const int df = std::abs(FileOf(newSq) - FileOf(oldSq));
    const int dr = std::abs(RankOf(newSq) - RankOf(oldSq));
    if (df <= 1 && dr <= 1) return true;
    return CastlingOk(oldSq, newSq);
}

bool TChessBoard::CastlingOk(Square oldSq, Square newSq) const {
    struct Form {
        Square from, to;
        CanStillCastle right;
        char king;
        Square rookHome;
        Square blank[3];
        Square safe[3];
    };
    using S = Square;
    static constexpr Form kForms[4] = {
        {S::E1, S::G1, CanStillCastle::WhiteKingSide, 'K', S::H1, {S::F1, S::G1, S::None}, {S::E1, S::F1, S::G1}},
        {S::E1, S::C1, CanStillCastle::WhiteQueenSide, 'K', S::A1, {S::B1, S::C1, S::D1}, {S::E1, S::D1, S::C1}},
        {S::E8, S::G8, CanStillCastle::BlackKingSide, 'k', S::H8, {S::F8, S::G8, S::None}, {S::E8, S::F8, S::G8}},
        {S::E8, S::C8, CanStillCastle::BlackQueenSide, 'k', S::A8, {S::B8, S::C8, S::D8}, {S::E8, S::D8, S::C8}},
    };
    for (const Form& form : kForms) {
        if (form.from != oldSq || form.to != newSq) continue;
        if (!castlingAllowed_.Has(form.right)) return false;
        const char rook = form.king == 'K' ? 'R' : 'r';
        if (PieceAt(form.rookHome) != rook) return false;
        for (Square s : form.blank)
            if (s != Square::None && !IsEmptyCell(PieceAt(s))) return false;
        for (Square s : form.safe) {
            const bool attacked = form.king == 'K' ? WhiteKingAttacked(oldSq, s) : BlackKingAttacked(oldSq, s);
            if (attacked) return false;
        }
        return true;
    }
    return false;
}

bool TChessBoard::IsLegalMove(Square oldSq, Square newSq) const {
    if (!ValidPair(oldSq, newSq)) return false;
    if (IsThreefoldRepetition()) return false;
    return IsLegalMoveAfterRepetitionCheck(oldSq, newSq);
}

bool TChessBoard::IsLegalMoveAfterRepetitionCheck(Square oldSq, Square newSq) const {
    if (!ValidPair(oldSq, newSq)) return false;
    const int color = PieceColor(oldSq);
    if (color != (whiteToMove_ ? 1 : 0)) return false;
    if (PieceColor(newSq) == color) return false;

    bool geometry = false;
    switch (ToUpperLetter(PieceAt(oldSq))) {
    case 'P': geometry = PawnMoveOk(oldSq, newSq); break;
    case 'N': geometry = KnightMoveOk(oldSq, newSq); break;
    case 'B': geometry = BishopMoveOk(oldSq, newSq); break;
    case 'R': geometry = RookMoveOk(oldSq, newSq); break;
    case 'Q': geometry = QueenMoveOk(oldSq, newSq); break;
    case 'K': geometry = KingMoveOk(oldSq, newSq); break;
    default: break;
    }
    if (!geometry) return false;

    const BoardCells after = CopyAfterMove(board_, oldSq, newSq, EnPassantVictim(oldSq, newSq));
    return color == 1 ? !KingAttackedOn(after, 'K', false) : !KingAttackedOn(after, 'k', true);
}

} // namespace zelkor

// The engine board: attacks, move generation, DoMove and UndoMove.
//
// Attacks are found from the attacked square outwards, and the pieces of a
// side are visited through bitboards in ascending square order, which is
// the generation order: the moves, their order and their scores are those
// of a scan over all 64 squares.

#include <bit>

#include "chess/ChessEngine.h"
#include "chess/EngineGeometry.h"
#include "chess/EngineTables.h"

namespace zelkor {

using namespace engine;

namespace {

// Squares of the castling moves.
constexpr int E1 = 60, G1 = 62, C1 = 58, E8 = 4, G8 = 6, C8 = 2;

constexpr int kDiagonalDirs[4] = {0, 2, 5, 7};
constexpr int kLineDirs[4] = {1, 3, 4, 6};


} // namespace

bool TChessEngine::SquareAttacked(int target, int by) const {
    const EngineGeometry& g = G;
    const auto& mine = PieceBB[by];
    if (g.PawnAttackers[by][target] & mine[Pawn]) return true;
    if (g.KnightAttacks[target] & mine[Knight]) return true;
    if (g.KingAttacks[target] & mine[King]) return true;
    // A slider attacks when it is the first piece met going out from the
    // target along one of its directions.
    const uint64_t occupied = ColorBB[White] | ColorBB[Black];
    auto firstOnRay = [&](int d) -> uint64_t {
        const uint64_t blockers = g.Ray[d][target] & occupied;
        if (!blockers) return 0;
        return uint64_t{1} << (g.RayRunsUp[d] ? std::countr_zero(blockers) : 63 - std::countl_zero(blockers));
    };
    const uint64_t diagonalSliders = mine[Bishop] | mine[Queen];
    if (diagonalSliders & g.DiagonalMask[target]) {
        for (int d : kDiagonalDirs)
            if (firstOnRay(d) & diagonalSliders) return true;
    }
    const uint64_t lineSliders = mine[Rook] | mine[Queen];
    if (lineSliders & g.LineMask[target]) {
        for (int d : kLineDirs)
            if (firstOnRay(d) & lineSliders) return true;
    }
    return false;
}

bool TChessEngine::KingInCheck(int color) const {
    const uint64_t kings = PieceBB[color][King];
    if (!kings) return false;
    return SquareAttacked(std::countr_zero(kings), 1 - color);  // the first king from square 0
}

inline void TChessEngine::AddMove(int from, int to, uint8_t flags) {
    if ((flags & mfPawnMove) && (SideToMove == White ? to <= 7 : to >= 56)) {
        AddPromotions(from, to, flags);
        return;
    }
    ScoredMove& e = MoveStack[PlyEnd[Ply]++];
    e.Move = EngineMove{static_cast<uint8_t>(from), static_cast<uint8_t>(to), 0, flags};
    e.Score = (flags & mfCapture) ? 1000000 + 10 * Pieces[to] - Pieces[from] : HistoryScore[from][to];
}

void TChessEngine::AddPromotions(int from, int to, uint8_t flags) {
    for (int piece = Knight; piece <= Queen; ++piece) {
        ScoredMove& e = MoveStack[PlyEnd[Ply]++];
        e.Move = EngineMove{static_cast<uint8_t>(from), static_cast<uint8_t>(to), static_cast<uint8_t>(piece),
                            static_cast<uint8_t>(flags | mfPromotion)};
        e.Score = 1000000 + 10 * piece;
    }
}

template <int Side, bool CapturesOnly>
inline void TChessEngine::GeneratePawn(int s) {
    constexpr int Enemy = 1 - Side;
    const int file = s & 7;
    if constexpr (Side == White) {
        if (s < 8) return;  // a pawn on its last rank has no move
        if (file != 0 && Colors[s - 9] == Enemy) AddMove(s, s - 9, 17);
        if (file != 7 && Colors[s - 7] == Enemy) AddMove(s, s - 7, 17);
        if constexpr (CapturesOnly) {
            if (s <= 15 && Colors[s - 8] == Empty) AddMove(s, s - 8, 16);
        } else if (Colors[s - 8] == Empty) {
            AddMove(s, s - 8, 16);
            if (s >= 48 && s <= 55 && Colors[s - 16] == Empty) AddMove(s, s - 16, 24);
        }
    } else {
        if (s > 55) return;
        if (file != 0 && Colors[s + 7] == Enemy) AddMove(s, s + 7, 17);
        if (file != 7 && Colors[s + 9] == Enemy) AddMove(s, s + 9, 17);
        if constexpr (CapturesOnly) {
            if (s >= 48 && Colors[s + 8] == Empty) AddMove(s, s + 8, 16);
        } else if (Colors[s + 8] == Empty) {
            AddMove(s, s + 8, 16);
            if (s >= 8 && s <= 15 && Colors[s + 16] == Empty) AddMove(s, s + 16, 24);
        }
    }
}

void TChessEngine::GenerateEnPassant() {
    if (EpSquare == -1) return;
    const int e = EpSquare;
    const int side = SideToMove;
    auto pawnAt = [&](int s) { return Colors[s] == side && Pieces[s] == Pawn; };
    if (side == White) {
        if ((e & 7) != 0 && pawnAt(e + 7)) AddMove(e + 7, e, 21);
        if ((e & 7) != 7 && pawnAt(e + 9)) AddMove(e + 9, e, 21);
    } else {
        if ((e & 7) != 0 && pawnAt(e - 9)) AddMove(e - 9, e, 21);
        if ((e & 7) != 7 && pawnAt(e - 7)) AddMove(e - 7, e, 21);
    }
}

template <bool CapturesOnly>
void TChessEngine::Generate() {
    const EngineGeometry& g = G;
    PlyEnd[Ply] = PlyFirst[Ply];
    const int side = SideToMove;
    const int enemy = Opponent;
    for (uint64_t own = ColorBB[side]; own; own &= own - 1) {
        const int s = std::countr_zero(own);
        const int piece = Pieces[s];
        if (piece == Pawn) {
            if (side == White)
                GeneratePawn<White, CapturesOnly>(s);
            else
                GeneratePawn<Black, CapturesOnly>(s);
            continue;
        }
        if (piece == Knight || piece == King) {
            // The targets of the direction table, in its order, are the
            // squares in ascending order.
            const uint64_t reach = piece == Knight ? g.KnightAttacks[s] : g.KingAttacks[s];
            const uint64_t targets = reach & (CapturesOnly ? ColorBB[enemy] : ~ColorBB[side]);
            for (uint64_t t = targets; t; t &= t - 1) {
                const int n = std::countr_zero(t);
                AddMove(s, n, Colors[n] == enemy ? 1 : 0);
            }
            continue;
        }
        const bool slides = true;
        const int count = g.PieceDirCount[piece];
        if constexpr (CapturesOnly) {
            if (slides) {
                // Only the first piece along each ray can be taken.
                const uint64_t occupied = ColorBB[White] | ColorBB[Black];
                for (int i = 0; i < count; ++i) {
                    const int d = g.PieceDirs[piece][i];
                    const uint64_t blockers = g.Ray[d][s] & occupied;
                    if (!blockers) continue;
                    const int n = g.RayRunsUp[d] ? std::countr_zero(blockers) : 63 - std::countl_zero(blockers);
                    if (Colors[n] == enemy) AddMove(s, n, 1);
                }
                continue;
            }
        }
        for (int i = 0; i < count; ++i) {
            const auto& next = g.Next[g.PieceDirs[piece][i]];
            for (int n = next[s]; n >= 0; n = next[n]) {
                if (Colors[n] != Empty) {
                    if (Colors[n] == enemy) AddMove(s, n, 1);
                    break;
                }
                if constexpr (!CapturesOnly) AddMove(s, n, 0);
                if (!slides) break;
            }
        }
    }

    if constexpr (!CapturesOnly) {
        if (side == White) {
            if (CastleRights & crWhiteKingSide) AddMove(E1, G1, mfCastle);
            if (CastleRights & crWhiteQueenSide) AddMove(E1, C1, mfCastle);
        } else {
            if (CastleRights & crBlackKingSide) AddMove(E8, G8, mfCastle);
            if (CastleRights & crBlackQueenSide) AddMove(E8, C8, mfCastle);
        }
    }
    GenerateEnPassant();
    PlyFirst[Ply + 1] = PlyEnd[Ply];
}

void TChessEngine::GenerateMoves() { Generate<false>(); }

void TChessEngine::GenerateCaptures() { Generate<true>(); }

bool TChessEngine::DoMove(EngineMove m) {
    const int from = m.From;
    const int to = m.To;
    const int side = SideToMove;

    // A move that is not the king's, with the king not in check and the
    // origin on none of the king's lines, cannot leave the king attacked:
    // nothing new reaches it.
    bool mustTest = true;
    if (!(m.Flags & (mfCastle | mfEnPassant)) && Pieces[from] != King && !SideToMoveInCheck()) {
        const uint64_t kings = PieceBB[side][King];
        mustTest = kings && ((G.DiagonalMask[std::countr_zero(kings)] | G.LineMask[std::countr_zero(kings)]) &
                             (uint64_t{1} << from));
    }

    if (m.Flags & mfCastle) {
        if (SideToMoveInCheck()) return false;
        int rookFrom = 0, rookTo = 0;
        switch (to) {
        case G1:
            if (Colors[61] != Empty || Colors[62] != Empty) return false;
            if (SquareAttacked(61, Opponent) || SquareAttacked(62, Opponent)) return false;
            rookFrom = 63, rookTo = 61;
            break;
        case C1:
            if (Colors[57] != Empty || Colors[58] != Empty || Colors[59] != Empty) return false;
            if (SquareAttacked(58, Opponent) || SquareAttacked(59, Opponent)) return false;
            rookFrom = 56, rookTo = 59;
            break;
        case G8:
            if (Colors[5] != Empty || Colors[6] != Empty) return false;
            if (SquareAttacked(5, Opponent) || SquareAttacked(6, Opponent)) return false;
            rookFrom = 7, rookTo = 5;
            break;
        case C8:
            if (Colors[1] != Empty || Colors[2] != Empty || Colors[3] != Empty) return false;
            if (SquareAttacked(2, Opponent) || SquareAttacked(3, Opponent)) return false;
            rookFrom = 0, rookTo = 3;
            break;
        default: return false;
        }
        Clear(rookFrom);
        Put(rookTo, side, Rook);
    }

    UndoRecord& u = UndoStack[Ply];
    u.Move = m;
    u.Captured = Pieces[to];
    u.CastleRights = CastleRights;
    u.EpSquare = EpSquare;
    u.FiftyCount = FiftyCount;
    ++Ply;

    CastleRights &= T.CastleMask[from] & T.CastleMask[to];
    EpSquare = (m.Flags & mfDoubleStep) ? (side == White ? to + 8 : to - 8) : -1;
    FiftyCount = (m.Flags & (mfCapture | mfPawnMove)) ? 0 : FiftyCount + 1;

    const int piece = (m.Flags & mfPromotion) ? m.Promote : Pieces[from];
    Clear(to);
    Clear(from);
    Put(to, side, piece);
    if (m.Flags & mfEnPassant) Clear(side == White ? to + 8 : to - 8);

    SideToMove ^= 1;
    Opponent ^= 1;

    if (mustTest && KingInCheck(Opponent)) {
        UndoMove();
        return false;
    }
    CheckState[Ply] = -1;  // a new position at this ply
    return true;
}

void TChessEngine::UndoMove() {
    SideToMove ^= 1;
    Opponent ^= 1;
    --Ply;
    const UndoRecord& u = UndoStack[Ply];
    const EngineMove m = u.Move;
    const int from = m.From;
    const int to = m.To;
    CastleRights = u.CastleRights;
    EpSquare = u.EpSquare;
    FiftyCount = u.FiftyCount;

    const int piece = (m.Flags & mfPromotion) ? Pawn : Pieces[to];
    Clear(to);
    Put(from, SideToMove, piece);
    if (u.Captured != Empty) Put(to, Opponent, u.Captured);

    if (m.Flags & mfCastle) {
        int rookFrom = 0, rookTo = 0;
        switch (to) {
        case G1: rookFrom = 63, rookTo = 61; break;
        case C1: rookFrom = 56, rookTo = 59; break;
        case G8: rookFrom = 7, rookTo = 5; break;
        case C8: rookFrom = 0, rookTo = 3; break;
        default: break;
        }
        Clear(rookTo);
        Put(rookFrom, SideToMove, Rook);
    }
    if (m.Flags & mfEnPassant) Put(SideToMove == White ? to + 8 : to - 8, Opponent, Pawn);
}

uint64_t TChessEngine::Perft(int depth) {
    if (depth <= 0) return 1;
    if (Ply == 0) CheckState[0] = -1;
    if (AtArrayLimit()) return 0;
    GenerateMoves();
    uint64_t count = 0;
    for (int i = PlyFirst[Ply]; i < PlyEnd[Ply]; ++i) {
        if (!DoMove(MoveStack[i].Move)) continue;
        count += depth == 1 ? 1 : Perft(depth - 1);
        UndoMove();
    }
    return count;
}

} // namespace zelkor

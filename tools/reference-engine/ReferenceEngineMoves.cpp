// The engine board: attacks, move generation, DoMove and UndoMove.

#include "tools/reference-engine/ReferenceEngine.h"
#include "chess/EngineTables.h"

namespace zelkor {

using namespace engine;

namespace {

// Squares of the castling moves.
constexpr int E1 = 60, G1 = 62, C1 = 58, E8 = 4, G8 = 6, C8 = 2;

// The square one step from s in direction `offset` on the bordered board,
// or -1 off the board.
inline int Step(const EngineTables& t, int s, int offset) {
    return t.BorderIndex[static_cast<size_t>(t.BoardToBorder[static_cast<size_t>(s)] + offset)];
}

} // namespace

bool TReferenceEngine::SquareAttacked(int target, int by) const {
    const EngineTables& t = Tables();
    for (int s = 0; s < 64; ++s) {
        if (Colors[s] != by) continue;
        const int piece = Pieces[s];
        if (piece == Pawn) {
            // A pawn on its own last rank attacks nothing.
            if (by == White) {
                if (s < 8) continue;
                if (FileOfSq(s) != 0 && s - 9 == target) return true;
                if (FileOfSq(s) != 7 && s - 7 == target) return true;
            } else {
                if (s > 55) continue;
                if (FileOfSq(s) != 0 && s + 7 == target) return true;
                if (FileOfSq(s) != 7 && s + 9 == target) return true;
            }
            continue;
        }
        for (int d = 0; d < t.DirCount[piece]; ++d) {
            const int offset = t.DirOffsets[piece][d];
            int n = s;
            for (;;) {
                n = Step(t, n, offset);
                if (n == -1) break;
                if (n == target) return true;
                if (Colors[n] != Empty) break;
                if (!t.Slides[piece]) break;
            }
        }
    }
    return false;
}

bool TReferenceEngine::KingInCheck(int color) const {
    for (int s = 0; s < 64; ++s)
        if (Pieces[s] == King && Colors[s] == color) return SquareAttacked(s, 1 - color);
    return false;
}

void TReferenceEngine::AddMove(int from, int to, uint8_t flags) {
    if ((flags & mfPawnMove) && (SideToMove == White ? to <= 7 : to >= 56)) {
        AddPromotions(from, to, flags);
        return;
    }
    ScoredMove& e = MoveStack[PlyEnd[Ply]++];
    e.Move = EngineMove{static_cast<uint8_t>(from), static_cast<uint8_t>(to), 0, flags};
    if (flags & mfCapture)
        e.Score = 1000000 + 10 * Pieces[to] - Pieces[from];
    else
        e.Score = HistoryScore[from][to];
}

void TReferenceEngine::AddPromotions(int from, int to, uint8_t flags) {
    for (int piece = Knight; piece <= Queen; ++piece) {
        ScoredMove& e = MoveStack[PlyEnd[Ply]++];
        e.Move = EngineMove{static_cast<uint8_t>(from), static_cast<uint8_t>(to), static_cast<uint8_t>(piece),
                            static_cast<uint8_t>(flags | mfPromotion)};
        e.Score = 1000000 + 10 * piece;
    }
}

void TReferenceEngine::GenerateMoves() {
    const EngineTables& t = Tables();
    PlyEnd[Ply] = PlyFirst[Ply];
    for (int s = 0; s < 64; ++s) {
        if (Colors[s] != SideToMove) continue;
        const int piece = Pieces[s];
        if (piece == Pawn) {
            if (SideToMove == White) {
                if (s < 8) continue;  // a pawn on its last rank has no move
                if (FileOfSq(s) != 0 && Colors[s - 9] == Black) AddMove(s, s - 9, 17);
                if (FileOfSq(s) != 7 && Colors[s - 7] == Black) AddMove(s, s - 7, 17);
                if (Colors[s - 8] == Empty) {
                    AddMove(s, s - 8, 16);
                    if (s >= 48 && s <= 55 && Colors[s - 16] == Empty) AddMove(s, s - 16, 24);
                }
            } else {
                if (s > 55) continue;
                if (FileOfSq(s) != 0 && Colors[s + 7] == White) AddMove(s, s + 7, 17);
                if (FileOfSq(s) != 7 && Colors[s + 9] == White) AddMove(s, s + 9, 17);
                if (Colors[s + 8] == Empty) {
                    AddMove(s, s + 8, 16);
                    if (s >= 8 && s <= 15 && Colors[s + 16] == Empty) AddMove(s, s + 16, 24);
                }
            }
            continue;
        }
        for (int d = 0; d < t.DirCount[piece]; ++d) {
            const int offset = t.DirOffsets[piece][d];
            int n = s;
            for (;;) {
                n = Step(t, n, offset);
                if (n == -1) break;
                if (Colors[n] != Empty) {
                    if (Colors[n] == Opponent) AddMove(s, n, 1);
                    break;
                }
                AddMove(s, n, 0);
                if (!t.Slides[piece]) break;
            }
        }
    }

    if (SideToMove == White) {
        if (CastleRights & crWhiteKingSide) AddMove(E1, G1, mfCastle);
        if (CastleRights & crWhiteQueenSide) AddMove(E1, C1, mfCastle);
    } else {
        if (CastleRights & crBlackKingSide) AddMove(E8, G8, mfCastle);
        if (CastleRights & crBlackQueenSide) AddMove(E8, C8, mfCastle);
    }

    if (EpSquare != -1) {
        const int e = EpSquare;
        if (SideToMove == White) {
            if (FileOfSq(e) != 0 && Colors[e + 7] == White && Pieces[e + 7] == Pawn) AddMove(e + 7, e, 21);
            if (FileOfSq(e) != 7 && Colors[e + 9] == White && Pieces[e + 9] == Pawn) AddMove(e + 9, e, 21);
        } else {
            if (FileOfSq(e) != 0 && Colors[e - 9] == Black && Pieces[e - 9] == Pawn) AddMove(e - 9, e, 21);
            if (FileOfSq(e) != 7 && Colors[e - 7] == Black && Pieces[e - 7] == Pawn) AddMove(e - 7, e, 21);
        }
    }

    PlyFirst[Ply + 1] = PlyEnd[Ply];
}

void TReferenceEngine::GenerateCaptures() {
    const EngineTables& t = Tables();
    PlyEnd[Ply] = PlyFirst[Ply];
    for (int s = 0; s < 64; ++s) {
        if (Colors[s] != SideToMove) continue;
        const int piece = Pieces[s];
        if (piece == Pawn) {
            if (SideToMove == White) {
                if (s < 8) continue;
                if (FileOfSq(s) != 0 && Colors[s - 9] == Black) AddMove(s, s - 9, 17);
                if (FileOfSq(s) != 7 && Colors[s - 7] == Black) AddMove(s, s - 7, 17);
                if (s >= 8 && s <= 15 && Colors[s - 8] == Empty) AddMove(s, s - 8, 16);
            } else {
                if (s > 55) continue;
                if (FileOfSq(s) != 0 && Colors[s + 7] == White) AddMove(s, s + 7, 17);
                if (FileOfSq(s) != 7 && Colors[s + 9] == White) AddMove(s, s + 9, 17);
                if (s >= 48 && s <= 55 && Colors[s + 8] == Empty) AddMove(s, s + 8, 16);
            }
            continue;
        }
        for (int d = 0; d < t.DirCount[piece]; ++d) {
            const int offset = t.DirOffsets[piece][d];
            int n = s;
            for (;;) {
                n = Step(t, n, offset);
                if (n == -1) break;
                if (Colors[n] != Empty) {
                    if (Colors[n] == Opponent) AddMove(s, n, 1);
                    break;
                }
                if (!t.Slides[piece]) break;
            }
        }
    }

    if (EpSquare != -1) {
        const int e = EpSquare;
        if (SideToMove == White) {
            if (FileOfSq(e) != 0 && Colors[e + 7] == White && Pieces[e + 7] == Pawn) AddMove(e + 7, e, 21);
            if (FileOfSq(e) != 7 && Colors[e + 9] == White && Pieces[e + 9] == Pawn) AddMove(e + 9, e, 21);
        } else {
            if (FileOfSq(e) != 0 && Colors[e - 9] == Black && Pieces[e - 9] == Pawn) AddMove(e - 9, e, 21);
            if (FileOfSq(e) != 7 && Colors[e - 7] == Black && Pieces[e - 7] == Pawn) AddMove(e - 7, e, 21);
        }
    }

    PlyFirst[Ply + 1] = PlyEnd[Ply];
}

bool TReferenceEngine::DoMove(EngineMove m) {
    const int from = m.From;
    const int to = m.To;

    if (m.Flags & mfCastle) {
        if (KingInCheck(SideToMove)) return false;
        int rookFrom = 0, rookTo = 0;
        switch (to) {
        case 62:  // g1
            if (Colors[61] != Empty || Colors[62] != Empty) return false;
            if (SquareAttacked(61, Opponent) || SquareAttacked(62, Opponent)) return false;
            rookFrom = 63, rookTo = 61;
            break;
        case 58:  // c1
            if (Colors[57] != Empty || Colors[58] != Empty || Colors[59] != Empty) return false;
            if (SquareAttacked(58, Opponent) || SquareAttacked(59, Opponent)) return false;
            rookFrom = 56, rookTo = 59;
            break;
        case 6:  // g8
            if (Colors[5] != Empty || Colors[6] != Empty) return false;
            if (SquareAttacked(5, Opponent) || SquareAttacked(6, Opponent)) return false;
            rookFrom = 7, rookTo = 5;
            break;
        case 2:  // c8
            if (Colors[1] != Empty || Colors[2] != Empty || Colors[3] != Empty) return false;
            if (SquareAttacked(2, Opponent) || SquareAttacked(3, Opponent)) return false;
            rookFrom = 0, rookTo = 3;
            break;
        default: return false;
        }
        Colors[rookTo] = SideToMove;
        Pieces[rookTo] = Rook;
        Colors[rookFrom] = Empty;
        Pieces[rookFrom] = Empty;
    }

    UndoRecord& u = UndoStack[Ply];
    u.Move = m;
    u.Captured = Pieces[to];
    u.CastleRights = CastleRights;
    u.EpSquare = EpSquare;
    u.FiftyCount = FiftyCount;
    ++Ply;

    const EngineTables& t = Tables();
    CastleRights &= t.CastleMask[from] & t.CastleMask[to];
    if (m.Flags & mfDoubleStep)
        EpSquare = SideToMove == White ? to + 8 : to - 8;
    else
        EpSquare = -1;
    if (m.Flags & (mfCapture | mfPawnMove))
        FiftyCount = 0;
    else
        ++FiftyCount;

    Colors[to] = SideToMove;
    Pieces[to] = (m.Flags & mfPromotion) ? m.Promote : Pieces[from];
    Colors[from] = Empty;
    Pieces[from] = Empty;

    if (m.Flags & mfEnPassant) {
        const int victim = SideToMove == White ? to + 8 : to - 8;
        Colors[victim] = Empty;
        Pieces[victim] = Empty;
    }

    SideToMove ^= 1;
    Opponent ^= 1;

    if (KingInCheck(Opponent)) {
        UndoMove();
        return false;
    }
    return true;
}

void TReferenceEngine::UndoMove() {
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

    Colors[from] = SideToMove;
    Pieces[from] = (m.Flags & mfPromotion) ? Pawn : Pieces[to];
    if (u.Captured == Empty) {
        Colors[to] = Empty;
        Pieces[to] = Empty;
    } else {
        Colors[to] = Opponent;
        Pieces[to] = u.Captured;
    }

    if (m.Flags & mfCastle) {
        int rookFrom = 0, rookTo = 0;
        switch (to) {
        case 62: rookFrom = 63, rookTo = 61; break;
        case 58: rookFrom = 56, rookTo = 59; break;
        case 6: rookFrom = 7, rookTo = 5; break;
        case 2: rookFrom = 0, rookTo = 3; break;
        default: break;
        }
        Colors[rookFrom] = SideToMove;
        Pieces[rookFrom] = Rook;
        Colors[rookTo] = Empty;
        Pieces[rookTo] = Empty;
    }

    if (m.Flags & mfEnPassant) {
        const int victim = SideToMove == White ? to + 8 : to - 8;
        Colors[victim] = Opponent;
        Pieces[victim] = Pawn;
    }
}

uint64_t TReferenceEngine::Perft(int depth) {
    if (depth <= 0) return 1;
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

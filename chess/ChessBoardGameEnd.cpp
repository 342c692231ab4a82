// The end of a move: check, mate, stalemate, mating material, the record of
// the new position, repetition and draw.

#include "chess/ChessBoard.h"

namespace zelkor {

namespace {

// Points of a piece letter for the mating-material rule; a side below 5
// points cannot mate.
int MaterialPoints(char c) {
    switch (ToUpperLetter(c)) {
    case 'P':
    case 'R':
    case 'Q': return 5;
    case 'B': return 3;
    case 'N': return 2;
    default: return 0;
    }
}

} // namespace

bool TChessBoard::HasLegalMove() const {
    // The repetition rule refuses every move alike, so it is asked once.
    if (IsThreefoldRepetition()) return false;
    const int side = whiteToMove_ ? 1 : 0;
    for (int from = 1; from <= 64; ++from) {
        const auto oldSq = static_cast<Square>(from);
        if (PieceColor(oldSq) != side) continue;
        for (int to = 1; to <= 64; ++to)
            if (IsLegalMoveAfterRepetitionCheck(oldSq, static_cast<Square>(to))) return true;
    }
    return false;
}

bool TChessBoard::IsThreefoldRepetition() const {
    return history_.CountEarlierRepeats(currentMove_, whiteToMove_ ? 0 : 1) >= 2;
}

bool TChessBoard::NoMatingMaterial() const {
    int white = 0;
    int black = 0;
    for (int i = 1; i <= 64; ++i) {
        const char c = board_[i];
        if (c >= 'A' && c <= 'Z') white += MaterialPoints(c);
        if (c >= 'a' && c <= 'z') black += MaterialPoints(c);
    }
    return white < 5 && black < 5;
}

void TChessBoard::FinishMove(Square oldSq, Square newSq) {
    const bool inCheck = WhiteKingAttacked(newSq, newSq) || BlackKingAttacked(newSq, newSq);
    const bool hasReply = HasLegalMove();

    bool drawn = false;
    if (inCheck) {
        Fire(OnCheck, this, oldSq, newSq);
        if (!hasReply && OnMate) {
            gameEnded_ = true;
            Fire(OnMate, this, oldSq, newSq);
        }
    } else if (!hasReply) {
        Fire(OnStaleMate, this, oldSq, newSq);
        drawn = true;
    }

    if (NoMatingMaterial()) {
        Fire(OnNoMatingMaterial, this);
        drawn = true;
    }

    if (MoveInfo* after = history_.Record(currentMove_, whiteToMove_ ? 0 : 1)) RecordPosition(*after);

    if (IsThreefoldRepetition()) {
        Fire(OnThreefoldPosition, this);
        drawn = true;
    }

    if (drawn && OnDraw) {
        gameEnded_ = true;
        Fire(OnDraw, this);
    }
    Fire(OnPaint, this);
}

} // namespace zelkor

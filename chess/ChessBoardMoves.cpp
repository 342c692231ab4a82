// Carrying out a move: the pieces, promotion, en passant, the castling rook,
// the rights, the record of the game, and the events in their fixed order.

#include "chess/ChessBoard.h"

namespace zelkor {

bool TChessBoard::PlayMove(Square oldSq, Square newSq) {
    StopThinking();
    const bool result = ExecuteMove(oldSq, newSq);
    engineStopped_ = false;
    StartThinking();
    return result;
}

void TChessBoard::RecordPosition(MoveInfo& entry) const {
    std::copy(board_.begin() + 1, board_.end(), entry.PositionText.begin());
    entry.Castling = castlingAllowed_;
    entry.EnPassantSq = enPassant_;
}

void TChessBoard::PromotePawn(Square sq) {
    PromoteOn(sq);
    WakeIdleEngine();
}

void TChessBoard::PromoteOn(Square sq) {
    if (!IsBoardSquare(sq)) return;
    if (RankOf(sq) == 8)
        SetSquare(sq, ToUpperLetter(promotionPiece_));
    else if (RankOf(sq) == 1)
        SetSquare(sq, ToLowerLetter(promotionPiece_));
    PositionChanged();
    view_->DrawSquare(sq, PieceAt(sq));
}

bool TChessBoard::ExecuteMove(Square oldSq, Square newSq) {
    gameEnded_ = false;
    if (!IsLegalMove(oldSq, newSq)) return false;

    // Everything the later steps need is decided on the board before the move.
    const Square enPassantVictim = EnPassantVictim(oldSq, newSq);

    if (MoveInfo* before = history_.Record(currentMove_, whiteToMove_ ? 0 : 1)) {
        RecordPosition(*before);
        before->FromSq = oldSq;
        before->ToSq = newSq;
    }

    view_->DrawSquare(oldSq, Blank);
    if (animateMoves_ && (oldSq != dragSource_ || newSq != dragTarget_))
        view_->AnimateMove(oldSq, newSq, animationDelay_);

    PositionChanged();
    const char captured = PieceAt(newSq);
    SetSquare(newSq, PieceAt(oldSq));
    SetSquare(oldSq, Blank);
    view_->DrawSquare(newSq, PieceAt(newSq));

    if (!whiteToMove_) ++currentMove_;
    whiteToMove_ = !whiteToMove_;

    Fire(OnLegalMove, this, oldSq, newSq);
    if (captured != Blank) Fire(OnCapture, this, oldSq, newSq, captured);

    const char moved = PieceAt(newSq);
    if ((moved == 'P' || moved == 'p') && (RankOf(newSq) == 8 || RankOf(newSq) == 1)) {
        Fire(OnPromotion, this, oldSq, newSq, promotionPiece_);
        PromoteOn(newSq);
    }

    if (enPassantVictim != Square::None) {
        Fire(OnCapture, this, oldSq, newSq, PieceAt(enPassantVictim));
        SetSquare(enPassantVictim, Blank);
        view_->DrawSquare(enPassantVictim, Blank);
    }

    const char now = PieceAt(newSq);
    if ((now == 'P' && RankOf(oldSq) == 2 && RankOf(newSq) == 4) ||
        (now == 'p' && RankOf(oldSq) == 7 && RankOf(newSq) == 5))
        enPassant_ = static_cast<Square>((SquareIndex(oldSq) + SquareIndex(newSq)) / 2);
    else
        enPassant_ = Square::None;

    Square rookFrom = Square::None;
    Square rookTo = Square::None;
    if (now == 'K' && oldSq == Square::E1) {
        if (newSq == Square::G1) rookFrom = Square::H1, rookTo = Square::F1;
        if (newSq == Square::C1) rookFrom = Square::A1, rookTo = Square::D1;
    } else if (now == 'k' && oldSq == Square::E8) {
        if (newSq == Square::G8) rookFrom = Square::H8, rookTo = Square::F8;
        if (newSq == Square::C8) rookFrom = Square::A8, rookTo = Square::D8;
    }
    if (rookFrom != Square::None) {
        SetSquare(rookTo, now == 'K' ? 'R' : 'r');
        SetSquare(rookFrom, Blank);
        view_->DrawSquare(rookTo, PieceAt(rookTo));
        view_->DrawSquare(rookFrom, Blank);
        Fire(OnCastle, this, oldSq, newSq);
    }

    switch (oldSq) {
    case Square::A1: castlingAllowed_.Exclude(CanStillCastle::WhiteQueenSide); break;
    case Square::E1:
        castlingAllowed_.Exclude(CanStillCastle::WhiteQueenSide).Exclude(CanStillCastle::WhiteKingSide);
        break;
    case Square::H1: castlingAllowed_.Exclude(CanStillCastle::WhiteKingSide); break;
    case Square::A8: castlingAllowed_.Exclude(CanStillCastle::BlackQueenSide); break;
    case Square::E8:
        castlingAllowed_.Exclude(CanStillCastle::BlackQueenSide).Exclude(CanStillCastle::BlackKingSide);
        break;
    case Square::H8: castlingAllowed_.Exclude(CanStillCastle::BlackKingSide); break;
    default: break;
    }
    // A capture on a corner takes the right of the rook that stood there:
    // another rook that comes to the corner later has moved.
    if (captured != Blank) {
        switch (newSq) {
        case Square::A1: castlingAllowed_.Exclude(CanStillCastle::WhiteQueenSide); break;
        case Square::H1: castlingAllowed_.Exclude(CanStillCastle::WhiteKingSide); break;
        case Square::A8: castlingAllowed_.Exclude(CanStillCastle::BlackQueenSide); break;
        case Square::H8: castlingAllowed_.Exclude(CanStillCastle::BlackKingSide); break;
        default: break;
        }
    }

    PositionChanged();
    FinishMove(oldSq, newSq);
    WakeIdleEngine();
    return true;
}

} // namespace zelkor

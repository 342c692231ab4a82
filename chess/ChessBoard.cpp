// The board's state, its properties and the operations that set up a game.

#include "chess/ChessBoard.h"
#include "chess/EngineLink.h"

#include <algorithm>

namespace zelkor {

TChessBoard::TChessBoard() : view_(std::make_unique<TChessBoardView>()) {
    ResetBoard();
    engine_ = std::make_unique<TEngineLink>(*this);
}

std::string TChessBoard::Position() const { return std::string(board_.begin() + 1, board_.end()); }

void TChessBoard::SetPosition(std::string_view text) {
    StopThinking();
    board_.fill(Blank);
    const size_t count = std::min<size_t>(text.size(), 64);
    for (size_t i = 0; i < count && text[i] != '\0'; ++i)
        if (IsPieceAlphabet(text[i])) board_[i + 1] = text[i];

    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](char c) { return ToLowerLetter(c); });
    if (lower == "init" || lower == "newgame") std::copy(InitialPosition.begin(), InitialPosition.end(), board_.begin() + 1);
    PositionChanged();
    Paint();
}

void TChessBoard::SetWhiteToMove(bool value) {
    StopThinking();
    whiteToMove_ = value;
    PositionChanged();
}

void TChessBoard::SetCastlingAllowed(CastleSet value) {
    castlingAllowed_ = value;
    PositionChanged();
    WakeIdleEngine();
}

void TChessBoard::SetEnPassant(Square value) {
    const int v = SquareIndex(value);
    const bool accepted = (v >= SquareIndex(Square::A6) && v <= SquareIndex(Square::H6)) ||
                          (v >= SquareIndex(Square::A3) && v <= SquareIndex(Square::H3));
    if (!accepted) return;
    StopThinking();
    enPassant_ = value;
    PositionChanged();
}

void TChessBoard::SetSquare(Square sq, char piece) {
    if (!IsBoardSquare(sq)) return;
    board_[SquareIndex(sq)] = piece;
}

void TChessBoard::NewGame() {
    ResetBoard();
    Paint();
}

void TChessBoard::ResetBoard() {
    StopThinking();
    board_.fill(Blank);
    std::copy(InitialPosition.begin(), InitialPosition.end(), board_.begin() + 1);
    whiteToMove_ = true;
    currentMove_ = 1;
    enPassant_ = Square::None;
    castlingAllowed_ = AllCastling;
    history_.Reset();
    PositionChanged();
}

void TChessBoard::SetSearchDepth(int value) { searchDepth_ = std::clamp(value, 1, 8); }

void TChessBoard::Paint() {
    if (loading_) return;
    Fire(OnPaint, this);
    view_->Paint();
    if (!painted_) {
        painted_ = true;
        if (engine_) engine_->StartLoop();
    }
}

void TChessBoard::SetView(std::unique_ptr<TChessBoardView> view) {
    view_ = view ? std::move(view) : std::make_unique<TChessBoardView>();
}

} // namespace zelkor

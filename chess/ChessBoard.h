#pragma once
// TChessBoard: one game of chess. It keeps the position, judges and carries
// out every move, detects the end of the game and reports everything
// through its events, in a fixed order after each move. It works without a
// window: the game uses it hidden, as referee, and it owns the engine that
// plays the computer's side.

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "chess/Castling.h"
#include "chess/ChessBoardView.h"
#include "chess/MoveHistory.h"
#include "chess/Piece.h"
#include "chess/Square.h"
#include "platform/Events.h"
#include "platform/ThreadPriority.h"

namespace zelkor {

class TEngineLink;

using TMoveEvent = std::function<void(TObject* Sender, Square oldSq, Square newSq)>;
using TCaptureEvent = std::function<void(TObject* Sender, Square oldSq, Square newSq, char CapturedPiece)>;
using TPromotionEvent = std::function<void(TObject* Sender, Square oldSq, Square newSq, char& NewPiece)>;
using TOneSquareEvent = std::function<void(TObject* Sender, Square sq)>;
using TThinkEvent = std::function<void(TObject* Sender, Square& oldSq, Square& newSq)>;

// The 64 square characters indexed by Square; cell 0 (None) is always blank.
using BoardCells = std::array<char, 65>;

inline constexpr std::string_view InitialPosition =
    "rnbqkbnr"
    "pppppppp"
    "        "
    "        "
    "        "
    "        "
    "PPPPPPPP"
    "RNBQKBNR";

class TChessBoard : public TObject {
public:
    TChessBoard();
    ~TChessBoard() override;

    // ---- Position and game state ------------------------------------------
    // The 64 square characters, A8..H1. Assigning stops the engine, clears
    // the board and places every character of the piece alphabet on its
    // square (others leave it blank); "init" or "newgame" in any case give
    // the starting position. Nothing else changes.
    std::string Position() const;
    void SetPosition(std::string_view text);

    bool WhiteToMove() const { return whiteToMove_; }
    void SetWhiteToMove(bool value);  // stops the engine, then stores
    CastleSet CastlingAllowed() const { return castlingAllowed_; }
    void SetCastlingAllowed(CastleSet value);  // a plain store
    Square EnPassant() const { return enPassant_; }
    void SetEnPassant(Square value);  // only A6..H6 and A3..H3 are taken
    int CurrentMove() const { return currentMove_; }
    void SetCurrentMove(int) {}  // changes only through ResetBoard and moves
    char PromotionPiece() const { return promotionPiece_; }
    void SetPromotionPiece(char value) { promotionPiece_ = value; }
    bool GameEnded() const { return gameEnded_; }
    std::string Version() const { return {}; }
    void SetVersion(std::string_view) {}

    // The 64 square characters indexed by Square (cell 0 is blank).
    const BoardCells& Cells() const { return board_; }
    // The character on sq; a blank for no square.
    char PieceAt(Square sq) const { return IsBoardSquare(sq) ? board_[SquareIndex(sq)] : Blank; }
    // 1 white piece, 0 black piece, -1 empty or no square.
    int PieceColor(Square sq) const { return ColorOfLetter(PieceAt(sq)); }

    // The entry for (moveNumber, side) written since the last ResetBoard,
    // else nullptr. Side 0: White to move, 1: Black to move.
    const MoveInfo* History(int moveNumber, int side) const { return history_.Find(moveNumber, side); }

    void NewGame();     // ResetBoard, then paint
    void ResetBoard();  // starting position, White to move, move 1, all rights

    // ---- Moves --------------------------------------------------------------
    // The human's move: stops the engine, executes, lets the engine go on.
    bool PlayMove(Square oldSq, Square newSq);
    // Checks, carries out and records one move and fires the events; false
    // and no change when the move is illegal.
    bool ExecuteMove(Square oldSq, Square newSq);
    bool IsLegalMove(Square oldSq, Square newSq) const;

    bool PawnMoveOk(Square oldSq, Square newSq) const;
    bool KnightMoveOk(Square oldSq, Square newSq) const;
    bool BishopMoveOk(Square oldSq, Square newSq) const;
    bool RookMoveOk(Square oldSq, Square newSq) const;
    bool QueenMoveOk(Square oldSq, Square newSq) const;
    bool KingMoveOk(Square oldSq, Square newSq) const;

    // Whether that king stands attacked once the piece on oldSq has moved to
    // newSq (judged on a copy). With no black king on the board
    // BlackKingAttacked answers true; with no white king WhiteKingAttacked
    // answers false.
    bool WhiteKingAttacked(Square oldSq, Square newSq) const;
    bool BlackKingAttacked(Square oldSq, Square newSq) const;

    // The pawn on sq becomes PromotionPiece: upper case on rank 8, lower
    // case on rank 1; elsewhere nothing changes.
    void PromotePawn(Square sq);

    // ---- Game end -------------------------------------------------------------
    bool HasLegalMove() const;
    // The current position has been recorded at least twice before in this
    // game; no move is legal then.
    bool IsThreefoldRepetition() const;

    // ---- Engine -----------------------------------------------------------------
    bool ComputerPlaysWhite() const { return computerPlaysWhite_; }
    void SetComputerPlaysWhite(bool value);
    bool ComputerPlaysBlack() const { return computerPlaysBlack_; }
    void SetComputerPlaysBlack(bool value);
    int SearchDepth() const { return searchDepth_; }
    void SetSearchDepth(int value);  // clamped to 1..8
    TThreadPriority ThinkingPriority() const { return thinkingPriority_; }
    void SetThinkingPriority(TThreadPriority value);
    bool CustomEngine() const { return customEngine_; }
    void SetCustomEngine(bool value) { customEngine_ = value; }
    // True while the engine searches.
    bool Thinking() const;
    bool EngineStopped() const { return engineStopped_; }
    // Cycles the worker has run (a worker with nothing to search runs none).
    uint64_t EngineCycles() const;

    // Halts the engine before the board changes: asks a running search to
    // stop and waits, running the worker's main-thread calls, until the
    // worker is parked. After a mate or draw, and inside the worker's own
    // delivery of its move, it does not wait (the worker parks at the end of
    // its cycle).
    void StopThinking();
    // Lets the engine look at the board again; with CustomEngine, asks
    // OnCalculateMove for the computer's move.
    void StartThinking();

    // While loading, StartThinking and Paint do nothing: an owner sets up the
    // stored property values between SetLoading(true) and SetLoading(false).
    bool Loading() const { return loading_; }
    void SetLoading(bool value) { loading_ = value; }

    // ---- View ---------------------------------------------------------------------
    // Full repaint: fires OnPaint, paints the view; the first paint starts
    // the engine.
    void Paint();
    bool Painted() const { return painted_; }
    bool AnimateMoves() const { return animateMoves_; }
    void SetAnimateMoves(bool value) { animateMoves_ = value; }
    int AnimationDelay() const { return animationDelay_; }
    void SetAnimationDelay(int value) { animationDelay_ = value; }
    Square DragSource() const { return dragSource_; }
    Square DragTarget() const { return dragTarget_; }
    // Set by a view's drag and drop: the move made by a drop is not animated.
    void SetDragSquares(Square source, Square target) {
        dragSource_ = source;
        dragTarget_ = target;
    }
    // Replaces the view (the default one shows nothing); nullptr restores it.
    void SetView(std::unique_ptr<TChessBoardView> view);
    TChessBoardView& View() { return *view_; }

    // ---- Events ---------------------------------------------------------------------
    TMoveEvent OnLegalMove;
    TCaptureEvent OnCapture;
    TPromotionEvent OnPromotion;
    TMoveEvent OnCastle;
    TMoveEvent OnCheck;
    TMoveEvent OnMate;
    TMoveEvent OnStaleMate;
    TNotifyEvent OnNoMatingMaterial;
    TNotifyEvent OnThreefoldPosition;
    TNotifyEvent OnDraw;
    TNotifyEvent OnPaint;
    TOneSquareEvent OnIllegalMove;
    TThinkEvent OnCalculateMove;
    TMoveEvent OnCalculationFailed;

private:
    bool IsLegalMoveAfterRepetitionCheck(Square oldSq, Square newSq) const;
    bool CastlingOk(Square oldSq, Square newSq) const;
    // The square of the pawn that oldSq -> newSq takes en passant, or None
    // when the move is no en-passant capture.
    Square EnPassantVictim(Square oldSq, Square newSq) const;
    bool SlideReaches(Square oldSq, Square newSq, const int (*dirs)[2], int dirCount) const;
    void RecordPosition(MoveInfo& entry) const;
    void FinishMove(Square oldSq, Square newSq);
    bool NoMatingMaterial() const;
    void SetSquare(Square sq, char piece);
    // PromotePawn without waking the engine (a move in progress).
    void PromoteOn(Square sq);
    // Every change of the position, side, rights or en-passant square.
    void PositionChanged() { ++positionVersion_; }

    // The engine hand-off (TEngineLink) reads the position and the engine
    // properties, and plays the engine's moves.
    friend class TEngineLink;
    // After a change that can make it the computer's turn without a
    // StartThinking: wakes a worker that sleeps for want of work.
    void WakeIdleEngine();
    bool HasLegalMoveCached();

    BoardCells board_{};
    bool whiteToMove_ = true;
    CastleSet castlingAllowed_ = AllCastling;
    Square enPassant_ = Square::None;
    int currentMove_ = 1;
    char promotionPiece_ = 'q';
    bool gameEnded_ = false;
    TMoveHistory history_;

    bool computerPlaysWhite_ = false;
    bool computerPlaysBlack_ = false;
    int searchDepth_ = 1;
    TThreadPriority thinkingPriority_ = TThreadPriority::tpNormal;
    bool customEngine_ = false;
    bool engineStopped_ = false;
    bool loading_ = false;
    uint64_t positionVersion_ = 0;
    uint64_t legalMoveVersion_ = ~uint64_t{0};
    bool legalMoveCache_ = true;
    // Null only while the board is being destroyed.
    std::unique_ptr<TEngineLink> engine_;

    bool painted_ = false;
    bool animateMoves_ = true;
    int animationDelay_ = 0;
    Square dragSource_ = Square::None;
    Square dragTarget_ = Square::None;
    std::unique_ptr<TChessBoardView> view_;
};

} // namespace zelkor

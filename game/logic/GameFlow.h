#pragma once
// The game's flow on the scene's side: the logic tick with its animations,
// the player's and the engine's moves through the hidden board component,
// promotion, the end of a game, a new game and the two clocks. It changes
// only the scene's state, the board component and the clock timer; sounds
// go out through OnPlaySound. Nothing here draws or needs a window.

#include <functional>

#include "chess/ChessBoard.h"
#include "game/geometry/BoardGeometry.h"
#include "game/logic/Records.h"
#include "platform/WindowTimer.h"

namespace zelkor::game {

class TGameFlow {
public:
    // `clock` is the one-second game clock timer (its OnTimer is set here).
    TGameFlow(TSceneState& state, TChessBoard& board, TWindowTimer& clock);
    TGameFlow(const TGameFlow&) = delete;
    TGameFlow& operator=(const TGameFlow&) = delete;

    // PlaySound(n), n = 1..8; empty: silent.
    std::function<void(int)> OnPlaySound;

    // Makes this the board's event handlers; Detach takes every one of them
    // away again, so that nothing the board reports reaches this flow.
    void AttachBoardEvents();
    void DetachBoardEvents();

    // One logic tick (60 a second): ring, pulse, zoom, glide and arrival.
    void TimerProcess();
    // One second of the clock of the side to move.
    void Timer1Timer();

    // A new game: the starting position on both boards, the engine on the
    // side the player did not take, clocks at zero, any glide stopped.
    void ResetGame();
    // The player's click on a destination with a piece selected: glides the
    // piece when the board says the move is legal, else does nothing.
    void StartPlayerMove(int from, int to);
    // The player's choice of promotion piece: 2 knight .. 5 queen.
    void CompletePromotion(int choice);

    // The glide from (FromX, FromY) to (ToX, ToY), 5 pixels a tick along
    // the longer axis; pauses the clocks.
    void StartMoveAnimation();

    // The shift of the 3D board for the current location.
    TScreenPoint BoardOffset() const;
    // The screen centre of a square on the 3D board (square 1..64).
    TScreenPoint CenterOf(int square) const;

    // Handlers of the board's events.
    void ChessBoard1LegalMove(Square oldSq, Square newSq);
    void ChessBoard1Promotion(Square oldSq, Square newSq, char& newPiece);
    void ChessBoard1Mate();
    void ChessBoard1StaleMate();
    void ChessBoard1NoMatingMaterial();
    void ChessBoard1ThreefoldPosition();
    void ChessBoard1Draw();
    void ChessBoard1Capture();
    void ChessBoard1Check();

private:
    void PlaySound(int n);
    void AdvanceRing();
    void AdvancePulse();
    void DecayZoom();
    // Takes the moving piece off square `from` and starts its glide to `to`.
    void LiftAndGlide(int from, int to);
    // One glide step; true when the piece has arrived.
    bool GlideStep();
    void Arrive();
    // Steps 7 and 8 of an arrival: hand the player's move to the board, or
    // give the turn back to the player.
    void PassTurn();
    void EndGame();

    TSceneState& s_;
    TChessBoard& board_;
    TWindowTimer& clock_;
};

} // namespace zelkor::game

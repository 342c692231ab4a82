#pragma once
// The scene's state with the board, the clock and the game logic that joins
// them, as the game wires them, with the default options. The engine is
// stopped before they go.

#include "chess/ChessBoard.h"
#include "game/logic/GameFlow.h"
#include "game/logic/Records.h"
#include "platform/WindowTimer.h"

namespace zelkor::game {

struct TGameParts {
    TGameParts() { SetDefaultOptions(s); }
    ~TGameParts() { board.StopThinking(); }
    TGameParts(const TGameParts&) = delete;
    TGameParts& operator=(const TGameParts&) = delete;

    // A new game in which the engine stays out: both sides are played by hand.
    void NewGameWithoutEngine() {
        flow.ResetGame();
        board.SetComputerPlaysBlack(false);
        board.SetComputerPlaysWhite(false);
    }

    TSceneState s;
    TChessBoard board;
    TWindowTimer clock;
    TGameFlow flow{s, board, clock};
};

} // namespace zelkor::game

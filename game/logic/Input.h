#pragma once
// The scene's input: pointer movement records where the pointer is and
// what lies under it (a square, a side button, a promotion choice, a
// window item); a click acts on what the last movement found; keys act by
// screen. Positions are in scene pixels (1024 x 768).

#include <functional>

#include "game/logic/GameFlow.h"
#include "game/logic/Records.h"
#include "game/logic/Windows.h"

namespace zelkor::game {

// The square under a scene point on the visible board: the classic board
// when shown, else the 3D board; 0 for none.
int SquareUnderMouse(const TSceneState& state, int x, int y);
// The side button (1..7) under a point, 0 for none.
int SideButtonAt(int x, int y);
// The promotion choice (2 knight .. 5 queen) under a point, 0 for none.
int PromotionChoiceAt(int x, int y);

class TSceneInput {
public:
    TSceneInput(TSceneState& state, TGameFlow& flow, TSceneWindows& windows);
    TSceneInput(const TSceneInput&) = delete;
    TSceneInput& operator=(const TSceneInput&) = delete;

    // Effect n (1..8); empty: silent.
    std::function<void(int)> OnPlaySound;

    void FormMouseMove(int x, int y);
    void FormMouseDown(int x, int y);
    // Escape is 27; digits are their characters.
    void FormKeyPress(char key);

private:
    void ClickOnBoard(int x, int y);
    void SideButtonAction();

    TSceneState& s_;
    TGameFlow& flow_;
    TSceneWindows& windows_;
};

} // namespace zelkor::game

#pragma once
// The drawing of the scene's windows, over whatever screen is shown: the
// main menu, the quit confirmation, the options list, the help bar and the
// end-of-game window. Called once per frame by the scene's drawing.

#include <array>
#include <string_view>

#include "game/Graph.h"
#include "game/logic/Records.h"
#include "render/Gfx2D.h"

namespace zelkor::game {

class TWindowsView {
public:
    TWindowsView(const TSceneState& state, TGraph& graph, TGfxCanvas& canvas);

    // The open window; nothing when none is open.
    void Draw();

private:
    void DrawMainMenu();
    void DrawQuitConfirm();
    void DrawOptions();
    void DrawHelpBar();
    void DrawGameMenu();
    // A row of buttons at (left + 100 (i - 1), top), 98 x 30, labels 4 px in.
    template <size_t N>
    void DrawButtons(const std::array<std::string_view, N>& labels, int left, int top);

    const TSceneState& s_;
    TGraph& graph_;
    TGfxCanvas& canvas_;
};

} // namespace zelkor::game

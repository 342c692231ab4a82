#pragma once
// The scene's drawing: every screen of the game drawn from the scene's
// state, once per frame, through the canvas, the images and the fonts.

#include <functional>
#include <string_view>

#include "render/GfxFonts.h"
#include "render/GfxImages.h"
#include "game/geometry/BoardGeometry.h"
#include "game/logic/Records.h"
#include "render/Gfx2D.h"

namespace zelkor::game {

class TGraph {
public:
    TGraph(const TSceneState& state, TGfxCanvas& canvas, TGfxImages& images, TGfxFonts& fonts);

    // Draws the open window (main menu, options, ...) over the screen; empty: none.
    std::function<void()> OnDrawWindow;

    // The whole frame for the screen mode: its own picture, the open
    // window, the promotion picker and the cursor.
    void DeviceRender();

    // Text of font `font` drawn twice: `shadow` one pixel right and below,
    // then `color` at (x, y). Nothing when the font is missing.
    void ShadowText(int font, std::string_view text, int x, int y, uint32_t shadow, uint32_t color);
    // One pass of text in a single colour.
    void Text(int font, std::string_view text, double x, double y, uint32_t top, uint32_t bottom);
    const TGfxImage* Image(std::string_view name) const { return images_.Image(name); }

private:
    void DrawTitle();
    void DrawHelp();
    void DrawGame();
    void DrawClocks();
    void DrawBoard();
    void DrawMarker(int square, bool bright);
    void DrawPieceOn(int square, PieceCode code);
    void DrawGlide();
    void DrawSelectionBox();
    void DrawClassicBoard();
    void DrawSideButtons();
    void DrawPromotionPicker();
    TScreenPoint BoardOffset() const;

    const TSceneState& s_;
    TGfxCanvas& canvas_;
    TGfxImages& images_;
    TGfxFonts& fonts_;
};

} // namespace zelkor::game

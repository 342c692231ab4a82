#include "game/Graph.h"

#include <cmath>

namespace zelkor::game {

namespace {

const char* const kLegend[11] = {"Black pieces at the bottom", "White pieces at the bottom", "Increase zelkor pieces size",
                                 "Decrease zelkor pieces size", "Hidden classic board", "Show classic board",
                                 "Increase classic board size", "Decrease classic board size", "", "", "Exit"};

} // namespace

TGraph::TGraph(const TSceneState& state, TGfxCanvas& canvas, TGfxImages& images, TGfxFonts& fonts)
    : s_(state), canvas_(canvas), images_(images), fonts_(fonts) {}

void TGraph::Text(int font, std::string_view text, double x, double y, uint32_t top, uint32_t bottom) {
    if (TGfxFont* f = fonts_.Font(font)) f->TextOut(text, x, y, top, bottom, fxBlend);
}

void TGraph::ShadowText(int font, std::string_view text, int x, int y, uint32_t shadow, uint32_t color) {
    Text(font, text, x + 1, y + 1, shadow, shadow);
    Text(font, text, x, y, color, color);
}

TScreenPoint TGraph::BoardOffset() const { return game::BoardOffset(s_.Record, s_.Options.Location); }

void TGraph::DeviceRender() {
    switch (s_.Screen) {
    case ScreenMode::Menu: DrawTitle(); break;
    case ScreenMode::Game: DrawGame(); break;
    case ScreenMode::Help: DrawHelp(); break;
    case ScreenMode::Startup: break;
    }
    if (OnDrawWindow) OnDrawWindow();
    if (s_.State == GameState::ChoosePromotion) DrawPromotionPicker();
    canvas_.Draw(Image("cursor"), s_.MouseX, s_.MouseY, 0, fxBlend);
}

// ---- Title and help ----

void TGraph::DrawTitle() {
    canvas_.Draw(Image("ground"), 0, 0, 0, fxCopy);
    // The ring's points are set by the first tick.
    if (s_.RingX[0] == 0 || s_.RingY[0] == 0) return;
    for (int i = 1; i <= 12; ++i)
        canvas_.DrawScaled(Image("piece_1"), s_.RingX[size_t(i - 1)], s_.RingY[size_t(i - 1)], 0.5, i <= 6 ? i + 5 : i - 1, fxAdd);
}

void TGraph::DrawHelp() {
    canvas_.Draw(Image("ground"), 0, 0, 1, fxCopy);
    for (int r = 0; r <= 8; ++r) {
        const int k = r < 8 ? r : 10;
        canvas_.Draw(Image("button"), 62, 122 + 60 * r, k, fxBlend);
        ShadowText(2, kLegend[k], 130, 132 + 60 * r, 0xFF000000, 0xFFDEDEDE);
    }
}

// ---- The game ----

void TGraph::DrawGame() {
    canvas_.Draw(Image("ground"), 0, 0, s_.Options.Location == 2 ? 3 : 2, fxCopy);
    DrawClocks();
    ShadowText(2, StatusText(s_), 17, 726, 0xFF333333, 0xFF00FFFF);
    DrawBoard();
    if (s_.Move.Animating) DrawGlide();
    if (s_.SelectedPiece != 0) DrawSelectionBox();
    if (s_.Options.ClassicBoard == 2 || s_.Options.ClassicBoard == 3) DrawClassicBoard();
    DrawSideButtons();
}

void TGraph::DrawClocks() {
    canvas_.Draw(Image("timer"), 664, 713, 0, fxBlend);
    ShadowText(2, FormatClock(s_.Record.WhiteSeconds), 720, 726, 0xFF333333, 0xFFFEFEFE);
    canvas_.Draw(Image("timer"), 844, 713, 1, fxBlend);
    ShadowText(2, FormatClock(s_.Record.BlackSeconds), 900, 726, 0xFF333333, 0xFFFEFEFE);
}

void TGraph::DrawBoard() {
    if (s_.State == GameState::YourMove) {
        if (s_.SelectedSquare != 0) DrawMarker(s_.SelectedSquare, true);
        if (s_.HoverSquare > 0 && s_.HoverSquare != s_.SelectedSquare) DrawMarker(s_.HoverSquare, false);
    }
    // Back rows first, so that nearer pieces cover farther ones.
    for (int square = 1; square <= 64; ++square)
        if (const PieceCode code = s_.Record.At(square)) DrawPieceOn(square, code);
}

void TGraph::DrawMarker(int square, bool bright) {
    if (square < 1 || square > 64) return;
    const int n = bright ? s_.Pulse : 10;
    const uint32_t inner = bright ? 0xFF00FFFF : 0xFFFFFFFF;
    const uint32_t outer = bright ? 0xFF333333 : 0xFFBBBBBB;
    const TSquareQuad& quad = SquareQuads[size_t(square - 1)];
    const int h = RoundToEven(PerspectiveScale(quad[0].Y, s_.PieceScale) * n);
    const TScreenPoint offset = BoardOffset();
    for (int j = 1; j <= h; ++j)
        for (const TScreenPoint& corner : quad) {
            const float cx = float(corner.X + offset.X), cy = float(corner.Y + offset.Y);
            canvas_.PutPixel(cx, cy - float(j) - 1, inner, fxCopy);
            canvas_.PutPixel(cx, cy - float(j) + 1, outer, fxCopy);
            canvas_.PutPixel(cx, cy - float(j), inner, fxCopy);
            canvas_.PutPixel(cx + 1, cy - float(j), outer, fxCopy);
            canvas_.PutPixel(cx - 1, cy - float(j), inner, fxCopy);
        }
}

void TGraph::DrawPieceOn(int square, PieceCode code) {
    const TScreenPoint c = SquareCenter(static_cast<Square>(square), BoardOffset());
    const double scale = PerspectiveScale(c.Y, s_.PieceScale);
    const TPieceAnchor anchor = PieceAnchor(code);
    canvas_.DrawScaled(Image("zelkor_piece_2"), c.X - RoundToEven(scale * anchor.X), c.Y - RoundToEven(scale * anchor.Y), scale,
                       PiecePattern(code), fxBlend);
}

void TGraph::DrawGlide() {
    const TMoveAnimation& m = s_.Move;
    const double scale = PerspectiveScale(m.DrawY, s_.PieceScale);
    const TPieceAnchor anchor = PieceAnchor(s_.MovingPiece);
    canvas_.DrawScaled(Image("zelkor_piece_2"), m.DrawX - RoundToEven(anchor.X * scale), m.DrawY - RoundToEven(anchor.Y * scale), scale,
                       PiecePattern(s_.MovingPiece), fxAdd);
}

void TGraph::DrawSelectionBox() {
    const PieceCode piece = s_.SelectedPiece;
    const int p = PiecePattern(piece);
    const TPieceAnchor anchor = PieceAnchor(piece);
    canvas_.DrawScaled(Image("zelkor_piece_1"), 834 - RoundToEven(anchor.X * 3.33), 632 - RoundToEven(anchor.Y * 3.33), s_.PreviewZoom, p,
                       fxBlend);
    canvas_.FillRect(630, 10, 90, 90, 0xFF202020, fxSub);
    canvas_.DrawScaled(Image("piece_1"), 631, 11, 1.0, p, piece < 0 ? fxAdd : fxShadow);
    canvas_.DrawScaled(Image("piece_1"), 630, 10, 1.0, p, fxBlend);
    if (piece > 0)
        ShadowText(2, PieceName(piece), 730, 18, 0xFF000000, 0xFFDEDEDE);
    else
        ShadowText(2, PieceName(piece), 730, 18, 0xFFDEDEDE, 0xFF222222);
}

void TGraph::DrawClassicBoard() {
    const double f = s_.ClassicScale / 100.0;
    const bool marble = s_.Options.ClassicBoard == 3;
    const bool blackBelow = s_.Options.BottomSide == 1;
    const int pattern = (marble ? 2 : 0) + (blackBelow ? 1 : 0);
    canvas_.DrawScaled(Image("classic"), 10, 64, f, pattern, fxBlend);
    for (int i = 1; i <= 64; ++i) {
        const TScreenRect r = ClassicSquareRect(i, s_.ClassicScale, blackBelow);
        if (i == s_.SelectedSquare) canvas_.FillRect(r.X, r.Y, r.Size, r.Size, 0xFFFFFFFF, fxCopy);
        if (const PieceCode code = s_.Record.At(i)) canvas_.DrawScaled(Image("piece_2"), r.X, r.Y, f, PiecePattern(code), fxBlend);
    }
}

void TGraph::DrawSideButtons() {
    if (s_.HoverButton > 0) canvas_.FillRect(50 * (s_.HoverButton - 1) + 11, 11, 42, 41, 0xFF00FFFF, fxCopy);
    const int patterns[7] = {s_.Options.BottomSide == 1 ? 1 : 0, 2, 3, s_.Options.ClassicBoard == 1 ? 5 : 4, 6, 7, 10};
    for (int i = 0; i < 7; ++i) canvas_.Draw(Image("button"), 10 + 50 * i, 10, patterns[i], fxBlend);
}

void TGraph::DrawPromotionPicker() {
    for (int i = 2; i <= 5; ++i) {
        const int y = 281 + 100 * (i - 2);
        if (i == s_.HoverPromotion)
            canvas_.FillRect(630, y, 90, 90, 0xFFFEFEFE, fxBlend);
        else
            canvas_.FillRect(630, y, 90, 90, 0xFF111111, fxSub);
        canvas_.DrawScaled(Image("piece_1"), 630, y, 1.0, s_.Record.SideToMove == 1 ? i - 1 : i + 5, fxBlend);
    }
}

} // namespace zelkor::game

#include "game/logic/Input.h"

#include <cmath>

#include "game/geometry/BoardGeometry.h"

namespace zelkor::game {

int SquareUnderMouse(const TSceneState& s, int x, int y) {
    if (s.Options.ClassicBoard == 1) {
        const Square square = SquareAtScreenPoint(x, y, BoardOffset(s.Record, s.Options.Location));
        return square == Square::None ? 0 : SquareIndex(square);
    }
    // The flat board, laid out as it is drawn; where rounding makes two
    // squares share a pixel row the lower-numbered one wins.
    const bool blackBelow = s.Options.BottomSide == 1;
    int found = 0;
    for (int i = 64; i >= 1; --i) {
        const TScreenRect r = ClassicSquareRect(i, s.ClassicScale, blackBelow);
        if (r.X < x && x < r.X + r.Size && r.Y < y && y < r.Y + r.Size) found = i;
    }
    return found;
}

int SideButtonAt(int x, int y) {
    int found = 0;
    // Two more boxes than buttons: the strip to the right of the last one is inert.
    for (int i = 1; i <= 9; ++i)
        if (x >= 10 + 50 * (i - 1) && x <= 54 + 50 * (i - 1) && y >= 10 && y <= 53) found = i;
    return found > 7 ? 0 : found;
}

int PromotionChoiceAt(int x, int y) {
    for (int i = 2; i <= 5; ++i)
        if (630 < x && x < 720 && 281 + 100 * (i - 2) < y && y < 371 + 100 * (i - 2)) return i;
    return 0;
}

TSceneInput::TSceneInput(TSceneState& state, TGameFlow& flow, TSceneWindows& windows)
    : s_(state), flow_(flow), windows_(windows) {}

void TSceneInput::FormMouseMove(int x, int y) {
    s_.MouseX = x;
    s_.MouseY = y;
    if (s_.Screen == ScreenMode::Game && s_.Window == OpenWindow::NoWindow) {
        if (s_.State == GameState::ChoosePromotion) {
            s_.HoverPromotion = PromotionChoiceAt(x, y);
        } else {
            if (s_.State != GameState::GameOver) s_.HoverSquare = SquareUnderMouse(s_, x, y);
            s_.HoverButton = SideButtonAt(x, y);
        }
    }
    windows_.HoverTest(x, y);
}

void TSceneInput::FormMouseDown(int x, int y) {
    s_.MouseX = x;
    s_.MouseY = y;
    if (s_.Screen == ScreenMode::Game && s_.Window == OpenWindow::NoWindow) {
        if (s_.State == GameState::ChoosePromotion) {
            if (s_.HoverPromotion > 0) flow_.CompletePromotion(s_.HoverPromotion);
        } else {
            // While a piece glides (the engine's first move when the player
            // has Black) the board takes no click: a second glide would
            // replace the first and its piece would never land.
            if (s_.State == GameState::YourMove && !s_.Move.Animating) ClickOnBoard(x, y);
            SideButtonAction();
        }
    }
    windows_.Click();
}

void TSceneInput::ClickOnBoard(int x, int y) {
    const int square = SquareUnderMouse(s_, x, y);
    s_.HoverSquare = square;
    if (square <= 0) return;
    const PieceCode old = s_.SelectedPiece;
    s_.SelectedPiece = s_.Record.At(square);
    if (s_.SelectedPiece * s_.Record.SideToMove > 0) {
        s_.SelectedSquare = square;
        s_.PreviewZoom = 6.0;
        if (OnPlaySound) OnPlaySound(3);
    } else {
        s_.SelectedPiece = old;
        if (s_.SelectedSquare > 0) flow_.StartPlayerMove(s_.SelectedSquare, square);
    }
}

void TSceneInput::SideButtonAction() {
    TGameOptions& o = s_.Options;
    switch (s_.HoverButton) {
    case 1: o.BottomSide = o.BottomSide == 1 ? 2 : 1; break;
    case 2:
        if (s_.PieceScale < 1.0) s_.PieceScale += 0.03;
        break;
    case 3:
        if (s_.PieceScale > 0.3) s_.PieceScale -= 0.03;
        break;
    case 4: o.ClassicBoard = o.ClassicBoard == 1 ? o.LastClassicStyle : 1; break;
    case 5:
        if (s_.ClassicScale < 76) s_.ClassicScale += 7;
        break;
    case 6:
        if (s_.ClassicScale > 27) s_.ClassicScale -= 7;
        break;
    case 7: s_.Window = OpenWindow::GameMenu; break;
    default: break;
    }
}

void TSceneInput::FormKeyPress(char key) {
    switch (s_.Screen) {
    case ScreenMode::Menu:
        if (key == 27) {
            if (s_.Window == OpenWindow::OptionsList)
                windows_.ShowMainMenu();
            else
                windows_.ShowQuitConfirm();
        }
        break;
    case ScreenMode::Game:
        switch (key) {
        case 27: windows_.ShowMainMenu(); break;
        case '1':
            if (s_.PieceScale < 1.0) s_.PieceScale += 0.01;
            break;
        case '2':
            if (s_.PieceScale > 0.3) s_.PieceScale -= 0.01;
            break;
        case '4':
            if (s_.ClassicScale < 76) s_.ClassicScale += 1;
            break;
        case '5':
            if (s_.ClassicScale > 27) s_.ClassicScale -= 1;
            break;
        case '0': flow_.ResetGame(); break;
        default: break;
        }
        break;
    case ScreenMode::Help:
    case ScreenMode::Startup: break;
    }
}

} // namespace zelkor::game

// The scene's input without a window: hit tests of the boards, the side
// buttons and the promotion choices; what movement finds and a click does;
// the keys by screen.

#include <gtest/gtest.h>

#include "game/logic/Input.h"
#include "tests/chess/BoardFixture.h"
#include "tests/game/GameParts.h"

using namespace zelkor;
using namespace zelkor::game;
using namespace zelkor::testing_support;

namespace {

int N(std::string_view name) { return SquareIndex(SquareFromName(name)); }

class InputTest : public ::testing::Test, protected TGameParts {
protected:
    void SetUp() override {
        // The engine stays out: these tests are about the player's side.
        NewGameWithoutEngine();
        s.Screen = ScreenMode::Game;
        s.Window = OpenWindow::NoWindow;
        input.OnPlaySound = [this](int n) { sounds.push_back(n); };
        windows.OnPlayMusic = [this](Theme t) { music.push_back(t); };
    }
    // The engine stops before the listeners below go.
    void TearDown() override { board.StopThinking(); }

    // A movement to the point, then a click there.
    void ClickAt(int x, int y) {
        input.FormMouseMove(x, y);
        input.FormMouseDown(x, y);
    }
    void ClickSquare(std::string_view name) {
        const TScreenPoint c = flow.CenterOf(N(name));
        ClickAt(c.X, c.Y);
    }
    void ClickSideButton(int i) { ClickAt(30 + 50 * (i - 1), 30); }

    TSceneWindows windows{s, flow, board, clock};
    TSceneInput input{s, flow, windows};
    std::vector<int> sounds;
    std::vector<Theme> music;
};

} // namespace

TEST(InputHitTests, SideButtonsHaveInclusiveBoxesAndTheStripAfterTheLastIsInert) {
    struct Case {
        int X, Y, Button;
    } cases[] = {
        {10, 10, 1}, {54, 53, 1}, {9, 30, 0},    {30, 9, 0},    {30, 54, 0},   {55, 30, 0},  {60, 30, 2},
        {340, 30, 7}, {354, 53, 7}, {355, 30, 0}, {380, 30, 0}, {404, 30, 0},  {430, 30, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(SideButtonAt(c.X, c.Y), c.Button) << c.X << "," << c.Y;
}

TEST(InputHitTests, PromotionChoicesHaveExclusiveBoxes) {
    struct Case {
        int X, Y, Choice;
    } cases[] = {
        {631, 282, 2}, {719, 370, 2}, {630, 300, 0}, {720, 300, 0}, {700, 281, 0},
        {700, 371, 0}, {700, 381, 0}, {700, 382, 3}, {700, 500, 4}, {700, 670, 5}, {700, 671, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(PromotionChoiceAt(c.X, c.Y), c.Choice) << c.X << "," << c.Y;
}

TEST(InputHitTests, EverySquaresCentreFindsItOnThe3DBoardInBothLocations) {
    TSceneState s;
    SetDefaultOptions(s);
    s.Record.LocationOffsetX = {0, 13};
    s.Record.LocationOffsetY = {0, 73};
    for (int location : {1, 2}) {
        s.Options.Location = location;
        for (int i = 1; i <= 64; ++i) {
            const TScreenPoint c = SquareCenter(static_cast<Square>(i), TScreenPoint{location == 2 ? 13 : 0, location == 2 ? 73 : 0});
            EXPECT_EQ(SquareUnderMouse(s, c.X, c.Y), i) << "location " << location << " square " << i;
        }
        EXPECT_EQ(SquareUnderMouse(s, 5, 5), 0);
    }
}

TEST(InputHitTests, TheClassicBoardIsTestedWhenShownAndTurnsWithBottomSide) {
    TSceneState s;
    SetDefaultOptions(s);
    s.Options.ClassicBoard = 2;
    s.ClassicScale = 27;  // squares of 24 pixels every 24.3: a8's from (21, 75), h1's from (191, 245)
    EXPECT_EQ(SquareUnderMouse(s, 22, 76), N("a8"));
    EXPECT_EQ(SquareUnderMouse(s, 21, 76), 0) << "left bound exclusive";
    EXPECT_EQ(SquareUnderMouse(s, 192, 246), N("h1"));
    EXPECT_EQ(SquareUnderMouse(s, 191, 246), 0) << "rounding leaves a column between g1 and h1";
    s.Options.BottomSide = 1;
    EXPECT_EQ(SquareUnderMouse(s, 22, 76), N("h1"));
    EXPECT_EQ(SquareUnderMouse(s, 192, 246), N("a8"));
    // The 3D board underneath is not tested while the classic board shows.
    const TScreenPoint e4 = SquareCenter(Square::E4, TScreenPoint{0, 0});
    EXPECT_EQ(SquareUnderMouse(s, e4.X, e4.Y), 0);
}

TEST_F(InputTest, PickingAPieceSelectsItAndAClickOnALegalSquareMovesIt) {
    ClickSquare("e7");  // the other side's piece: nothing
    EXPECT_EQ(s.SelectedSquare, 0);
    EXPECT_TRUE(sounds.empty());
    ClickSquare("e2");
    EXPECT_EQ(s.SelectedSquare, N("e2"));
    EXPECT_EQ(s.SelectedPiece, 1);
    EXPECT_EQ(s.PreviewZoom, 6.0);
    EXPECT_EQ(sounds, std::vector<int>{3});
    ClickSquare("d2");  // another own piece moves the selection
    EXPECT_EQ(s.SelectedSquare, N("d2"));
    ClickSquare("d5");  // illegal: nothing happens
    EXPECT_FALSE(s.Move.Animating);
    EXPECT_EQ(s.SelectedSquare, N("d2"));
    ClickSquare("d4");
    EXPECT_TRUE(s.Move.Animating);
    EXPECT_EQ(s.MovingPiece, 1);
    EXPECT_EQ(s.SelectedSquare, 0);
}

// With Black, the engine's first move glides in while the scene already
// waits for the player: a click then must not start a second glide.
TEST_F(InputTest, NoSelectionWhileAPieceGlides) {
    ClickSquare("e2");
    ClickSquare("e4");
    ASSERT_TRUE(s.Move.Animating);
    const int target = s.TargetSquare;
    ClickSquare("d2");
    EXPECT_EQ(s.SelectedSquare, 0);
    EXPECT_EQ(s.TargetSquare, target);
    for (int i = 0; i < 1000 && s.Move.Animating; ++i) flow.TimerProcess();
    EXPECT_EQ(s.Record.At(N("e4")), 1) << "the pawn landed";
}

TEST_F(InputTest, MovesAreMadeOnTheClassicBoardWhenItShows) {
    s.Options.ClassicBoard = 2;
    s.ClassicScale = 27;
    auto at = [](int col, int row) { return std::pair{int(21 + 24.3 * col + 8), int(75 + 24.3 * row + 8)}; };
    auto [x1, y1] = at(4, 6);  // e2
    ClickAt(x1, y1);
    EXPECT_EQ(s.SelectedSquare, N("e2"));
    auto [x2, y2] = at(4, 4);  // e4
    ClickAt(x2, y2);
    EXPECT_TRUE(s.Move.Animating);
    EXPECT_EQ(s.TargetSquare, N("e4"));
}

TEST_F(InputTest, PieceScaleButtonsMayPassTheirBoundsByLessThanAStep) {
    for (int i = 0; i < 14; ++i) ClickSideButton(2);
    EXPECT_NEAR(s.PieceScale, 1.01, 1e-9);
    ClickSideButton(2);
    EXPECT_NEAR(s.PieceScale, 1.01, 1e-9);
    s.PieceScale = 0.59;
    for (int i = 0; i < 10; ++i) ClickSideButton(3);
    EXPECT_NEAR(s.PieceScale, 0.29, 1e-9);
    ClickSideButton(3);
    EXPECT_NEAR(s.PieceScale, 0.29, 1e-9);
}

TEST_F(InputTest, ClassicScaleByButtonsAndKeys) {
    for (int i = 0; i < 8; ++i) ClickSideButton(5);
    EXPECT_EQ(s.ClassicScale, 76);
    input.FormKeyPress('5');
    EXPECT_EQ(s.ClassicScale, 75);
    ClickSideButton(5);
    EXPECT_EQ(s.ClassicScale, 82);
    for (int i = 0; i < 10; ++i) ClickSideButton(6);
    EXPECT_EQ(s.ClassicScale, 26);
    input.FormKeyPress('5');
    EXPECT_EQ(s.ClassicScale, 26);
    input.FormKeyPress('4');
    EXPECT_EQ(s.ClassicScale, 27);
}

TEST_F(InputTest, SideButtonsTurnTheClassicBoardAndShowOrHideIt) {
    ClickSideButton(1);
    EXPECT_EQ(s.Options.BottomSide, 1);
    ClickSideButton(1);
    EXPECT_EQ(s.Options.BottomSide, 2);
    s.Options.LastClassicStyle = 3;
    ClickSideButton(4);
    EXPECT_EQ(s.Options.ClassicBoard, 3);
    ClickSideButton(4);
    EXPECT_EQ(s.Options.ClassicBoard, 1);
}

// The click acts on what the last movement found: after leaving through
// button 7, a click on a new game screen without moving opens the window again.
TEST_F(InputTest, AClickActsOnTheHoverLeftByTheLastMovement) {
    ClickSideButton(7);
    EXPECT_EQ(s.Window, OpenWindow::GameMenu);
    windows.ShowMainMenu();
    windows.StartGame();
    board.SetComputerPlaysBlack(false);
    input.FormMouseDown(600, 600);
    EXPECT_EQ(s.Window, OpenWindow::GameMenu);
}

TEST_F(InputTest, WhileChoosingAPromotionOnlyTheChoicesReact) {
    s.State = GameState::ChoosePromotion;
    s.Record.SideToMove = 1;
    ClickSideButton(4);
    EXPECT_EQ(s.Options.ClassicBoard, 1) << "side buttons do not react";
    EXPECT_EQ(s.HoverButton, 0) << "no hover is taken either";
    ClickAt(500, 500);
    EXPECT_EQ(s.State, GameState::ChoosePromotion);
    input.FormMouseMove(650, 300);
    EXPECT_EQ(s.HoverPromotion, 2);
    input.FormMouseMove(650, 650);
    EXPECT_EQ(s.HoverPromotion, 5);
}

TEST_F(InputTest, WithTheEndOfGameWindowOpenBoardAndButtonsAreIgnoredButKeysWork) {
    s.State = GameState::GameOver;
    s.Window = OpenWindow::GameMenu;
    ClickSquare("e2");
    EXPECT_EQ(s.SelectedSquare, 0);
    ClickSideButton(4);
    EXPECT_EQ(s.Options.ClassicBoard, 1);
    input.FormKeyPress('0');
    EXPECT_EQ(s.State, GameState::YourMove) << "\"0\" starts a new game";
    EXPECT_EQ(s.Window, OpenWindow::GameMenu) << "the window stays as it is";
    input.FormKeyPress(27);
    EXPECT_EQ(s.Screen, ScreenMode::Menu);
    EXPECT_EQ(s.Window, OpenWindow::MainMenu);
    EXPECT_EQ(music, std::vector<Theme>{Theme::Title});
}

TEST_F(InputTest, NothingIsSelectedWhileTheEngineThinksButButtonsWork) {
    s.State = GameState::ComputerThinking;
    ClickSideButton(1);
    EXPECT_EQ(s.Options.BottomSide, 1);
    ClickSquare("e2");
    EXPECT_EQ(s.SelectedSquare, 0);
    EXPECT_EQ(s.HoverSquare, N("e2")) << "the hover still follows the pointer";
    s.State = GameState::GameOver;
    const TScreenPoint c = flow.CenterOf(N("a1"));
    input.FormMouseMove(c.X, c.Y);
    EXPECT_EQ(s.HoverSquare, N("e2")) << "the hover freezes once the game is over";
}

TEST_F(InputTest, KeysByScreen) {
    input.FormKeyPress('1');
    EXPECT_NEAR(s.PieceScale, 0.60, 1e-9);
    input.FormKeyPress('2');
    input.FormKeyPress('2');
    EXPECT_NEAR(s.PieceScale, 0.58, 1e-9);

    windows.ShowMainMenu();
    input.FormKeyPress(27);
    EXPECT_EQ(s.Window, OpenWindow::QuitConfirm);
    input.FormKeyPress(27);
    EXPECT_EQ(s.Window, OpenWindow::QuitConfirm) << "Escape leaves the confirmation open";
    windows.ShowOptions();
    input.FormKeyPress(27);
    EXPECT_EQ(s.Window, OpenWindow::MainMenu);
    input.FormKeyPress('1');
    EXPECT_NEAR(s.PieceScale, 0.58, 1e-9) << "digits do nothing on the title";

    windows.ShowHelp();
    input.FormKeyPress(27);
    input.FormKeyPress('0');
    EXPECT_EQ(s.Screen, ScreenMode::Help);
    EXPECT_EQ(s.Window, OpenWindow::HelpBar);
}

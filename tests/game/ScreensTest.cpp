// Golden pictures of the game's screens: each screen is drawn from a known
// scene state by the game's own drawing code with the committed content,
// read back from the device and compared with tests/golden/<name>.png.
// Any change in drawing shows up here; when a change is meant, run the
// test with ZELKOR_UPDATE_GOLDEN=1 to write the new pictures, and look at
// them before committing.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "game/Graph.h"
#include "game/WindowsView.h"
#include "tests/game/GameParts.h"
#include "tests/gfx/GameContentFixture.h"
#include "tools/pack/Png.h"

using namespace zelkor;
using namespace zelkor::game;
using namespace zelkor::testing_support;

namespace {

int N(std::string_view name) { return SquareIndex(SquareFromName(name)); }

class ScreensTest : public GameContentTest, protected TGameParts {
protected:
    void SetUp() override {
        GameContentTest::SetUp();
        graph.OnDrawWindow = [this] { windowsView.Draw(); };
        NewGameWithoutEngine();
    }
    void TearDown() override { board.StopThinking(); }

    void Ticks(int n) {
        for (int i = 0; i < n; ++i) flow.TimerProcess();
    }

    // Draws the frame and compares it with the golden picture `name`.
    void ExpectGolden(const std::string& name) {
        Frame([&] { graph.DeviceRender(); }, 0xFF400000);
        ASSERT_FALSE(HasFatalFailure());
        TPixelSheet actual{W, H, {}};
        actual.Pixels.reserve(pixels.size());
        for (uint32_t p : pixels) actual.Pixels.push_back(0xFF000000u | (p & 0xFFFFFF));
        const std::string golden = std::string(ZELKOR_GOLDEN_DIR) + "/" + name + ".png";
        std::string error;
        const char* update = std::getenv("ZELKOR_UPDATE_GOLDEN");
        if (update && std::string(update) == "1") {
            ASSERT_TRUE(WritePng(golden, actual, error)) << error;
            return;
        }
        TPixelSheet expected;
        ASSERT_TRUE(ReadPng(golden, expected, error)) << error << " (ZELKOR_UPDATE_GOLDEN=1 writes it)";
        ASSERT_EQ(expected.Width, W);
        ASSERT_EQ(expected.Height, H);
        // A pixel differs when a channel is off by more than a rounding
        // step of the software renderer; a few such pixels are tolerated.
        TPixelSheet diff{W, H, std::vector<uint32_t>(actual.Pixels.size(), 0xFF000000u)};
        int differing = 0;
        for (size_t i = 0; i < actual.Pixels.size(); ++i)
            if (ColorDistance(actual.Pixels[i], expected.Pixels[i]) > 24) {
                ++differing;
                diff.Pixels[i] = 0xFFFF00FFu;
            }
        if (differing > 64) {
            const std::string out = std::string(ZELKOR_GOLDEN_OUT) + "/" + name;
            std::filesystem::create_directories(ZELKOR_GOLDEN_OUT);
            WritePng(out + ".actual.png", actual, error);
            WritePng(out + ".diff.png", diff, error);
            ADD_FAILURE() << name << ": " << differing << " pixels differ from " << golden << "; see " << out
                          << ".actual.png and .diff.png";
        }
    }

    static int ColorDistance(uint32_t a, uint32_t b) {
        int d = 0;
        for (int shift : {0, 8, 16}) d = std::max(d, std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)));
        return d;
    }

    TGraph graph{s, canvas, images, fonts};
    TWindowsView windowsView{s, graph, canvas};
};

TEST_F(ScreensTest, TitleWithItsRingOfPiecesAndTheMainMenu) {
    s.Screen = ScreenMode::Menu;
    s.Window = OpenWindow::MainMenu;
    s.HoverItem = 2;
    Ticks(40);
    s.MouseX = 520;
    s.MouseY = 600;
    ExpectGolden("title");
}

TEST_F(ScreensTest, HelpWithItsLegendAndButtonBar) {
    s.Screen = ScreenMode::Help;
    s.Window = OpenWindow::HelpBar;
    s.HoverItem = 2;
    s.MouseX = 640;
    s.MouseY = 300;
    ExpectGolden("help");
}

// The castle: a selected pawn with its pulsing marker, a hover marker on
// its destination, the zooming preview, the wooden classic board, a
// hovered side button and running clocks.
TEST_F(ScreensTest, CastleWithSelectionHoverAndClassicBoard) {
    s.Screen = ScreenMode::Game;
    s.Window = OpenWindow::NoWindow;
    s.Options.Location = 1;
    s.Options.ClassicBoard = 2;
    s.SelectedSquare = N("e2");
    s.SelectedPiece = s.Record.At(N("e2"));
    s.PreviewZoom = 6.0;
    Ticks(30);
    s.HoverSquare = N("e4");
    s.HoverButton = 3;
    s.Record.WhiteSeconds = 75;
    s.Record.BlackSeconds = 3601;
    s.MouseX = 120;
    s.MouseY = 31;
    ExpectGolden("castle");
}

// The town: a knight in the middle of its glide (the glide shows only
// while the classic board is hidden) and a black piece in the selection box.
TEST_F(ScreensTest, TownWithAGlide) {
    s.Screen = ScreenMode::Game;
    s.Window = OpenWindow::NoWindow;
    s.Options.Location = 2;
    s.Options.ClassicBoard = 1;
    s.SelectedSquare = N("g1");
    s.SelectedPiece = s.Record.At(N("g1"));
    flow.StartPlayerMove(N("g1"), N("f3"));
    ASSERT_TRUE(s.Move.Animating);
    Ticks(8);
    ASSERT_TRUE(s.Move.Animating) << "the glide must still be under way";
    s.SelectedPiece = -5;
    s.MouseX = 900;
    s.MouseY = 400;
    ExpectGolden("town");
}

// The promotion picker over the castle, the queen hovered, with the
// marble classic board seen from Black's side, larger.
TEST_F(ScreensTest, PromotionPickerAndTheMarbleBoardTurned) {
    s.Screen = ScreenMode::Game;
    s.Window = OpenWindow::NoWindow;
    s.Options.Location = 1;
    s.Options.ClassicBoard = 3;
    s.Options.BottomSide = 1;
    s.ClassicScale = 40;
    s.State = GameState::ChoosePromotion;
    s.HoverPromotion = 5;
    s.MouseX = 660;
    s.MouseY = 600;
    ExpectGolden("promotion");
}

// The options list with some values changed from their defaults, an
// item hovered.
TEST_F(ScreensTest, OptionsListOverTheTitle) {
    s.Screen = ScreenMode::Menu;
    s.Window = OpenWindow::OptionsList;
    s.Options.ArmyChoice = 2;
    s.Options.Difficulty = 1;
    s.Options.DepthChoice = 10;
    s.Options.ClassicBoard = 3;
    s.Options.MusicOn = 2;
    s.Options.EnginePriority = 5;
    s.HoverItem = 4;
    Ticks(10);
    ExpectGolden("options");
}

TEST_F(ScreensTest, QuitConfirmationWithQuitHovered) {
    s.Screen = ScreenMode::Menu;
    s.Window = OpenWindow::QuitConfirm;
    s.HoverItem = 2;
    Ticks(10);
    s.MouseX = 620;
    s.MouseY = 410;
    ExpectGolden("quit");
}

// A game ended by mate in the town: the end-of-game window over the board,
// the status line giving the result, Rematch hovered.
TEST_F(ScreensTest, EndOfGameWindowOverAFinishedGame) {
    s.Screen = ScreenMode::Game;
    s.Options.Location = 2;
    s.Window = OpenWindow::GameMenu;
    s.State = GameState::GameOver;
    s.GameOverText = "Mate";
    s.HoverItem = 2;
    s.Record.WhiteSeconds = 125;
    s.Record.BlackSeconds = 98;
    s.MouseX = 510;
    s.MouseY = 410;
    ExpectGolden("game_over");
}

} // namespace

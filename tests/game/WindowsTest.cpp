// The scene's windows without a window: the screen changes with their
// music cues, each window's hover boxes and clicks, and the options.

#include <gtest/gtest.h>

#include "game/logic/Windows.h"
#include "tests/chess/BoardFixture.h"
#include "tests/game/GameParts.h"

using namespace zelkor;
using namespace zelkor::game;
using namespace zelkor::testing_support;

namespace {

class WindowsTest : public ::testing::Test, protected TGameParts {
protected:
    void SetUp() override {
        windows.OnPlaySound = [this](int n) { sounds.push_back(n); };
        windows.OnPlayMusic = [this](Theme t) { music.push_back(t); };
        windows.OnStopMusic = [this] { ++stops; };
        windows.OnTerminate = [this] { terminated = true; };
    }
    // The engine stops before the listeners below go.
    void TearDown() override { board.StopThinking(); }

    // A movement onto item `item` of the open window (its box's middle), then a click.
    void ClickItem(TItemBox (*box)(int), int item) {
        const TItemBox b = box(item);
        const int x = (b.Left + b.Right) / 2, y = (b.Top + b.Bottom) / 2;
        windows.HoverTest(x, y);
        ASSERT_EQ(s.HoverItem, item);
        windows.Click();
    }
    void ClickOption(int item) { ClickItem(OptionItemBox, item); }

    TSceneWindows windows{s, flow, board, clock};
    std::vector<int> sounds;
    std::vector<Theme> music;
    int stops = 0;
    bool terminated = false;
};

} // namespace

TEST_F(WindowsTest, ScreenChangesFollowTheTableWithTheirMusic) {
    struct Step {
        const char* What;
        TItemBox (*Box)(int);
        int Item;
        ScreenMode Screen;
        OpenWindow Window;
        std::vector<Theme> Music;  // cues of this step
    } steps[] = {
        {"help", MainMenuItemBox, 2, ScreenMode::Help, OpenWindow::HelpBar, {Theme::Main}},
        {"options from help", HelpBarButtonBox, 2, ScreenMode::Menu, OpenWindow::OptionsList, {}},
        {"return: already the title, no cue", OptionItemBox, 9, ScreenMode::Menu, OpenWindow::MainMenu, {}},
        {"help again", MainMenuItemBox, 2, ScreenMode::Help, OpenWindow::HelpBar, {Theme::Main}},
        {"menu from help", HelpBarButtonBox, 1, ScreenMode::Menu, OpenWindow::MainMenu, {Theme::Title}},
        {"quit", MainMenuItemBox, 4, ScreenMode::Menu, OpenWindow::QuitConfirm, {}},
        {"cancel", QuitButtonBox, 1, ScreenMode::Menu, OpenWindow::MainMenu, {}},
        {"play game", MainMenuItemBox, 1, ScreenMode::Game, OpenWindow::NoWindow, {Theme::Main}},
    };
    s.Screen = ScreenMode::Menu;
    s.Window = OpenWindow::MainMenu;
    for (const Step& step : steps) {
        music.clear();
        ClickItem(step.Box, step.Item);
        EXPECT_EQ(s.Screen, step.Screen) << step.What;
        EXPECT_EQ(s.Window, step.Window) << step.What;
        EXPECT_EQ(s.HoverItem, 0) << step.What;
        EXPECT_EQ(music, step.Music) << step.What;
    }
    EXPECT_TRUE(clock.Enabled()) << "a new game runs its clocks";
    EXPECT_EQ(sounds, std::vector<int>{2}) << "only the options list's Return sounds; menu, help bar and quit are silent";
    windows.ShowMainMenu();
    EXPECT_FALSE(clock.Enabled()) << "leaving the game stops the clocks";
    windows.ShowQuitConfirm();
    ClickItem(QuitButtonBox, 2);
    EXPECT_TRUE(terminated);
}

TEST_F(WindowsTest, HoverBoxesAreExclusiveAndAMissClearsTheHover) {
    s.Window = OpenWindow::MainMenu;
    windows.HoverTest(87, 156);
    EXPECT_EQ(s.HoverItem, 1);
    windows.HoverTest(86, 156);
    EXPECT_EQ(s.HoverItem, 0);
    windows.HoverTest(100, 179);
    EXPECT_EQ(s.HoverItem, 0) << "between the first and the second item";
    windows.HoverTest(100, 196);
    EXPECT_EQ(s.HoverItem, 2);
    s.Window = OpenWindow::GameMenu;
    windows.HoverTest(463, 410);
    EXPECT_EQ(s.HoverItem, 0) << "the gap between two buttons";
    windows.HoverTest(465, 410);
    EXPECT_EQ(s.HoverItem, 2);
    // A click acts on the hover, wherever it happens.
    s.Window = OpenWindow::NoWindow;
    windows.HoverTest(0, 0);
    EXPECT_EQ(s.HoverItem, 2) << "no window: the hover is left alone";
}

TEST_F(WindowsTest, DifficultyCyclesThroughFixedDepthAndSetsTheEngineDepth) {
    windows.ShowOptions();
    struct Expect {
        int Difficulty, DepthChoice, EngineDepth;
        const char* Shown;
        const char* Depth;
    } cycle[] = {
        {3, 0, 5, "Medium", "Adaptive"}, {4, 0, 7, "Hard", "Adaptive"},
        {1, 1, 1, "Fixed Depth", "1"},   {2, 0, 3, "Easy", "Adaptive"},
    };
    for (const Expect& e : cycle) {
        ClickOption(2);
        EXPECT_EQ(s.Options.Difficulty, e.Difficulty);
        EXPECT_EQ(s.Options.DepthChoice, e.DepthChoice);
        EXPECT_EQ(s.Record.EngineDepth, e.EngineDepth);
        EXPECT_EQ(OptionValueText(s.Options, 1), e.Shown);
        EXPECT_EQ(OptionValueText(s.Options, 2), e.Depth);
    }
}

TEST_F(WindowsTest, DepthChangesOnlyAtFixedDepthAndWrapsAfterTen) {
    windows.ShowOptions();
    ClickOption(3);
    EXPECT_EQ(s.Options.DepthChoice, 0) << "not at a fixed depth";
    EXPECT_EQ(s.Record.EngineDepth, 3);
    for (int i = 0; i < 3; ++i) ClickOption(2);  // to Fixed Depth, depth 1
    for (int i = 0; i < 9; ++i) ClickOption(3);
    EXPECT_EQ(s.Options.DepthChoice, 10);
    EXPECT_EQ(s.Record.EngineDepth, 10);
    EXPECT_EQ(OptionValueText(s.Options, 2), "10");
    ClickOption(3);
    EXPECT_EQ(s.Options.DepthChoice, 1);
    EXPECT_EQ(s.Record.EngineDepth, 1);
    // The depth reaches the board at the next new game; the board keeps it within 1..8.
    board.SetSearchDepth(5);
    flow.ResetGame();
    EXPECT_EQ(board.SearchDepth(), 1);
}

TEST_F(WindowsTest, OtherOptionsToggleOrCycleAndEveryItemClickSounds) {
    windows.ShowOptions();
    ClickOption(1);
    EXPECT_EQ(OptionValueText(s.Options, 0), "Brunettes");
    ClickOption(4);
    EXPECT_EQ(OptionValueText(s.Options, 3), "Town");
    ClickOption(5);
    EXPECT_EQ(OptionValueText(s.Options, 4), "Wood");
    EXPECT_EQ(s.Options.LastClassicStyle, 2);
    ClickOption(5);
    EXPECT_EQ(OptionValueText(s.Options, 4), "Marble");
    EXPECT_EQ(s.Options.LastClassicStyle, 3);
    ClickOption(5);
    EXPECT_EQ(OptionValueText(s.Options, 4), "None");
    EXPECT_EQ(s.Options.LastClassicStyle, 3) << "hiding keeps the last style";
    ClickOption(7);
    EXPECT_EQ(OptionValueText(s.Options, 6), "No");
    ClickOption(9);
    EXPECT_EQ(s.Window, OpenWindow::MainMenu);
    EXPECT_EQ(sounds, std::vector<int>(7, 2)) << "each options click, Return too, plays the click";
}

TEST_F(WindowsTest, MusicOffStopsTheMusicAndOnRestartsNothing) {
    windows.ShowOptions();
    ClickOption(6);
    EXPECT_EQ(s.Options.MusicOn, 2);
    EXPECT_EQ(stops, 1);
    ClickOption(6);
    EXPECT_EQ(s.Options.MusicOn, 1);
    EXPECT_EQ(stops, 1);
    EXPECT_TRUE(music.empty());
}

TEST_F(WindowsTest, EnginePriorityCyclesAndReachesTheBoardAtOnce) {
    windows.ShowOptions();
    const TThreadPriority expected[] = {TThreadPriority::tpNormal, TThreadPriority::tpHigher, TThreadPriority::tpHighest,
                                        TThreadPriority::tpLowest, TThreadPriority::tpLower};
    const char* shown[] = {"Normal", "Higher", "Highest", "Lowest", "Lower"};
    for (size_t i = 0; i < 5; ++i) {
        ClickOption(8);
        EXPECT_EQ(board.ThinkingPriority(), expected[i]);
        EXPECT_EQ(OptionValueText(s.Options, 7), shown[i]);
    }
}

TEST_F(WindowsTest, EndOfGameWindowCancelRematchAndMenu) {
    windows.StartGame();
    board.SetComputerPlaysBlack(false);
    s.State = GameState::GameOver;
    s.Window = OpenWindow::GameMenu;
    ClickItem(GameMenuButtonBox, 1);
    EXPECT_EQ(s.Window, OpenWindow::NoWindow);
    EXPECT_EQ(s.State, GameState::GameOver) << "a finished game stays finished";
    s.Window = OpenWindow::GameMenu;
    ClickItem(GameMenuButtonBox, 2);
    EXPECT_EQ(s.Window, OpenWindow::NoWindow);
    EXPECT_EQ(s.State, GameState::YourMove) << "Rematch starts a new game";
    board.SetComputerPlaysBlack(false);
    s.Window = OpenWindow::GameMenu;
    music.clear();
    ClickItem(GameMenuButtonBox, 3);
    EXPECT_EQ(s.Screen, ScreenMode::Menu);
    EXPECT_EQ(s.Window, OpenWindow::MainMenu);
    EXPECT_EQ(music, std::vector<Theme>{Theme::Title});
    EXPECT_EQ(sounds, std::vector<int>(3, 2));
}

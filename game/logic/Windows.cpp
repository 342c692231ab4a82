#include "game/logic/Windows.h"

namespace zelkor::game {

TItemBox MainMenuItemBox(int i) { return {86, 155 + 40 * (i - 1), 211, 179 + 40 * (i - 1)}; }
TItemBox QuitButtonBox(int i) { return {413 + 100 * (i - 1), 397, 511 + 100 * (i - 1), 427}; }
TItemBox OptionItemBox(int i) { return {86, 155 + 40 * (i - 1), 378, 179 + 40 * (i - 1)}; }
TItemBox HelpBarButtonBox(int i) { return {711 + 100 * (i - 1), 723, 809 + 100 * (i - 1), 753}; }
TItemBox GameMenuButtonBox(int i) { return {364 + 100 * (i - 1), 397, 462 + 100 * (i - 1), 427}; }

std::string_view OptionValueText(const TGameOptions& o, int k) {
    static constexpr std::string_view kArmy[] = {"Blondes", "Brunettes"};
    static constexpr std::string_view kDifficulty[] = {"Fixed Depth", "Easy", "Medium", "Hard"};
    static constexpr std::string_view kDepth[] = {"Adaptive", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10"};
    static constexpr std::string_view kLocation[] = {"Castle", "Town"};
    static constexpr std::string_view kClassic[] = {"None", "Wood", "Marble"};
    static constexpr std::string_view kYesNo[] = {"Yes", "No"};
    static constexpr std::string_view kPriority[] = {"Lowest", "Lower", "Normal", "Higher", "Highest"};
    // Codes outside their tables (none arise from the options list) show nothing.
    auto pick = [](const auto& table, int index) -> std::string_view {
        return index >= 0 && size_t(index) < std::size(table) ? table[size_t(index)] : std::string_view{};
    };
    switch (k) {
    case 0: return pick(kArmy, o.ArmyChoice - 1);
    case 1: return pick(kDifficulty, o.Difficulty - 1);
    case 2: return pick(kDepth, o.DepthChoice);
    case 3: return pick(kLocation, o.Location - 1);
    case 4: return pick(kClassic, o.ClassicBoard - 1);
    case 5: return pick(kYesNo, o.MusicOn - 1);
    case 6: return pick(kYesNo, o.SoundOn - 1);
    case 7: return pick(kPriority, o.EnginePriority - 1);
    default: return {};
    }
}

TSceneWindows::TSceneWindows(TSceneState& state, TGameFlow& flow, TChessBoard& board, TWindowTimer& clock)
    : s_(state), flow_(flow), board_(board), clock_(clock) {}

void TSceneWindows::PlaySound(int n) {
    if (OnPlaySound) OnPlaySound(n);
}

void TSceneWindows::PlayMusic(Theme theme) {
    if (OnPlayMusic) OnPlayMusic(theme);
}

// ---- Screen changes ----

void TSceneWindows::ShowMainMenu() {
    clock_.SetEnabled(false);
    if (s_.Screen != ScreenMode::Menu) PlayMusic(Theme::Title);
    s_.Screen = ScreenMode::Menu;
    s_.Window = OpenWindow::MainMenu;
    s_.HoverItem = 0;
}

void TSceneWindows::StartGame() {
    flow_.ResetGame();
    s_.Screen = ScreenMode::Game;
    s_.Window = OpenWindow::NoWindow;
    s_.HoverItem = 0;
    PlayMusic(Theme::Main);
}

void TSceneWindows::ShowHelp() {
    s_.Screen = ScreenMode::Help;
    s_.Window = OpenWindow::HelpBar;
    s_.HoverItem = 0;
    PlayMusic(Theme::Main);
}

void TSceneWindows::ShowOptions() {
    s_.Screen = ScreenMode::Menu;
    s_.Window = OpenWindow::OptionsList;
    s_.HoverItem = 0;
}

void TSceneWindows::ShowQuitConfirm() {
    s_.Screen = ScreenMode::Menu;
    s_.Window = OpenWindow::QuitConfirm;
    s_.HoverItem = 0;
}

// ---- Hover tests ----

void TSceneWindows::HoverTest(int x, int y) {
    auto test = [&](int count, TItemBox (*box)(int)) {
        s_.HoverItem = 0;
        for (int i = 1; i <= count; ++i)
            if (box(i).Contains(x, y)) s_.HoverItem = i;
    };
    switch (s_.Window) {
    case OpenWindow::MainMenu: test(int(kMainMenuItems.size()), MainMenuItemBox); break;
    case OpenWindow::QuitConfirm: test(int(kQuitItems.size()), QuitButtonBox); break;
    case OpenWindow::OptionsList: test(int(kOptionLabels.size()), OptionItemBox); break;
    case OpenWindow::HelpBar: test(int(kHelpBarItems.size()), HelpBarButtonBox); break;
    case OpenWindow::GameMenu: test(int(kGameMenuItems.size()), GameMenuButtonBox); break;
    case OpenWindow::NoWindow: break;
    }
}

// ---- Click handlers ----

void TSceneWindows::Click() {
    const int item = s_.HoverItem;
    switch (s_.Window) {
    case OpenWindow::MainMenu:
        if (item == 1) StartGame();
        else if (item == 2) ShowHelp();
        else if (item == 3) ShowOptions();
        else if (item == 4) ShowQuitConfirm();
        break;
    case OpenWindow::QuitConfirm:
        if (item == 1) ShowMainMenu();
        else if (item == 2 && OnTerminate) OnTerminate();
        break;
    case OpenWindow::OptionsList:
        if (item >= 1 && item <= 10) PlaySound(2);
        OptionClick(item);
        break;
    case OpenWindow::HelpBar:
        if (item == 1) ShowMainMenu();
        else if (item == 2) ShowOptions();
        else if (item == 3) ShowQuitConfirm();
        break;
    case OpenWindow::GameMenu:
        if (item >= 1 && item <= 3) PlaySound(2);
        if (item == 2) flow_.ResetGame();
        if (item == 1 || item == 2) {
            s_.Window = OpenWindow::NoWindow;
            s_.HoverItem = 0;
        } else if (item == 3) {
            ShowMainMenu();
        }
        break;
    case OpenWindow::NoWindow: break;
    }
}

void TSceneWindows::OptionClick(int item) {
    TGameOptions& o = s_.Options;
    switch (item) {
    case 1: o.ArmyChoice = o.ArmyChoice == 1 ? 2 : 1; break;
    case 2: {
        ++o.Difficulty;
        if (o.Difficulty < 5) {
            o.DepthChoice = 0;
        } else {
            o.Difficulty = 1;
            o.DepthChoice = 1;
        }
        static constexpr int kDepths[] = {1, 3, 5, 7};
        s_.Record.EngineDepth = kDepths[o.Difficulty - 1];
        break;
    }
    case 3:
        if (o.Difficulty == 1) {
            ++o.DepthChoice;
            if (o.DepthChoice > 10) o.DepthChoice = 1;
            s_.Record.EngineDepth = o.DepthChoice;
        }
        break;
    case 4: o.Location = o.Location == 1 ? 2 : 1; break;
    case 5:
        ++o.ClassicBoard;
        if (o.ClassicBoard > 3) o.ClassicBoard = 1;
        if (o.ClassicBoard == 2 || o.ClassicBoard == 3) o.LastClassicStyle = o.ClassicBoard;
        break;
    case 6:
        o.MusicOn = o.MusicOn == 1 ? 2 : 1;
        if (o.MusicOn == 2 && OnStopMusic) OnStopMusic();
        break;
    case 7: o.SoundOn = o.SoundOn == 1 ? 2 : 1; break;
    case 8: {
        ++o.EnginePriority;
        if (o.EnginePriority > 5) o.EnginePriority = 1;
        static constexpr TThreadPriority kPriorities[] = {TThreadPriority::tpLowest, TThreadPriority::tpLower,
                                                          TThreadPriority::tpNormal, TThreadPriority::tpHigher,
                                                          TThreadPriority::tpHighest};
        board_.SetThinkingPriority(kPriorities[o.EnginePriority - 1]);
        break;
    }
    case 9: ShowMainMenu(); break;
    default: break;
    }
}

} // namespace zelkor::game

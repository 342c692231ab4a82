#pragma once
// The scene's windows and screens, without their drawing: the screen
// changes between title, help and game, and for each window (main menu,
// quit confirmation, options list, help bar, end-of-game window) its
// hover test and its click handler. The player's options change here.

#include <array>
#include <functional>
#include <string_view>

#include "chess/ChessBoard.h"
#include "game/logic/GameFlow.h"
#include "game/logic/Records.h"
#include "platform/WindowTimer.h"

namespace zelkor::game {

// One button or item: a box whose bounds are all exclusive.
struct TItemBox {
    int Left, Top, Right, Bottom;
    bool Contains(int x, int y) const { return Left < x && x < Right && Top < y && y < Bottom; }
};

// The texts of the windows, in item order.
inline constexpr std::array<std::string_view, 4> kMainMenuItems = {"play game", "help", "options", "quit"};
inline constexpr std::array<std::string_view, 2> kQuitItems = {" Cancel", " Quit"};
inline constexpr std::string_view kQuitTitle = "Are you sure you want to quit?";
inline constexpr std::array<std::string_view, 9> kOptionLabels = {
    "Your Army", "Difficulty", "Depth", "Location", "Classic Board", "Music", "Sound Effects", "Engine Priority", "Return"};
inline constexpr std::array<std::string_view, 3> kHelpBarItems = {" Menu", " Options", " Quit"};
inline constexpr std::array<std::string_view, 3> kGameMenuItems = {" Cancel", " Rematch", " Menu"};
inline constexpr std::string_view kGameMenuTitle = "Please select to continue";

// Item i (1-based) of each window.
TItemBox MainMenuItemBox(int i);
TItemBox QuitButtonBox(int i);
TItemBox OptionItemBox(int i);
TItemBox HelpBarButtonBox(int i);
TItemBox GameMenuButtonBox(int i);

// The value shown beside options row k (0..7: army, difficulty, depth,
// location, classic board, music, sound effects, engine priority).
std::string_view OptionValueText(const TGameOptions& options, int k);

class TSceneWindows {
public:
    TSceneWindows(TSceneState& state, TGameFlow& flow, TChessBoard& board, TWindowTimer& clock);
    TSceneWindows(const TSceneWindows&) = delete;
    TSceneWindows& operator=(const TSceneWindows&) = delete;

    // Outward calls; an empty one is skipped.
    std::function<void(int)> OnPlaySound;     // effect 1..8
    std::function<void(Theme)> OnPlayMusic;   // a theme cue
    std::function<void()> OnStopMusic;        // stop the music if it plays, and wait
    std::function<void()> OnTerminate;        // end the program

    // Screen changes.
    void ShowMainMenu();
    void StartGame();
    void ShowHelp();
    void ShowOptions();
    void ShowQuitConfirm();

    // The open window's hover test: sets HoverItem (0: none under the
    // pointer); nothing when no window is open.
    void HoverTest(int x, int y);
    // The open window's click handler, acting on HoverItem.
    void Click();

    // One click on options item `item` (1..9), as the options list does it.
    void OptionClick(int item);

private:
    void PlaySound(int n);
    void PlayMusic(Theme theme);

    TSceneState& s_;
    TGameFlow& flow_;
    TChessBoard& board_;
    TWindowTimer& clock_;
};

} // namespace zelkor::game

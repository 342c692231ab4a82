#pragma once
// The scene's state: one record for the life of the program, read and
// written by the frame loop, the drawing, the input handlers and the
// windows. Values are those the program starts with.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "game/geometry/BoardGeometry.h"

namespace zelkor::game {

enum class ScreenMode : uint8_t { Menu = 0, Game = 1, Help = 3, Startup = 4 };
enum class GameState : uint8_t { YourMove = 0, ComputerThinking = 1, GameOver = 3, ChoosePromotion = 4 };
enum class OpenWindow : int { NoWindow = 0, MainMenu = 1, QuitConfirm = 2, OptionsList = 3, HelpBar = 4, GameMenu = 5 };

// The two music themes.
enum class Theme { Title, Main };

// Signed piece codes: 1 pawn .. 6 king, positive White, negative Black, 0 empty.
using PieceCode = int8_t;

// Rank 8 to rank 1, files a to h.
inline constexpr std::array<PieceCode, 64> StartingSquares = {
    -4, -2, -3, -5, -6, -3, -2, -4,  //
    -1, -1, -1, -1, -1, -1, -1, -1,  //
    0,  0,  0,  0,  0,  0,  0,  0,   //
    0,  0,  0,  0,  0,  0,  0,  0,   //
    0,  0,  0,  0,  0,  0,  0,  0,   //
    0,  0,  0,  0,  0,  0,  0,  0,   //
    1,  1,  1,  1,  1,  1,  1,  1,   //
    4,  2,  3,  5,  6,  3,  2,  4,
};

struct TGameRecord {
    std::array<PieceCode, 64> Squares{};  // index = square - 1
    int8_t SideToMove = 0;                // 1 White, -1 Black
    int WhiteSeconds = 0;
    int BlackSeconds = 0;
    std::array<int, 2> LocationOffsetX{};  // for Location 1 and 2
    std::array<int, 2> LocationOffsetY{};
    char PromotionLetter = '\0';
    int EngineDepth = 0;

    PieceCode At(int square) const { return square >= 1 && square <= 64 ? Squares[size_t(square - 1)] : 0; }
    void Put(int square, PieceCode code) {
        if (square >= 1 && square <= 64) Squares[size_t(square - 1)] = code;
    }
};

// The 3D board's shift for a location (1 castle, 2 town) as the record
// keeps it; any other location is the castle's.
TScreenPoint BoardOffset(const TGameRecord& record, int location);

// The player's settings, twelve integers in this order.
struct TGameOptions {
    int ArmyChoice = 0;        // 1 White ("Blondes"), 2 Black ("Brunettes")
    int Difficulty = 0;        // 1 fixed depth, 2 easy, 3 medium, 4 hard
    int DepthChoice = 0;       // 0 adaptive, 1..10 a fixed depth
    int Reserved1 = 0;
    int Location = 0;          // 1 castle, 2 town
    int ClassicBoard = 0;      // 1 hidden, 2 wood, 3 marble
    int MusicOn = 0;           // 1 on, 2 off
    int SoundOn = 0;           // 1 on, 2 off
    int BottomSide = 0;        // classic board: 1 Black below, 2 White below
    int LastClassicStyle = 0;  // what side button 4 brings back: 2 or 3
    int Reserved2 = 0;
    int EnginePriority = 0;    // 1 lowest .. 5 highest
};

struct TMoveAnimation {
    static constexpr int Speed = 5;  // pixels per tick along the longer axis
    bool Animating = false;
    int FromX = 0, FromY = 0, ToX = 0, ToY = 0;
    double PosX = 0, PosY = 0;
    double StepX = 0, StepY = 0;
    int DrawX = 0, DrawY = 0;
};

struct TSceneState {
    ScreenMode Screen = ScreenMode::Menu;
    OpenWindow Window = OpenWindow::MainMenu;
    GameState State = GameState::YourMove;
    TGameRecord Record;
    TGameOptions Options;
    std::string GameOverText;

    // Animations.
    int Pulse = 0, PulseStep = 0;
    double PreviewZoom = 6.0;
    double PieceScale = 0.59;
    int ClassicScale = 27;
    double TitleAngle = 6.283185307179586;
    double TitleStep = -0.01;
    std::array<int, 12> RingX{}, RingY{};
    TMoveAnimation Move;

    // Input.
    int MouseX = -100, MouseY = -100;
    int HoverItem = 0, HoverButton = 0, HoverPromotion = 0, HoverSquare = 0;

    // Move bookkeeping.
    int SelectedSquare = 0;
    int TargetSquare = 0;
    int MoveFromSquare = 0;
    PieceCode MovingPiece = 0;
    PieceCode SelectedPiece = 0;
};

// The option defaults; also sets the engine depth of "Easy" (3).
void SetDefaultOptions(TSceneState& state);

// 1 when the player takes White ("Blondes"), else -1.
int PlayerSide(const TGameOptions& options);

// The index of a piece in every piece image: White 0..5, Black 6..11.
int PiecePattern(PieceCode code);

struct TPieceAnchor {
    int X, Y;
};
// The point of a standing piece's picture (at scale 1) that sits on the
// square's centre; (0, 0) for no piece.
TPieceAnchor PieceAnchor(PieceCode code);
// "White Pawn" .. "Black King"; empty for no piece.
std::string_view PieceName(PieceCode code);

// The status line of a game state ("Your move?", ...); the game-over text
// for GameOver.
std::string StatusText(const TSceneState& state);

// "hh : mm : ss", each at least two digits; hours are not limited.
std::string FormatClock(int seconds);

} // namespace zelkor::game

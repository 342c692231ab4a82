// The game flow on the scene's side, driven without a window: the scene's
// board against the board component, with the real engine where the test
// is about the hand-off, and with the engine's moves played directly where
// a fixed reply is needed.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>

#include "game/logic/GameFlow.h"
#include "platform/Application.h"
#include "tests/chess/BoardFixture.h"
#include "tests/game/GameParts.h"

using namespace zelkor;
using namespace zelkor::game;
using namespace zelkor::testing_support;

namespace {

int N(std::string_view name) { return SquareIndex(SquareFromName(name)); }

PieceCode CodeOf(char letter) {
    static const std::string kLetters = "PNBRQK";
    const size_t white = kLetters.find(letter);
    if (white != std::string::npos) return PieceCode(white + 1);
    const size_t black = kLetters.find(char(letter - 'a' + 'A'));
    return black != std::string::npos && letter >= 'a' ? PieceCode(-int(black) - 1) : 0;
}

class GameFlowTest : public ::testing::Test, protected TGameParts {
protected:
    void SetUp() override {
        s.Record.EngineDepth = 1;
        s.Screen = ScreenMode::Game;
        s.Window = OpenWindow::NoWindow;
        flow.AttachBoardEvents();
        flow.OnPlaySound = [this](int n) { sounds.push_back(n); };
    }
    // The engine stops before the listeners below go.
    void TearDown() override { board.StopThinking(); }
    // The same position on both boards.
    void Setup(const std::string& position, bool whiteToMove, CastleSet castling = CastleSet{}) {
        NewGameWithoutEngine();
        SetUpBoard(board, position, whiteToMove, castling);
        for (int i = 1; i <= 64; ++i) s.Record.Put(i, CodeOf(position[size_t(i - 1)]));
        s.Record.SideToMove = int8_t(whiteToMove ? 1 : -1);
    }
    // Ticks until the gliding piece has arrived.
    void Glide() {
        for (int i = 0; i < 1000 && s.Move.Animating; ++i) flow.TimerProcess();
        ASSERT_FALSE(s.Move.Animating) << "the glide never arrived";
    }
    // The player's click on a piece, then on its destination, and the glide.
    void PlayerMoves(std::string_view move) {
        auto [from, to] = Mv(move);
        s.SelectedSquare = SquareIndex(from);
        s.SelectedPiece = s.Record.At(SquareIndex(from));
        flow.StartPlayerMove(SquareIndex(from), SquareIndex(to));
        ASSERT_TRUE(s.Move.Animating) << move << " was refused";
        Glide();
    }
    // The engine's move as the board delivers it, and its glide.
    void EngineMoves(std::string_view move) {
        ASSERT_TRUE(Play(board, move)) << move;
        ASSERT_TRUE(s.Move.Animating) << move;
        Glide();
    }
    // Waits for the real engine's move to start gliding.
    void AwaitEngine() {
        ASSERT_TRUE(TApplication::Instance().ProcessUntil([&] { return s.Move.Animating; }, std::chrono::seconds(30)))
            << "the engine never moved";
    }
    // The scene's board agrees with the board component.
    void ExpectBoardsAgree() {
        for (int i = 1; i <= 64; ++i)
            EXPECT_EQ(s.Record.At(i), CodeOf(board.PieceAt(static_cast<Square>(i)))) << SquareName(static_cast<Square>(i));
    }

    std::vector<int> sounds;
};

} // namespace

TEST_F(GameFlowTest, PlayerWhiteMovesThenTheEnginesReplyGlidesIn) {
    flow.ResetGame();
    EXPECT_EQ(s.State, GameState::YourMove);
    EXPECT_EQ(s.Record.SideToMove, 1);
    EXPECT_TRUE(clock.Enabled());
    EXPECT_TRUE(board.ComputerPlaysBlack());
    EXPECT_FALSE(board.ComputerPlaysWhite());
    EXPECT_EQ(board.SearchDepth(), 1);

    s.SelectedSquare = N("e2");
    s.SelectedPiece = 1;
    flow.StartPlayerMove(N("e2"), N("e4"));
    EXPECT_TRUE(s.Move.Animating);
    EXPECT_FALSE(clock.Enabled()) << "the clocks pause while a piece glides";
    EXPECT_EQ(s.Record.At(N("e2")), 0);
    EXPECT_EQ(board.PieceAt(Sq("e2")), 'P') << "the board hears of the move only on arrival";
    Glide();
    EXPECT_TRUE(clock.Enabled());
    EXPECT_EQ(s.State, GameState::ComputerThinking);
    EXPECT_EQ(StatusText(s), "Please wait. Thinking...");
    EXPECT_EQ(s.Record.SideToMove, -1);
    EXPECT_EQ(board.PieceAt(Sq("e4")), 'P');

    AwaitEngine();
    EXPECT_LT(s.SelectedPiece, 0) << "the selection box shows the engine's piece";
    EXPECT_EQ(s.State, GameState::ComputerThinking);
    Glide();
    EXPECT_EQ(s.State, GameState::YourMove);
    EXPECT_EQ(StatusText(s), "Your move?");
    EXPECT_EQ(s.Record.SideToMove, 1);
    ExpectBoardsAgree();
    EXPECT_EQ(std::count(sounds.begin(), sounds.end(), 3), 2) << "each arrival sounds";
}

TEST_F(GameFlowTest, PlayerBlackWaitsForTheEnginesFirstMoveThenPlays) {
    s.Options.ArmyChoice = 2;
    flow.ResetGame();
    EXPECT_EQ(s.Record.SideToMove, -1);
    EXPECT_EQ(s.State, GameState::YourMove);
    EXPECT_TRUE(board.ComputerPlaysWhite());
    // Before White's move has arrived the board accepts no Black move.
    s.SelectedSquare = N("e7");
    s.SelectedPiece = -1;
    flow.StartPlayerMove(N("e7"), N("e5"));
    EXPECT_FALSE(s.Move.Animating);

    AwaitEngine();
    EXPECT_EQ(s.Record.SideToMove, 1) << "the start-up correction gives White this move";
    EXPECT_GT(s.MovingPiece, 0);
    Glide();
    EXPECT_EQ(s.State, GameState::YourMove);
    EXPECT_EQ(s.Record.SideToMove, -1);
    ExpectBoardsAgree();

    PlayerMoves("b8c6");
    EXPECT_EQ(s.State, GameState::ComputerThinking);
    EXPECT_EQ(s.Record.SideToMove, 1);
    AwaitEngine();
    Glide();
    EXPECT_EQ(s.State, GameState::YourMove);
    ExpectBoardsAgree();
}

TEST_F(GameFlowTest, ARefusedDestinationChangesNothing) {
    flow.ResetGame();
    s.SelectedSquare = N("e2");
    s.SelectedPiece = 1;
    const TSceneState before = s;
    flow.StartPlayerMove(N("e2"), N("e5"));
    EXPECT_FALSE(s.Move.Animating);
    EXPECT_EQ(s.SelectedSquare, N("e2")) << "the piece stays selected";
    EXPECT_EQ(s.Record.Squares, before.Record.Squares);
    EXPECT_TRUE(clock.Enabled());
}

// Detached, the flow hears nothing more of the board: not a move, a
// capture, a check, a castling nor the end of the game.
TEST_F(GameFlowTest, DetachedTheFlowHearsNothingOfTheBoard) {
    Setup(Diagram({"....k...", "...q....", "........", "........", "........", "........", "........", "R...K..R"}), true,
          AllCastling);
    flow.DetachBoardEvents();
    const TSceneState before = s;
    // Castling, a quiet move, a check and a capture.
    for (const char* m : {"e1g1", "d7a4", "f1f8", "e8f8"}) ASSERT_TRUE(Play(board, m)) << m;
    EXPECT_TRUE(sounds.empty());
    EXPECT_EQ(s.Record.Squares, before.Record.Squares);
    EXPECT_EQ(s.State, before.State);
    flow.AttachBoardEvents();
}

TEST_F(GameFlowTest, CastlingMovesTheRookOnTheScenesBoard) {
    Setup(Diagram({"r...k..r", "pppppppp", "........", "........", "........", "........", "PPPPPPPP", "R...K..R"}), true,
          AllCastling);
    PlayerMoves("e1g1");
    EXPECT_EQ(s.Record.At(N("g1")), 6);
    EXPECT_EQ(s.Record.At(N("f1")), 4);
    EXPECT_EQ(s.Record.At(N("h1")), 0);
    EngineMoves("e8c8");
    EXPECT_EQ(s.Record.At(N("c8")), -6);
    EXPECT_EQ(s.Record.At(N("d8")), -4);
    EXPECT_EQ(s.Record.At(N("a8")), 0);
    ExpectBoardsAgree();
    PlayerMoves("f1e1");
    EngineMoves("d8e8");
    ExpectBoardsAgree();
}

TEST_F(GameFlowTest, EnPassantRemovesThePawnBehindTheDestination) {
    // The player's capture.
    Setup(Diagram({"....k...", "...p....", "........", "....P...", "........", "........", "........", "....K..."}), false);
    s.Record.SideToMove = -1;
    EngineMoves("d7d5");
    PlayerMoves("e5d6");
    EXPECT_EQ(s.Record.At(N("d5")), 0);
    EXPECT_EQ(s.Record.At(N("d6")), 1);
    ExpectBoardsAgree();

    // The engine's capture.
    Setup(Diagram({"....k...", "........", "........", "........", "...p....", "........", "....P...", "....K..."}), true);
    PlayerMoves("e2e4");
    EngineMoves("d4e3");
    EXPECT_EQ(s.Record.At(N("e4")), 0);
    EXPECT_EQ(s.Record.At(N("e3")), -1);
    ExpectBoardsAgree();
}

TEST_F(GameFlowTest, ThePlayersPromotionWaitsForTheChoiceAndTheEnginesBecomesAQueen) {
    Setup(Diagram({"....k...", "P.......", "........", "........", "........", "........", ".......p", "....K..."}), true);
    PlayerMoves("a7a8");
    EXPECT_EQ(s.State, GameState::ChoosePromotion);
    EXPECT_EQ(StatusText(s), "Please select piece");
    EXPECT_EQ(s.Record.SideToMove, 1);
    EXPECT_EQ(board.PieceAt(Sq("a7")), 'P') << "the board is told only after the choice";

    flow.CompletePromotion(2);
    EXPECT_EQ(s.Record.At(N("a8")), 2);
    EXPECT_EQ(s.Record.PromotionLetter, 'N');
    EXPECT_EQ(board.PieceAt(Sq("a8")), 'N');
    EXPECT_EQ(s.State, GameState::ComputerThinking);
    EXPECT_EQ(s.Record.SideToMove, -1);
    EXPECT_NE(std::find(sounds.begin(), sounds.end(), 5), sounds.end());

    EngineMoves("h2h1");
    EXPECT_EQ(board.PieceAt(Sq("h1")), 'q');
    EXPECT_EQ(s.Record.At(N("h1")), -5);
    EXPECT_EQ(s.State, GameState::YourMove);
}

TEST_F(GameFlowTest, ClocksCountForTheSideToMoveAndPauseDuringAGlide) {
    flow.ResetGame();
    flow.Timer1Timer();
    flow.Timer1Timer();
    EXPECT_EQ(s.Record.WhiteSeconds, 2);
    s.SelectedSquare = N("g1");
    s.SelectedPiece = 2;
    flow.StartPlayerMove(N("g1"), N("f3"));
    EXPECT_FALSE(clock.Enabled());
    board.SetComputerPlaysBlack(false);
    Glide();
    EXPECT_TRUE(clock.Enabled());
    flow.Timer1Timer();
    EXPECT_EQ(s.Record.BlackSeconds, 1);
    EXPECT_EQ(FormatClock(s.Record.WhiteSeconds), "00 : 00 : 02");
}

TEST_F(GameFlowTest, MateEndsTheGameWithTwoCheckSounds) {
    Setup(Diagram({".......k", "......pp", "........", "........", "........", "........", "........", "R.....K."}), true);
    PlayerMoves("a1a8");
    EXPECT_EQ(s.State, GameState::GameOver);
    EXPECT_EQ(StatusText(s), "Mate");
    EXPECT_EQ(s.Window, OpenWindow::GameMenu);
    EXPECT_FALSE(clock.Enabled());
    EXPECT_EQ(std::count(sounds.begin(), sounds.end(), 7), 2);
}

struct DrawCase {
    const char* Name;
    std::string Position;
    std::vector<const char*> Moves;  // alternately the player's (White) and the engine's
    const char* Text;
};

class GameFlowDrawTest : public GameFlowTest, public ::testing::WithParamInterface<DrawCase> {};

TEST_P(GameFlowDrawTest, EachDrawEndsTheGameWithItsReason) {
    const DrawCase& c = GetParam();
    Setup(c.Position, true);
    for (size_t i = 0; i < c.Moves.size(); ++i) {
        if (i % 2 == 0)
            PlayerMoves(c.Moves[i]);
        else
            EngineMoves(c.Moves[i]);
    }
    EXPECT_EQ(s.State, GameState::GameOver);
    EXPECT_EQ(StatusText(s), c.Text);
    EXPECT_EQ(s.Window, OpenWindow::GameMenu);
    EXPECT_FALSE(clock.Enabled()) << "the clocks of a finished game stay stopped, also after the last glide";
}

INSTANTIATE_TEST_SUITE_P(
    Draws, GameFlowDrawTest,
    ::testing::Values(
        DrawCase{"Stalemate", Diagram({"k.......", "........", ".K......", "..Q.....", "........", "........", "........", "........"}),
                 {"c5c7"}, "StaleMate"},
        DrawCase{"NoMatingMaterial",
                 Diagram({".......k", "........", "........", "........", "........", "........", "..p.....", "KB......"}),
                 {"b1c2"}, "No Mating Material"},
        DrawCase{"Threefold", Diagram({"k......r", "........", "........", "........", "........", "........", "........", "K......R"}),
                 {"h1h2", "h8h7", "h2h1", "h7h8", "h1h2", "h8h7", "h2h1", "h7h8"}, "Threefold Position"}),
    [](const auto& param) { return std::string(param.param.Name); });

TEST_F(GameFlowTest, ANewGameStopsAGlideOfTheOldOne) {
    flow.ResetGame();
    s.SelectedSquare = N("e2");
    s.SelectedPiece = 1;
    flow.StartPlayerMove(N("e2"), N("e4"));
    ASSERT_TRUE(s.Move.Animating);
    flow.ResetGame();
    EXPECT_FALSE(s.Move.Animating);
    for (int i = 0; i < 200; ++i) flow.TimerProcess();
    EXPECT_EQ(s.Record.Squares, StartingSquares) << "the old glide never lands on the new board";
    EXPECT_EQ(s.State, GameState::YourMove);
    EXPECT_EQ(board.PieceAt(Sq("e2")), 'P');
}

struct GlideCase {
    int FromX, FromY, ToX, ToY;
    double StepX, StepY;
};

TEST_F(GameFlowTest, GlideDirections) {
    const GlideCase cases[] = {
        {100, 200, 300, 200, 1, 0},     // same row: horizontal
        {300, 200, 100, 200, -1, 0},
        {100, 200, 100, 100, 0, -1},    // same column: vertical
        {100, 100, 200, 150, 1, 0.5},   // longer across
        {100, 100, 50, 300, -0.25, 1},  // longer down
        {100, 100, 100, 100, 1, 0},     // both equal: the row rule wins
    };
    for (const GlideCase& c : cases) {
        s.Move = {};
        s.Move.FromX = c.FromX;
        s.Move.FromY = c.FromY;
        s.Move.ToX = c.ToX;
        s.Move.ToY = c.ToY;
        flow.StartMoveAnimation();
        EXPECT_DOUBLE_EQ(s.Move.StepX, c.StepX) << c.FromX << "," << c.FromY << " to " << c.ToX << "," << c.ToY;
        EXPECT_DOUBLE_EQ(s.Move.StepY, c.StepY) << c.FromX << "," << c.FromY << " to " << c.ToX << "," << c.ToY;
        EXPECT_TRUE(s.Move.Animating);
    }
}

TEST_F(GameFlowTest, WithTheClassicBoardShownAMoveArrivesOnTheNextTick) {
    NewGameWithoutEngine();
    s.Options.ClassicBoard = 2;
    s.SelectedSquare = N("e2");
    s.SelectedPiece = 1;
    flow.StartPlayerMove(N("e2"), N("e4"));
    flow.TimerProcess();
    EXPECT_FALSE(s.Move.Animating);
    EXPECT_EQ(s.Record.At(N("e4")), 1);
}

TEST_F(GameFlowTest, TickAnimations) {
    TSceneState fresh;
    EXPECT_EQ(fresh.RingX[0], 0) << "no ring before the first tick";
    s.Pulse = 20;
    s.PulseStep = -1;
    s.Screen = ScreenMode::Menu;
    s.PreviewZoom = 6.0;
    int lowest = 100, highest = 0;
    for (int i = 0; i < 300; ++i) {
        flow.TimerProcess();
        lowest = std::min(lowest, s.Pulse);
        highest = std::max(highest, s.Pulse);
        // The ring swings around (222, 419) at a radius between about 84 and 168.
        const double r = std::hypot(s.RingX[0] - 222, s.RingY[0] - 419);
        EXPECT_GE(r, 82);
        EXPECT_LE(r, 169);
    }
    EXPECT_EQ(lowest, 1);
    EXPECT_EQ(highest, 51);
    EXPECT_DOUBLE_EQ(s.PreviewZoom, 6.0) << "the zoom decays on the game screen only";
    s.Screen = ScreenMode::Game;
    for (int i = 0; i < 400; ++i) flow.TimerProcess();
    EXPECT_DOUBLE_EQ(s.PreviewZoom, 1.0);
}

TEST(Records, FormatClockAndPieceTables) {
    EXPECT_EQ(FormatClock(0), "00 : 00 : 00");
    EXPECT_EQ(FormatClock(3725), "01 : 02 : 05");
    EXPECT_EQ(FormatClock(360000), "100 : 00 : 00");
    EXPECT_EQ(PiecePattern(1), 0);
    EXPECT_EQ(PiecePattern(6), 5);
    EXPECT_EQ(PiecePattern(-1), 6);
    EXPECT_EQ(PiecePattern(-6), 11);
    EXPECT_EQ(PieceName(-2), "Black Knight");
    EXPECT_EQ(PieceAnchor(5).Y, 188);
    TSceneState s;
    SetDefaultOptions(s);
    EXPECT_EQ(s.Record.EngineDepth, 3);
    EXPECT_EQ(PlayerSide(s.Options), 1);
    EXPECT_EQ(s.Options.EnginePriority, 2);
}

// Playing the real program as a person would, on the test display: clicks
// and keys through XTEST, every step checked on what the window shows
// (pixels read back and compared with the golden pictures of the screens,
// or with what the same place showed before).

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <random>
#include <set>
#include <thread>

#include "chess/ChessBoard.h"
#include "game/geometry/BoardGeometry.h"
#include "tests/e2e/GameFixture.h"
#include "tools/xdrive/MachineLoad.h"

using namespace zelkor;
using namespace zelkor::game;
using namespace zelkor::testing_support;
using namespace std::chrono_literals;

namespace {

struct TRect {
    int X, Y, W, H;
};

// Main menu and options items (their boxes' middles).
constexpr int kItemX = 120;
int ItemY(int item) { return 155 + 40 * (item - 1) + 12; }

// The status line's place; "Your move?" there is what the golden castle
// and town pictures show.
constexpr TRect kStatus{10, 718, 240, 32};
// A patch of each scene's background that nothing is drawn over.
constexpr TRect kBackdrop{560, 110, 60, 60};
// A patch of the window drawn for the quit confirmation and the end of a game.
constexpr TRect kWindowPatch{560, 300, 150, 30};
// The classic board at its first size (27 %), White below.
constexpr TRect kClassic{10, 64, 216, 216};
// Where the pointer rests while the board is read.
constexpr int kRestX = 600, kRestY = 700;

// A square's box on the classic board at 27 %, in window pixels.
TRect ClassicSquare(Square sq) {
    const TScreenRect r = ClassicSquareRect(SquareIndex(sq), 27, false);
    return {r.X, r.Y, r.Size, r.Size};
}

// A small patch just above a square's centre on the 3D board: the body of
// a piece standing there, clear of the square's corner markers and of the
// pointer (which hangs below and right of its tip).
TRect PiecePatch(std::string_view square, int location) {
    const TScreenPoint c =
        SquareCenter(SquareFromName(square), location == 2 ? TScreenPoint{13, 73} : TScreenPoint{0, 0});
    return {c.X - 4, c.Y - 16, 8, 10};
}

class PlayTest : public GameTest {
protected:
    std::vector<uint32_t> Grab(const TRect& r) { return driver.CaptureRegion(scene, r.X, r.Y, r.W, r.H); }
    // The piece patches of all 64 squares on the castle's board, A8..H1, as
    // `cut` gives each rectangle.
    template <class Cut>
    static std::vector<std::vector<uint32_t>> EachPatch(Cut cut) {
        std::vector<std::vector<uint32_t>> all;
        for (int i = 1; i <= 64; ++i) all.push_back(cut(PiecePatch(SquareName(static_cast<Square>(i)), 1)));
        return all;
    }
    // ... as the window shows them now.
    std::vector<std::vector<uint32_t>> Patches() {
        return EachPatch([&](const TRect& r) { return Grab(r); });
    }
    // Whether a square's patch, other than those in `except`, has changed
    // from `before` (more than `share` of its pixels).
    static bool AnyPatchChanged(const std::vector<std::vector<uint32_t>>& before,
                                const std::vector<std::vector<uint32_t>>& now, const std::set<Square>& except,
                                double share = 0.3) {
        for (int i = 1; i <= 64 && size_t(i) <= before.size() && size_t(i) <= now.size(); ++i)
            if (!except.count(static_cast<Square>(i)) && Changed(before[size_t(i - 1)], now[size_t(i - 1)]) > share)
                return true;
        return false;
    }
    // ... as the starting picture shows them.
    std::vector<std::vector<uint32_t>> StartPatches() {
        return EachPatch([&](const TRect& r) { return GoldenRegion("castle", r.X, r.Y, r.W, r.H); });
    }

    // Share of the pixels that differ clearly between two captures of one place.
    static double Changed(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
        if (a.size() != b.size() || a.empty()) return 1.0;
        size_t n = 0;
        for (size_t i = 0; i < a.size(); ++i) n += ColorDistance(a[i], b[i]) > 40;
        return double(n) / double(a.size());
    }
    // Waits until more than `share` of the place's pixels have changed.
    bool WaitForChange(const TRect& r, const std::vector<uint32_t>& before, const std::string& what, double share = 0.3,
                       std::chrono::milliseconds limit = 20s) {
        if (TXDriver::WaitUntil([&] { return Changed(Grab(r), before) > share; }, limit)) return true;
        ADD_FAILURE() << what << "; the window as it was: " << Keep(scene, what);
        return false;
    }

    bool Shows(const std::string& golden, const TRect& r) { return RegionLike(scene, golden, r.X, r.Y, r.W, r.H); }
    bool WaitFor(const std::string& golden, const TRect& r, const std::string& what, std::chrono::milliseconds limit = 20s) {
        return WaitForRegion(scene, golden, r.X, r.Y, r.W, r.H, what, limit);
    }

    void Click(int x, int y) { driver.Click(scene, x, y); }
    void ClickSquare3D(std::string_view square, int location) {
        const TScreenPoint c =
            SquareCenter(SquareFromName(square), location == 2 ? TScreenPoint{13, 73} : TScreenPoint{0, 0});
        Click(c.X, c.Y);
    }
    void ClickClassic(Square sq) {
        const TRect r = ClassicSquare(sq);
        Click(r.X + r.W / 2, r.Y + r.H / 2);
    }
    // Moves the pointer out of the way and waits until the game shows it
    // there: the game draws its own pointer, so until then a capture may
    // still show it where it was (over the classic board, say). The pointer
    // rests at one of two places in turn, so that it always moves.
    void Rest() {
        restRight_ = !restRight_;
        const TRect place{kRestX + (restRight_ ? 60 : 0), kRestY, 8, 8};
        const auto before = Grab(place);
        driver.MoveTo(scene, place.X, place.Y);
        TXDriver::WaitUntil([&] { return Changed(Grab(place), before) > 0; }, 5s);
    }
    bool restRight_ = false;
    // A place as it stands once it has come to rest: two captures a tenth
    // of a second apart that agree.
    std::vector<uint32_t> Settled(const TRect& r) {
        std::vector<uint32_t> last = Grab(r), now;
        TXDriver::WaitUntil(
            [&] {
                std::this_thread::sleep_for(100ms);
                now = Grab(r);
                const bool same = !now.empty() && now == last;
                last = now;
                return same;
            },
            20s);
        return last;
    }

    // The engine's reply on the 3D board: `before` holds the patches taken
    // ahead of the player's move, `path` the squares the player's piece left,
    // crossed and reached (and the one above, which a piece standing there
    // covers). Any other patch changes when the engine lifts its piece, and
    // "Your move?" shows again once that piece has glided in. (The "Please
    // wait. Thinking..." between the two can be too short to be seen.)
    void AwaitReply(const std::string& golden, const std::vector<std::vector<uint32_t>>& before,
                    const std::set<Square>& path) {
        EXPECT_TRUE(TXDriver::WaitUntil([&] { return AnyPatchChanged(before, Patches(), path); }, 60s))
            << "the engine never replied: " << Keep(scene, "reply");
        WaitFor(golden, kStatus, "\"Your move?\" after the engine's reply", 60s);
    }
    // The engine's reply on the classic board, where pieces arrive at once:
    // a square other than the player's two changes from `before` (the board
    // captured ahead of the player's move), then "Your move?" shows again.
    void AwaitClassicReply(const std::string& golden, const std::vector<uint32_t>& before, Square from, Square to) {
        auto other = [&] {
            for (const int i : ChangedSquares(before, Grab(kClassic), 0))
                if (i != SquareIndex(from) && i != SquareIndex(to)) return true;
            return false;
        };
        EXPECT_TRUE(TXDriver::WaitUntil(other, 60s)) << "the engine never replied: " << Keep(scene, "reply");
        WaitFor(golden, kStatus, "\"Your move?\" after the engine's reply", 60s);
    }
    // The classic board's squares (1..64) with more than a few pixels that
    // differ clearly between two captures of it, `margin` pixels inside
    // each square's edge.
    static std::set<int> ChangedSquares(const std::vector<uint32_t>& before, const std::vector<uint32_t>& now, int margin) {
        std::set<int> changed;
        if (before.size() != now.size()) return changed;
        for (int i = 1; i <= 64; ++i) {
            const TRect r = ClassicSquare(static_cast<Square>(i));
            int n = 0;
            for (int y = r.Y + margin; y < r.Y + r.H - margin; ++y)
                for (int x = r.X + margin; x < r.X + r.W - margin; ++x) {
                    const size_t k = size_t(y - kClassic.Y) * size_t(kClassic.W) + size_t(x - kClassic.X);
                    n += ColorDistance(before[k], now[k]) > 40;
                }
            if (n > 12) changed.insert(i);
        }
        return changed;
    }

    // Escape from the game: the title screen with its main menu.
    void ToMainMenu() {
        driver.Key(scene, "Escape");
        WaitFor("title", {560, 80, 380, 200}, "the title screen");
    }
    void Quit(TGameProcess& game) {
        Click(kItemX, ItemY(4));
        WaitFor("quit", kWindowPatch, "the quit confirmation");
        Click(560, 412);
        EXPECT_EQ(game.Wait(10s), 0) << game.ErrorOutput();
    }
    // From the main menu: the options list, the given items clicked in turn, back.
    void SetOptions(std::initializer_list<int> items) {
        Click(kItemX, ItemY(3));
        WaitFor("options", {86, 152, 100, 24}, "the options list");
        for (int item : items) Click(kItemX, ItemY(item));
        Click(kItemX, ItemY(9));
        WaitFor("title", {86, 300, 5, 5}, "the main menu after the options");
    }

    TXDriver::TWindowInfo scene;
};

TEST_F(PlayTest, WhiteMovesOnBothBoardsThenLeavesThroughTheQuitConfirmation) {
    CopyContent();
    auto game = Start();
    scene = StartWindowed(*game);
    ASSERT_NE(scene.Id, 0u);

    Click(kItemX, ItemY(1));  // "play game"
    ASSERT_TRUE(WaitFor("castle", kBackdrop, "the castle"));
    ASSERT_TRUE(WaitFor("castle", kStatus, "\"Your move?\""));
    const auto before = Patches();
    const auto e2 = before[SquareIndex(Square::E2) - 1], e4 = before[SquareIndex(Square::E4) - 1];
    ClickSquare3D("e2", 1);
    ClickSquare3D("e4", 1);
    Rest();
    // A light pawn standing on a light square differs from the bare square
    // in only about a quarter of its patch; a higher bar is passed only by
    // a frame of the glide, which a busy machine may never show.
    ASSERT_TRUE(WaitForChange(PiecePatch("e4", 1), e4, "the pawn arriving on e4", 0.15));
    EXPECT_GT(Changed(Grab(PiecePatch("e2", 1)), e2), 0.15) << "e2 must be empty";
    AwaitReply("castle", before, {Square::E2, Square::E3, Square::E4, Square::E5});

    // Options: the town, the wooden classic board; a new game there.
    ToMainMenu();
    SetOptions({4, 5});
    Click(kItemX, ItemY(1));
    ASSERT_TRUE(WaitFor("town", kBackdrop, "the town"));
    ASSERT_TRUE(WaitFor("town", kStatus, "\"Your move?\" in the town"));
    Rest();
    const auto classic = Grab(kClassic);
    const auto d2 = Grab(ClassicSquare(Square::D2)), d4 = Grab(ClassicSquare(Square::D4));
    ClickClassic(Square::D2);
    ClickClassic(Square::D4);
    Rest();
    ASSERT_TRUE(WaitForChange(ClassicSquare(Square::D4), d4, "the pawn arriving on the classic board's d4", 0.1));
    EXPECT_GT(Changed(Grab(ClassicSquare(Square::D2)), d2), 0.1) << "d2 must be empty";
    AwaitClassicReply("town", classic, Square::D2, Square::D4);

    ToMainMenu();
    Quit(*game);
}

TEST_F(PlayTest, BlackWaitsForTheEnginesOpeningThenAnswers) {
    CopyContent();
    auto game = Start();
    scene = StartWindowed(*game);
    ASSERT_NE(scene.Id, 0u);
    SetOptions({1});  // "Brunettes"
    Click(kItemX, ItemY(1));
    ASSERT_TRUE(WaitFor("castle", kBackdrop, "the castle"));
    Rest();
    // The middle of the board is empty in the starting picture; the engine's
    // piece glides onto the third or fourth rank and stands there. Until it
    // has arrived the board takes no reply, though the status already says
    // the player is to move.
    const auto start = StartPatches();
    std::set<Square> outside;
    for (int i = 1; i <= 64; ++i)
        if (i < SquareIndex(Square::A4) || i > SquareIndex(Square::H3)) outside.insert(static_cast<Square>(i));
    std::vector<std::vector<uint32_t>> last;
    int unchanged = 0;
    auto arrived = [&] {
        std::this_thread::sleep_for(80ms);
        auto now = Patches();
        unchanged = now == last ? unchanged + 1 : 0;
        last = std::move(now);
        return unchanged >= 4 && AnyPatchChanged(start, last, outside);
    };
    ASSERT_TRUE(TXDriver::WaitUntil(arrived, 60s)) << "White's first move never came: " << Keep(scene, "opening");
    ASSERT_TRUE(WaitFor("castle", kStatus, "\"Your move?\" for Black"));
    const auto before = Patches();
    const auto e5 = before[SquareIndex(Square::E5) - 1];
    ClickSquare3D("e7", 1);
    ClickSquare3D("e5", 1);
    Rest();
    ASSERT_TRUE(WaitForChange(PiecePatch("e5", 1), e5, "Black's pawn arriving on e5"));
    AwaitReply("castle", before, {Square::E8, Square::E7, Square::E6, Square::E5});
    ToMainMenu();
    Quit(*game);
}

// Minimised, the game draws nothing but goes on: the player's piece glides
// in, the computer answers and its piece glides in while the window is
// away; restored, the window shows the game where it now stands, and the
// clocks have counted the time.
TEST_F(PlayTest, AMinimisedGameGoesOnAndShowsWhereItStandsWhenRestored) {
    CopyContent();
    auto game = Start();
    scene = StartWindowed(*game);
    ASSERT_NE(scene.Id, 0u);
    Click(kItemX, ItemY(1));
    ASSERT_TRUE(WaitFor("castle", kStatus, "\"Your move?\""));
    Rest();
    const auto before = Patches();
    const TRect clocks{700, 718, 300, 30};
    const auto clocksBefore = Settled(clocks);
    ClickSquare3D("e2", 1);
    ClickSquare3D("e4", 1);
    driver.Minimize(scene);
    // Long enough for both glides and an "Easy" search, on a busy machine too.
    std::this_thread::sleep_for(std::chrono::duration<double>(4.0 * MachineSlowdown()));
    driver.Restore(scene);
    ASSERT_TRUE(TXDriver::WaitUntil([&] { return driver.Refresh(scene) && scene.Viewable; }, 10s));
    // The first picture shown again has the reply on the board and the
    // player to move already: a game that stood still while away would
    // only now glide a piece in.
    ASSERT_TRUE(WaitFor("castle", kBackdrop, "the castle shown again"));
    const std::set<Square> path{Square::E2, Square::E3, Square::E4, Square::E5};
    const bool replied = AnyPatchChanged(before, Patches(), path), yourMove = Shows("castle", kStatus);
    EXPECT_TRUE(replied && yourMove) << "the game was not where it stands when the window came back: "
                                     << Keep(scene, "restored");
    Rest();
    AwaitReply("castle", before, path);
    EXPECT_GT(Changed(Grab(PiecePatch("e4", 1)), before[SquareIndex(Square::E4) - 1]), 0.15) << "the pawn must stand on e4";
    EXPECT_GT(Changed(Grab(clocks), clocksBefore), 0.0) << "the clocks must have run: " << Keep(scene, "clocks");
    ToMainMenu();
    Quit(*game);
}

// A whole game at "Easy" (the default) on the classic board against a player
// that picks a random legal move: the player follows the game on a board of
// its own, reading each reply off the screen, until the end-of-game window
// shows; " Rematch" then sets the pieces up again.
TEST_F(PlayTest, AWholeGameAtEasyEndsInTheEndOfGameWindowAndRematchStartsAgain) {
    CopyContent();
    auto game = Start();
    scene = StartWindowed(*game);
    ASSERT_NE(scene.Id, 0u);
    SetOptions({5});  // the wooden classic board
    Click(kItemX, ItemY(1));
    ASSERT_TRUE(WaitFor("castle", kBackdrop, "the castle"));
    ASSERT_TRUE(WaitFor("castle", kStatus, "\"Your move?\""));
    Rest();
    const auto start = Settled(kClassic);

    TChessBoard model;
    model.SetComputerPlaysWhite(false);
    model.SetComputerPlaysBlack(false);
    // The board ends a game only for a listener of its mate and draw events.
    model.OnMate = [](TObject*, Square, Square) {};
    model.OnDraw = [](TObject*) {};
    model.NewGame();
    auto squares = [&] {
        std::array<char, 65> s{};
        for (int i = 1; i <= 64; ++i) s[size_t(i)] = model.PieceAt(static_cast<Square>(i));
        return s;
    };
    auto legal = [&] {
        std::vector<std::pair<Square, Square>> moves;
        for (int a = 1; a <= 64; ++a)
            for (int b = 1; b <= 64; ++b)
                if (model.IsLegalMove(static_cast<Square>(a), static_cast<Square>(b)))
                    moves.emplace_back(static_cast<Square>(a), static_cast<Square>(b));
        return moves;
    };
    // The classic board's squares that differ from a capture of it.
    auto changedSquares = [](const std::vector<uint32_t>& before, const std::vector<uint32_t>& now) {
        return ChangedSquares(before, now, 2);
    };

    std::mt19937 random(20261210);
    int moves = 0;
    bool over = false;
    for (; moves < 200 && !over; ++moves) {
        Rest();
        const auto before = Grab(kClassic);
        const auto p0 = squares();
        const auto options = legal();
        ASSERT_FALSE(options.empty()) << "the player has no move, yet no window showed";
        const auto [from, to] = options[std::uniform_int_distribution<size_t>(0, options.size() - 1)(random)];
        const bool promotes = (model.PieceAt(from) == 'P') && SquareIndex(to) <= 8;
        model.OnPromotion = [](TObject*, Square, Square, char& piece) { piece = 'Q'; };
        ASSERT_TRUE(model.PlayMove(from, to));
        ClickClassic(from);
        ClickClassic(to);
        if (promotes) {
            // The picker comes up once the pawn has arrived; the queen is the lowest choice.
            const auto picker = Grab({630, 581, 90, 90});
            Rest();
            ASSERT_TRUE(WaitForChange({630, 581, 90, 90}, picker, "the promotion picker", 0.1));
            Click(675, 626);
        }
        if (model.GameEnded()) {
            over = true;
            break;
        }
        // The engine's reply: the one legal reply whose squares are the ones
        // that changed on the screen, once the screen has settled.
        const auto p1 = squares();
        std::vector<std::pair<std::pair<Square, Square>, std::set<int>>> replies;
        for (const auto& move : legal()) replies.push_back({move, {}});
        // The squares each reply would change, from the player's position before its move.
        for (auto& [move, set] : replies) {
            std::array<char, 65> after = p1;
            const int a = SquareIndex(move.first), b = SquareIndex(move.second);
            const char piece = after[size_t(a)];
            after[size_t(b)] = (piece == 'p' && b >= 57) ? 'q' : piece;
            after[size_t(a)] = Blank;
            // Castling moves the rook too; en passant takes the pawn beside.
            if (piece == 'k' && a == 5 && b == 7) after[8] = Blank, after[6] = 'r';
            if (piece == 'k' && a == 5 && b == 3) after[1] = Blank, after[4] = 'r';
            if (piece == 'p' && (b - a == 7 || b - a == 9) && p1[size_t(b)] == Blank) after[size_t(b - 8)] = Blank;
            for (int i = 1; i <= 64; ++i)
                if (after[size_t(i)] != p0[size_t(i)]) set.insert(i);
        }
        Rest();
        std::pair<Square, Square> reply{Square::None, Square::None};
        std::set<int> last;
        const bool seen = TXDriver::WaitUntil(
            [&] {
                // The reply has arrived once the status says "Your move?" again
                // (or the game is over); before that a frame may show its piece
                // lifted from its square and not yet put down.
                const bool arrived = Shows("castle", kStatus) || Shows("game_over", kWindowPatch);
                const std::set<int> now = changedSquares(before, Grab(kClassic));
                const bool settled = arrived && now == last;
                last = arrived ? now : std::set<int>{};
                if (!settled) return false;
                for (const auto& [move, set] : replies)
                    if (set == now) {
                        reply = move;
                        return true;
                    }
                return false;
            },
            60s);
        ASSERT_TRUE(seen) << "no reply matched the screen after " << moves << " moves: " << Keep(scene, "reply");
        model.OnPromotion = [](TObject*, Square, Square, char& piece) { piece = 'q'; };
        ASSERT_TRUE(model.PlayMove(reply.first, reply.second));
        if (model.GameEnded()) over = true;
    }
    ASSERT_TRUE(over) << "no end within " << moves << " moves";
    // The player's board agrees that the game is over.
    EXPECT_TRUE(model.GameEnded()) << "the window showed after " << moves << " moves, with the game still on";
    std::printf("the game ended after %d moves of the player\n", moves + 1);
    ASSERT_TRUE(WaitFor("game_over", kWindowPatch, "the end-of-game window", 30s));

    Click(512, 412);  // " Rematch"
    Rest();
    EXPECT_TRUE(TXDriver::WaitUntil([&] { return Changed(Grab(kClassic), start) == 0.0; }, 20s))
        << "the pieces were not set up again: " << Keep(scene, "rematch");
    EXPECT_FALSE(Shows("game_over", kWindowPatch)) << "the window must close";
    ASSERT_TRUE(WaitFor("castle", kStatus, "\"Your move?\" after the rematch"));
    ToMainMenu();
    Quit(*game);
}

} // namespace

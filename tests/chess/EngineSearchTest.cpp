#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "tests/chess/EngineFixture.h"

using namespace zelkor;
using namespace zelkor::engine;
using namespace zelkor::testing_support;

namespace {

std::string Best(const std::string& fen, int depth, TChessEngine* engine = nullptr) {
    TChessEngine local;
    TChessEngine& e = engine ? *engine : local;
    LoadEngine(e, fen);
    return MoveText(e.Think(depth));
}

} // namespace

TEST(EngineSearch, TakesAFreeQueenAtDepthOne) {
    EXPECT_EQ(Best("4k3/8/8/3q4/8/8/8/3RK3 w - - 0 1", 1), "d1d5");
}

TEST(EngineSearch, FindsAMateInOneAtEveryDepth) {
    for (int depth = 1; depth <= 4; ++depth)
        EXPECT_EQ(Best("6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1", depth), "a1a8") << depth;
}

TEST(EngineSearch, MateScoresCountPliesFromTheRoot) {
    TChessEngine e;
    int lastScore = 0;
    LoadEngine(e, "6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1");
    e.Think(2, nullptr, [&](const SearchIteration& it) { lastScore = it.Score; });
    EXPECT_EQ(lastScore, Infinity - 1);

    // A root that is already mate scores -10000 and writes no move.
    LoadEngine(e, "R5k1/5ppp/8/8/8/8/8/6K1 b - - 0 1");
    const EngineMove before = e.BestMove();
    e.Think(3, nullptr, [&](const SearchIteration& it) { lastScore = it.Score; });
    EXPECT_EQ(lastScore, -Infinity);
    EXPECT_EQ(e.BestMove(), before);
}

TEST(EngineSearch, PrefersTheShorterMate) {
    // Qa8 mates at once; other queen moves mate later.
    TChessEngine e;
    int score = 0;
    LoadEngine(e, "6k1/5ppp/8/8/8/8/8/Q5K1 w - - 0 1");
    e.Think(3, nullptr, [&](const SearchIteration& it) { score = it.Score; });
    EXPECT_EQ(MoveText(e.BestMove()), "a1a8");
    EXPECT_EQ(score, Infinity - 1);
}

TEST(EngineSearch, StalemateScoresZero) {
    TChessEngine e;
    int score = 1;
    LoadEngine(e, "k7/2Q5/1K6/8/8/8/8/8 b - - 0 1");
    e.Think(2, nullptr, [&](const SearchIteration& it) { score = it.Score; });
    EXPECT_EQ(score, 0);
}

TEST(EngineSearch, TheCaptureSearchEvadesChecksInsteadOfStandingPat) {
    TChessEngine e;
    // Mated: no evasion.
    LoadEngine(e, "R5k1/5ppp/8/8/8/8/8/6K1 b - - 0 1");
    e.BuildPieceSquareTables();
    EXPECT_EQ(e.SearchCaptures(-Infinity, Infinity), -Infinity);

    // In check with one quiet evasion (Kf7): the score is that of the
    // position after it, not the static value of the checked position.
    LoadEngine(e, "R5k1/6pp/8/8/8/8/8/6K1 b - - 0 1");
    e.BuildPieceSquareTables();
    const int score = e.SearchCaptures(-Infinity, Infinity);
    e.GenerateMoves();
    int after = 0;
    for (int i = e.ListBegin(); i < e.ListEnd(); ++i) {
        if (MoveText(e.ListEntry(i).Move) != "g8f7") continue;
        ASSERT_TRUE(e.DoMove(e.ListEntry(i).Move));
        after = -e.EvaluatePosition();
        e.UndoMove();
    }
    EXPECT_EQ(score, after);
}

TEST(EngineSearch, AllEqualMovesGiveTheFirstTried) {
    // Bare kings: every move scores the same; the first quiet move in
    // generation order wins with a fresh principal-variation table.
    EXPECT_EQ(Best("8/8/8/8/8/2k5/8/K7 w - - 0 1", 1), "a1a2");
}

TEST(EngineSearch, SameStateSameMoveAndNodes) {
    TChessEngine a;
    TChessEngine b;
    LoadEngine(a, kKiwipete);
    LoadEngine(b, kKiwipete);
    const EngineMove ma = a.Think(4);
    const EngineMove mb = b.Think(4);
    EXPECT_EQ(ma, mb);
    EXPECT_EQ(a.Nodes(), b.Nodes());
    EXPECT_GT(a.Nodes(), 1000u);

    // The principal variation of the last search orders the next one: a
    // second search differs from a fresh engine's only through that table.
    LoadEngine(a, kKiwipete);
    a.Think(4);
    a.Reset();
    LoadEngine(a, kKiwipete);
    EXPECT_EQ(a.Think(4), mb);
    EXPECT_EQ(a.Nodes(), b.Nodes());
}

TEST(EngineSearch, ANewEngineHoldsA8ToA8) {
    TChessEngine e;
    EXPECT_EQ(e.BestMove(), EngineMove{});
    EXPECT_EQ(e.PrincipalVariationLength(), 0);
}

TEST(EngineSearch, StopRequestedEndsTheSearchAndSkipsTheLaterIterations) {
    TChessEngine e;
    LoadEngine(e, kKiwipete);
    std::atomic<bool> stop{true};
    int iterations = 0;
    e.Think(8, &stop, [&](const SearchIteration&) { ++iterations; });
    EXPECT_EQ(iterations, 0);
    EXPECT_LE(e.Nodes(), 1u);

    // Stopped from another thread in the middle of a deep search.
    stop = false;
    std::thread stopper([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        stop = true;
    });
    LoadEngine(e, kKiwipete);
    e.Think(8, &stop, [&](const SearchIteration&) { ++iterations; });
    stopper.join();
    EXPECT_LT(iterations, 8);
}

TEST(EngineSearch, ReturnsToTheRootPositionAfterTheSearch) {
    TChessEngine e;
    LoadEngine(e, kKiwipete);
    std::array<int, 64> colors{}, pieces{};
    for (int s = 0; s < 64; ++s) colors[s] = e.ColorAt(s), pieces[s] = e.PieceAt(s);
    e.Think(4);
    for (int s = 0; s < 64; ++s) {
        EXPECT_EQ(e.ColorAt(s), colors[s]) << s;
        EXPECT_EQ(e.PieceAt(s), pieces[s]) << s;
    }
    EXPECT_EQ(e.CurrentPly(), 0);
    EXPECT_EQ(e.CastlingRights(), 15);
}

struct OddCase {
    const char* name;
    const char* position;  // the board's 64-character text
    bool whiteToMove;
};
std::ostream& operator<<(std::ostream& os, const OddCase& c) { return os << c.name; }
class EngineOddPositions : public ::testing::TestWithParam<OddCase> {};

// Positions that the rules never produce but a caller can set up through
// the position text: the engine searches them without reading outside its
// arrays (the sanitizer builds check this), and a stop ends even a search
// that would take very long (many queens make the capture search explode).
TEST_P(EngineOddPositions, SearchesWithoutHarm) {
    TChessBoard board;
    board.SetPosition(GetParam().position);
    TChessEngine e;
    e.LoadPosition(board.Cells(), GetParam().whiteToMove, AllCastling, Square::None);
    std::atomic<bool> stop{false};
    std::atomic<bool> done{false};
    std::thread watchdog([&] {
        for (int i = 0; i < 200 && !done; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        stop = true;
    });
    e.Think(3, &stop);
    done = true;
    watchdog.join();
    EXPECT_EQ(e.CurrentPly(), 0);
    e.LoadPosition(board.Cells(), GetParam().whiteToMove, AllCastling, Square::None);
    (void)e.Perft(2);
    EXPECT_EQ(e.CurrentPly(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Table, EngineOddPositions,
    ::testing::Values(
        OddCase{"pawns on the back ranks", "PPPPkPPP" "        " "        " "        " "        " "        "
                                           "        " "ppppKppp", true},
        OddCase{"pawns on the back ranks, black to move", "PPPPkPPP" "        " "        " "        " "        "
                                                          "        " "        " "ppppKppp", false},
        OddCase{"no kings", "rnbq bnrpppppppp                                PPPPPPPPRNBQ BNR", true},
        OddCase{"two kings each", "k      k                                                K      K", false},
        OddCase{"empty board", "", true},
        OddCase{"queens everywhere", "qqqqkqqqqqqqqqqq                                QQQQQQQQQQQQKQQQ", true},
        OddCase{"only queens and kings", "Q Q Q Qk Q Q Q Q  Q Q Q Q  q q q q q q q q  q q q q K         ",
                true}));

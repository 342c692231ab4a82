#include <gtest/gtest.h>

#include "tests/chess/EngineFixture.h"

using namespace zelkor;
using namespace zelkor::engine;
using namespace zelkor::testing_support;

namespace {

int Evaluate(const std::string& fen) {
    TChessEngine e;
    LoadEngine(e, fen);
    e.BuildPieceSquareTables();
    return e.EvaluatePosition();
}

} // namespace

TEST(EngineEvaluation, InitialPositionIsLevelForEitherSide) {
    EXPECT_EQ(Evaluate(std::string(StartFen)), 0);
    EXPECT_EQ(Evaluate("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR b KQkq - 0 1"), 0);
}

TEST(EngineEvaluation, BishopInTheCentreGainsThirty) {
    EXPECT_EQ(Evaluate("rnbqkbnr/pppppppp/8/8/4B3/8/PPPPPPPP/RNBQK1NR w KQkq - 0 1"), 30);
}

struct EvalCase {
    const char* name;
    const char* fen;
    int score;
};
std::ostream& operator<<(std::ostream& os, const EvalCase& c) { return os << c.name; }
class EngineEvalTable : public ::testing::TestWithParam<EvalCase> {};

TEST_P(EngineEvalTable, Scores) { EXPECT_EQ(Evaluate(GetParam().fen), GetParam().score); }

// Kings on squares worth 0 in the end-game table unless noted (b2/b7 ring 1).
INSTANTIATE_TEST_SUITE_P(
    Table, EngineEvalTable,
    ::testing::Values(
        // 100 + 12 - 20 (isolated) - 10 (no enemy pawn on the file) + 2 * 112 (passed).
        EvalCase{"lone passed pawn on e5", "8/1k6/8/4P3/8/8/1K6/8 w - - 0 1", 306},
        EvalCase{"seen from the other side", "8/1k6/8/4P3/8/8/1K6/8 b - - 0 1", -306},
        // A rook on an open file: 500 + 10 + 5.
        EvalCase{"rook on an open file", "8/1k6/8/8/8/8/1K6/4R3 w - - 0 1", 515},
        // Only a black pawn on the file: 500 + 10 for the rook; the black pawn:
        // 100 + 4 (e6 seen from Black is e3) - 20 - 10 + 2 * 104 = 282.
        EvalCase{"rook on a half-open file", "8/1k6/4p3/8/8/8/1K6/4R3 w - - 0 1", 510 - 282},
        // Doubled, isolated, passed: each pawn 100 + 8 or 100 + 4 - 5 - 20 - 10 + 2 * entry.
        EvalCase{"doubled passed pawns", "8/1k6/8/8/4P3/4P3/1K6/8 w - - 0 1",
                 (108 - 35 + 216) + (104 - 35 + 208)}));

TEST(EngineEvaluation, KingTablesSwitchAbove1400OfOpponentMaterial) {
    // Black holds queen and rook (1400): White's king on e1 uses the end
    // table (-5 on the edge); with a knight more (1700) the middle table (0).
    TChessEngine e;
    LoadEngine(e, "q3k2r/8/8/8/8/8/8/4K3 w - - 0 1");
    e.BuildPieceSquareTables();
    EXPECT_EQ(e.PieceSquareValue(White, King, 60), -5);
    LoadEngine(e, "q3k1nr/8/8/8/8/8/8/4K3 w - - 0 1");
    e.BuildPieceSquareTables();
    EXPECT_EQ(e.PieceSquareValue(White, King, 60), 0);
    EXPECT_EQ(e.PieceSquareValue(White, King, 62), 10);
    EXPECT_EQ(e.PieceSquareValue(Black, King, 2), -5);  // White has no pieces: Black's king is in the end game
}

TEST(EngineEvaluation, PawnShelterFollowsTheKingsWing) {
    TChessEngine e;
    LoadEngine(e, "q3k1nr/8/8/8/8/8/6P1/6K1 w - - 0 1");
    e.BuildPieceSquareTables();
    EXPECT_EQ(e.PieceSquareValue(White, Pawn, 54), 120);  // g2 with the king on g1
    LoadEngine(e, "q3k1nr/8/8/8/8/8/6P1/4K3 w - - 0 1");
    e.BuildPieceSquareTables();
    EXPECT_EQ(e.PieceSquareValue(White, Pawn, 54), 100);  // no shelter for a king on e1
    LoadEngine(e, "q3k1nr/8/8/8/8/8/1P6/1K6 w - - 0 1");
    e.BuildPieceSquareTables();
    EXPECT_EQ(e.PieceSquareValue(White, Pawn, 49), 120);
    LoadEngine(e, "4k3/8/8/8/8/8/6P1/6K1 w - - 0 1");  // end game: no shelter
    e.BuildPieceSquareTables();
    EXPECT_EQ(e.PieceSquareValue(White, Pawn, 54), 100);
}

#include <gtest/gtest.h>

#include <set>

#include "tests/chess/BoardFixture.h"

using namespace zelkor;
using namespace zelkor::testing_support;
using Lines = std::vector<std::string>;

namespace {

void PlayAll(TChessBoard& board, std::initializer_list<const char*> moves) {
    for (const char* m : moves) ASSERT_TRUE(Play(board, m)) << m;
}

} // namespace

TEST(GameEnd, FoolsMateFiresCheckMateAndPaintButNoDraw) {
    TChessBoard board;
    EventLog log(board);
    PlayAll(board, {"f2f3", "e7e5", "g2g4"});
    EXPECT_EQ(log.Take(), (Lines{"LegalMove f2f3", "Paint", "LegalMove e7e5", "Paint", "LegalMove g2g4", "Paint"}));
    EXPECT_FALSE(board.GameEnded());
    PlayAll(board, {"d8h4"});
    EXPECT_EQ(log.Take(), (Lines{"LegalMove d8h4", "Check d8h4", "Mate d8h4", "Paint"}));
    EXPECT_TRUE(board.GameEnded());
    EXPECT_FALSE(board.HasLegalMove());
}

TEST(GameEnd, WithoutAMateHandlerAMateLeavesGameEndedFalse) {
    TChessBoard board;
    EventLog log(board, /*withMateAndDraw=*/false);
    PlayAll(board, {"f2f3", "e7e5", "g2g4", "d8h4"});
    EXPECT_EQ(log.Take().back(), "Paint");
    EXPECT_FALSE(board.GameEnded());
    EXPECT_FALSE(board.HasLegalMove());
}

TEST(GameEnd, KnightShuffleReachesThreefoldAndThenNothingMoves) {
    TChessBoard board;
    EventLog log(board);
    PlayAll(board, {"g1f3", "g8f6", "f3g1", "f6g8", "g1f3", "g8f6", "f3g1"});
    EXPECT_FALSE(board.IsThreefoldRepetition());
    log.Take();
    PlayAll(board, {"f6g8"});
    EXPECT_EQ(log.Take(), (Lines{"LegalMove f6g8", "ThreefoldPosition", "Draw", "Paint"}));
    EXPECT_TRUE(board.GameEnded());
    EXPECT_TRUE(board.IsThreefoldRepetition());
    EXPECT_FALSE(board.IsLegalMove(Square::E2, Square::E4));
    EXPECT_FALSE(board.IsLegalMove(Square::G1, Square::F3));
    EXPECT_FALSE(board.HasLegalMove());
    EXPECT_FALSE(Play(board, "e2e4"));
    EXPECT_TRUE(log.Take().empty());

    board.ResetBoard();
    EXPECT_FALSE(board.IsThreefoldRepetition());
    EXPECT_TRUE(Play(board, "e2e4"));
}

TEST(GameEnd, StalemateIsADrawWithOrWithoutItsHandler) {
    const std::string position = Diagram({"k.......", "........", ".K......", "........", "........", "........",
                                          "........", "..Q....."});
    TChessBoard board;
    SetUpBoard(board, position, true);
    EventLog log(board);
    PlayAll(board, {"c1c7"});
    EXPECT_EQ(log.Take(), (Lines{"LegalMove c1c7", "StaleMate c1c7", "Draw", "Paint"}));
    EXPECT_TRUE(board.GameEnded());

    SetUpBoard(board, position, true);
    board.OnStaleMate = nullptr;
    log.Take();
    PlayAll(board, {"c1c7"});
    EXPECT_EQ(log.Take(), (Lines{"LegalMove c1c7", "Draw", "Paint"}));

    SetUpBoard(board, position, true);
    board.OnDraw = nullptr;
    log.Take();
    PlayAll(board, {"c1c7"});
    EXPECT_FALSE(board.GameEnded());
}

TEST(GameEnd, CaptureLeavingKingAndBishopAgainstKingIsDrawn) {
    TChessBoard board;
    SetUpBoard(board, Diagram({".......k", "........", "........", "........", "........", "n.......", "........",
                          "..B.K..."}),
          true);
    EventLog log(board);
    PlayAll(board, {"c1a3"});
    EXPECT_EQ(log.Take(), (Lines{"LegalMove c1a3", "Capture c1a3 n", "NoMatingMaterial", "Draw", "Paint"}));
}

struct MaterialCase {
    const char* name;
    std::string position;  // white king on a1 moves to a2 next
    bool drawn;
};
std::ostream& operator<<(std::ostream& os, const MaterialCase& c) { return os << c.name; }

class MatingMaterial : public ::testing::TestWithParam<MaterialCase> {};

TEST_P(MatingMaterial, BothSidesBelowFivePointsDraw) {
    TChessBoard board;
    SetUpBoard(board, GetParam().position, true);
    bool drawn = false;
    board.OnNoMatingMaterial = [&](TObject*) { drawn = true; };
    ASSERT_TRUE(Play(board, "a1a2"));
    EXPECT_EQ(drawn, GetParam().drawn);
}

INSTANTIATE_TEST_SUITE_P(
    Table, MatingMaterial,
    ::testing::Values(
        MaterialCase{"K against K", Diagram({".......k", "........", "........", "........", "........", "........",
                                             "........", "K......."}),
                     true},
        MaterialCase{"K+N+N against K", Diagram({".......k", "........", "........", "...NN...", "........", "........",
                                                 "........", "K......."}),
                     true},
        MaterialCase{"K+B against K+B on the same colour",
                     Diagram({".......k", "........", "...b....", "........", "........", "...B....", "........",
                              "K......."}),
                     true},
        MaterialCase{"K+N against K+N+N", Diagram({".......k", "...nn...", "........", "........", "........",
                                                   "...N....", "........", "K......."}),
                     true},
        MaterialCase{"K+B+N against K", Diagram({".......k", "........", "........", "...BN...", "........", "........",
                                                 "........", "K......."}),
                     false},
        MaterialCase{"K+B+B against K", Diagram({".......k", "........", "........", "...BB...", "........", "........",
                                                 "........", "K......."}),
                     false},
        MaterialCase{"K+P against K", Diagram({".......k", "........", "........", "........", "...P....", "........",
                                               "........", "K......."}),
                     false},
        MaterialCase{"K against K+R", Diagram({".......k", "........", "........", "........", "...r....", "........",
                                               "........", "K......."}),
                     false}));

TEST(GameEnd, CastlingThatGivesCheckAndCastlingThatMates) {
    TChessBoard board;
    SetUpBoard(board, Diagram({"...k....", "........", "........", "........", "........", "........", "........",
                          "R...K..."}),
          true, CastleSet{CanStillCastle::WhiteQueenSide});
    EventLog log(board);
    PlayAll(board, {"e1c1"});
    EXPECT_EQ(log.Take(), (Lines{"LegalMove e1c1", "Castle e1c1", "Check e1c1", "Paint"}));

    SetUpBoard(board, Diagram({"....rkr.", "....p.p.", "........", "........", "........", "........", "........",
                          "....K..R"}),
          true, CastleSet{CanStillCastle::WhiteKingSide});
    log.Take();
    PlayAll(board, {"e1g1"});
    EXPECT_EQ(log.Take(), (Lines{"LegalMove e1g1", "Castle e1g1", "Check e1g1", "Mate e1g1", "Paint"}));
}

TEST(GameEnd, AMateWithoutMatingMaterialAlsoDraws) {
    TChessBoard board;
    SetUpBoard(board, Diagram({"kn......", "........", ".K......", "...N....", "........", "........", "........",
                          "........"}),
          true);
    EventLog log(board);
    PlayAll(board, {"d5c7"});
    EXPECT_EQ(log.Take(),
              (Lines{"LegalMove d5c7", "Check d5c7", "Mate d5c7", "NoMatingMaterial", "Draw", "Paint"}));
    EXPECT_TRUE(board.GameEnded());
}

TEST(GameEnd, WithoutABlackKingEveryWhiteMoveChecksAndMates) {
    TChessBoard board;
    SetUpBoard(board, Diagram({"........", "p.......", "........", "........", "........", "........", "R.......",
                          "....K..."}),
          true);
    EventLog log(board);
    PlayAll(board, {"e1e2"});
    EXPECT_EQ(log.Take(), (Lines{"LegalMove e1e2", "Check e1e2", "Mate e1e2", "Paint"}));
}

// Plays quiet rook and king moves that never repeat a position, far past
// move 256, then shuffles back and forth: the repetition is still found.
TEST(GameEnd, AGameGoesOnPastMove256AndRepetitionIsStillDetected) {
    TChessBoard board;
    SetUpBoard(board, Diagram({"r......k", "........", "........", "........", "........", "........", "........",
                          "R......K"}),
          true);
    std::set<std::string> seen{board.Position()};
    TChessBoard scratch;

    // The first legal move of the side to move that captures nothing, gives
    // no check and reaches a position not seen before.
    auto nextMove = [&]() -> std::pair<Square, Square> {
        for (int from = 1; from <= 64; ++from) {
            for (int to = 1; to <= 64; ++to) {
                const auto a = static_cast<Square>(from);
                const auto b = static_cast<Square>(to);
                if (board.PieceAt(b) != ' ' || !board.IsLegalMove(a, b)) continue;
                SetUpBoard(scratch, board.Position(), board.WhiteToMove());
                bool check = false;
                scratch.OnCheck = [&](TObject*, Square, Square) { check = true; };
                scratch.ExecuteMove(a, b);
                if (!check && !seen.count(scratch.Position())) return {a, b};
            }
        }
        return {Square::None, Square::None};
    };

    while (board.CurrentMove() <= 300) {
        auto [a, b] = nextMove();
        ASSERT_NE(a, Square::None) << "no fresh move at move " << board.CurrentMove();
        ASSERT_TRUE(board.ExecuteMove(a, b));
        seen.insert(board.Position());
    }
    ASSERT_FALSE(board.IsThreefoldRepetition());

    // A move and its reverse for each side, until a position stands for the
    // third time (at the latest after two rounds).
    std::pair<Square, Square> shuffle[4];
    int threefold = 0;
    int played = 0;
    board.OnThreefoldPosition = [&](TObject*) { ++threefold; };
    for (int round = 0; round < 2 && threefold == 0; ++round) {
        for (int i = 0; i < 4 && threefold == 0; ++i) {
            if (round == 0 && i < 2) shuffle[i] = nextMove();
            if (round == 0 && i >= 2) shuffle[i] = {shuffle[i - 2].second, shuffle[i - 2].first};
            ASSERT_TRUE(board.ExecuteMove(shuffle[i].first, shuffle[i].second)) << round << " " << i;
            ++played;
        }
    }
    EXPECT_GT(played, 4);
    EXPECT_EQ(threefold, 1);
    EXPECT_TRUE(board.IsThreefoldRepetition());
    EXPECT_FALSE(board.HasLegalMove());
}

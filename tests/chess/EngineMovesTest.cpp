#include <gtest/gtest.h>

#include <vector>

#include "tests/chess/BoardFixture.h"
#include "tests/chess/EngineFixture.h"

using namespace zelkor;
using namespace zelkor::engine;
using namespace zelkor::testing_support;

namespace {

std::vector<std::string> GeneratedMoves(TChessEngine& e, bool capturesOnly = false) {
    if (capturesOnly)
        e.GenerateCaptures();
    else
        e.GenerateMoves();
    std::vector<std::string> out;
    for (int i = e.ListBegin(); i < e.ListEnd(); ++i) out.push_back(MoveText(e.ListEntry(i).Move));
    return out;
}

const ScoredMove* Find(TChessEngine& e, const std::string& text) {
    for (int i = e.ListBegin(); i < e.ListEnd(); ++i)
        if (MoveText(e.ListEntry(i).Move) == text) return &e.ListEntry(i);
    return nullptr;
}

} // namespace

TEST(EngineMoves, InitialPositionInGenerationOrder) {
    TChessEngine e;
    LoadEngine(e, std::string(StartFen));
    // Castling comes from the rights alone; DoMove refuses both here.
    EXPECT_EQ(GeneratedMoves(e), (std::vector<std::string>{"a2a3", "a2a4", "b2b3", "b2b4", "c2c3", "c2c4", "d2d3", "d2d4",
                                                            "e2e3", "e2e4", "f2f3", "f2f4", "g2g3", "g2g4", "h2h3",
                                                            "h2h4", "b1a3", "b1c3", "g1f3", "g1h3", "e1g1", "e1c1"}));
    int legal = 0;
    for (int i = e.ListBegin(); i < e.ListEnd(); ++i)
        if (e.DoMove(e.ListEntry(i).Move)) ++legal, e.UndoMove();
    EXPECT_EQ(legal, 20);
    const ScoredMove* e4 = Find(e, "e2e4");
    ASSERT_NE(e4, nullptr);
    EXPECT_EQ(e4->Move.Flags, 24);
    EXPECT_EQ(Find(e, "e2e3")->Move.Flags, 16);
    EXPECT_EQ(Find(e, "g1f3")->Move.Flags, 0);
}

TEST(EngineMoves, PromotionsComeKnightFirstQueenLast) {
    TChessEngine e;
    LoadEngine(e, "7k/1P6/P7/8/8/8/8/K7 w - - 0 1");
    const auto moves = GeneratedMoves(e);
    EXPECT_EQ(moves, (std::vector<std::string>{"b7b8n", "b7b8b", "b7b8r", "b7b8q", "a6a7", "a1a2", "a1b2", "a1b1"}));
    EXPECT_EQ(Find(e, "a6a7")->Move.Flags, 16);
    for (int piece = Knight; piece <= Queen; ++piece) {
        const ScoredMove& m = e.ListEntry(e.ListBegin() + piece - 1);
        EXPECT_EQ(m.Move.Flags, 48);
        EXPECT_EQ(m.Move.Promote, piece);
        EXPECT_EQ(m.Score, 1000000 + 10 * piece);
    }
    // The capture search gives the promotions by a step too.
    EXPECT_EQ(GeneratedMoves(e, true), (std::vector<std::string>{"b7b8n", "b7b8b", "b7b8r", "b7b8q"}));
}

TEST(EngineMoves, CaptureScoresRankVictimsThenCheaperAttackers) {
    TChessEngine e;
    LoadEngine(e, "7k/8/8/3q4/2P1N3/8/8/K7 w - - 0 1");
    e.GenerateMoves();
    EXPECT_EQ(Find(e, "c4d5")->Score, 1000000 + 40 - 0);
    EXPECT_EQ(Find(e, "e4d6")->Move.Flags, 0);
    LoadEngine(e, "7k/8/3q4/2P5/4N3/8/8/K7 w - - 0 1");
    e.GenerateMoves();
    EXPECT_EQ(Find(e, "e4d6")->Score, 1000000 + 40 - 1);
    EXPECT_EQ(Find(e, "e4d6")->Move.Flags, 1);
}

struct CastleCase {
    const char* name;
    const char* fen;
    const char* move;
    bool accepted;
};
std::ostream& operator<<(std::ostream& os, const CastleCase& c) { return os << c.name; }
class EngineCastling : public ::testing::TestWithParam<CastleCase> {};

TEST_P(EngineCastling, GeneratedFromTheRightsJudgedByDoMove) {
    TChessEngine e;
    LoadEngine(e, GetParam().fen);
    e.GenerateMoves();
    const ScoredMove* m = Find(e, GetParam().move);
    ASSERT_NE(m, nullptr) << "castling is generated from the rights alone";
    EXPECT_EQ(m->Move.Flags, mfCastle);
    const std::string before = MoveText(m->Move);
    EXPECT_EQ(e.DoMove(m->Move), GetParam().accepted);
    if (GetParam().accepted) {
        e.UndoMove();
    }
    EXPECT_EQ(e.PieceAt(60), King);
    EXPECT_EQ(e.CurrentPly(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Table, EngineCastling,
    ::testing::Values(CastleCase{"free", "4k3/8/8/8/8/8/8/R3K2R w KQ - 0 1", "e1g1", true},
                      CastleCase{"f1 occupied", "4k3/8/8/8/8/8/8/R3KB1R w KQ - 0 1", "e1g1", false},
                      CastleCase{"f1 attacked", "4kr2/8/8/8/8/8/8/R3K2R w KQ - 0 1", "e1g1", false},
                      CastleCase{"g1 attacked", "4k1r1/8/8/8/8/8/8/R3K2R w KQ - 0 1", "e1g1", false},
                      CastleCase{"in check", "4r1k1/8/8/8/8/8/8/R3K2R w KQ - 0 1", "e1g1", false},
                      CastleCase{"b1 attacked but empty", "1r2k3/8/8/8/8/8/8/R3K2R w KQ - 0 1", "e1c1", true},
                      CastleCase{"d1 attacked", "3rk3/8/8/8/8/8/8/R3K2R w KQ - 0 1", "e1c1", false}));

TEST(EngineMoves, CastlingMovesTheRookAndUndoPutsItBack) {
    TChessEngine e;
    LoadEngine(e, "r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1");
    e.GenerateMoves();
    ASSERT_TRUE(e.DoMove(Find(e, "e1c1")->Move));
    EXPECT_EQ(e.PieceAt(59), Rook);
    EXPECT_EQ(e.PieceAt(56), Empty);
    EXPECT_EQ(e.PieceAt(58), King);
    EXPECT_EQ(e.CastlingRights(), crBlackKingSide | crBlackQueenSide);
    e.UndoMove();
    EXPECT_EQ(e.PieceAt(56), Rook);
    EXPECT_EQ(e.PieceAt(59), Empty);
    EXPECT_EQ(e.CastlingRights(), 15);
}

TEST(EngineMoves, CapturingTheRookOnH8RemovesBlacksKingSideRight) {
    TChessEngine e;
    LoadEngine(e, "r3k2r/8/8/8/8/8/8/4K2R w Kkq - 0 1");
    e.GenerateMoves();
    ASSERT_TRUE(e.DoMove(Find(e, "h1h8")->Move));
    EXPECT_EQ(e.CastlingRights(), crBlackQueenSide);
}

TEST(EngineMoves, DoubleStepSetsTheEnPassantSquareAndTheCaptureTakesThePawn) {
    TChessEngine e;
    LoadEngine(e, "4k3/8/8/8/3p4/8/4P3/4K3 w - - 0 1");
    e.GenerateMoves();
    ASSERT_TRUE(e.DoMove(Find(e, "e2e4")->Move));
    EXPECT_EQ(e.EnPassantSquare(), 44);
    e.GenerateMoves();
    const ScoredMove* ep = Find(e, "d4e3");
    ASSERT_NE(ep, nullptr);
    EXPECT_EQ(ep->Move.Flags, 21);
    EXPECT_EQ(ep->Score, 1000060);
    ASSERT_TRUE(e.DoMove(ep->Move));
    EXPECT_EQ(e.ColorAt(36), Empty);
    e.UndoMove();
    EXPECT_EQ(e.PieceAt(36), Pawn);
    EXPECT_EQ(e.ColorAt(36), White);
}

TEST(EngineMoves, PinnedPieceMovesAreGeneratedButRefused) {
    TChessEngine e;
    LoadEngine(e, "4r2k/8/8/8/8/8/4N3/4K3 w - - 0 1");
    e.GenerateMoves();
    const ScoredMove* m = Find(e, "e2c3");
    ASSERT_NE(m, nullptr);
    EXPECT_FALSE(e.DoMove(m->Move));
    EXPECT_EQ(e.PieceAt(52), Knight);
}

TEST(EnginePosition, DropsCastlingRightsWithoutKingAndRookAndStaleEnPassant) {
    TChessEngine e;
    TChessBoard board;
    SetUpBoard(board, Diagram({"r...k...", "........", "........", "...pP...", "........", "........", "........",
                               "....K..R"}),
               true, AllCastling, Square::D6);
    e.LoadPosition(board.Cells(), true, AllCastling, Square::D6);
    EXPECT_EQ(e.CastlingRights(), crWhiteKingSide | crBlackQueenSide);
    EXPECT_EQ(e.EnPassantSquare(), SquareIndex(Square::D6) - 1);
    // The same square with Black to move, or with no pawn that passed it.
    e.LoadPosition(board.Cells(), false, AllCastling, Square::D6);
    EXPECT_EQ(e.EnPassantSquare(), -1);
    e.LoadPosition(board.Cells(), true, AllCastling, Square::C6);
    EXPECT_EQ(e.EnPassantSquare(), -1);
}

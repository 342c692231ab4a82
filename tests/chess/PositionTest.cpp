#include <gtest/gtest.h>

#include "tests/chess/BoardFixture.h"

using namespace zelkor;
using namespace zelkor::testing_support;

namespace {

// Counts what the board asks of its view.
struct CountingView : TChessBoardView {
    int* paints;
    explicit CountingView(int* p) : paints(p) {}
    void Paint() override { ++*paints; }
};

} // namespace

TEST(BoardConstruction, StartsWithTheInitialPositionAndDefaults) {
    TChessBoard board;
    EXPECT_EQ(board.Position(), std::string("rnbqkbnrpppppppp") + std::string(32, ' ') + "PPPPPPPPRNBQKBNR");
    EXPECT_TRUE(board.WhiteToMove());
    EXPECT_EQ(board.CastlingAllowed(), AllCastling);
    EXPECT_EQ(board.CastlingAllowed().Bits(), 15);
    EXPECT_EQ(board.EnPassant(), Square::None);
    EXPECT_EQ(board.CurrentMove(), 1);
    EXPECT_EQ(board.PromotionPiece(), 'q');
    EXPECT_FALSE(board.GameEnded());
    EXPECT_EQ(board.SearchDepth(), 1);
    EXPECT_EQ(board.ThinkingPriority(), TThreadPriority::tpNormal);
    EXPECT_FALSE(board.ComputerPlaysWhite());
    EXPECT_FALSE(board.ComputerPlaysBlack());
    EXPECT_FALSE(board.CustomEngine());
    EXPECT_FALSE(board.Thinking());
    EXPECT_EQ(board.Version(), "");
    EXPECT_EQ(board.PieceAt(Square::E1), 'K');
    EXPECT_EQ(board.PieceColor(Square::E1), 1);
    EXPECT_EQ(board.PieceColor(Square::E8), 0);
    EXPECT_EQ(board.PieceColor(Square::E4), -1);
}

TEST(PositionText, EmptyTextClearsEverySquare) {
    TChessBoard board;
    board.SetPosition("");
    EXPECT_EQ(board.Position(), std::string(64, ' '));
}

class PositionKeyword : public ::testing::TestWithParam<const char*> {};

TEST_P(PositionKeyword, GivesTheStartingPositionAndKeepsTheRestOfTheState) {
    TChessBoard board;
    ASSERT_TRUE(Play(board, "e2e4"));
    ASSERT_TRUE(Play(board, "e7e5"));
    ASSERT_TRUE(Play(board, "e1e2"));
    const CastleSet rights = board.CastlingAllowed();
    board.SetPosition("");
    board.SetPosition(GetParam());
    EXPECT_EQ(board.Position(), std::string(InitialPosition));
    EXPECT_FALSE(board.WhiteToMove());
    EXPECT_EQ(board.CurrentMove(), 2);
    EXPECT_EQ(board.CastlingAllowed(), rights);
    EXPECT_EQ(board.EnPassant(), Square::None);
}

INSTANTIATE_TEST_SUITE_P(Words, PositionKeyword, ::testing::Values("NewGame", "INIT", "init", "newgame", "nEwGaMe"));

TEST(PositionText, KeepsOnlyTheFirst64Characters) {
    TChessBoard board;
    const std::string text = std::string(64, 'p') + "KKKKKK";
    board.SetPosition(text);
    EXPECT_EQ(board.Position(), std::string(64, 'p'));
}

TEST(PositionText, ForeignCharacterLeavesItsSquareBlankAndTheRestInPlace) {
    TChessBoard board;
    std::string text(InitialPosition);
    text[4] = 'x';  // E8
    board.SetPosition(text);
    EXPECT_EQ(board.PieceAt(Square::E8), ' ');
    EXPECT_EQ(board.PieceAt(Square::F8), 'b');
    EXPECT_EQ(board.PieceAt(Square::H1), 'R');
}

TEST(PositionText, StopsAtNul) {
    TChessBoard board;
    std::string text = "rnbq";
    text += '\0';
    text += "kbnr";
    board.SetPosition(text);
    EXPECT_EQ(board.Position(), std::string("rnbq") + std::string(60, ' '));
}

TEST(PositionText, ShortTextLeavesTheRestBlankAndAssignmentRepaints) {
    TChessBoard board;
    int paints = 0;
    int onPaint = 0;
    board.SetView(std::make_unique<CountingView>(&paints));
    board.OnPaint = [&](TObject* sender) {
        EXPECT_EQ(sender, &board);
        ++onPaint;
    };
    board.SetPosition("k");
    EXPECT_EQ(board.Position(), "k" + std::string(63, ' '));
    EXPECT_EQ(paints, 1);
    EXPECT_EQ(onPaint, 1);
    board.NewGame();
    EXPECT_EQ(paints, 2);
    EXPECT_EQ(onPaint, 2);
}

struct EnPassantCase {
    Square value;
    bool accepted;
};
class EnPassantSetter : public ::testing::TestWithParam<EnPassantCase> {};

TEST_P(EnPassantSetter, TakesOnlyTheSquaresADoubleStepPasses) {
    TChessBoard board;
    board.SetEnPassant(Square::D6);
    board.SetEnPassant(GetParam().value);
    EXPECT_EQ(board.EnPassant(), GetParam().accepted ? GetParam().value : Square::D6);
}

INSTANTIATE_TEST_SUITE_P(Table, EnPassantSetter,
                         ::testing::Values(EnPassantCase{Square::E3, true}, EnPassantCase{Square::A3, true},
                                           EnPassantCase{Square::H3, true}, EnPassantCase{Square::A6, true},
                                           EnPassantCase{Square::H6, true}, EnPassantCase{Square::E4, false},
                                           EnPassantCase{Square::None, false}, EnPassantCase{Square::H7, false},
                                           EnPassantCase{Square::A2, false},
                                           EnPassantCase{static_cast<Square>(200), false}));

TEST(BoardProperties, IgnoredAndPlainSetters) {
    TChessBoard board;
    board.SetCurrentMove(10);
    EXPECT_EQ(board.CurrentMove(), 1);
    board.SetVersion("9.9");
    EXPECT_EQ(board.Version(), "");
    board.SetCastlingAllowed(CastleSet{CanStillCastle::BlackQueenSide});
    EXPECT_EQ(board.CastlingAllowed().Bits(), 8);
    board.SetWhiteToMove(false);
    EXPECT_FALSE(board.WhiteToMove());
    EXPECT_TRUE(board.EngineStopped());
}

class SearchDepthSetter : public ::testing::TestWithParam<std::pair<int, int>> {};

TEST_P(SearchDepthSetter, ClampsToOneThroughEight) {
    TChessBoard board;
    board.SetSearchDepth(GetParam().first);
    EXPECT_EQ(board.SearchDepth(), GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(Table, SearchDepthSetter,
                         ::testing::Values(std::pair{0, 1}, std::pair{-3, 1}, std::pair{1, 1}, std::pair{5, 5},
                                           std::pair{8, 8}, std::pair{12, 8}));

TEST(ResetBoard, RestoresTheStartButKeepsThePromotionPiece) {
    TChessBoard board;
    board.SetPromotionPiece('n');
    for (const char* m : {"e2e4", "e7e5", "e1e2", "d7d5"}) ASSERT_TRUE(Play(board, m)) << m;
    board.ResetBoard();
    EXPECT_EQ(board.Position(), std::string(InitialPosition));
    EXPECT_TRUE(board.WhiteToMove());
    EXPECT_EQ(board.CurrentMove(), 1);
    EXPECT_EQ(board.EnPassant(), Square::None);
    EXPECT_EQ(board.CastlingAllowed(), AllCastling);
    EXPECT_EQ(board.PromotionPiece(), 'n');
    EXPECT_EQ(board.History(1, 0), nullptr);  // entries of the last game no longer count
}

// Every operation takes integers cast into Square without reading or
// writing outside the board.
TEST(OutOfRangeSquares, AnswerFalseNoneOrEmpty) {
    TChessBoard board;
    const std::string before = board.Position();
    for (int v : {0, 65, 128, 255}) {
        const auto bad = static_cast<Square>(v);
        EXPECT_EQ(board.PieceAt(bad), ' ');
        EXPECT_EQ(board.PieceColor(bad), -1);
        for (Square other : {Square::E2, Square::E4, bad}) {
            EXPECT_FALSE(board.IsLegalMove(bad, other));
            EXPECT_FALSE(board.IsLegalMove(other, bad));
            EXPECT_FALSE(board.ExecuteMove(bad, other));
            EXPECT_FALSE(board.ExecuteMove(other, bad));
            EXPECT_FALSE(board.PlayMove(other, bad));
            EXPECT_FALSE(board.PawnMoveOk(other, bad));
            EXPECT_FALSE(board.KnightMoveOk(bad, other));
            EXPECT_FALSE(board.BishopMoveOk(bad, other));
            EXPECT_FALSE(board.RookMoveOk(other, bad));
            EXPECT_FALSE(board.QueenMoveOk(bad, other));
            EXPECT_FALSE(board.KingMoveOk(other, bad));
        }
        board.PromotePawn(bad);
        if (v > 64) {
            EXPECT_FALSE(board.WhiteKingAttacked(bad, Square::E4));
            EXPECT_FALSE(board.BlackKingAttacked(Square::E4, bad));
        }
    }
    EXPECT_EQ(board.Position(), before);
    EXPECT_TRUE(board.WhiteToMove());
}

#include <gtest/gtest.h>

#include "chess/Piece.h"
#include "chess/Square.h"
#include "tests/chess/BoardFixture.h"

using namespace zelkor;

struct SquareAtCase {
    int file, rank;
    Square expected;
};

class SquareAtTest : public ::testing::TestWithParam<SquareAtCase> {};

TEST_P(SquareAtTest, MapsFileAndRank) {
    const auto& c = GetParam();
    EXPECT_EQ(SquareAt(c.file, c.rank), c.expected);
    if (c.expected != Square::None) {
        EXPECT_EQ(FileOf(c.expected), c.file);
        EXPECT_EQ(RankOf(c.expected), c.rank);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, SquareAtTest,
                         ::testing::Values(SquareAtCase{1, 8, Square::A8}, SquareAtCase{8, 8, Square::H8},
                                           SquareAtCase{1, 7, Square::A7}, SquareAtCase{1, 1, Square::A1},
                                           SquareAtCase{8, 1, Square::H1}, SquareAtCase{5, 4, Square::E4},
                                           SquareAtCase{9, 1, Square::None}, SquareAtCase{0, 5, Square::None},
                                           SquareAtCase{3, 0, Square::None}, SquareAtCase{3, 9, Square::None},
                                           SquareAtCase{-1, -1, Square::None}));

TEST(Square, NumbersRunRankEightFirst) {
    EXPECT_EQ(SquareIndex(Square::A8), 1);
    EXPECT_EQ(SquareIndex(Square::H8), 8);
    EXPECT_EQ(SquareIndex(Square::A7), 9);
    EXPECT_EQ(SquareIndex(Square::A1), 57);
    EXPECT_EQ(SquareIndex(Square::H1), 64);
    EXPECT_EQ(FileOf(Square::H1), 8);
    EXPECT_EQ(RankOf(Square::H1), 1);
}

TEST(Square, LightSquares) {
    EXPECT_TRUE(IsLightSquare(Square::A8));
    EXPECT_TRUE(IsLightSquare(Square::H1));
    EXPECT_TRUE(IsLightSquare(Square::E4));
    EXPECT_FALSE(IsLightSquare(Square::A1));
    EXPECT_FALSE(IsLightSquare(Square::H8));
    EXPECT_FALSE(IsLightSquare(Square::D4));
    int light = 0;
    for (int i = 1; i <= 64; ++i) light += IsLightSquare(static_cast<Square>(i));
    EXPECT_EQ(light, 32);
}

TEST(Square, NoSquareAnswersZeroAndFalse) {
    for (int v : {0, 65, 100, 255}) {
        const auto sq = static_cast<Square>(v);
        EXPECT_FALSE(IsBoardSquare(sq)) << v;
        EXPECT_EQ(FileOf(sq), 0) << v;
        EXPECT_EQ(RankOf(sq), 0) << v;
        EXPECT_FALSE(IsLightSquare(sq)) << v;
        EXPECT_EQ(SquareName(sq), "") << v;
    }
}

TEST(Square, NamesRoundTrip) {
    for (int i = 1; i <= 64; ++i) {
        const auto sq = static_cast<Square>(i);
        EXPECT_EQ(SquareFromName(SquareName(sq)), sq);
    }
    EXPECT_EQ(SquareFromName("E4"), Square::E4);
    for (const char* bad : {"", "e", "e9", "i1", "e44", "4e"}) EXPECT_EQ(SquareFromName(bad), Square::None) << bad;
}

TEST(Piece, ColorsByCodeRange) {
    for (char c : std::string("PNBRQK")) EXPECT_EQ(ColorOfLetter(c), 1) << c;
    for (char c : std::string("pnbrqk")) EXPECT_EQ(ColorOfLetter(c), 0) << c;
    for (char c : std::string(" .xX0\x7f")) EXPECT_EQ(ColorOfLetter(c), -1) << c;
    EXPECT_EQ(ColorOfLetter('\0'), -1);
}

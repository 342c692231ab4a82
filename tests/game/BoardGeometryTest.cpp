#include <gtest/gtest.h>

#include "game/geometry/BoardGeometry.h"

using namespace zelkor;
using namespace zelkor::game;

namespace {

struct CenterCase {
    Square Sq;
    int Location;
    TScreenPoint Expected;
};

class SquareCenterTest : public ::testing::TestWithParam<CenterCase> {};

} // namespace

// Odd spans round half to even: a8 spans 61 across (30.5 -> 30) and 25 down (12.5 -> 12).
TEST_P(SquareCenterTest, HalfwayBetweenTheCornersPlusTheLocationShift) {
    const CenterCase& c = GetParam();
    EXPECT_EQ(SquareCenter(c.Sq, c.Location), c.Expected);
}

INSTANTIATE_TEST_SUITE_P(Table, SquareCenterTest,
                         ::testing::Values(CenterCase{Square::A8, 1, {306, 263}},  // 276 + 30, 251 + 12
                                           CenterCase{Square::A8, 2, {319, 336}},
                                           CenterCase{Square::H8, 1, {606, 294}},  // 576 + 30 (60/2), 279 + 15
                                           CenterCase{Square::E4, 1, {383, 392}},  // 344 + 39 (78/2), 370 + 22 (45/2)
                                           CenterCase{Square::A1, 1, {78, 469}},   // 32 + 46 (46.5 -> 46), 441 + 28 (27.5 -> 28)
                                           CenterCase{Square::H1, 2, {505, 650}},  // 441 + 51 (102/2), 535 + 42 (84/2) + shift
                                           CenterCase{Square::None, 1, {306, 263}}));  // no square: a8's cell

TEST(BoardGeometry, EveryCentreHitsItsOwnSquareInBothLocations) {
    for (int location : {1, 2})
        for (int i = 1; i <= 64; ++i) {
            const Square sq = static_cast<Square>(i);
            const TScreenPoint c = SquareCenter(sq, location);
            EXPECT_EQ(SquareAtScreenPoint(c.X, c.Y, location), sq) << SquareName(sq) << " at location " << location;
        }
}

TEST(BoardGeometry, PointsOffTheBoardHitNothing) {
    struct Case {
        int X, Y, Location;
    } cases[] = {{0, 0, 1}, {1023, 767, 1}, {301, 240, 1}, {20, 483, 1}, {650, 284, 1},
                 {306, 263, 2},  // a8's centre at the castle is above the town's board
                 {520, 630, 1}};
    for (const Case& c : cases)
        EXPECT_EQ(SquareAtScreenPoint(c.X, c.Y, c.Location), Square::None) << c.X << "," << c.Y;
}

TEST(BoardGeometry, PointsNearEachCornerHitTheirOwnSquare) {
    // Two thirds of the way from the centre to each corner stays inside the square.
    for (int location : {1, 2})
        for (int i = 1; i <= 64; ++i) {
            const Square sq = static_cast<Square>(i);
            const TScreenPoint c = SquareCenter(sq, location);
            const TScreenPoint shift = LocationOffset(location);
            for (const TScreenPoint& corner : SquareQuad(sq)) {
                const int x = c.X + (corner.X + shift.X - c.X) * 2 / 3;
                const int y = c.Y + (corner.Y + shift.Y - c.Y) * 2 / 3;
                EXPECT_EQ(SquareAtScreenPoint(x, y, location), sq) << SquareName(sq) << " near " << corner.X << ","
                                                                   << corner.Y << " at location " << location;
            }
        }
}

TEST(BoardGeometry, PerspectiveScaleGrowsDownTheScreen) {
    EXPECT_DOUBLE_EQ(PerspectiveScale(314, 1.0), 0.6);
    EXPECT_NEAR(PerspectiveScale(628, 1.0), 1.0, 1e-12);
    EXPECT_NEAR(PerspectiveScale(628, 0.59), 0.59, 1e-12);
    EXPECT_LT(PerspectiveScale(263, 0.59), PerspectiveScale(470, 0.59));
}

// The flat board as the drawing and the input both lay it out: at 27 %
// squares of 24 pixels every 24.3, a8's from (21, 75); turned with Black
// below; halves rounded to even.
TEST(BoardGeometry, ClassicSquaresLieWhereTheyAreDrawn) {
    struct Case {
        int square, scale;
        bool blackBelow;
        TScreenRect want;
    };
    const Case cases[] = {
        {1, 27, false, {21, 75, 24}},   {64, 27, false, {191, 245, 24}}, {1, 27, true, {191, 245, 24}},
        {64, 27, true, {21, 75, 24}},   {9, 27, false, {21, 99, 24}},    {1, 100, false, {50, 104, 90}},
        {2, 75, false, {108, 94, 68}},  // 97.5 to 98, 67.5 to 68
    };
    for (const Case& c : cases) {
        const TScreenRect r = ClassicSquareRect(c.square, c.scale, c.blackBelow);
        EXPECT_EQ(r.X, c.want.X) << c.square << " at " << c.scale;
        EXPECT_EQ(r.Y, c.want.Y) << c.square << " at " << c.scale;
        EXPECT_EQ(r.Size, c.want.Size) << c.square << " at " << c.scale;
    }
    EXPECT_EQ(RoundToEven(2.5), 2);
    EXPECT_EQ(RoundToEven(3.5), 4);
}

#include <gtest/gtest.h>

#include "chess/MoveHistory.h"

using namespace zelkor;

namespace {

void Write(TMoveHistory& h, int move, int side, char fill) {
    MoveInfo* e = h.Record(move, side);
    ASSERT_NE(e, nullptr);
    e->PositionText.fill(fill);
}

} // namespace

TEST(MoveHistory, FindsOnlyWhatWasWrittenSinceTheLastReset) {
    TMoveHistory h;
    EXPECT_EQ(h.Find(1, 0), nullptr);
    Write(h, 1, 0, 'a');
    ASSERT_NE(h.Find(1, 0), nullptr);
    EXPECT_EQ(h.Find(1, 0)->PositionText[0], 'a');
    EXPECT_EQ(h.Find(1, 1), nullptr);
    h.Reset();
    EXPECT_EQ(h.Find(1, 0), nullptr);
    Write(h, 1, 0, 'b');
    EXPECT_EQ(h.Find(1, 0)->PositionText[0], 'b');
}

TEST(MoveHistory, RefusesEntriesOutsideTheTable) {
    TMoveHistory h;
    EXPECT_EQ(h.Record(-1, 0), nullptr);
    EXPECT_EQ(h.Record(1, 2), nullptr);
    EXPECT_EQ(h.Record(1, -1), nullptr);
    EXPECT_EQ(h.Find(-5, 0), nullptr);
    EXPECT_EQ(h.Find(1, 7), nullptr);
    EXPECT_EQ(h.CountEarlierRepeats(-1, 0), 0);
}

TEST(MoveHistory, GrowsPastMove256) {
    TMoveHistory h;
    Write(h, 1000, 1, 'z');
    ASSERT_NE(h.Find(1000, 1), nullptr);
    EXPECT_EQ(h.Find(999, 1), nullptr);
}

TEST(MoveHistory, CountsEarlierEntriesOfEitherSide) {
    TMoveHistory h;
    Write(h, 1, 0, 'A');
    Write(h, 1, 1, 'B');
    Write(h, 2, 0, 'A');
    Write(h, 2, 1, 'A');
    EXPECT_EQ(h.CountEarlierRepeats(2, 1), 2);  // twice with White to move before
    EXPECT_EQ(h.CountEarlierRepeats(2, 0), 1);
    EXPECT_EQ(h.CountEarlierRepeats(1, 1), 0);
    EXPECT_EQ(h.CountEarlierRepeats(3, 0), 0);  // not written
}

TEST(MoveHistory, PassesOverEntriesOfAnEarlierGame) {
    TMoveHistory h;
    Write(h, 1, 0, 'A');
    Write(h, 1, 1, 'A');
    h.Reset();
    Write(h, 2, 0, 'A');
    EXPECT_EQ(h.CountEarlierRepeats(2, 0), 0);
    Write(h, 1, 1, 'A');
    EXPECT_EQ(h.CountEarlierRepeats(2, 0), 1);
}

#include <gtest/gtest.h>

#include "platform/EnumSet.h"

using namespace zelkor;

namespace {
enum class Side { West, North, East, South };
}

TEST(EnumSet, BitValuesFollowTheOrderOfTheEnumeration) {
    EXPECT_EQ((EnumSet<Side>{Side::West}.Bits()), 1);
    EXPECT_EQ((EnumSet<Side>{Side::North}.Bits()), 2);
    EXPECT_EQ((EnumSet<Side>{Side::East}.Bits()), 4);
    EXPECT_EQ((EnumSet<Side>{Side::South}.Bits()), 8);
    EXPECT_EQ((EnumSet<Side>{Side::West, Side::South}.Bits()), 9);
}

TEST(EnumSet, IncludeExcludeAndHas) {
    EnumSet<Side> s;
    EXPECT_TRUE(s.Empty());
    s.Include(Side::East).Include(Side::East);
    EXPECT_TRUE(s.Has(Side::East));
    EXPECT_FALSE(s.Has(Side::West));
    s.Exclude(Side::East).Exclude(Side::North);
    EXPECT_TRUE(s.Empty());
    EXPECT_EQ(EnumSet<Side>::FromBits(6), (EnumSet<Side>{Side::North, Side::East}));
}

#include <gtest/gtest.h>

#include <chrono>

#include "platform/Application.h"
#include "platform/WindowTimer.h"

using namespace zelkor;
using namespace std::chrono_literals;

TEST(WindowTimer, FiresOnTheMessagePassAndStopsWhenDisabled) {
    TWindowTimer timer;
    int ticks = 0;
    timer.OnTimer = [&](TObject*) { ++ticks; };
    timer.SetInterval(20);
    TApplication::Instance().ProcessUntil([] { return false; }, 60ms);
    EXPECT_EQ(ticks, 0);  // not enabled
    timer.SetEnabled(true);
    ASSERT_TRUE(TApplication::Instance().ProcessUntil([&] { return ticks >= 2; }, 10s));
    timer.SetEnabled(false);
    const int seen = ticks;
    TApplication::Instance().ProcessUntil([] { return false; }, 60ms);
    EXPECT_EQ(ticks, seen);
}

TEST(WindowTimer, AHandlerMayDisableAnotherTimer) {
    TWindowTimer first, second;
    int secondTicks = 0;
    first.SetInterval(1);
    second.SetInterval(1);
    first.OnTimer = [&](TObject*) { second.SetEnabled(false); };
    second.OnTimer = [&](TObject*) { ++secondTicks; };
    first.SetEnabled(true);
    second.SetEnabled(true);
    TApplication::Instance().ProcessUntil([] { return false; }, 30ms);
    EXPECT_EQ(secondTicks, 0);
}

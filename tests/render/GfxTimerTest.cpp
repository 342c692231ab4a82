#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "platform/Application.h"
#include "render/GfxTimers.h"

using namespace zelkor;

namespace {

// A clock the test moves by hand; sleeping moves it too.
class FakeClock : public TClock {
public:
    bool high = true;
    int64_t micros = 0;
    uint32_t ticks = 0;
    std::vector<uint32_t> sleeps;

    bool CounterFrequency(int64_t& f) override {
        f = 1'000'000;
        return high;
    }
    int64_t Counter() override { return micros; }
    uint32_t TickCount() override { return ticks; }
    void Sleep(uint32_t ms) override {
        sleeps.push_back(ms);
        Advance(ms);
    }
    void Advance(double ms) {
        micros += std::llround(ms * 1000);
        ticks += static_cast<uint32_t>(ms);
    }
};

class GfxTimerTest : public ::testing::Test {
protected:
    GfxTimerTest() : timer(&clock, false) {
        timer.OnTimer = [this](TObject*) {
            ++frames;
            if (callProcess) timer.Process();
        };
        timer.OnProcess = [this](TObject*) { ++ticks; };
    }
    // One idle pass after `ms` milliseconds.
    void Frame(double ms) {
        clock.Advance(ms);
        bool done = true;
        timer.IdleStep(nullptr, done);
        EXPECT_FALSE(done);
    }

    FakeClock clock;
    TGfxTimer timer;
    bool callProcess = true;
    int frames = 0;
    int ticks = 0;
};

double Ticks(int32_t fixed) { return fixed / double(TGfxTimer::One); }

} // namespace

TEST_F(GfxTimerTest, DefaultsAndClamping) {
    EXPECT_EQ(timer.Speed(), 60.0);
    EXPECT_EQ(timer.TickInterval(), 17476267);
    EXPECT_EQ(timer.MaxFPS(), 100);
    EXPECT_FALSE(timer.Enabled());
    EXPECT_EQ(timer.Precision(), TPerformancePrecision::ppHigh);
    for (double bad : {0.5, 0.0, -3.0, std::numeric_limits<double>::quiet_NaN()}) {
        timer.SetSpeed(bad);
        EXPECT_EQ(timer.Speed(), 1.0) << bad;
    }
    timer.SetMaxFPS(200);
    EXPECT_EQ(timer.MinFrameTime(), 5242880);
    for (int bad : {0, -5}) {
        timer.SetMaxFPS(bad);
        EXPECT_EQ(timer.MaxFPS(), 1) << bad;
    }
}

TEST_F(GfxTimerTest, AFastFrameSleepsDownToTheCeilingInWholeMilliseconds) {
    timer.SetMaxFPS(200);
    timer.SetEnabled(true);
    Frame(2.5);
    ASSERT_EQ(clock.sleeps, std::vector<uint32_t>{2});
    EXPECT_EQ(timer.LastElapsed(), TGfxTimer::One * 5 / 2);  // the sleep is not part of this frame
    Frame(0);
    EXPECT_EQ(timer.LastElapsed(), 2 * TGfxTimer::One);  // but of the next one
}

TEST_F(GfxTimerTest, ALongFrameGivesAtMost32Ticks) {
    timer.SetEnabled(true);
    Frame(16);  // the first frame's increment is dropped
    EXPECT_EQ(ticks, 0);
    Frame(1000);
    EXPECT_EQ(ticks, 32);
    Frame(10000);  // beyond the 2047 ms the fixed point can hold: clamped, not wrapped
    EXPECT_EQ(timer.LastElapsed(), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(ticks, 64);
}

TEST_F(GfxTimerTest, ProcessRunsWholeTicksAndKeepsTheFraction) {
    timer.SetEnabled(true);
    Frame(16);
    Frame(45);  // 2.7 ticks at 60 a second
    EXPECT_EQ(ticks, 2);
    EXPECT_NEAR(Ticks(timer.Lag()), 0.7, 1e-3);
    Frame(6);  // 0.36 more: one whole tick
    EXPECT_EQ(ticks, 3);
    EXPECT_NEAR(Ticks(timer.Lag()), 0.06, 1e-3);
}

TEST_F(GfxTimerTest, WithoutProcessNoLagGathersAndNoTickFires) {
    callProcess = false;
    timer.SetEnabled(true);
    for (int i = 0; i < 10; ++i) Frame(100);
    EXPECT_EQ(frames, 10);
    EXPECT_EQ(timer.Lag(), 0);
    EXPECT_EQ(ticks, 0);
}

TEST_F(GfxTimerTest, TicksWithoutAHandlerAreStillConsumed) {
    timer.OnProcess = nullptr;
    timer.SetEnabled(true);
    Frame(16);
    Frame(50);
    EXPECT_LT(timer.Lag(), TGfxTimer::One);
}

TEST_F(GfxTimerTest, ADisabledTimerSleepsFiresNothingAndLeavesNoBurst) {
    for (int i = 0; i < 3; ++i) Frame(1000);
    EXPECT_EQ(frames, 0);
    EXPECT_EQ(clock.sleeps, (std::vector<uint32_t>{5, 5, 5}));
    timer.SetEnabled(true);
    Frame(16);
    Frame(16);
    EXPECT_EQ(timer.LastElapsed(), 16 * TGfxTimer::One);  // measured from the last disabled pass
    EXPECT_LE(ticks, 1);
}

TEST_F(GfxTimerTest, AtSixtyTicksAndTwoHundredFramesTicksAverageSixtyASecond) {
    timer.SetMaxFPS(200);
    timer.SetEnabled(true);
    for (int i = 0; i < 200; ++i) Frame(5);
    EXPECT_NEAR(ticks, 60, 1);
}

TEST(GfxTimerLowPrecision, UsesTheMillisecondCountAcrossItsWrap) {
    FakeClock clock;
    clock.high = false;
    clock.ticks = 0xFFFFFFF0u;
    TGfxTimer timer(&clock, false);
    EXPECT_EQ(timer.Precision(), TPerformancePrecision::ppLow);
    clock.Advance(32);  // wraps past 2^32
    EXPECT_EQ(timer.ElapsedTime(), 32 * TGfxTimer::One);
}

TEST(GfxTimerIdleHook, DrivesTheApplicationLoopUntilTerminated) {
    FakeClock clock;
    TGfxTimer timer(&clock);
    EXPECT_TRUE(TApplication::Instance().HasIdleHandler());
    timer.SetEnabled(true);
    int frames = 0;
    timer.OnTimer = [&](TObject*) {
        clock.Advance(10);
        timer.Process();
        if (++frames == 50) TApplication::Instance().Terminate();
    };
    TApplication::Instance().ResetTerminated();
    TApplication::Instance().Run();
    TApplication::Instance().ResetTerminated();
    EXPECT_EQ(frames, 50);
}

TEST(GfxTimerIdleHook, TheLastTimerMadeWinsAndADestroyedOneUnhooks) {
    FakeClock clock;
    auto first = std::make_unique<TGfxTimer>(&clock);
    auto second = std::make_unique<TGfxTimer>(&clock);
    first.reset();  // not the handler any more: the second stays hooked
    EXPECT_TRUE(TApplication::Instance().HasIdleHandler());
    second.reset();
    EXPECT_FALSE(TApplication::Instance().HasIdleHandler());
}

#pragma once
// TGfxTimer drives the game loop from the application's idle pass: it
// measures each pass, holds the frame rate under MaxFPS by sleeping, turns
// the elapsed time into logic ticks at Speed ticks a second, and fires
// OnTimer once a frame; Process, called by the frame handler, fires
// OnProcess once for every whole tick gathered.
//
// Times are 32-bit fixed-point numbers with 20 fractional bits.

#include <cstdint>

#include "platform/Clock.h"
#include "platform/Events.h"

namespace zelkor {

enum class TPerformancePrecision { ppLow, ppHigh };

class TGfxTimer : public TObject {
public:
    static constexpr int32_t One = 1 << 20;       // 1.0 in fixed point
    static constexpr int32_t MaxTicksPerFrame = 32;

    // `clock` null: the system clock. With `hookIdle` the timer becomes the
    // application's idle handler (the last timer made wins).
    explicit TGfxTimer(TClock* clock = nullptr, bool hookIdle = true);
    ~TGfxTimer() override;

    double Speed() const { return speed_; }
    void SetSpeed(double ticksPerSecond);  // below 1 (or NaN) becomes 1
    int MaxFPS() const { return maxFps_; }
    void SetMaxFPS(int framesPerSecond);  // 0 or below becomes 1
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value) { enabled_ = value; }
    TPerformancePrecision Precision() const { return precision_; }

    TNotifyEvent OnTimer;
    TNotifyEvent OnProcess;

    // One idle pass: one frame when enabled.
    void IdleStep(TObject* sender, bool& done);
    // Runs the whole ticks gathered so far, keeping the fraction.
    void Process();
    // Fixed-point milliseconds since the last call (at most 2047.99 ms: a
    // longer gap is clamped).
    int32_t ElapsedTime();

    int32_t TickInterval() const { return tickInterval_; }
    int32_t MinFrameTime() const { return minFrameTime_; }
    int32_t Lag() const { return lag_; }
    int32_t LastElapsed() const { return lastElapsed_; }
    int32_t LastIncrement() const { return lastIncrement_; }

private:
    TClock& clock_;
    bool hooked_;
    double speed_ = 60.0;
    int maxFps_ = 100;
    bool enabled_ = false;
    TPerformancePrecision precision_ = TPerformancePrecision::ppLow;
    int64_t frequency_ = 0;
    int64_t lastCounter_ = 0;
    uint32_t lastTicks_ = 0;
    int32_t tickInterval_ = 0;
    int32_t minFrameTime_ = 0;
    int32_t lag_ = 0;
    int32_t lastElapsed_ = 0;
    int32_t lastIncrement_ = 0;
    bool processCalled_ = false;
};

} // namespace zelkor

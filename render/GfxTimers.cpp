#include "render/GfxTimers.h"

#include <cmath>
#include <limits>

#include "platform/Application.h"

namespace zelkor {

namespace {

int32_t ClampToFixed(int64_t value) {
    if (value > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    if (value < 0) return 0;
    return static_cast<int32_t>(value);
}

} // namespace

TGfxTimer::TGfxTimer(TClock* clock, bool hookIdle) : clock_(clock ? *clock : TClock::System()), hooked_(hookIdle) {
    SetSpeed(60.0);
    SetMaxFPS(100);
    int64_t frequency = 0;
    if (clock_.CounterFrequency(frequency) && frequency > 0) {
        precision_ = TPerformancePrecision::ppHigh;
        frequency_ = frequency;
    }
    ElapsedTime();  // the first reading
    if (hooked_)
        TApplication::Instance().SetIdleHandler(this, [this](TObject* sender, bool& done) { IdleStep(sender, done); });
}

TGfxTimer::~TGfxTimer() {
    if (hooked_) TApplication::Instance().ClearIdleHandler(this);
}

void TGfxTimer::SetSpeed(double ticksPerSecond) {
    if (!(ticksPerSecond >= 1.0)) ticksPerSecond = 1.0;  // NaN fails the comparison as well
    speed_ = ticksPerSecond;
    tickInterval_ = ClampToFixed(std::llround(1000.0 * One / speed_));
}

void TGfxTimer::SetMaxFPS(int framesPerSecond) {
    if (framesPerSecond <= 0) framesPerSecond = 1;
    maxFps_ = framesPerSecond;
    minFrameTime_ = ClampToFixed(std::llround(1000.0 * One / maxFps_));
}

int32_t TGfxTimer::ElapsedTime() {
    if (precision_ == TPerformancePrecision::ppHigh) {
        const int64_t now = clock_.Counter();
        const int64_t delta = now - lastCounter_;
        lastCounter_ = now;
        if (delta <= 0) return 0;
        // Whole seconds and the rest apart, so that no gap overflows before the clamp.
        const int64_t seconds = delta / frequency_;
        if (seconds >= 3) return std::numeric_limits<int32_t>::max();
        const int64_t rest = delta % frequency_;
        return ClampToFixed(seconds * One * 1000 + rest * One / frequency_ * 1000 +
                            (rest * One % frequency_) * 1000 / frequency_);
    }
    const uint32_t now = clock_.TickCount();
    const uint32_t delta = now - lastTicks_;  // wraps with the tick count
    lastTicks_ = now;
    return ClampToFixed(static_cast<int64_t>(delta) * One);
}

void TGfxTimer::IdleStep(TObject*, bool& done) {
    done = false;
    const int32_t delta = ElapsedTime();
    lastElapsed_ = delta;
    if (!enabled_) {
        clock_.Sleep(5);
        return;
    }
    if (delta < minFrameTime_) clock_.Sleep(static_cast<uint32_t>((minFrameTime_ - delta) / One));
    int64_t increment = static_cast<int64_t>(delta) * One / tickInterval_;
    if (increment > int64_t{MaxTicksPerFrame} * One) increment = int64_t{MaxTicksPerFrame} * One;
    lastIncrement_ = static_cast<int32_t>(increment);
    if (processCalled_) {
        lag_ += lastIncrement_;
        processCalled_ = false;
    }
    Fire(OnTimer, this);
}

void TGfxTimer::Process() {
    processCalled_ = true;
    const int32_t ticks = lag_ / One;
    if (ticks < 1) return;
    if (OnProcess)
        for (int32_t i = 0; i < ticks; ++i) Fire(OnProcess, this);
    lag_ &= One - 1;
}

} // namespace zelkor

#include "platform/WindowTimer.h"

#include "platform/Application.h"

namespace zelkor {

TWindowTimer::TWindowTimer() = default;

TWindowTimer::~TWindowTimer() { SetEnabled(false); }

void TWindowTimer::Restart() { due_ = std::chrono::steady_clock::now() + std::chrono::milliseconds(interval_); }

void TWindowTimer::SetInterval(int ms) {
    interval_ = ms < 1 ? 1 : ms;
    Restart();
}

void TWindowTimer::SetEnabled(bool value) {
    if (value == enabled_) {
        if (value) Restart();
        return;
    }
    enabled_ = value;
    if (value) {
        Restart();
        TApplication::Instance().AddTimer(this);
    } else {
        TApplication::Instance().RemoveTimer(this);
    }
}

bool TWindowTimer::FireIfDue(std::chrono::steady_clock::time_point now) {
    if (!enabled_ || now < due_) return false;
    due_ = now + std::chrono::milliseconds(interval_);
    Fire(OnTimer, this);
    return true;
}

} // namespace zelkor

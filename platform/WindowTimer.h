#pragma once
// A timer served by the main thread's message pass: OnTimer runs on the
// main thread, at most once per pass, once Interval milliseconds have gone
// by since it was enabled or last fired. A timer that falls behind does not
// fire the missed ticks.

#include <chrono>

#include "platform/Events.h"

namespace zelkor {

class TWindowTimer : public TObject {
public:
    TWindowTimer();
    ~TWindowTimer() override;

    int Interval() const { return interval_; }
    void SetInterval(int ms);  // restarts the count
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value);  // enabling restarts the count

    TNotifyEvent OnTimer;

    // For the message pass: fires the timer if it is due at `now`; returns
    // whether it fired. Also reports the next due time.
    bool FireIfDue(std::chrono::steady_clock::time_point now);
    std::chrono::steady_clock::time_point DueTime() const { return due_; }

private:
    void Restart();

    int interval_ = 1000;
    bool enabled_ = false;
    std::chrono::steady_clock::time_point due_{};
};

} // namespace zelkor

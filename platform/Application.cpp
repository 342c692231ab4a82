#include "platform/Application.h"

#include <algorithm>

#include "platform/MainThreadQueue.h"
#include "platform/WindowTimer.h"

namespace zelkor {

TApplication& TApplication::Instance() {
    static TApplication application;
    return application;
}

bool TApplication::ProcessMessages() {
    bool ran = TMainThreadQueue::Instance().CheckSynchronize() > 0;
    const auto now = std::chrono::steady_clock::now();
    // A handler may enable or disable timers: walk a copy and skip those
    // that are gone.
    const std::vector<TWindowTimer*> timers = timers_;
    for (TWindowTimer* timer : timers) {
        if (std::find(timers_.begin(), timers_.end(), timer) == timers_.end()) continue;
        ran |= timer->FireIfDue(now);
    }
    return ran;
}

bool TApplication::WaitAndProcess(std::chrono::milliseconds limit) {
    auto wait = limit;
    if (!timers_.empty()) {
        const auto now = std::chrono::steady_clock::now();
        for (TWindowTimer* timer : timers_) {
            const auto untilDue = std::chrono::duration_cast<std::chrono::milliseconds>(timer->DueTime() - now);
            wait = std::max(std::chrono::milliseconds(0), std::min(wait, untilDue));
        }
    }
    if (wait.count() > 0) TMainThreadQueue::Instance().WaitForCalls(wait);
    return ProcessMessages();
}

void TApplication::AddTimer(TWindowTimer* timer) {
    if (std::find(timers_.begin(), timers_.end(), timer) == timers_.end()) timers_.push_back(timer);
}

void TApplication::RemoveTimer(TWindowTimer* timer) {
    timers_.erase(std::remove(timers_.begin(), timers_.end(), timer), timers_.end());
}

} // namespace zelkor

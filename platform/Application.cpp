#include "platform/Application.h"

#include <algorithm>

#include "platform/MainThreadQueue.h"
#include "platform/WindowTimer.h"

namespace zelkor {

TApplication& TApplication::Instance() {
    // Never destroyed, like the main-thread queue: threads may still use it
    // while a program ends through exit().
    static TApplication* const application = new TApplication;
    return *application;
}

bool TApplication::ProcessMessages() {
    if (!OnException) return ProcessPass();
    try {
        return ProcessPass();
    } catch (...) {
        HandleException(std::current_exception());
        return true;
    }
}

void TApplication::HandleException(std::exception_ptr error) {
    std::string message = "Unknown exception";
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        message = e.what();
    } catch (...) {
    }
    if (OnException)
        OnException(nullptr, message);
    else
        std::rethrow_exception(error);
}

bool TApplication::ProcessPass() {
    bool ran = source_ && source_->Pump();
    ran |= TMainThreadQueue::Instance().CheckSynchronize() > 0;
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

std::chrono::milliseconds TApplication::UntilNextTimer(std::chrono::milliseconds limit) const {
    auto wait = limit;
    const auto now = std::chrono::steady_clock::now();
    for (TWindowTimer* timer : timers_) {
        const auto untilDue = std::chrono::duration_cast<std::chrono::milliseconds>(timer->DueTime() - now);
        wait = std::max(std::chrono::milliseconds(0), std::min(wait, untilDue));
    }
    return wait;
}

bool TApplication::WaitAndProcess(std::chrono::milliseconds limit) {
    const auto wait = UntilNextTimer(limit);
    if (wait.count() > 0) {
        if (source_)
            source_->WaitForEvents(wait);
        else
            TMainThreadQueue::Instance().WaitForCalls(wait);
    }
    return ProcessMessages();
}

void TApplication::Run() {
    while (!terminated_) {
        ProcessMessages();
        if (terminated_) break;
        bool done = true;
        if (idle_) {
            TIdleEvent handler = idle_;  // it may replace itself
            try {
                handler(nullptr, done);
            } catch (...) {
                HandleException(std::current_exception());
            }
        }
        if (done && !terminated_) WaitAndProcess(std::chrono::milliseconds(100));
    }
}

void TApplication::SetIdleHandler(const void* owner, TIdleEvent handler) {
    idle_ = std::move(handler);
    idleOwner_ = owner;
}

void TApplication::ClearIdleHandler(const void* owner) {
    if (idleOwner_ != owner) return;
    idle_ = nullptr;
    idleOwner_ = nullptr;
}

void TApplication::AddTimer(TWindowTimer* timer) {
    if (std::find(timers_.begin(), timers_.end(), timer) == timers_.end()) timers_.push_back(timer);
}

void TApplication::RemoveTimer(TWindowTimer* timer) {
    timers_.erase(std::remove(timers_.begin(), timers_.end(), timer), timers_.end());
}

} // namespace zelkor

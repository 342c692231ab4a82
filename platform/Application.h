#pragma once
// The main thread's message pass: the calls worker threads wait for and
// the window timers. The game's loop, a wait that must keep the workers
// moving, a tool or a test runs it; nothing here needs a window.

#include <algorithm>
#include <chrono>
#include <exception>
#include <functional>
#include <string>
#include <vector>

#include "platform/Object.h"

namespace zelkor {

class TWindowTimer;

// Where window and input events come from (the window system layer); the
// application pumps it on every pass and sleeps in it when idle.
class TEventSource {
public:
    virtual ~TEventSource() = default;
    // Handles the pending events; returns whether there were any.
    virtual bool Pump() = 0;
    // Blocks until an event arrives or `limit` passes. A worker's queued
    // call must end the wait too.
    virtual void WaitForEvents(std::chrono::milliseconds limit) = 0;
};

// An exception that reached the message loop, with its message.
using TExceptionEvent = std::function<void(TObject* Sender, const std::string& Message)>;

// Called on every idle pass of Run, with `done` true: a handler that leaves
// it true lets the loop sleep until the next message; one that sets it
// false is called again at once.
using TIdleEvent = std::function<void(TObject* Sender, bool& done)>;

class TApplication {
public:
    static TApplication& Instance();

    // One pass on the main thread: the window events, the worker calls
    // queued so far and every timer that is due. Returns whether anything ran.
    // An exception thrown by a handler goes to OnException when one is
    // set (the pass ends there); without one it leaves ProcessMessages.
    bool ProcessMessages();

    // The application's exception handler.
    TExceptionEvent OnException;

    // The message loop: passes of ProcessMessages, with the idle handler
    // between them, until Terminate.
    void Run();
    void Terminate() { terminated_ = true; }
    bool Terminated() const { return terminated_; }
    // Lets Run be entered again (tests and tools that run several loops).
    void ResetTerminated() { terminated_ = false; }

    // The single idle handler; setting one replaces the last. `owner` names
    // who set it, so that ClearIdleHandler removes only its own.
    void SetIdleHandler(const void* owner, TIdleEvent handler);
    void ClearIdleHandler(const void* owner);
    bool HasIdleHandler() const { return static_cast<bool>(idle_); }

    // The window system's events; null for none.
    void SetEventSource(TEventSource* source) { source_ = source; }
    TEventSource* EventSource() const { return source_; }

    // Blocks until a worker call is queued, a timer falls due, or `limit`
    // has passed; then runs one pass.
    bool WaitAndProcess(std::chrono::milliseconds limit);

    // Runs passes until `done()` holds or `limit` has passed; returns done().
    template <class Pred>
    bool ProcessUntil(Pred done, std::chrono::milliseconds limit) {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (!done()) {
            const auto now = std::chrono::steady_clock::now();
            if (now >= end) return done();
            WaitAndProcess(std::min(std::chrono::duration_cast<std::chrono::milliseconds>(end - now),
                                    std::chrono::milliseconds(20)));
        }
        return true;
    }

    void AddTimer(TWindowTimer* timer);
    void RemoveTimer(TWindowTimer* timer);

private:
    bool ProcessPass();
    // Hands an exception to OnException, or throws it on without one.
    void HandleException(std::exception_ptr error);
    // How long to sleep at most before the next timer falls due.
    std::chrono::milliseconds UntilNextTimer(std::chrono::milliseconds limit) const;

    std::vector<TWindowTimer*> timers_;
    TEventSource* source_ = nullptr;
    TIdleEvent idle_;
    const void* idleOwner_ = nullptr;
    bool terminated_ = false;
};

} // namespace zelkor

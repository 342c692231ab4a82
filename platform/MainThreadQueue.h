#pragma once
// Calls that a worker thread asks the main thread to run while the worker
// waits for them.
//
// A worker hands a call to Synchronize and blocks; the main thread runs the
// queued calls whenever it drains the queue: the application loop on every
// pass, a wait that must keep the workers moving (the board parking its
// engine), or a test. Nothing here needs a window.

#include <chrono>
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>

namespace zelkor {

class TMainThreadQueue {
public:
    // The process-wide queue served by the main thread.
    static TMainThreadQueue& Instance();
    // True on the thread that started the program.
    static bool IsMainThread();

    TMainThreadQueue() = default;
    TMainThreadQueue(const TMainThreadQueue&) = delete;
    TMainThreadQueue& operator=(const TMainThreadQueue&) = delete;

    // Runs `call` on the main thread and returns once it has run. On the main
    // thread itself the call runs at once. An exception thrown by the call
    // is thrown again here, in the caller's thread.
    void Synchronize(std::function<void()> call);

    // Main thread: runs the calls queued so far, in the order they were
    // queued; calls queued meanwhile wait for the next drain. Returns how
    // many ran.
    int CheckSynchronize();

    // Main thread: blocks until a call is queued, Wake() is called, or the
    // timeout passes. Returns true when a call is waiting to be run.
    bool WaitForCalls(std::chrono::milliseconds timeout);

    // Any thread: ends the current or next WaitForCalls early. Workers call
    // it when they change state that the main thread may be waiting for.
    void Wake();

    // Called on the queuing (or waking) thread each time a call is queued
    // and on every Wake, so that an event loop sleeping elsewhere can be
    // woken. Empty by default.
    void SetWakeHook(std::function<void()> hook);

    bool HasPending() const;

private:
    struct Request {
        std::function<void()> call;
        bool done = false;
        std::exception_ptr error;
    };

    mutable std::mutex mutex_;
    std::condition_variable queued_;  // main thread waits here
    std::condition_variable done_;    // workers wait here
    std::deque<std::shared_ptr<Request>> pending_;
    bool woken_ = false;
    std::function<void()> wakeHook_;
};

} // namespace zelkor

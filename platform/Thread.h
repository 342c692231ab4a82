#pragma once
// A worker thread that is created parked, can be parked and woken, runs
// calls on the main thread, and has one of seven scheduling priorities.
//
// The thread body, Execute, first runs on the first Resume. A worker parks
// only at one point: right after a main-thread call that parked it (the main
// thread runs Park while the worker waits for that call to return).

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

#include "platform/ThreadPriority.h"

namespace zelkor {

class TThread {
public:
    // `name` is what system tools show for the thread (at most 15 characters).
    explicit TThread(const char* name = "worker");
    TThread(const TThread&) = delete;
    TThread& operator=(const TThread&) = delete;
    // A derived class must end the thread (Terminate, Resume, WaitFor)
    // before its own members go; this only cleans up a thread that never ran.
    virtual ~TThread();

    // Wakes a parked worker; no effect on one that is not parked.
    void Resume();
    // Parks the worker at its next park point (see above).
    void Park();
    bool Parked() const;

    void Terminate() { terminated_ = true; }
    bool Terminated() const { return terminated_; }
    // Waits for the thread to end. On the main thread, the worker's calls
    // keep being run meanwhile, so a worker waiting for one can finish.
    void WaitFor();
    bool Finished() const { return finished_; }

    // Applies at once when the thread runs, else when it starts. Raising
    // the priority above normal may be refused by the system; that is ignored.
    void SetPriority(TThreadPriority priority);
    TThreadPriority Priority() const { return priority_; }
    // The system's nice value for a priority level.
    static int NiceValue(TThreadPriority priority);
    // The kernel's id of the thread once it runs, else 0.
    int SystemId() const { return tid_; }

protected:
    virtual void Execute() = 0;
    // Runs `call` on the main thread and waits for it; then stays parked
    // while the main thread has parked this worker.
    void Synchronize(const std::function<void()>& call);

private:
    void Body();
    void WaitWhileParked();
    void ApplyPriority();

    const char* name_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    bool parked_ = true;
    std::atomic<bool> terminated_{false};
    std::atomic<bool> finished_{false};
    std::atomic<TThreadPriority> priority_{TThreadPriority::tpNormal};
    std::atomic<int> tid_{0};
    std::thread thread_;
};

} // namespace zelkor

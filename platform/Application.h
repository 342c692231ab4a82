#pragma once
// The main thread's message pass: the calls worker threads wait for and
// the window timers. The game's loop, a wait that must keep the workers
// moving, a tool or a test runs it; nothing here needs a window.

#include <algorithm>
#include <chrono>
#include <vector>

namespace zelkor {

class TWindowTimer;

class TApplication {
public:
    static TApplication& Instance();

    // One pass on the main thread: runs the worker calls queued so far and
    // every timer that is due. Returns whether anything ran.
    bool ProcessMessages();

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
    std::vector<TWindowTimer*> timers_;
};

} // namespace zelkor

#pragma once
// Time limits that follow what the machine is doing: a test that waits for
// a program on the display waits longer while other work keeps the cores
// busy, and still fails when the program truly hangs.

#include <algorithm>
#include <chrono>
#include <fstream>
#include <thread>

namespace zelkor::xdrive {

// How much slower than on an idle machine things run now: the recent load
// (runnable processes, averaged over the last minute) over the cores, at
// least 1 and at most 6.
inline double MachineSlowdown() {
    std::ifstream in("/proc/loadavg");
    double load = 0;
    if (!(in >> load)) return 1.0;
    const double cores = std::max(1u, std::thread::hardware_concurrency());
    return std::clamp(load / cores, 1.0, 6.0);
}

// A deadline `limit` ahead in the time of an idle machine: each stretch of
// real time counts for less while the machine is busy.
class TLoadDeadline {
public:
    explicit TLoadDeadline(std::chrono::milliseconds limit) : left_(std::chrono::duration<double>(limit).count()) {}
    bool Passed() {
        const auto now = std::chrono::steady_clock::now();
        left_ -= std::chrono::duration<double>(now - last_).count() / MachineSlowdown();
        last_ = now;
        return left_ <= 0;
    }

private:
    double left_;
    std::chrono::steady_clock::time_point last_ = std::chrono::steady_clock::now();
};

} // namespace zelkor::xdrive

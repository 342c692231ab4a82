#pragma once
// The CPU time of a process's threads as the kernel counts it
// (/proc/<pid>/task/<tid>/schedstat: time on a core and time spent
// runnable but waiting for one, both in nanoseconds), and the share of a
// core that groups of those threads used between two readings.

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>

namespace zelkor::idlebench {

struct TThreadTimes {
    std::string Name;   // as the thread named itself (comm)
    uint64_t RunNs = 0;   // on a core
    uint64_t WaitNs = 0;  // runnable, waiting for a core
};

// One reading of all of a process's threads, by thread id; empty when the
// process is gone.
std::map<int, TThreadTimes> ReadThreads(pid_t pid);

// The nanoseconds on a core of each group between two readings; a thread
// that began after the first counts from zero, one that ended before the
// second is lost (its last stretch cannot be read).
std::map<std::string, uint64_t> RunByGroup(const std::map<int, TThreadTimes>& before,
                                           const std::map<int, TThreadTimes>& after,
                                           const std::function<std::string(int tid, const std::string& name)>& groupOf);

} // namespace zelkor::idlebench

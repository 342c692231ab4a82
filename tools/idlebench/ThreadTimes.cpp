#include "tools/idlebench/ThreadTimes.h"

#include <dirent.h>

#include <cstdlib>
#include <fstream>

namespace zelkor::idlebench {

std::map<int, TThreadTimes> ReadThreads(pid_t pid) {
    std::map<int, TThreadTimes> threads;
    const std::string folder = "/proc/" + std::to_string(pid) + "/task";
    DIR* dir = opendir(folder.c_str());
    if (!dir) return threads;
    while (dirent* entry = readdir(dir)) {
        const int tid = std::atoi(entry->d_name);
        if (tid <= 0) continue;
        const std::string base = folder + "/" + entry->d_name;
        TThreadTimes t;
        std::ifstream stat(base + "/schedstat");
        if (!(stat >> t.RunNs >> t.WaitNs)) continue;  // ended meanwhile
        std::ifstream comm(base + "/comm");
        std::getline(comm, t.Name);
        threads[tid] = t;
    }
    closedir(dir);
    return threads;
}

std::map<std::string, uint64_t> RunByGroup(const std::map<int, TThreadTimes>& before,
                                           const std::map<int, TThreadTimes>& after,
                                           const std::function<std::string(int tid, const std::string& name)>& groupOf) {
    std::map<std::string, uint64_t> groups;
    for (const auto& [tid, now] : after) {
        const auto was = before.find(tid);
        const uint64_t start = was == before.end() ? 0 : was->second.RunNs;
        groups[groupOf(tid, now.Name)] += now.RunNs >= start ? now.RunNs - start : 0;
    }
    return groups;
}

} // namespace zelkor::idlebench

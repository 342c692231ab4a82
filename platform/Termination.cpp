#include "platform/Termination.h"

#include <dirent.h>
#include <errno.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "platform/ThreadName.h"

namespace zelkor {

namespace {

// The parent of process `pid` as /proc gives it; -1 when it cannot be read.
pid_t ParentOf(const char* pid) {
    char path[64];
    std::snprintf(path, sizeof path, "/proc/%s/stat", pid);
    std::FILE* file = std::fopen(path, "r");
    if (!file) return -1;
    char line[512];
    const size_t n = std::fread(line, 1, sizeof line - 1, file);
    std::fclose(file);
    line[n] = '\0';
    // "pid (name) state ppid ...": the name may hold anything, so read
    // from its last closing parenthesis.
    const char* close = std::strrchr(line, ')');
    if (!close) return -1;
    char state = 0;
    int parent = -1;
    if (std::sscanf(close + 1, " %c %d", &state, &parent) != 2) return -1;
    return parent;
}

void EndBySignal(int signal) {
    KillChildProcesses();
    std::fflush(stderr);
    struct sigaction plain {};
    plain.sa_handler = SIG_DFL;
    sigaction(signal, &plain, nullptr);
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, signal);
    pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
    raise(signal);
    _exit(128 + signal);  // only if the signal was ignored all the same
}

} // namespace

int KillChildProcesses() {
    const pid_t self = getpid();
    int ended = 0;
    DIR* proc = opendir("/proc");
    if (!proc) return 0;
    while (const dirent* entry = readdir(proc)) {
        if (entry->d_name[0] < '0' || entry->d_name[0] > '9') continue;
        if (ParentOf(entry->d_name) != self) continue;
        if (kill(static_cast<pid_t>(std::atoi(entry->d_name)), SIGKILL) == 0) ++ended;
    }
    closedir(proc);
    return ended;
}

void InstallTerminationGuard(std::function<void()> requestQuit, std::chrono::milliseconds grace) {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
    std::thread([set, requestQuit = std::move(requestQuit), grace] {
        NameCurrentThread("signals");
        int signal = 0;
        if (sigwait(&set, &signal) != 0) return;
        if (requestQuit) requestQuit();
        // A message box's process keeps the main thread waiting: end it.
        KillChildProcesses();
        // The program ends in its ordinary way within the grace time, or
        // the signal ends it; a second signal ends it at once.
        const auto end = std::chrono::steady_clock::now() + grace;
        int second = -1;
        for (auto left = grace; second < 0 && left.count() > 0;
             left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now())) {
            timespec limit{};
            limit.tv_sec = static_cast<time_t>(left.count() / 1000);
            limit.tv_nsec = static_cast<long>(left.count() % 1000) * 1000000L;
            siginfo_t info{};
            second = sigtimedwait(&set, &info, &limit);
            if (second < 0 && errno != EINTR) break;
        }
        EndBySignal(second > 0 ? second : signal);
    }).detach();
}

} // namespace zelkor

#include "tools/xdrive/GameProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

extern char** environ;

#include "tools/xdrive/MachineLoad.h"

namespace zelkor::xdrive {

TGameProcess::TGameProcess(const std::string& program, const std::string& folder,
                           const std::vector<std::pair<std::string, std::string>>& set,
                           const std::vector<std::string>& unset, const std::vector<std::string>& args) {
    static int counter = 0;
    errorFile_ = (std::filesystem::temp_directory_path() /
                  ("zelkor-game-" + std::to_string(getpid()) + "-" + std::to_string(counter++) + ".err"))
                     .string();
    // The environment, prepared before the fork.
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        const std::string name = entry.substr(0, entry.find('='));
        bool drop = false;
        for (const std::string& u : unset) drop |= name == u;
        for (const auto& s : set) drop |= name == s.first;
        if (!drop) env.push_back(entry);
    }
    for (const auto& s : set) env.push_back(s.first + "=" + s.second);
    std::vector<char*> envp;
    for (std::string& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    std::vector<std::string> words{program};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);

    pid_ = fork();
    if (pid_ == 0) {
        // Its own process group: whatever it forks (a message box) goes with it.
        setpgid(0, 0);
        const int err = open(errorFile_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (err >= 0) dup2(err, STDERR_FILENO);
        const int null = open("/dev/null", O_WRONLY);
        if (null >= 0) dup2(null, STDOUT_FILENO);
        if (chdir(folder.c_str()) != 0) _exit(126);
        execve(program.c_str(), argv.data(), envp.data());
        _exit(127);
    }
}

TGameProcess::~TGameProcess() {
    if (pid_ > 0) kill(-pid_, SIGKILL);
    if (Running()) Wait(std::chrono::seconds(10));
    std::remove(errorFile_.c_str());
}

bool TGameProcess::Running() {
    if (pid_ <= 0 || status_ >= 0) return false;
    int status = 0;
    const pid_t done = waitpid(pid_, &status, WNOHANG);
    if (done == pid_) {
        status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        return false;
    }
    return done == 0;
}

int TGameProcess::Wait(std::chrono::milliseconds limit) {
    TLoadDeadline deadline(limit);
    while (Running()) {
        if (deadline.Passed()) return Running() ? -1 : status_;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return status_;
}

void TGameProcess::Signal(int signal) {
    if (Running()) kill(pid_, signal);
}

std::vector<int> TGameProcess::GroupMembers() const {
    std::vector<int> members;
    if (pid_ <= 0) return members;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", std::filesystem::directory_options::skip_permission_denied)) {
        const std::string name = entry.path().filename().string();
        if (name.empty() || name[0] < '0' || name[0] > '9') continue;
        std::ifstream stat(entry.path() / "stat");
        std::string line;
        if (!std::getline(stat, line)) continue;
        // "pid (name) state ppid pgrp ...", the name read past its last ')'.
        const size_t close = line.rfind(')');
        if (close == std::string::npos) continue;
        char state = 0;
        int parent = 0, group = 0;
        if (std::sscanf(line.c_str() + close + 1, " %c %d %d", &state, &parent, &group) != 3) continue;
        if (group == pid_ && state != 'Z') members.push_back(std::stoi(name));
    }
    return members;
}

std::string TGameProcess::ErrorOutput() const {
    std::ifstream in(errorFile_);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

} // namespace zelkor::xdrive

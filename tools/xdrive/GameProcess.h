#pragma once
// The game as a child process: started in a chosen folder with a chosen
// environment, its standard error kept in a file, waited for with a time
// limit and killed if it outlives the object that started it.

#include <sys/types.h>

#include <chrono>
#include <string>
#include <utility>
#include <vector>

namespace zelkor::xdrive {

class TGameProcess {
public:
    // `set` adds or replaces variables, `unset` removes them; `args` follow
    // the program's name.
    TGameProcess(const std::string& program, const std::string& folder,
                 const std::vector<std::pair<std::string, std::string>>& set = {},
                 const std::vector<std::string>& unset = {}, const std::vector<std::string>& args = {});
    ~TGameProcess();
    TGameProcess(const TGameProcess&) = delete;
    TGameProcess& operator=(const TGameProcess&) = delete;

    bool Started() const { return pid_ > 0; }
    pid_t Pid() const { return pid_; }
    bool Running();
    // The exit status; 128 + the signal when killed by one; -1 when it
    // still runs after `limit` (longer on a busy machine).
    int Wait(std::chrono::milliseconds limit);
    void Signal(int signal);
    // Processes left in the game's process group (the game and whatever it
    // started, a message box among them), the game itself once it is waited for excluded.
    std::vector<int> GroupMembers() const;
    // Everything written to standard error so far.
    std::string ErrorOutput() const;

private:
    pid_t pid_ = -1;
    int status_ = -1;
    std::string errorFile_;
};

} // namespace zelkor::xdrive

#pragma once
// Ends the program promptly on an interrupt (SIGINT) or a termination
// request (SIGTERM), whatever its main thread is doing at the time.
//
// A thread of its own waits for the two signals (they are blocked in every
// other thread). The first one asks the program to quit in its ordinary
// way, through `requestQuit`, and ends the program's child processes (a
// message box runs in one, and the main thread waits for it to be closed).
// If the program has still not ended after `grace`, or when a second
// signal comes, the children are ended again and the program is ended by
// the signal itself, as it would have been without this guard.

#include <chrono>
#include <functional>

namespace zelkor {

// Call first in main, before any other thread exists, so that every later
// thread inherits the blocked signals. Once per program.
void InstallTerminationGuard(std::function<void()> requestQuit,
                             std::chrono::milliseconds grace = std::chrono::milliseconds(1500));

// Ends every child process of this program at once (SIGKILL); the number ended.
int KillChildProcesses();

} // namespace zelkor

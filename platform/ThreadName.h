#pragma once
// Names a thread as system tools show it (top -H, /proc/<pid>/task/*/comm,
// a debugger), so that the program's threads can be told apart. Names are
// cut to the system's limit (15 characters on Linux).

namespace zelkor {

void NameCurrentThread(const char* name);

} // namespace zelkor

#pragma once
// Where the running program's file lies.

#include <string>

namespace zelkor {

// The folder of the program file, ending in '/'; "./" when it cannot be found.
std::string ProgramDirectory();

} // namespace zelkor

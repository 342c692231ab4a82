#pragma once
// Writing a file so that it is never seen half-written, on a full disk,
// after a crash or when the program is interrupted.

#include <cstddef>
#include <string>

namespace zelkor {

// Puts `size` bytes at `path`. An ordinary file, or none, is replaced
// through a temporary file beside it: written, synced to the disk, given
// the old file's permissions, renamed over `path`, then the folder synced;
// `path` keeps its old bytes or gets all the new ones, and the temporary
// file is removed when anything fails. Anything else at `path` (a device, a
// named pipe) is written in place. Every write is checked; false with the
// reason otherwise.
bool ReplaceFile(const std::string& path, const void* data, size_t size, std::string& error);

// From now on SIGINT, SIGTERM and SIGHUP remove the temporary file of a
// ReplaceFile under way, then end the program as the signal would have. For
// programs that leave these signals at their default action.
void RemoveTemporaryFileOnSignals();

} // namespace zelkor

#pragma once
// Opening the files the program is given (content, music, pictures) only
// when they are ordinary files: a folder, a named pipe or a device in their
// place is refused at once with the reason, never read from or waited on,
// and a file larger than its kind can be is refused before it is read.

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace zelkor {

constexpr uint64_t kAnySize = UINT64_MAX;

// The file opened for reading ("rb"), or nullptr with the reason in `why`
// ("it is a folder, not a file", "there is no such file", ...).
std::FILE* OpenRegularFile(const std::string& path, std::string& why, uint64_t maxSize = kAnySize);

// The whole file, read through OpenRegularFile; false with the reason.
bool ReadRegularFile(const std::string& path, std::vector<uint8_t>& bytes, std::string& why, uint64_t maxSize);

} // namespace zelkor

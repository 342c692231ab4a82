#pragma once
// A file that is part of the program itself, put in at build time by
// tools/embed: its name and its bytes.

#include <cstdint>
#include <span>
#include <string_view>

namespace zelkor {

struct TEmbeddedFile {
    std::string_view Name;  // the file's name in data/, without the folder
    std::span<const uint8_t> Bytes;
};

} // namespace zelkor

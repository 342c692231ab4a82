#include "platform/ProgramPath.h"

#include <filesystem>

namespace zelkor {

std::string ProgramDirectory() {
    std::error_code ec;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec || self.empty()) return "./";
    std::string folder = self.parent_path().string();
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder;
}

} // namespace zelkor

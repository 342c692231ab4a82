#include "platform/RegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace zelkor {

namespace {

std::string KindOf(mode_t mode) {
    if (S_ISDIR(mode)) return "a folder";
    if (S_ISFIFO(mode)) return "a named pipe";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
    if (S_ISSOCK(mode)) return "a socket";
    return "not an ordinary file";
}

} // namespace

std::FILE* OpenRegularFile(const std::string& path, std::string& why, uint64_t maxSize) {
    // Without waiting: opening a named pipe would otherwise block until
    // something writes to it.
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        why = errno == ENOENT ? "there is no such file" : std::string("it cannot be opened (") + std::strerror(errno) + ")";
        return nullptr;
    }
    struct stat st {};
    if (fstat(fd, &st) != 0) {
        why = std::string("it cannot be examined (") + std::strerror(errno) + ")";
        close(fd);
        return nullptr;
    }
    if (!S_ISREG(st.st_mode)) {
        const std::string kind = KindOf(st.st_mode);
        why = kind == "not an ordinary file" ? "it is not an ordinary file" : "it is " + kind + ", not a file";
        close(fd);
        return nullptr;
    }
    if (uint64_t(st.st_size) > maxSize) {
        why = "it holds " + std::to_string(st.st_size) + " bytes, more than " + std::to_string(maxSize);
        close(fd);
        return nullptr;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    std::FILE* file = fdopen(fd, "rb");
    if (!file) {
        why = std::string("it cannot be opened (") + std::strerror(errno) + ")";
        close(fd);
    }
    return file;
}

bool ReadRegularFile(const std::string& path, std::vector<uint8_t>& bytes, std::string& why, uint64_t maxSize) {
    bytes.clear();
    std::FILE* file = OpenRegularFile(path, why, maxSize);
    if (!file) return false;
    // The size is checked again as the bytes come: a file may grow.
    uint8_t buffer[64 * 1024];
    bool ok = true;
    for (;;) {
        const size_t n = std::fread(buffer, 1, sizeof buffer, file);
        if (bytes.size() + n > maxSize) {
            why = "it holds more than " + std::to_string(maxSize) + " bytes";
            ok = false;
            break;
        }
        bytes.insert(bytes.end(), buffer, buffer + n);
        if (n < sizeof buffer) {
            if (std::ferror(file)) {
                why = std::string("it cannot be read (") + std::strerror(errno) + ")";
                ok = false;
            }
            break;
        }
    }
    std::fclose(file);
    if (!ok) bytes.clear();
    return ok;
}

} // namespace zelkor

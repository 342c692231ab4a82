#include "tools/pack/ReplaceFile.h"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <mutex>

namespace zelkor {

namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

// The temporary file that a signal must remove. Both are changed only while
// the signals are held back on the thread that changes them.
char gTemporary[8192];
std::atomic<bool> gTemporaryExists{false};
// One replacement at a time: the handler knows of one temporary file.
std::mutex gReplacing;

void OnSignal(int signal) {
    if (gTemporaryExists.load()) unlink(gTemporary);
    // SA_RESETHAND has put the default action back; the signal raised
    // again is held until this returns, then ends the program.
    raise(signal);
}

// Holds the signals back on this thread while it lives, so that no
// temporary file exists unrecorded.
class SignalsHeld {
public:
    SignalsHeld() {
        sigset_t set;
        sigemptyset(&set);
        for (int s : kSignals) sigaddset(&set, s);
        pthread_sigmask(SIG_BLOCK, &set, &old_);
    }
    ~SignalsHeld() { pthread_sigmask(SIG_SETMASK, &old_, nullptr); }
    SignalsHeld(const SignalsHeld&) = delete;
    SignalsHeld& operator=(const SignalsHeld&) = delete;

private:
    sigset_t old_;
};

void Record(const std::string& temporary) {
    if (temporary.size() >= sizeof gTemporary) return;  // longer than any path open() takes
    std::memcpy(gTemporary, temporary.c_str(), temporary.size() + 1);
    gTemporaryExists = true;
}

void Forget() { gTemporaryExists = false; }

// The text of errno, after what failed.
std::string Reason(const std::string& what) { return what + ": " + std::strerror(errno); }

bool WriteAll(int fd, const void* data, size_t size) {
    const auto* bytes = static_cast<const uint8_t*>(data);
    while (size > 0) {
        const ssize_t n = write(fd, bytes, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = EIO;
            return false;
        }
        bytes += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// A device or a named pipe takes the bytes as they come; there is no file
// to keep whole.
bool WriteInPlace(const std::string& path, const void* data, size_t size, std::string& error) {
    const int fd = open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        error = Reason("cannot open " + path);
        return false;
    }
    bool ok = WriteAll(fd, data, size);
    if (!ok) error = Reason("cannot write " + path);
    if (close(fd) != 0 && ok) {
        error = Reason("cannot write " + path);
        ok = false;
    }
    return ok;
}

} // namespace

bool ReplaceFile(const std::string& path, const void* data, size_t size, std::string& error) {
    struct stat old {};
    const bool exists = stat(path.c_str(), &old) == 0;
    if (exists && S_ISDIR(old.st_mode)) {
        error = path + " is a folder";
        return false;
    }
    if (exists && !S_ISREG(old.st_mode)) return WriteInPlace(path, data, size, error);

    std::lock_guard lock(gReplacing);
    std::string temporary;
    int fd = -1;
    {
        SignalsHeld held;
        for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
            temporary = path + ".tmp" + std::to_string(getpid()) + (attempt ? "-" + std::to_string(attempt) : "");
            fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd < 0 && errno != EEXIST) break;
        }
        if (fd < 0) {
            error = Reason("cannot create " + temporary);
            return false;
        }
        Record(temporary);
    }
    auto fail = [&](std::string why) {
        if (fd >= 0) close(fd);
        SignalsHeld held;
        unlink(temporary.c_str());
        Forget();
        error = std::move(why);
        return false;
    };
    if (exists && fchmod(fd, old.st_mode & 07777) != 0)
        return fail(Reason("cannot set the permissions of " + temporary));
    if (!WriteAll(fd, data, size)) return fail(Reason("cannot write " + temporary));
    if (fsync(fd) != 0) return fail(Reason("cannot sync " + temporary));
    const int closing = close(fd);
    fd = -1;
    if (closing != 0) return fail(Reason("cannot write " + temporary));
    {
        SignalsHeld held;
        if (rename(temporary.c_str(), path.c_str()) != 0)
            return fail(Reason("cannot rename " + temporary + " to " + path));
        Forget();
    }
    // The rename reaches the disk with its folder.
    const int folder = open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0) {
        error = Reason("cannot sync the folder of " + path);
        return false;
    }
    const bool synced = fsync(folder) == 0 || errno == EINVAL;  // EINVAL: a file system that cannot sync folders
    if (!synced) error = Reason("cannot sync the folder of " + path);
    close(folder);
    return synced;
}

void RemoveTemporaryFileOnSignals() {
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    for (int s : kSignals) sigaddset(&action.sa_mask, s);
    action.sa_flags = SA_RESETHAND;
    for (int s : kSignals) {
        struct sigaction current {};
        if (sigaction(s, nullptr, &current) != 0 || current.sa_handler == SIG_IGN) continue;  // nohup stays in force
        sigaction(s, &action, nullptr);
    }
}

} // namespace zelkor

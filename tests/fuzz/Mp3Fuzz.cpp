// Arbitrary bytes as an MP3 file: the input either refuses it or decodes
// it, looping, without reading outside its buffers or hanging.

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "audio/Mp3Input.h"

using namespace zelkor;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const int fd = memfd_create("mp3", 0);
    if (fd < 0 || ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != ssize_t(size)) std::abort();
    TMP3In in;
    in.SetFileName("/proc/self/fd/" + std::to_string(fd));
    in.SetLoop(size % 2 == 0);
    if (!in.Valid()) return 0;
    if (in.BitsPerSample() != 16 || in.Channels() < 1 || in.Channels() > 2) std::abort();
    std::vector<uint8_t> buffer(16384);
    for (int i = 0; i < 8; ++i)
        if (in.Read(buffer.data(), buffer.size()) % size_t(in.Format().FrameBytes()) != 0) std::abort();
    return 0;
}

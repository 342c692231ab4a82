// Arbitrary resource descriptions for the loader, over a small archive:
// every entry is made and loaded (without a device, so images and fonts
// are then dropped), and nothing the text says reaches outside the loader.

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "render/GfxLoader.h"

using namespace zelkor;

namespace {

std::string MemoryFile(const char* name) {
    const int fd = memfd_create(name, 0);
    return fd < 0 ? std::string() : "/proc/self/fd/" + std::to_string(fd);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string description = MemoryFile("description");
    if (description.empty()) std::abort();
    FILE* f = std::fopen(description.c_str(), "wb");
    if (!f) std::abort();
    std::fwrite(data, 1, size, f);
    std::fclose(f);

    TAssetDb archive;  // the archive named by "source" will not exist: every open fails cleanly
    archive.SetPassword("qzmb");
    TGfxImages images;
    TGfxFonts fonts;
    TGfxLoader loader;
    loader.SetImages(&images);
    loader.SetFonts(&fonts);
    loader.SetArchive(&archive);
    loader.SetXMLDescFile(description);
    if (!loader.Load("Content")) std::abort();  // a readable file always loads
    if (images.Count() != 0 || fonts.Count() != 0) std::abort();  // nothing without a device
    return 0;
}

// Whole archive files: open the table, then read every record with the
// game's password. Any answer is fine; reading outside the file, a crash, a
// hang or an allocation the file cannot justify is not.

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "assets/AssetDb.h"
#include "assets/ImageRecord.h"

using namespace zelkor;

namespace {

// One in-memory file, rewritten for every input.
int MemoryFile() {
    static const int fd = memfd_create("archive", 0);
    return fd;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const int fd = MemoryFile();
    if (fd < 0 || ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != static_cast<ssize_t>(size)) std::abort();
    TAssetDb db;
    db.SetFileName("/proc/self/fd/" + std::to_string(fd));
    db.SetOpenMode(TOpenModes::opReadOnly);
    db.SetPassword("qzmb");
    if (!db.Open()) return 0;
    const int count = db.RecordCount();
    for (int i = 0; i < count && i < 64; ++i) {
        std::vector<uint8_t> bytes;
        const std::string key = db.Record(i).Key;
        if (!db.ReadRecord(key, bytes)) continue;
        if (bytes.size() != db.Record(db.IndexOf(key)).OrigSize) std::abort();
        // Decoded records go on to the image and font header readers.
        TMemoryStream s(std::move(bytes));
        std::string error;
        TFontRecordHeader font;
        TImageRecordHeader image;
        if (db.RecordType(i) == TAssetDb::FontRecordType && !ReadFontRecordHeader(s, font, error)) continue;
        (void)ReadImageRecordHeader(s, image, error);
    }
    return 0;
}

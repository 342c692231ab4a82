// Arbitrary bytes as a bitmap file (a custom piece set or texture of the
// board component): refused with a reason, or read into exactly
// width x height pixels within the size limit.

#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/canvas/BitmapFile.h"

using namespace zelkor;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TBitmap bitmap;
    std::string error;
    if (!ParseBitmapFile(data, size, bitmap, error)) {
        if (error.empty() || !bitmap.Empty()) std::abort();
        return 0;
    }
    if (bitmap.Width() < 1 || bitmap.Height() < 1 || bitmap.Width() > kMaxBitmapSide || bitmap.Height() > kMaxBitmapSide ||
        bitmap.Pixels().size() != size_t(bitmap.Width()) * size_t(bitmap.Height()))
        std::abort();
    return 0;
}

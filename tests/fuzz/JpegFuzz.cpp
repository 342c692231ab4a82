// Arbitrary bytes as a JPEG picture (the launcher's splash): refused with a
// reason, or decoded into exactly width x height opaque pixels.

#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/sdl/JpegDecoder.h"

using namespace zelkor;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TRgbPicture picture;
    std::string error;
    if (!DecodeJpeg(data, size, picture, error)) {
        if (error.empty() || !picture.Pixels.empty()) std::abort();
        return 0;
    }
    if (picture.Width < 1 || picture.Height < 1 || picture.Width > kMaxJpegSide || picture.Height > kMaxJpegSide ||
        picture.Pixels.size() != size_t(picture.Width) * size_t(picture.Height))
        std::abort();
    for (uint32_t p : picture.Pixels)
        if (p >> 24 != 0xFF) std::abort();
    return 0;
}

#include "platform/canvas/BitmapFile.h"

#include <png.h>

#include <cstring>
#include <fstream>
#include <iterator>

#include "platform/RegularFile.h"

namespace zelkor {


bool ParsePngImage(const uint8_t* data, size_t size, TBitmap& out, std::string& error) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!data || !png_image_begin_read_from_memory(&image, data, size)) {
        error = std::string("not a readable PNG file: ") + image.message;
        png_image_free(&image);
        return false;
    }
    if (image.width == 0 || image.height == 0 || image.width > unsigned(kMaxBitmapSide) || image.height > unsigned(kMaxBitmapSide)) {
        error = "the PNG picture is " + std::to_string(image.width) + " x " + std::to_string(image.height) + " pixels (1 to " +
                std::to_string(kMaxBitmapSide) + " on each side)";
        png_image_free(&image);
        return false;
    }
    image.format = PNG_FORMAT_BGRA;  // little-endian 0xAARRGGBB words
    TBitmap bitmap(int(image.width), int(image.height));
    if (!png_image_finish_read(&image, nullptr, bitmap.Pixels().data(), 0, nullptr)) {
        error = std::string("not a readable PNG file: ") + image.message;
        png_image_free(&image);
        return false;
    }
    out = std::move(bitmap);
    return true;
}

bool ParseBitmapFile(const uint8_t* data, size_t size, TBitmap& out, std::string& error) {
    if (data && size >= 8 && std::memcmp(data, "\x89PNG\r\n\x1a\n", 8) == 0) return ParsePngImage(data, size, out, error);
    return ParseBmp(data, size, out, error);
}

bool ReadBitmapFile(const std::string& path, TBitmap& out, std::string& error) {
    // No picture the board can use comes near this size.
    constexpr uint64_t kMaxPictureFile = uint64_t{64} << 20;
    std::vector<uint8_t> bytes;
    std::string why;
    if (!ReadRegularFile(path, bytes, why, kMaxPictureFile)) {
        error = "cannot read " + path + ": " + why;
        return false;
    }
    if (!ParseBitmapFile(bytes.data(), bytes.size(), out, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

} // namespace zelkor

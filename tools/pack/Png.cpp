#include "tools/pack/Png.h"

#include <png.h>

#include <cstring>
#include <vector>

#include "platform/RegularFile.h"

namespace zelkor {

bool ReadPng(const std::string& path, TPixelSheet& sheet, std::string& error) {
    // Read whole first: only an ordinary file, and none beyond what a
    // picture of the largest size taken could need.
    std::vector<uint8_t> bytes;
    std::string why;
    if (!ReadRegularFile(path, bytes, why, uint64_t{1} << 30)) {
        error = path + ": " + why;
        return false;
    }
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) {
        error = path + ": " + image.message;
        return false;
    }
    if (image.width == 0 || image.height == 0 || image.width > 16384 || image.height > 16384) {
        png_image_free(&image);
        error = path + ": a picture of " + std::to_string(image.width) + " x " + std::to_string(image.height) +
                " pixels is not taken";
        return false;
    }
    image.format = PNG_FORMAT_BGRA;  // little-endian 0xAARRGGBB words
    sheet.Width = static_cast<int>(image.width);
    sheet.Height = static_cast<int>(image.height);
    sheet.Pixels.assign(size_t(image.width) * image.height, 0);
    if (!png_image_finish_read(&image, nullptr, sheet.Pixels.data(), 0, nullptr)) {
        error = path + ": " + image.message;
        png_image_free(&image);
        return false;
    }
    return true;
}

bool WritePng(const std::string& path, const TPixelSheet& sheet, std::string& error) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(sheet.Width);
    image.height = static_cast<png_uint_32>(sheet.Height);
    image.format = PNG_FORMAT_BGRA;
    if (!png_image_write_to_file(&image, path.c_str(), 0, sheet.Pixels.data(), 0, nullptr)) {
        error = path + ": " + image.message;
        return false;
    }
    return true;
}

} // namespace zelkor

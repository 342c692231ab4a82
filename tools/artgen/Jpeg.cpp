#include "tools/artgen/Jpeg.h"

#include <cstdio>
#include <vector>

#include <jpeglib.h>

namespace zelkor::art {

bool WriteJpeg(const std::string& path, const TPixelSheet& sheet, int quality, std::string& error) {
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) {
        error = "cannot write " + path;
        return false;
    }
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, out);
    info.image_width = JDIMENSION(sheet.Width);
    info.image_height = JDIMENSION(sheet.Height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::vector<JSAMPLE> row(size_t(sheet.Width) * 3);
    while (info.next_scanline < info.image_height) {
        for (int x = 0; x < sheet.Width; ++x) {
            const uint32_t p = sheet.Pixels[size_t(info.next_scanline) * size_t(sheet.Width) + size_t(x)];
            row[size_t(x) * 3] = JSAMPLE((p >> 16) & 0xFF);
            row[size_t(x) * 3 + 1] = JSAMPLE((p >> 8) & 0xFF);
            row[size_t(x) * 3 + 2] = JSAMPLE(p & 0xFF);
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    const bool ok = std::fclose(out) == 0;
    if (!ok) error = "cannot write " + path;
    return ok;
}

} // namespace zelkor::art

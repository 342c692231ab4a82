#include "platform/sdl/JpegDecoder.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace zelkor {

namespace {

// libjpeg reports fatal errors through error_exit, which must not return:
// it jumps back to the decoder with the message.
struct TErrorManager {
    jpeg_error_mgr Base;
    std::jmp_buf Jump;
    char Message[JMSG_LENGTH_MAX];
};

void ErrorExit(j_common_ptr info) {
    auto* manager = reinterpret_cast<TErrorManager*>(info->err);
    (*info->err->format_message)(info, manager->Message);
    std::longjmp(manager->Jump, 1);
}

// Warnings (a corrupt but readable stream) are not fatal; they stay silent.
void OutputMessage(j_common_ptr) {}

} // namespace

bool DecodeJpeg(const uint8_t* data, size_t size, TRgbPicture& out, std::string& error) {
    if (!data || size == 0) {
        error = "the JPEG data is empty";
        return false;
    }
    jpeg_decompress_struct info{};
    TErrorManager manager{};
    info.err = jpeg_std_error(&manager.Base);
    manager.Base.error_exit = ErrorExit;
    manager.Base.output_message = OutputMessage;
    // Everything that must survive the jump lives outside this frame's
    // registers: the result is built in `picture` and moved out at the end.
    TRgbPicture picture;
    std::vector<uint8_t> row;
    if (setjmp(manager.Jump)) {
        jpeg_destroy_decompress(&info);
        error = std::string("not a readable JPEG picture: ") + manager.Message;
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
    jpeg_read_header(&info, TRUE);
    if (info.image_width == 0 || info.image_height == 0 || info.image_width > kMaxJpegSide ||
        info.image_height > kMaxJpegSide) {
        jpeg_destroy_decompress(&info);
        error = "the JPEG picture is " + std::to_string(info.image_width) + " x " + std::to_string(info.image_height) +
                " pixels (1 to " + std::to_string(kMaxJpegSide) + " on each side)";
        return false;
    }
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    picture.Width = int(info.output_width);
    picture.Height = int(info.output_height);
    picture.Pixels.resize(size_t(picture.Width) * size_t(picture.Height));
    row.resize(size_t(info.output_width) * size_t(info.output_components));
    while (info.output_scanline < info.output_height) {
        JSAMPROW rows[1] = {row.data()};
        const size_t y = info.output_scanline;
        jpeg_read_scanlines(&info, rows, 1);
        uint32_t* line = &picture.Pixels[y * size_t(picture.Width)];
        for (int x = 0; x < picture.Width; ++x) {
            const uint8_t* p = &row[size_t(x) * 3];
            line[x] = 0xFF000000u | uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
        }
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    out = std::move(picture);
    return true;
}

} // namespace zelkor

// Arbitrary image and font records: the header readers refuse what the
// record cannot hold, the layout check names what it refuses, and what the
// readers accept converts row by row into every texture format without
// reading or writing outside the rows.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "assets/ImageRecord.h"
#include "platform/PixelFormats.h"

using namespace zelkor;

namespace {

void ConvertRows(TStream& s, const TImageRecordHeader& h, uint8_t targetCode) {
    const TColorFormat target = ColorFormatFromCode(uint8_t(targetCode % ColorFormatCount));
    const int width = h.TextureWidth;
    if (width <= 0 || width > 4096) return;
    std::vector<uint8_t> row(size_t(width) * size_t(BytesPerPixel(h.Format)));
    std::vector<uint32_t> wide(static_cast<size_t>(width));
    std::vector<uint8_t> out(size_t(width) * size_t(BytesPerPixel(target)));
    for (int y = 0; y < 64 && s.ReadExact(row.data(), row.size()); ++y) {
        WidenRow(h.Format, row.data(), wide.data(), width);
        NarrowRow(target, wide.data(), out.data(), width);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const bool font = data[0] & 1;
    const uint8_t target = data[0] >> 1;
    TMemoryStream s(std::vector<uint8_t>(data + 1, data + size));
    std::string error;
    if (font) {
        TFontRecordHeader f;
        if (!ReadFontRecordHeader(s, f, error)) {
            if (error.empty()) std::abort();
            return 0;
        }
        if (f.Glyphs.size() * 8 > size) std::abort();  // never more glyphs than bytes
    }
    TImageRecordHeader h;
    if (!ReadImageRecordHeader(s, h, error)) {
        if (error.empty()) std::abort();
        return 0;
    }
    if (h.PixelBytes() > s.Remaining()) std::abort();
    // The layout checks the game and the packer's verify make.
    if (!CheckImageLayout(h, error) && error.empty()) std::abort();
    ConvertRows(s, h, target);
    return 0;
}

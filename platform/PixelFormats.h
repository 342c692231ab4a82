#pragma once
// The pixel formats of image records, and the conversions between a stored
// row and 32-bit A8R8G8B8.
//
// Channels run alpha (or unused X bits), red, green, blue from the most
// significant bits down, pixels little-endian; except in the two 3-3-2
// formats, whose colour byte holds blue in bits 0-2, green in bits 3-5 and
// red in bits 6-7 (A8R3G3B2 adds alpha in bits 8-15).

#include <cstdint>
#include <optional>
#include <string_view>

namespace zelkor {

enum class TColorFormat : uint8_t {
    R3G3B2 = 0,
    R5G6B5 = 1,
    X8R8G8B8 = 2,
    X1R5G5B5 = 3,
    X4R4G4B4 = 4,
    A8R8G8B8 = 5,
    A1R5G5B5 = 6,
    A4R4G4B4 = 7,
    A8R3G3B2 = 8,
    A2R2G2B2 = 9,
    A8 = 10,
    None = 11,
};

inline constexpr int ColorFormatCount = 11;  // the real formats, codes 0..10

// Bytes per pixel; 0 for None and for codes outside the table.
int BytesPerPixel(TColorFormat format);
std::string_view ColorFormatName(TColorFormat format);
std::optional<TColorFormat> ColorFormatFromName(std::string_view name);
// A code read from a record; None for anything outside 0..10.
TColorFormat ColorFormatFromCode(uint8_t code);
bool HasAlpha(TColorFormat format);

// 0xAARRGGBB from one pixel of `format`: each n-bit channel widened to 8
// bits as round(v * 255 / (2^n - 1)); a channel the format lacks becomes 255.
uint32_t WidenPixel(TColorFormat format, const uint8_t* pixel);
// One 0xAARRGGBB pixel into `format`, keeping the top bits of each channel
// (unused X bits are set).
void NarrowPixel(TColorFormat format, uint32_t argb, uint8_t* pixel);

void WidenRow(TColorFormat format, const uint8_t* src, uint32_t* dst, int width);
void NarrowRow(TColorFormat format, const uint32_t* src, uint8_t* dst, int width);

} // namespace zelkor

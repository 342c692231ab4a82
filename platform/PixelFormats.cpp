#include "platform/PixelFormats.h"

namespace zelkor {

namespace {

struct Layout {
    std::string_view name;
    int bytes;
    // Bit position and width of each channel; width 0: the format lacks it.
    int aShift, aBits, rShift, rBits, gShift, gBits, bShift, bBits;
    int xShift, xBits;  // unused bits, set when narrowing
};

constexpr Layout kLayouts[ColorFormatCount] = {
    {"R3G3B2", 1, 0, 0, 6, 2, 3, 3, 0, 3, 0, 0},
    {"R5G6B5", 2, 0, 0, 11, 5, 5, 6, 0, 5, 0, 0},
    {"X8R8G8B8", 4, 0, 0, 16, 8, 8, 8, 0, 8, 24, 8},
    {"X1R5G5B5", 2, 0, 0, 10, 5, 5, 5, 0, 5, 15, 1},
    {"X4R4G4B4", 2, 0, 0, 8, 4, 4, 4, 0, 4, 12, 4},
    {"A8R8G8B8", 4, 24, 8, 16, 8, 8, 8, 0, 8, 0, 0},
    {"A1R5G5B5", 2, 15, 1, 10, 5, 5, 5, 0, 5, 0, 0},
    {"A4R4G4B4", 2, 12, 4, 8, 4, 4, 4, 0, 4, 0, 0},
    {"A8R3G3B2", 2, 8, 8, 6, 2, 3, 3, 0, 3, 0, 0},
    {"A2R2G2B2", 1, 6, 2, 4, 2, 2, 2, 0, 2, 0, 0},
    {"A8", 1, 0, 8, 0, 0, 0, 0, 0, 0, 0, 0},
};

const Layout* LayoutOf(TColorFormat format) {
    const auto code = static_cast<unsigned>(format);
    return code < ColorFormatCount ? &kLayouts[code] : nullptr;
}

uint32_t Widen(uint32_t value, int bits) {
    if (bits == 0) return 255;
    const uint32_t max = (1u << bits) - 1;
    return (value * 255 + max / 2) / max;
}

uint32_t Field(uint32_t word, int shift, int bits) { return bits ? (word >> shift) & ((1u << bits) - 1) : 0; }

} // namespace

int BytesPerPixel(TColorFormat format) {
    const Layout* l = LayoutOf(format);
    return l ? l->bytes : 0;
}

std::string_view ColorFormatName(TColorFormat format) {
    const Layout* l = LayoutOf(format);
    return l ? l->name : "none";
}

std::optional<TColorFormat> ColorFormatFromName(std::string_view name) {
    for (int i = 0; i < ColorFormatCount; ++i)
        if (kLayouts[i].name == name) return static_cast<TColorFormat>(i);
    return std::nullopt;
}

TColorFormat ColorFormatFromCode(uint8_t code) {
    return code < ColorFormatCount ? static_cast<TColorFormat>(code) : TColorFormat::None;
}

bool HasAlpha(TColorFormat format) {
    const Layout* l = LayoutOf(format);
    return l && l->aBits > 0;
}

uint32_t WidenPixel(TColorFormat format, const uint8_t* pixel) {
    const Layout* l = LayoutOf(format);
    if (!l) return 0;
    uint32_t word = 0;
    for (int i = l->bytes - 1; i >= 0; --i) word = (word << 8) | pixel[i];
    // A8 carries alpha alone, in its only byte.
    const uint32_t a = format == TColorFormat::A8 ? word : Widen(Field(word, l->aShift, l->aBits), l->aBits);
    const uint32_t r = Widen(Field(word, l->rShift, l->rBits), l->rBits);
    const uint32_t g = Widen(Field(word, l->gShift, l->gBits), l->gBits);
    const uint32_t b = Widen(Field(word, l->bShift, l->bBits), l->bBits);
    return (a << 24) | (r << 16) | (g << 8) | b;
}

void NarrowPixel(TColorFormat format, uint32_t argb, uint8_t* pixel) {
    const Layout* l = LayoutOf(format);
    if (!l) return;
    auto top = [](uint32_t v8, int bits) { return bits ? v8 >> (8 - bits) : 0; };
    uint32_t word = 0;
    if (format == TColorFormat::A8) {
        word = argb >> 24;
    } else {
        word |= top(argb >> 24, l->aBits) << l->aShift;
        word |= top((argb >> 16) & 0xFF, l->rBits) << l->rShift;
        word |= top((argb >> 8) & 0xFF, l->gBits) << l->gShift;
        word |= top(argb & 0xFF, l->bBits) << l->bShift;
        if (l->xBits) word |= ((1u << l->xBits) - 1) << l->xShift;
    }
    for (int i = 0; i < l->bytes; ++i) pixel[i] = static_cast<uint8_t>(word >> (8 * i));
}

void WidenRow(TColorFormat format, const uint8_t* src, uint32_t* dst, int width) {
    const int bytes = BytesPerPixel(format);
    for (int x = 0; x < width; ++x) dst[x] = WidenPixel(format, src + x * bytes);
}

void NarrowRow(TColorFormat format, const uint32_t* src, uint8_t* dst, int width) {
    const int bytes = BytesPerPixel(format);
    for (int x = 0; x < width; ++x) NarrowPixel(format, src[x], dst + x * bytes);
}

} // namespace zelkor

#include <gtest/gtest.h>

#include <cstring>

#include "platform/PixelFormats.h"

using namespace zelkor;

TEST(PixelFormats, SizesAndNames) {
    const int bytes[] = {1, 2, 4, 2, 2, 4, 2, 2, 2, 1, 1};
    for (int code = 0; code < ColorFormatCount; ++code) {
        const auto f = static_cast<TColorFormat>(code);
        EXPECT_EQ(BytesPerPixel(f), bytes[code]) << code;
        EXPECT_EQ(ColorFormatFromName(ColorFormatName(f)), f);
    }
    EXPECT_EQ(BytesPerPixel(TColorFormat::None), 0);
    EXPECT_EQ(ColorFormatFromCode(11), TColorFormat::None);
    EXPECT_EQ(ColorFormatFromCode(200), TColorFormat::None);
    EXPECT_FALSE(ColorFormatFromName("RGBA"));
}

struct WidenCase {
    TColorFormat format;
    uint8_t bytes[4];
    uint32_t argb;
};

TEST(PixelFormats, WideningScalesEachChannelAndFillsMissingOnesWith255) {
    const WidenCase cases[] = {
        // R5G6B5: red 31, green 0, blue 16 -> 255, 0, round(16 * 255 / 31) = 132; alpha 255.
        {TColorFormat::R5G6B5, {0x10, 0xF8}, 0xFFFF0084},
        // X8R8G8B8: the fourth byte is no alpha.
        {TColorFormat::X8R8G8B8, {0x11, 0x22, 0x33, 0x00}, 0xFF332211},
        {TColorFormat::A8R8G8B8, {0x11, 0x22, 0x33, 0x44}, 0x44332211},
        // 3-3-2 packing: blue in bits 0-2, green 3-5, red 6-7.
        {TColorFormat::R3G3B2, {0b10'011'111}, 0xFFAA6DFF},
        {TColorFormat::A8R3G3B2, {0b01'000'000, 0x80}, 0x80550000},
        {TColorFormat::A4R4G4B4, {0x21, 0xF3}, 0xFF332211},
        {TColorFormat::A1R5G5B5, {0x00, 0x80}, 0xFF000000},
        {TColorFormat::X1R5G5B5, {0x1F, 0x00}, 0xFF0000FF},
        {TColorFormat::A2R2G2B2, {0b01'10'11'00}, 0x55AAFF00},
        {TColorFormat::A8, {0x7F}, 0x7FFFFFFF},
    };
    for (const WidenCase& c : cases)
        EXPECT_EQ(WidenPixel(c.format, c.bytes), c.argb) << ColorFormatName(c.format);
}

TEST(PixelFormats, NarrowingKeepsTheTopBitsAndRoundTripsExactValues) {
    uint8_t px[4] = {};
    NarrowPixel(TColorFormat::R3G3B2, 0xFFFFFFFF, px);
    EXPECT_EQ(px[0], 0xFF);
    NarrowPixel(TColorFormat::R3G3B2, 0xFFC00000, px);  // red only: bits 6-7
    EXPECT_EQ(px[0], 0xC0);
    NarrowPixel(TColorFormat::R5G6B5, 0xFF0000F8, px);  // blue 0xF8 -> 31 in bits 0-4
    EXPECT_EQ(px[0], 0x1F);
    EXPECT_EQ(px[1], 0x00);
    NarrowPixel(TColorFormat::X1R5G5B5, 0x00000000, px);  // the X bit is set
    EXPECT_EQ(px[1], 0x80);
    // Every value a format can hold comes back unchanged through 32 bits.
    for (int code = 0; code < ColorFormatCount; ++code) {
        const auto f = static_cast<TColorFormat>(code);
        const int bytes = BytesPerPixel(f);
        for (uint32_t v = 0; v < (bytes == 1 ? 256u : 65536u); v += (bytes == 4 ? 257u : 1u)) {
            uint8_t in[4] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v * 3),
                             static_cast<uint8_t>(v * 5)};
            // Unused X bits are not data: compare what survives a first trip.
            uint8_t once[4] = {}, twice[4] = {};
            NarrowPixel(f, WidenPixel(f, in), once);
            NarrowPixel(f, WidenPixel(f, once), twice);
            ASSERT_EQ(0, std::memcmp(once, twice, size_t(bytes))) << ColorFormatName(f) << " " << v;
        }
    }
}

#include <gtest/gtest.h>

#include "assets/ImageRecord.h"
#include "tools/pack/ImageBuilder.h"

using namespace zelkor;

namespace {

// A sheet of `cols` x `rows` cells of w x h, each cell filled with its index.
TPixelSheet Cells(int cols, int rows, int w, int h) {
    TPixelSheet s;
    s.Width = cols * w;
    s.Height = rows * h;
    s.Pixels.resize(size_t(s.Width) * size_t(s.Height));
    for (int y = 0; y < s.Height; ++y)
        for (int x = 0; x < s.Width; ++x)
            s.Pixels[size_t(y) * size_t(s.Width) + size_t(x)] = 0xFF000000u | uint32_t((y / h) * cols + x / w);
    return s;
}

} // namespace

TEST(ImageBuilder, LaysPatternsIntoTexturesLeftToRightTopToBottom) {
    TImageLayout l;
    l.Format = TColorFormat::A8R8G8B8;
    l.PatternWidth = l.PatternHeight = 4;
    l.VisibleWidth = l.VisibleHeight = 3;
    l.TextureWidth = 8;
    l.TextureHeight = 8;
    std::vector<uint8_t> record;
    std::string error;
    ASSERT_TRUE(BuildImageRecord(Cells(3, 2, 4, 4), l, record, error)) << error;

    TMemoryStream s(record);
    TImageRecordHeader h;
    ASSERT_TRUE(ReadImageRecordHeader(s, h, error)) << error;
    EXPECT_EQ(h.PatternCount, 6);
    EXPECT_EQ(h.TextureCount, 2);  // four patterns a texture
    EXPECT_EQ(h.VisibleWidth, 3);
    EXPECT_EQ(h.PixelBytes(), 2u * 8 * 8 * 4);
    EXPECT_EQ(s.Remaining(), h.PixelBytes());

    auto pixel = [&](int texture, int x, int y) {
        const size_t at = TImageRecordHeader::Size + size_t(texture) * 256 + size_t(y * 8 + x) * 4;
        return WidenPixel(TColorFormat::A8R8G8B8, &record[at]) & 0xFF;
    };
    EXPECT_EQ(pixel(0, 0, 0), 0u);
    EXPECT_EQ(pixel(0, 4, 0), 1u);
    EXPECT_EQ(pixel(0, 0, 4), 2u);
    EXPECT_EQ(pixel(0, 7, 7), 3u);
    EXPECT_EQ(pixel(1, 0, 0), 4u);
    EXPECT_EQ(pixel(1, 4, 3), 5u);
}

TEST(ImageBuilder, RefusesLayoutsThatCannotHold) {
    std::vector<uint8_t> record;
    std::string error;
    TImageLayout l;
    l.PatternWidth = l.PatternHeight = 4;
    l.VisibleWidth = 5;
    EXPECT_FALSE(BuildImageRecord(Cells(1, 1, 4, 4), l, record, error));
    l.VisibleWidth = 0;
    l.TextureWidth = l.TextureHeight = 2;
    EXPECT_FALSE(BuildImageRecord(Cells(1, 1, 4, 4), l, record, error));
    l.TextureWidth = l.TextureHeight = 0;
    l.PatternWidth = 3;  // 8 is no multiple of 3
    EXPECT_FALSE(BuildImageRecord(Cells(2, 1, 4, 4), l, record, error));
    EXPECT_FALSE(BuildImageRecord(TPixelSheet{}, TImageLayout{}, record, error));
}

TEST(ImageRecord, AHeaderAnnouncingMorePixelsThanTheRecordHoldsIsRefused) {
    TMemoryStream s;
    TImageRecordHeader h;
    h.Format = TColorFormat::A8R8G8B8;
    h.TextureWidth = h.TextureHeight = 1 << 15;
    h.TextureCount = 1 << 20;
    WriteImageRecordHeader(s, h);
    s.Seek(0);
    std::string error;
    TImageRecordHeader read;
    EXPECT_FALSE(ReadImageRecordHeader(s, read, error));
    EXPECT_NE(error.find("announces"), std::string::npos);

    TMemoryStream shortOne;
    shortOne.Write("\x05\x00", 2);
    shortOne.Seek(0);
    EXPECT_FALSE(ReadImageRecordHeader(shortOne, read, error));

    TMemoryStream badFormat;
    h.Format = static_cast<TColorFormat>(42);
    h.TextureCount = 0;
    WriteImageRecordHeader(badFormat, h);
    badFormat.Seek(0);
    EXPECT_FALSE(ReadImageRecordHeader(badFormat, read, error));
}

TEST(ImageRecord, NegativeTextureCountReadsAsZero) {
    TMemoryStream s;
    TImageRecordHeader h;
    h.Format = TColorFormat::A8;
    h.TextureWidth = h.TextureHeight = 4;
    h.TextureCount = -3;
    WriteImageRecordHeader(s, h);
    s.Seek(0);
    std::string error;
    TImageRecordHeader read;
    ASSERT_TRUE(ReadImageRecordHeader(s, read, error)) << error;
    EXPECT_EQ(read.TextureCount, 0);
}

TEST(FontRecord, GlyphTableRoundTripAndHostileCounts) {
    TFontRecordHeader f;
    f.FirstChar = 32;
    f.GlyphSpacing = -1;
    for (int i = 0; i < 96; ++i) f.Glyphs.push_back({i % 9 + 3, 0});
    TMemoryStream s;
    WriteFontRecordHeader(s, f);
    s.Seek(0);
    TFontRecordHeader read;
    std::string error;
    ASSERT_TRUE(ReadFontRecordHeader(s, read, error)) << error;
    EXPECT_EQ(read.Glyphs.size(), 96u);
    EXPECT_EQ(read.GlyphSpacing, -1);
    EXPECT_EQ(read.Glyphs[10].Advance, 4);

    TMemoryStream hostile;
    hostile.WriteI32(32);
    hostile.WriteI32(0);
    hostile.WriteI32(0);
    hostile.WriteI32(0x7FFFFFFF);
    hostile.Seek(0);
    EXPECT_FALSE(ReadFontRecordHeader(hostile, read, error));
    EXPECT_NE(error.find("glyphs"), std::string::npos);
}

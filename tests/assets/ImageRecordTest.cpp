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

namespace {

struct LayoutCase {
    const char* name;
    int texture, pattern, visible, count;  // square sizes
    std::string error;                     // empty: taken
};
void PrintTo(const LayoutCase& c, std::ostream* os) { *os << c.name; }

class ImageLayoutTest : public ::testing::TestWithParam<LayoutCase> {};

} // namespace

// The checks an image makes before it asks a device for textures, shared
// by the game's loading and the packer's verify.
TEST_P(ImageLayoutTest, TakesWhatAnImageCanShowAndNamesWhatItCannot) {
    const LayoutCase& c = GetParam();
    TImageRecordHeader h;
    h.Format = TColorFormat::A8;
    h.TextureWidth = h.TextureHeight = c.texture;
    h.PatternWidth = h.PatternHeight = c.pattern;
    h.VisibleWidth = h.VisibleHeight = c.visible;
    h.TextureCount = c.count;
    std::string error;
    EXPECT_EQ(CheckImageLayout(h, error), c.error.empty()) << error;
    EXPECT_EQ(error, c.error);

    // The width alone decides as much, with a height that passes.
    TImageRecordHeader byWidth = h;
    byWidth.TextureHeight = byWidth.PatternHeight = byWidth.VisibleHeight = 8;
    error.clear();
    EXPECT_EQ(CheckImageLayout(byWidth, error), c.error.empty()) << error;
    EXPECT_EQ(error, c.error);
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, ImageLayoutTest,
    ::testing::Values(LayoutCase{"PatternsInATexture", 16, 8, 6, 2, ""},
                      LayoutCase{"OnePatternFillsTheTexture", 16, 16, 16, 1, ""},
                      // 0 or less: the texture's size.
                      LayoutCase{"PatternAndVisibleOfTheTexture", 16, 0, 0, 1, ""},
                      LayoutCase{"NegativeSizesAreTheTexture", 16, -4, -1, 1, ""},
                      LayoutCase{"NoTexturesAtAll", 16, 8, 8, 0, ""},
                      LayoutCase{"AsManyTexturesAsAnyImageTakes", 1, 1, 1, kMaxImageTextures, ""},
                      LayoutCase{"NoTextureSize", 0, 0, 0, 0, "the texture size is not positive"},
                      LayoutCase{"NegativeTextureSize", -8, 4, 4, 1, "the texture size is not positive"},
                      LayoutCase{"PatternLargerThanTheTexture", 8, 9, 4, 1, "a pattern is larger than a texture"},
                      LayoutCase{"VisibleLargerThanThePattern", 8, 4, 5, 1, "the visible size exceeds the pattern"},
                      LayoutCase{"VisibleOfTheTextureInASmallerPattern", 8, 4, 0, 1,
                                 "the visible size exceeds the pattern"},
                      LayoutCase{"MoreTexturesThanAnyImageTakes", 1, 1, 1, kMaxImageTextures + 1,
                                 "more textures than any image needs"}),
    [](const ::testing::TestParamInfo<LayoutCase>& param) { return std::string(param.param.name); });

// The software canvas: clipping with saved states, fills, tiles, pen lines,
// masked images and text; and bitmap files, well formed and broken.

#include <gtest/gtest.h>

#include "platform/canvas/BitmapFile.h"
#include "platform/canvas/Canvas.h"

using namespace zelkor;

namespace {

constexpr uint32_t kRed = 0xFFFF0000u, kBlackArgb = 0xFF000000u;

TEST(Canvas, FillsKeepToTheClipAndRestoreBringsItBack) {
    TBitmap surface(20, 10);
    TCanvas canvas(surface);
    canvas.SaveState();
    canvas.IntersectClipRect({2, 2, 18, 8});
    canvas.ExcludeClipRect({5, 0, 10, 10});
    canvas.FillClip(0x0000FF);  // red as 0x00BBGGRR
    EXPECT_EQ(surface.Pixel(2, 2), kRed);
    EXPECT_EQ(surface.Pixel(17, 7), kRed);
    EXPECT_EQ(surface.Pixel(1, 2), kBlackArgb) << "left of the clip";
    EXPECT_EQ(surface.Pixel(6, 4), kBlackArgb) << "cut out";
    EXPECT_EQ(surface.Pixel(10, 4), kRed) << "the cut's right edge is exclusive";
    EXPECT_EQ(surface.Pixel(17, 8), kBlackArgb) << "the bottom edge is exclusive";
    canvas.RestoreState();
    canvas.FillRect({0, 0, 1, 1}, clWhite);
    EXPECT_EQ(surface.Pixel(0, 0), 0xFFFFFFFFu);
}

TEST(Canvas, TilesRepeatFromTheirOrigin) {
    TBitmap tile(2, 2);
    tile.SetPixel(0, 0, 0xFF112233u);
    tile.SetPixel(1, 1, 0xFF445566u);
    TBitmap surface(5, 5);
    TCanvas canvas(surface);
    canvas.TileBitmap(tile, 1, 1);
    EXPECT_EQ(surface.Pixel(1, 1), 0xFF112233u);
    EXPECT_EQ(surface.Pixel(3, 3), 0xFF112233u);
    EXPECT_EQ(surface.Pixel(0, 0), 0xFF445566u) << "tiles reach back left of the origin";
    EXPECT_EQ(surface.Pixel(4, 4), 0xFF445566u);
}

TEST(Canvas, AClosedFrameIsWholeAndAnOpenLineStopsShortOfItsEnd) {
    TBitmap surface(10, 10);
    TCanvas canvas(surface);
    const TPoint frame[] = {{0, 0}, {9, 0}, {9, 9}, {0, 9}, {0, 0}};
    canvas.Polyline(frame, TPen{clWhite, 1});
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(surface.Pixel(i, 0), 0xFFFFFFFFu);
        EXPECT_EQ(surface.Pixel(9, i), 0xFFFFFFFFu);
        EXPECT_EQ(surface.Pixel(i, 9), 0xFFFFFFFFu);
        EXPECT_EQ(surface.Pixel(0, i), 0xFFFFFFFFu);
    }
    EXPECT_EQ(surface.Pixel(5, 5), kBlackArgb);
    canvas.Line({2, 5}, {6, 5}, TPen{0x0000FF, 1});
    EXPECT_EQ(surface.Pixel(2, 5), kRed);
    EXPECT_EQ(surface.Pixel(5, 5), kRed);
    EXPECT_EQ(surface.Pixel(6, 5), kBlackArgb);
}

TEST(Canvas, MaskedImagesDrawOnlyWhereTheMaskIsDark) {
    TBitmap image(2, 1, 0xFF00FF00u), mask(2, 1, 0xFF000000u);
    mask.SetPixel(1, 0, 0xFFFFFFFFu);
    TBitmap surface(3, 1, 0xFF0000FFu);
    TCanvas canvas(surface);
    canvas.DrawMasked(image, mask, 1, 0);
    EXPECT_EQ(surface.Pixel(0, 0), 0xFF0000FFu);
    EXPECT_EQ(surface.Pixel(1, 0), 0xFF00FF00u);
    EXPECT_EQ(surface.Pixel(2, 0), 0xFF0000FFu) << "light mask: transparent";
}

TEST(Canvas, TextIsDrawnInTheFontsColourOverAnUntouchedBackground) {
    ASSERT_FALSE(FontFileFor("Arial").empty()) << "no font installed";
    TBitmap surface(40, 20, 0xFF000000u);
    TCanvas canvas(surface);
    TFont font;
    font.Height = -12;
    font.Color = clWhite;
    canvas.TextOut(2, 2, "8", font);
    int lit = 0;
    for (uint32_t p : surface.Pixels()) lit += (p & 0xFF) > 200;
    EXPECT_GT(lit, 8);
    EXPECT_EQ(surface.Pixel(39, 19), kBlackArgb);
    EXPECT_GT(canvas.TextHeight("0", font), 10);
    EXPECT_LT(canvas.TextHeight("0", font), 20);
}

TEST(BitmapFile, BmpRoundTripsAndPaletteFilesRead) {
    TBitmap b(3, 2);
    b.SetPixel(0, 0, 0xFF102030u);
    b.SetPixel(2, 1, 0xFFA0B0C0u);
    const auto bytes = EncodeBmp(b);
    TBitmap read;
    std::string error;
    ASSERT_TRUE(ParseBitmapFile(bytes.data(), bytes.size(), read, error)) << error;
    EXPECT_EQ(read.Pixels(), b.Pixels());

    // A 2 x 1 picture of 8 bits with a two-colour palette, top-down.
    std::vector<uint8_t> pal = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 62, 0, 0, 0, 40, 0, 0, 0, 2, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF,
                                1, 0, 8, 0, 0, 0, 0, 0, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0,
                                0x00, 0x00, 0xFF, 0, 0xFF, 0x00, 0x00, 0, 1, 0, 0, 0};
    ASSERT_TRUE(ParseBitmapFile(pal.data(), pal.size(), read, error)) << error;
    ASSERT_EQ(read.Width(), 2);
    EXPECT_EQ(read.Pixel(0, 0), 0xFF0000FFu);
    EXPECT_EQ(read.Pixel(1, 0), 0xFFFF0000u);
}

TEST(BitmapFile, BrokenFilesAreRefusedWithAReasonAndTheOutputKept) {
    TBitmap good(4, 4);
    auto bytes = EncodeBmp(good);
    auto cut = bytes;
    cut.resize(bytes.size() - 5);
    auto huge = bytes;
    huge[18] = 0xFF, huge[19] = 0xFF, huge[20] = 0xFF, huge[21] = 0x00;  // width 16 million
    auto rle = bytes;
    rle[30] = 1;
    const std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n', 0, 0, 0};
    struct Case {
        const char* What;
        std::vector<uint8_t> Data;
    } cases[] = {{"nothing", {}}, {"pixels cut short", cut}, {"a huge width", huge}, {"run-length coding", rle},
                 {"a PNG signature alone", png}, {"text", {'h', 'e', 'l', 'l', 'o'}}};
    for (const Case& c : cases) {
        TBitmap out(1, 1, 0xFF123456u);
        std::string error;
        EXPECT_FALSE(ParseBitmapFile(c.Data.data(), c.Data.size(), out, error)) << c.What;
        EXPECT_FALSE(error.empty()) << c.What;
        EXPECT_EQ(out.Width(), 1) << c.What;
        EXPECT_EQ(out.Pixel(0, 0), 0xFF123456u) << c.What;
    }
}

} // namespace

#include <gtest/gtest.h>

#include <stdexcept>

#include "tests/assets/ArchiveFixture.h"
#include "tests/gfx/DrawingFixture.h"

using namespace zelkor;
using namespace zelkor::testing_support;

namespace {

// A font of 96 glyphs from character 32: each glyph a 4 x 6 white block in
// an 8 x 8 cell, advancing 5 pixels.
class FontTest : public DrawingTest {
protected:
    void SetUp() override {
        DrawingTest::SetUp();
        TFontRecordHeader header;
        header.FirstChar = 32;
        for (int i = 0; i < 96; ++i) header.Glyphs.push_back({5, 0});
        TImageLayout layout;
        layout.PatternWidth = layout.PatternHeight = 8;
        layout.VisibleWidth = 4;
        layout.VisibleHeight = 6;
        layout.PatternCount = 96;
        layout.Format = TColorFormat::A8;
        std::vector<uint8_t> record;
        std::string error;
        ASSERT_TRUE(BuildFontRecord(header, Sheet(8 * 96, 8, [](int, int) { return 0xFFFFFFFFu; }), layout, record,
                                    error))
            << error;
        TArchiveEntry font{"font", 3, false, record};
        TArchiveEntry notFont{"image_not_font", 1, false, record};
        WriteBytes(folder.File("fonts.dat"), BuildArchive({font, notFont}));
        archive.SetFileName(folder.File("fonts.dat"));
        archive.SetOpenMode(TOpenModes::opReadOnly);
        font_ = fonts.Add();
        ASSERT_TRUE(font_->LoadFromAssetDb("font", archive, TAlphaLevel::alExclusive, TGfxQuality::aqHigh))
            << font_->LastError();
    }

    ScratchFolder folder;
    TAssetDb archive;
    TGfxFont* font_ = nullptr;
};

} // namespace

TEST_F(FontTest, LoadsTypeThreeRecordsOnlyAndOnce) {
    EXPECT_TRUE(font_->Loaded());
    EXPECT_EQ(font_->Glyphs().size(), 96u);
    EXPECT_EQ(font_->Name(), "Font00");
    EXPECT_FALSE(font_->LoadFromAssetDb("font", archive, TAlphaLevel::alExclusive, TGfxQuality::aqHigh));
    TGfxFont* other = fonts.Add();
    EXPECT_EQ(other->Name(), "Font01");
    EXPECT_FALSE(other->LoadFromAssetDb("image_not_font", archive, TAlphaLevel::alFull, TGfxQuality::aqHigh));
    EXPECT_FALSE(other->LoadFromAssetDb("absent", archive, TAlphaLevel::alFull, TGfxQuality::aqHigh));
    EXPECT_EQ(fonts.Font(0), font_);
    EXPECT_EQ(fonts.Font(2), nullptr);
    EXPECT_EQ(fonts.Font(-1), nullptr);
}

TEST_F(FontTest, GlyphsAdvanceByTheirWidthAndMissingOnesByThreeTenths) {
    EXPECT_DOUBLE_EQ(font_->TextWidth("AB"), 10.0);
    EXPECT_DOUBLE_EQ(font_->TextWidth("A\x01"), 5.0 + 0.3 * 4);  // character 1 is not in the table
    font_->SetScale(2.0);
    EXPECT_DOUBLE_EQ(font_->TextWidth("AB"), 20.0);
    font_->SetScale(1.0);
    font_->SetExtraSpacing(1.0);
    EXPECT_DOUBLE_EQ(font_->TextWidth("AB"), 12.0);
}

TEST_F(FontTest, TextOutDrawsEachGlyphAtThePen) {
    Frame([&] { font_->TextOut("AB", 10, 20, 0xFFFFFFFF, 0xFFFFFFFF, fxBlend); });
    EXPECT_EQ(Rgb(10, 20), 0xFFFFFFu);
    EXPECT_EQ(Rgb(13, 25), 0xFFFFFFu);
    EXPECT_EQ(Rgb(14, 20), 0u);  // between the glyphs
    EXPECT_EQ(Rgb(15, 20), 0xFFFFFFu);
    EXPECT_EQ(Rgb(10, 26), 0u);
}

TEST_F(FontTest, ColourCodesChangeTheColoursOfTheCharactersAfterThem) {
    // Opaque red for the upper edge, then two characters: the code counts.
    EXPECT_DOUBLE_EQ(font_->TextWidth("#$FF0000FFAB"), 10.0);
    Frame([&] { font_->TextOut("#$FF0000FFAB", 10, 20, 0xFFFFFFFF, 0xFFFFFFFF, fxBlend); });
    const uint32_t top = Rgb(11, 20), bottom = Rgb(11, 25);
    EXPECT_GT(top >> 16, 0xE0u);          // red stays
    EXPECT_LT(top & 0xFF, 0x40u);         // blue is gone at the top
    EXPECT_GT(bottom & 0xFF, 0xA0u);      // and mostly back at the bottom
    EXPECT_EQ(Rgb(16, 20) & 0xFF, top & 0xFF);  // the second glyph too

    // As the last or second-to-last thing the code is ordinary text.
    EXPECT_DOUBLE_EQ(font_->TextWidth("#$FF0000FF"), 50.0);
    EXPECT_DOUBLE_EQ(font_->TextWidth("#$FF0000FFA"), 55.0);
    // "0x" sets both edges; "&$" the lower one; an unparsable code is still skipped.
    Frame([&] { font_->TextOut("0xFF00FF00AB", 10, 20, 0xFFFFFFFF, 0xFFFFFFFF, fxBlend); });
    EXPECT_EQ(Rgb(11, 20), 0x00FF00u);
    EXPECT_EQ(Rgb(11, 25), 0x00FF00u);
    EXPECT_DOUBLE_EQ(font_->TextWidth("#$GGGGGGGGAB"), 10.0);
    Frame([&] { font_->TextOut("0xGGGGGGGGAB", 10, 20, 0xFFFFFFFF, 0xFF0000FF, fxBlend); });
    EXPECT_EQ(Rgb(11, 20), 0xFF0000u);  // both became the bottom colour
    font_->SetColorCodes(false);
    EXPECT_DOUBLE_EQ(font_->TextWidth("#$FF0000FFAB"), 60.0);
}

TEST_F(FontTest, StyleEffectsAddTheirCopies) {
    font_->SetEffects(TFontStyleFx{TFontStyle::feShadow});
    font_->SetShadowColor(0xFF0000FF);
    Frame([&] { font_->TextOut("A", 10, 20, 0xFFFFFFFF, 0xFFFFFFFF, fxBlend); });
    EXPECT_EQ(Rgb(10, 20), 0xFFFFFFu);
    EXPECT_NEAR(int(Rgb(15, 26) >> 16), 0x80, 2);  // the shadow at (+2, +2), half opaque red
    font_->SetEffects(TFontStyleFx{TFontStyle::feBold});
    Frame([&] { font_->TextOut("A", 10, 20, 0xFFFFFFFF, 0xFFFFFFFF, fxBlend); });
    EXPECT_EQ(Rgb(9, 20), 0xFFFFFFu);   // a copy at x - 1
    EXPECT_EQ(Rgb(14, 20), 0xFFFFFFu);  // and at x + 1
}

TEST_F(FontTest, AFontWithoutACanvasOrListCannotDraw) {
    fonts.SetCanvas(nullptr);
    try {
        font_->TextOut("A", 0, 0, 0xFFFFFFFF, 0xFFFFFFFF, fxBlend);
        FAIL() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "TGfxFont: Unassigned Owner.Canvas property.");
    }
    TGfxFont loose(nullptr);
    EXPECT_NO_THROW(loose.TextOut("A", 0, 0, 0, 0, fxBlend));  // not loaded: nothing to draw
}

#include <gtest/gtest.h>

#include "tests/gfx/DrawingFixture.h"

using namespace zelkor;
using namespace zelkor::testing_support;

namespace {

// An image record of one texture with the given stored rows.
std::vector<uint8_t> RawRecord(TColorFormat format, int tw, int th, int pw, int ph, int vw, int vh, int count,
                               int textures, uint8_t fill) {
    TMemoryStream s;
    TImageRecordHeader h;
    h.Format = format;
    h.TextureWidth = tw;
    h.TextureHeight = th;
    h.PatternWidth = pw;
    h.PatternHeight = ph;
    h.VisibleWidth = vw;
    h.VisibleHeight = vh;
    h.PatternCount = count;
    h.TextureCount = textures;
    WriteImageRecordHeader(s, h);
    std::vector<uint8_t> rows(size_t(textures) * size_t(tw) * size_t(th) * size_t(BytesPerPixel(format)), fill);
    s.WriteAll(rows.data(), rows.size());
    return s.Data();
}

} // namespace

TEST_F(DrawingTest, PatternGeometryFromTheRecord) {
    // Visible size 0 becomes the texture size, larger than the pattern: refused.
    TGfxImage* refused = images.Add();
    TMemoryStream a(RawRecord(TColorFormat::A8R8G8B8, 256, 256, 64, 64, 0, 0, 0, 1, 0));
    EXPECT_FALSE(refused->LoadFromStream(a));
    EXPECT_FALSE(refused->Ready());

    TGfxImage* image = images.Add();
    TMemoryStream b(RawRecord(TColorFormat::A8R8G8B8, 256, 256, 64, 64, 60, 60, 0, 2, 0));
    ASSERT_TRUE(image->LoadFromStream(b)) << image->LastError();
    EXPECT_EQ(image->PatternsPerTexture(), 16);
    EXPECT_EQ(image->PatternCount(), 32);
    EXPECT_EQ(image->TextureCount(), 2);
    TPatternRect r;
    ASSERT_TRUE(image->PatternRect(21, r));  // texture 1, cell 5: column 1, row 1
    EXPECT_EQ(r.Texture, 1);
    EXPECT_FLOAT_EQ(r.U0, (64 + 2) / 256.0f);
    EXPECT_FLOAT_EQ(r.V0, (64 + 2) / 256.0f);
    EXPECT_FLOAT_EQ(r.U1, (64 + 2 + 60) / 256.0f);

    // A pattern size of 0 takes the texture size.
    TGfxImage* whole = images.Add();
    TMemoryStream c(RawRecord(TColorFormat::A8, 32, 16, 0, 0, 0, 0, 0, 1, 0));
    ASSERT_TRUE(whole->LoadFromStream(c));
    EXPECT_EQ(whole->PatternWidth(), 32);
    EXPECT_EQ(whole->PatternCount(), 1);
}

TEST_F(DrawingTest, ShortOrHostileRecordsFailBeforeAnyTextureIsMade) {
    TGfxImage* image = images.Add();
    auto shortRows = RawRecord(TColorFormat::A8R8G8B8, 16, 16, 0, 0, 0, 0, 0, 1, 0);
    shortRows.resize(shortRows.size() - 1);
    TMemoryStream a(shortRows);
    EXPECT_FALSE(image->LoadFromStream(a));
    EXPECT_EQ(image->TextureCount(), 0);

    TMemoryStream b(RawRecord(TColorFormat::A8, 1 << 16, 1 << 16, 0, 0, 0, 0, 0, 0, 0));  // 0 textures claimed...
    TMemoryStream c;
    TImageRecordHeader h;
    h.Format = TColorFormat::A8;
    h.TextureWidth = h.TextureHeight = 1 << 16;  // ...or huge ones without the data
    h.TextureCount = 1;
    WriteImageRecordHeader(c, h);
    c.Seek(0);
    EXPECT_FALSE(image->LoadFromStream(c));
    EXPECT_NE(image->LastError().find("announces"), std::string::npos);

    // Textures beyond what the device can hold.
    const int big = device.Device().MaxTextureSize() * 2;
    TMemoryStream d(RawRecord(TColorFormat::A8, big, 1, 0, 0, 0, 0, 0, 1, 0));
    EXPECT_FALSE(image->LoadFromStream(d));
}

TEST_F(DrawingTest, TheFormatIsTheFirstCandidateTheDeviceAccepts) {
    using F = TColorFormat;
    auto load = [&](TAlphaLevel alpha, TGfxQuality quality) {
        TGfxImage* image = images.Add();
        image->SetAlphaLevel(alpha);
        image->SetQuality(quality);
        TMemoryStream s(RawRecord(F::A8R8G8B8, 4, 4, 0, 0, 0, 0, 0, 1, 0xFF));
        return image->LoadFromStream(s) ? image->Format() : F::None;
    };
    EXPECT_EQ(load(TAlphaLevel::alFull, TGfxQuality::aqHigh), F::A8R8G8B8);
    EXPECT_EQ(load(TAlphaLevel::alFull, TGfxQuality::aqLow), F::A4R4G4B4);
    EXPECT_EQ(load(TAlphaLevel::alNone, TGfxQuality::aqMedium), F::R5G6B5);
    EXPECT_EQ(load(TAlphaLevel::alExclusive, TGfxQuality::aqHigh), F::A8);
    device.Device().SetAcceptedFormats({F::A1R5G5B5, F::R5G6B5});
    EXPECT_EQ(load(TAlphaLevel::alFull, TGfxQuality::aqHigh), F::A1R5G5B5);
    EXPECT_EQ(load(TAlphaLevel::alNone, TGfxQuality::aqHigh), F::R5G6B5);
    device.Device().SetAcceptedFormats({F::R3G3B2});
    EXPECT_EQ(load(TAlphaLevel::alMask, TGfxQuality::aqHigh), F::None);  // nothing accepted: the load fails
}

TEST_F(DrawingTest, StoredRowsAreConvertedIntoTheTexturesFormat) {
    // X8R8G8B8 stored, A8R8G8B8 chosen: the fourth byte becomes alpha.
    TGfxImage* x8 = images.Add();
    TMemoryStream a(RawRecord(TColorFormat::X8R8G8B8, 4, 4, 0, 0, 0, 0, 0, 1, 0x00));
    std::vector<uint8_t> bytes = a.Data();
    for (size_t i = TImageRecordHeader::Size; i < bytes.size(); i += 4) {
        bytes[i] = 0x40, bytes[i + 1] = 0x80, bytes[i + 2] = 0xC0, bytes[i + 3] = 0x00;
    }
    TMemoryStream a2(bytes);
    ASSERT_TRUE(x8->LoadFromStream(a2));
    EXPECT_EQ(x8->Format(), TColorFormat::A8R8G8B8);
    Frame([&] { canvas.Draw(x8, 0, 0, 0, fxBlend); }, 0xFF101010);
    EXPECT_EQ(Rgb(1, 1), 0x101010u);  // alpha 0: nothing shows
    Frame([&] { canvas.Draw(x8, 0, 0, 0, fxCopy); });
    EXPECT_EQ(Rgb(1, 1), 0xC08040u);

    // R5G6B5 stored, A8R8G8B8 chosen: widened channels and an opaque alpha.
    TGfxImage* r565 = images.Add();
    TMemoryStream b(RawRecord(TColorFormat::R5G6B5, 4, 4, 0, 0, 0, 0, 0, 1, 0x00));
    bytes = b.Data();
    for (size_t i = TImageRecordHeader::Size; i < bytes.size(); i += 2) bytes[i] = 0x10, bytes[i + 1] = 0xF8;
    TMemoryStream b2(bytes);
    ASSERT_TRUE(r565->LoadFromStream(b2));
    Frame([&] { canvas.Draw(r565, 0, 0, 0, fxBlend); });
    EXPECT_EQ(Rgb(1, 1), 0xFF0084u);
}

TEST_F(DrawingTest, ImagesAreFoundByNameWithoutRegardToCaseAndTheFirstWins) {
    TImageLayout l;
    TGfxImage* first = MakeImage(Sheet(2, 2, [](int, int) { return 0xFFFFFFFFu; }), l, "Piece_1");
    MakeImage(Sheet(2, 2, [](int, int) { return 0xFFFFFFFFu; }), l, "PIECE_1");
    EXPECT_EQ(images.Image("piece_1"), first);
    EXPECT_EQ(images.Image("piece_2"), nullptr);
    EXPECT_EQ(images.IndexOf(first), 0);
    images.Remove(7);  // out of range: nothing
    EXPECT_EQ(images.Count(), 2);
    images.Remove(0);
    EXPECT_EQ(images.Count(), 1);
    EXPECT_NE(images.Image("piece_1"), nullptr);
}

TEST_F(DrawingTest, TheDevicesEndFreesEveryImageAndFont) {
    TImageLayout l;
    MakeImage(Sheet(2, 2, [](int, int) { return 0xFFFFFFFFu; }), l, "a");
    fonts.Add();
    device.Finalize();
    EXPECT_EQ(images.Count(), 0);
    EXPECT_EQ(fonts.Count(), 0);
}

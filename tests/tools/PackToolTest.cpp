#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "assets/AssetDb.h"
#include "assets/ImageRecord.h"
#include "tests/assets/ArchiveFixture.h"
#include "tools/pack/Png.h"

using namespace zelkor;
using namespace zelkor::testing_support;

namespace {

int RunPack(const std::string& arguments) {
    const std::string command = std::string(ZELKOR_PACK_TOOL) + " " + arguments + " >/dev/null 2>&1";
    return WEXITSTATUS(std::system(command.c_str()));
}

TPixelSheet Gradient(int w, int h) {
    TPixelSheet s;
    s.Width = w;
    s.Height = h;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) s.Pixels.push_back(0x80000000u | uint32_t(x * 4) << 16 | uint32_t(y * 4) << 8);
    return s;
}

} // namespace

// A packed archive round-trips through the tool's verify and through the
// game's reader.
TEST(PackTool, CreateListVerifyExtract) {
    ScratchFolder f;
    std::string error;
    ASSERT_TRUE(WritePng(f.File("sheet.png"), Gradient(64, 32), error)) << error;
    ASSERT_TRUE(WritePng(f.File("glyphs.png"), Gradient(80, 8), error)) << error;
    {
        std::ofstream g(f.File("glyphs.txt"));
        for (int i = 0; i < 10; ++i) g << (i + 4) << " 0\n";
        std::ofstream raw(f.File("blob.bin"), std::ios::binary);
        raw << "raw bytes";
        std::ofstream m(f.File("content.manifest"));
        m << "# test content\n"
          << "sheet image yes sheet.png format=R5G6B5 pattern=16x16 visible=14x14 texture=32x32\n"
          << "font_small font yes glyphs.png glyphs=glyphs.txt pattern=8x8 format=A8\n"
          << "\n"
          << "blob raw no blob.bin rectype=7\n";
    }
    const std::string archive = f.File("content.dat");
    ASSERT_EQ(RunPack("create " + archive + " " + f.File("content.manifest") + " --iv-seed 1"), 0);
    EXPECT_EQ(RunPack("list " + archive), 0);
    EXPECT_EQ(RunPack("verify " + archive), 0);
    EXPECT_EQ(RunPack("verify " + archive + " --password wrong"), 1);
    ASSERT_EQ(RunPack("extract " + archive + " BLOB " + f.File("out.bin")), 0);
    std::ifstream out(f.File("out.bin"));
    std::string text((std::istreambuf_iterator<char>(out)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text, "raw bytes");

    TAssetDb db;
    db.SetFileName(archive);
    db.SetOpenMode(TOpenModes::opReadOnly);
    db.SetPassword("qzmb");
    ASSERT_TRUE(db.Open());
    EXPECT_EQ(db.RecordCount(), 3);
    EXPECT_EQ(db.RecordType(db.IndexOf("font_small")), 3);
    EXPECT_EQ(db.RecordType(db.IndexOf("blob")), 7);
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(db.ReadRecord("sheet", bytes));
    TMemoryStream s(bytes);
    TImageRecordHeader h;
    ASSERT_TRUE(ReadImageRecordHeader(s, h, error)) << error;
    EXPECT_EQ(h.Format, TColorFormat::R5G6B5);
    EXPECT_EQ(h.PatternCount, 8);
    EXPECT_EQ(h.TextureCount, 2);

    // The same inputs and seed give the same file.
    const std::string again = f.File("again.dat");
    ASSERT_EQ(RunPack("create " + again + " " + f.File("content.manifest") + " --iv-seed 1"), 0);
    std::ifstream a(archive, std::ios::binary), b(again, std::ios::binary);
    EXPECT_TRUE(std::equal(std::istreambuf_iterator<char>(a), {}, std::istreambuf_iterator<char>(b)));
}

TEST(PackTool, FailuresExitNonZeroAndLeaveTheArchiveAlone) {
    ScratchFolder f;
    const std::string archive = f.File("content.dat");
    WriteBytes(archive, Bytes("the old archive"));
    {
        std::ofstream m(f.File("bad.manifest"));
        m << "a raw no missing-file.bin\n";
    }
    EXPECT_NE(RunPack("create " + archive + " " + f.File("bad.manifest")), 0);
    std::ifstream in(archive);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text, "the old archive");
    EXPECT_NE(RunPack("create " + archive + " " + f.File("no.manifest")), 0);
    EXPECT_NE(RunPack("verify " + f.File("absent.dat")), 0);
    EXPECT_NE(RunPack("extract " + archive), 0);
    EXPECT_NE(RunPack("frobnicate"), 0);
}

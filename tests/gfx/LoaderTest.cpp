#include <gtest/gtest.h>

#include <fstream>

#include "render/GfxLoader.h"
#include "tests/assets/ArchiveFixture.h"
#include "tests/gfx/DrawingFixture.h"

using namespace zelkor;
using namespace zelkor::testing_support;

namespace {

class LoaderTest : public DrawingTest {
protected:
    void SetUp() override {
        DrawingTest::SetUp();
        TImageLayout layout;
        std::vector<uint8_t> image, font;
        std::string error;
        ASSERT_TRUE(BuildImageRecord(Sheet(4, 4, [](int, int) { return 0xFFFFFFFFu; }), layout, image, error));
        TFontRecordHeader header;
        header.Glyphs = {{3, 0}, {3, 0}};
        layout.PatternWidth = layout.PatternHeight = 4;
        ASSERT_TRUE(BuildFontRecord(header, Sheet(8, 4, [](int, int) { return 0xFFFFFFFFu; }), layout, font, error));
        WriteBytes(folder.File("zelkor.dat"), BuildArchive({TArchiveEntry{"ground", 1, true, image},
                                                             TArchiveEntry{"cursor", 1, false, image},
                                                             TArchiveEntry{"font_a", 3, true, font},
                                                             TArchiveEntry{"font_b", 3, false, font}}));
        WriteBytes(folder.File("other.dat"), BuildArchive({TArchiveEntry{"timer", 1, false, image}}));
        archive.SetPassword("qzmb");
        archive.SetOpenMode(TOpenModes::opReadOnly);
        loader.SetImages(&images);
        loader.SetFonts(&fonts);
        loader.SetArchive(&archive);
        loader.SetPublisher(&device);
        loader.SetXMLDescFile(folder.File("zelkor.def"));
        loader.OnLoad = [this](TObject*, const std::string& text) { loaded.push_back(text); };
    }

    void Describe(const std::string& xml) { std::ofstream(folder.File("zelkor.def")) << xml; }
    std::vector<std::string> ImageNames() const {
        std::vector<std::string> names;
        for (int i = 0; i < images.Count(); ++i) names.push_back(images.Item(i)->Name());
        return names;
    }

    ScratchFolder folder;
    TAssetDb archive;
    TGfxLoader loader;
    std::vector<std::string> loaded;
};

} // namespace

TEST_F(LoaderTest, LoadsTheWantedGroupInDocumentOrder) {
    Describe(R"(<?xml version="1.0"?>
<!-- the game's content -->
<resources>
  <group name="Other"><image name="nope" source="zelkor.dat" key="ground"/></group>
  <group name="Content">
    <image name="ground" source="zelkor.dat" key="ground" quality="LOW" alphalevel="none"/>
    <IMAGE source="zelkor.dat" key="cursor"></IMAGE>
    <font name="menu" source="zelkor.dat" key="font_a" alphalevel="exclusive"/>
    <sound name="ignored"/>
    <font name="text" source="zelkor.dat" key="font_b"/>
  </group>
</resources>
<image name="outside" source="zelkor.dat" key="ground"/>)");
    ASSERT_TRUE(loader.Load("Content"));
    EXPECT_EQ(ImageNames(), (std::vector<std::string>{"ground", "cursor"}));  // no name: found under its key
    ASSERT_NE(images.Image("GROUND"), nullptr);
    EXPECT_EQ(images.Image("ground")->Quality(), TGfxQuality::aqLow);
    EXPECT_EQ(images.Image("ground")->AlphaLevel(), TAlphaLevel::alNone);
    ASSERT_EQ(fonts.Count(), 2);
    EXPECT_EQ(fonts.Font(0)->Name(), "menu");
    EXPECT_EQ(fonts.Font(1)->Name(), "text");
    EXPECT_EQ(loaded, (std::vector<std::string>{"ground\\zelkor.dat", "cursor\\zelkor.dat", "font_a\\zelkor.dat",
                                                 "font_b\\zelkor.dat"}));
}

TEST_F(LoaderTest, AnEmptyGroupLoadsNothingAndAGroupNameInOtherCaseIsNotTheGroup) {
    Describe(R"(<resources><group name="Content"></group><group name="content"><image key="ground" source="zelkor.dat"/></group></resources>)");
    EXPECT_TRUE(loader.Load("Content"));
    EXPECT_EQ(images.Count(), 0);
}

TEST_F(LoaderTest, FailedEntriesAreDroppedAndLaterFontsMoveUp) {
    Describe(R"(<resources><group name="Content">
      <image name="bad" source="zelkor.dat" key="missing"/>
      <font name="broken" source="zelkor.dat" key="ground"/>
      <font name="text" source="zelkor.dat" key="font_b"/>
      <image name="cursor" source="zelkor.dat" key="cursor"/>
    </group></resources>)");
    ASSERT_TRUE(loader.Load("Content"));
    EXPECT_EQ(ImageNames(), (std::vector<std::string>{"cursor"}));
    ASSERT_EQ(fonts.Count(), 1);
    EXPECT_EQ(fonts.Font(0)->Name(), "text");
    EXPECT_EQ(loader.Problems().size(), 2u);
}

TEST_F(LoaderTest, TwoEntriesOfOneNameBothLoadAndTheFirstIsFound) {
    Describe(R"(<resources><group name="Content">
      <image name="piece" source="zelkor.dat" key="ground"/>
      <image name="piece" source="zelkor.dat" key="cursor"/>
    </group></resources>)");
    ASSERT_TRUE(loader.Load("Content"));
    EXPECT_EQ(images.Count(), 2);
    EXPECT_EQ(images.Image("piece"), images.Item(0));
}

TEST_F(LoaderTest, AnotherSourceSwitchesTheArchiveToTheDescriptionsFolder) {
    Describe(R"(<resources><group name="Content">
      <image name="timer" source="other.dat" key="timer"/>
      <image name="none" source="absent.dat" key="timer"/>
    </group></resources>)");
    ASSERT_TRUE(loader.Load("Content"));
    EXPECT_EQ(ImageNames(), (std::vector<std::string>{"timer"}));
    EXPECT_EQ(archive.FileName(), folder.File("absent.dat"));
}

TEST_F(LoaderTest, AMissingDescriptionFailsTheLoad) {
    loader.SetXMLDescFile(folder.File("absent.def"));
    EXPECT_FALSE(loader.Load("Content"));
    loader.SetXMLDescFile("");
    EXPECT_FALSE(loader.Load("Content"));
}

TEST_F(LoaderTest, ADamagedDescriptionKeepsWhatCameBeforeTheDamage) {
    Describe(R"(<resources><group name="Content">
      <image name="cursor" source="zelkor.dat" key="cursor"/>
      <image name="ground" source="zelkor.dat" key="ground"
    </group></resources>)");
    EXPECT_TRUE(loader.Load("Content"));
    EXPECT_EQ(ImageNames(), (std::vector<std::string>{"cursor"}));
    EXPECT_FALSE(loader.Problems().empty());
}

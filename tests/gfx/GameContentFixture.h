#pragma once
// A hidden 1024 x 768 device with the game's whole "Content" group loaded
// from data/zelkor.dat and data/zelkor.def, as the game loads it.

#include <gtest/gtest.h>

#include <string>

#include "assets/AssetDb.h"
#include "render/GfxLoader.h"
#include "tests/gfx/DrawingFixture.h"

namespace zelkor::testing_support {

class GameContentTest : public DeviceTest {
protected:
    static constexpr int W = 1024, H = 768;

    GameContentTest() : DeviceTest(W, H) {}

    void SetUp() override {
        DeviceTest::SetUp();
        if (HasFatalFailure()) return;
        loader.SetImages(&images);
        loader.SetFonts(&fonts);
        loader.SetArchive(&archive);
        loader.SetPublisher(&device);
        loader.SetXMLDescFile(std::string(ZELKOR_DATA_DIR) + "/zelkor.def");
        archive.SetPassword("qzmb");
        archive.SetOpenMode(TOpenModes::opReadOnly);
        ASSERT_TRUE(loader.Load("Content"));
        for (const std::string& problem : loader.Problems()) ADD_FAILURE() << problem;
    }

    TAssetDb archive;
    TGfxLoader loader;
};

} // namespace zelkor::testing_support

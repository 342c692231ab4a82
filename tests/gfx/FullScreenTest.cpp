#include <gtest/gtest.h>

#include "render/GfxDevices.h"

using namespace zelkor;

// Full screen is a borderless window over the desktop (1280 x 1024 under
// the test display) that shows the 1024 x 768 back buffer scaled by 1.25,
// with bars of 32 pixels above and below; mouse positions map back.
TEST(FullScreen, TheBackBufferIsLetterboxedAndTheMouseMapsBack) {
    TGfxDevice device;
    device.SetWidth(1024);
    device.SetHeight(768);
    device.SetWindowed(false);
    ASSERT_TRUE(device.Initialize()) << device.LastError();
    int w = 0, h = 0;
    SDL_GetWindowSize(device.Device().Window(), &w, &h);
    if (w == 1024 && h == 768) GTEST_SKIP() << "the display is as small as the back buffer";
    const double scale = std::min(w / 1024.0, h / 768.0);
    const int barY = int((h - 768 * scale) / 2), barX = int((w - 1024 * scale) / 2);
    int bx = 0, by = 0;
    EXPECT_TRUE(device.Device().WindowToBackBuffer(w / 2, h / 2, bx, by));
    EXPECT_NEAR(bx, 512, 1);
    EXPECT_NEAR(by, 384, 1);
    EXPECT_TRUE(device.Device().WindowToBackBuffer(barX, barY, bx, by));
    EXPECT_EQ(bx, 0);
    EXPECT_EQ(by, 0);
    EXPECT_TRUE(device.Device().WindowToBackBuffer(w - barX - 1, h - barY - 1, bx, by));
    EXPECT_EQ(bx, 1023);
    EXPECT_EQ(by, 767);
    if (barY > 0) {
        EXPECT_FALSE(device.Device().WindowToBackBuffer(w / 2, barY - 1, bx, by));  // on a bar
    }

    // Back to a window: the device is reset, the picture maps 1:1.
    device.SetWindowed(true);
    ASSERT_TRUE(device.Exists());
    SDL_GetWindowSize(device.Device().Window(), &w, &h);
    EXPECT_EQ(w, 1024);
    EXPECT_TRUE(device.Device().WindowToBackBuffer(100, 200, bx, by));
    EXPECT_EQ(bx, 100);
    EXPECT_EQ(by, 200);
    EXPECT_TRUE(device.Flip());
}

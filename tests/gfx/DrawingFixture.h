#pragma once
// A hidden device with a canvas, an image list and a font list, frames
// drawn on demand and read back from the device; DrawingTest adds small
// images and fonts made on the spot. Needs a display (Xvfb in
// CI); a device that cannot start fails the test.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "render/GfxFonts.h"
#include "render/GfxImages.h"
#include "render/Gfx2D.h"
#include "render/GfxDevices.h"
#include "tools/pack/ImageBuilder.h"

namespace zelkor::testing_support {

// A hidden device of the given size with its canvas, image list and font list.
class DeviceTest : public ::testing::Test {
protected:
    DeviceTest(int width, int height) : width_(width), height_(height) {}

    void SetUp() override {
        device.SetHidden(true);
        device.SetWidth(width_);
        device.SetHeight(height_);
        canvas.SetPublisher(&device);
        images.SetPublisher(&device);
        fonts.SetPublisher(&device);
        fonts.SetCanvas(&canvas);
        ASSERT_TRUE(device.Initialize()) << "the graphics device must start: " << device.LastError();
    }

    // Clears to `clear` (0xAABBGGRR), runs `draw` as the frame, reads back.
    void Frame(const std::function<void()>& draw, uint32_t clear = 0xFF000000) {
        device.OnRender = [&](TObject*) { draw(); };
        ASSERT_TRUE(device.Render(clear, true));
        ASSERT_TRUE(device.Device().ReadBackBuffer(pixels));
    }
    // 0x00RRGGBB of a back-buffer pixel (alpha left out).
    uint32_t Rgb(int x, int y) const { return pixels.at(size_t(y) * size_t(width_) + size_t(x)) & 0xFFFFFF; }

    TGfxDevice device;
    TGfxCanvas canvas;
    TGfxImages images;
    TGfxFonts fonts;
    std::vector<uint32_t> pixels;

private:
    int width_, height_;
};

class DrawingTest : public DeviceTest {
protected:
    static constexpr int W = 128, H = 96;

    DrawingTest() : DeviceTest(W, H) {}

    // An image from a sheet of pattern cells.
    TGfxImage* MakeImage(const TPixelSheet& sheet, TImageLayout layout, const std::string& name = "test",
                         TAlphaLevel alpha = TAlphaLevel::alFull, TGfxQuality quality = TGfxQuality::aqHigh) {
        std::vector<uint8_t> record;
        std::string error;
        EXPECT_TRUE(BuildImageRecord(sheet, layout, record, error)) << error;
        TGfxImage* image = images.Add();
        image->SetName(name);
        image->SetAlphaLevel(alpha);
        image->SetQuality(quality);
        TMemoryStream s(record);
        EXPECT_TRUE(image->LoadFromStream(s)) << image->LastError();
        return image;
    }

    static TPixelSheet Sheet(int w, int h, const std::function<uint32_t(int, int)>& argb) {
        TPixelSheet s;
        s.Width = w;
        s.Height = h;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) s.Pixels.push_back(argb(x, y));
        return s;
    }
};

} // namespace zelkor::testing_support

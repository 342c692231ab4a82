// A frame that repeats, command for command and picture for picture, the
// one the back buffer holds is not drawn again, and a picture the window
// shows is not shown again; anything that could change what a frame shows
// has it drawn.

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "tests/gfx/DrawingFixture.h"

using namespace zelkor;
using namespace zelkor::testing_support;

namespace {

class RepeatedFrameTest : public DeviceTest {
protected:
    static constexpr int W = 32, H = 32;
    RepeatedFrameTest() : DeviceTest(W, H) {}

    TGraphicsDevice& Gd() { return device.Device(); }

    // A quad over the whole back buffer in `argb`, under the current state.
    void Quad(uint32_t argb) {
        const TVertex v[4] = {{-0.5f, -0.5f, argb, 0, 0},
                              {W - 0.5f, -0.5f, argb, 1, 0},
                              {W - 0.5f, H - 0.5f, argb, 1, 1},
                              {-0.5f, H - 0.5f, argb, 0, 1}};
        const uint16_t i[6] = {0, 1, 2, 0, 2, 3};
        ASSERT_TRUE(Gd().Draw(TPrimitiveKind::Triangles, v, 4, i, 6));
    }
    // Presents what `draw` records; the middle pixel as read back (0xRRGGBB).
    uint32_t Show(const std::function<void()>& draw) {
        draw();
        EXPECT_EQ(Gd().Present(), TPresentResult::Ok);
        std::vector<uint32_t> px;
        EXPECT_TRUE(Gd().ReadBackBuffer(px));
        return px.empty() ? 0xDEADu : px[size_t(H / 2) * W + W / 2] & 0xFFFFFF;
    }
    // A 1 x 1 texture of one colour (0xAARRGGBB), or that colour uploaded again.
    std::unique_ptr<TDeviceTexture> Texture(uint32_t argb) {
        std::string error;
        auto t = Gd().CreateTexture(1, 1, TColorFormat::A8R8G8B8, false, error);
        EXPECT_TRUE(t) << error;
        if (t) Upload(*t, argb);
        return t;
    }
    static void Upload(TDeviceTexture& t, uint32_t argb) {
        int pitch = 0;
        uint8_t* row = t.Lock(pitch);
        ASSERT_NE(row, nullptr);
        std::memcpy(row, &argb, 4);
        ASSERT_TRUE(t.Unlock());
    }
    void TexturedQuad(const TDeviceTexture* t) {
        Gd().SetCombine(TTextureCombine::TextureOnly);
        Gd().SetTexture(t);
        Quad(0xFFFFFFFF);
    }
    void ColouredQuad(uint32_t argb) {
        Gd().SetCombine(TTextureCombine::Modulate);
        Gd().SetTexture(nullptr);
        Quad(argb);
    }
};

TEST_F(RepeatedFrameTest, AFrameLikeTheLastIsNotDrawnAgainAndItsPictureStays) {
    auto frame = [&] {
        Gd().Clear(0xFF000000);
        ColouredQuad(0xFFFF0000);
    };
    // The first frame starts from the state the device opened with, the
    // second from the state the first left: from then on they repeat.
    EXPECT_EQ(Show(frame), 0xFF0000u);
    EXPECT_EQ(Show(frame), 0xFF0000u);
    const uint64_t repeated = Gd().FramesRepeated();
    EXPECT_EQ(Show(frame), 0xFF0000u);
    EXPECT_EQ(Show(frame), 0xFF0000u);
    EXPECT_EQ(Gd().FramesRepeated(), repeated + 2);

    // The same through the drawing layer, frames read back without being presented.
    Frame([&] { canvas.FillRect(0, 0, W, H, 0xFF00FF00, fxCopy); });
    EXPECT_EQ(Rgb(W / 2, H / 2), 0x00FF00u);
    const uint64_t before = Gd().FramesRepeated();
    Frame([&] { canvas.FillRect(0, 0, W, H, 0xFF00FF00, fxCopy); });
    EXPECT_EQ(Rgb(W / 2, H / 2), 0x00FF00u);
    Frame([&] { canvas.FillRect(0, 0, W, H, 0xFFFF0000, fxCopy); });  // 0xAABBGGRR: blue
    EXPECT_EQ(Rgb(W / 2, H / 2), 0x0000FFu);
    EXPECT_EQ(Gd().FramesRepeated(), before + 1);
}

// Each case draws a first frame, changes one thing, then draws a second
// frame with the very same commands: the second must show the change.
TEST_F(RepeatedFrameTest, WhateverChangesThePictureHasTheFrameDrawn) {
    std::unique_ptr<TDeviceTexture> t;
    uint32_t colour = 0;
    struct Case {
        const char* what;
        std::function<void()> first, change, frame;
        uint32_t before, after;
    };
    const Case cases[] = {
        {"a vertex colour", [&] { colour = 0xFFFF0000; }, [&] { colour = 0xFF00FF00; },
         [&] {
             Gd().Clear(0xFF000000);
             ColouredQuad(colour);
         },
         0xFF0000u, 0x00FF00u},
        {"the clear colour", [&] { colour = 0xFF000080; }, [&] { colour = 0xFF008000; }, [&] { Gd().Clear(colour); },
         0x000080u, 0x008000u},
        {"a texture's pixels, uploaded again", [&] { t = Texture(0xFFFF0000); }, [&] { Upload(*t, 0xFF0000FF); },
         [&] {
             Gd().Clear(0xFF000000);
             TexturedQuad(t.get());
         },
         0xFF0000u, 0x0000FFu},
        // The driver hands out the deleted texture's name again.
        {"a new texture where a deleted one was", [&] { t = Texture(0xFFFF0000); },
         [&] {
             t.reset();
             t = Texture(0xFF00FF00);
         },
         [&] {
             Gd().Clear(0xFF000000);
             TexturedQuad(t.get());
         },
         0xFF0000u, 0x00FF00u},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.first();
        EXPECT_EQ(Show(c.frame), c.before);
        const uint64_t repeated = Gd().FramesRepeated();
        c.change();
        EXPECT_EQ(Show(c.frame), c.after);
        EXPECT_EQ(Gd().FramesRepeated(), repeated);
        t.reset();
    }
}

// The same commands from another starting state draw another picture: a
// frame that leaves blending on draws its half-transparent quad opaque the
// first time and blended the next.
TEST_F(RepeatedFrameTest, TheStateThatTheLastFrameLeftCounts) {
    auto frame = [&] {
        Gd().Clear(0xFF000000);
        ColouredQuad(0x80FF0000);
        Gd().SetBlend(true, 4, 5, 0);  // source alpha, inverse source alpha, add
    };
    Show([&] {
        Gd().Clear(0xFF000000);
        Gd().SetBlend(false, 1, 0, 0);
    });
    EXPECT_EQ(Show(frame), 0xFF0000u);
    const uint32_t blended = Show(frame);
    EXPECT_NEAR(int(blended >> 16), 0x80, 2);
    EXPECT_EQ(blended & 0xFFFF, 0u);
    const uint64_t repeated = Gd().FramesRepeated();
    EXPECT_EQ(Show(frame), blended);
    EXPECT_EQ(Gd().FramesRepeated(), repeated + 1);
}

TEST_F(RepeatedFrameTest, AFrameThatDoesNotBeginWithAClearIsAlwaysDrawn) {
    EXPECT_EQ(Show([&] { Gd().Clear(0xFF000000); }), 0u);
    auto addRed = [&] {
        Gd().SetBlend(true, 1, 1, 0);  // one, one, add
        ColouredQuad(0xFF400000);
    };
    EXPECT_EQ(Show(addRed), 0x400000u);
    EXPECT_EQ(Show(addRed), 0x800000u);
    EXPECT_EQ(Show(addRed), 0xC00000u);
}

// A window of its own on the display.
class ShownWindowTest : public RepeatedFrameTest {
protected:
    void SetUp() override {
        device.SetWidth(W);
        device.SetHeight(H);
        ASSERT_TRUE(device.Initialize()) << "the graphics device must start: " << device.LastError();
    }
};

TEST_F(ShownWindowTest, APictureAlreadyShownIsShownAgainOnlyWhenTheWindowAsksForIt) {
    auto frame = [&] {
        Gd().Clear(0xFF000000);
        ColouredQuad(0xFF00FF00);
    };
    Show(frame);
    Show(frame);  // from the state the first frame left
    const uint64_t shown = Gd().FramesShown();
    Show(frame);
    Show(frame);
    EXPECT_EQ(Gd().FramesShown(), shown);

    for (const auto event : {SDL_WINDOWEVENT_EXPOSED, SDL_WINDOWEVENT_RESTORED, SDL_WINDOWEVENT_SIZE_CHANGED}) {
        SDL_Event e{};
        e.type = SDL_WINDOWEVENT;
        e.window.windowID = Gd().WindowId();
        e.window.event = Uint8(event);
        SDL_PushEvent(&e);
        const uint64_t before = Gd().FramesShown();
        Show(frame);
        EXPECT_EQ(Gd().FramesShown(), before + 1) << "window event " << int(event);
    }
    SDL_FlushEvent(SDL_WINDOWEVENT);

    const uint64_t before = Gd().FramesShown();
    Show([&] {
        Gd().Clear(0xFF000000);
        ColouredQuad(0xFF0000FF);
    });
    EXPECT_EQ(Gd().FramesShown(), before + 1);
}

TEST_F(ShownWindowTest, AHiddenWindowIsNotVisibleAndAShownOneIs) {
    EXPECT_TRUE(Gd().WindowVisible());
    SDL_HideWindow(Gd().Window());
    EXPECT_FALSE(Gd().WindowVisible());
    SDL_ShowWindow(Gd().Window());
    EXPECT_TRUE(Gd().WindowVisible());
}

TEST_F(RepeatedFrameTest, AnOffScreenDeviceCountsAsVisible) { EXPECT_TRUE(Gd().WindowVisible()); }

} // namespace

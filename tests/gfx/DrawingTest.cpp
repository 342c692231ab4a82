#include <gtest/gtest.h>

#include "tests/gfx/DrawingFixture.h"

using namespace zelkor;
using namespace zelkor::testing_support;

namespace {

// A texel value that differs everywhere, so that any misplaced texel shows.
uint32_t Noise(int x, int y) {
    const uint32_t v = uint32_t(x * 73 + y * 151) * 2654435761u;
    return 0xFF000000u | (v >> 8);
}

// Records the notices it gets, and can refuse one.
struct Recorder : TGfxSubscriber {
    std::vector<TGfxMessage>* log;
    TGfxMessage refuse = TGfxMessage(0);
    explicit Recorder(std::vector<TGfxMessage>* l) : log(l) {}
    bool HandleNotice(TGfxMessage m) override {
        log->push_back(m);
        return m != refuse;
    }
};

} // namespace

TEST_F(DrawingTest, RenderClearsToTheGivenColourAndDoesNothingWithoutAHandler) {
    Frame([] {}, 0x400000);  // 0xAABBGGRR: blue 0x40
    EXPECT_EQ(Rgb(0, 0), 0x000040u);
    device.OnRender = nullptr;
    EXPECT_FALSE(device.Render(0xFF0000FF, true));
    std::vector<uint32_t> after;
    device.Device().ReadBackBuffer(after);
    EXPECT_EQ(after[0] & 0xFFFFFF, 0x000040u);  // not even cleared
}

TEST_F(DrawingTest, APointAtWholeCoordinatesLightsThatPixel) {
    Frame([&] {
        canvas.PutPixel(10, 20, 0xFF0000FF, fxCopy);  // opaque red
        canvas.PutPixel(0, 0, 0xFFFFFFFF, fxCopy);
        canvas.PutPixel(W - 1, H - 1, 0xFF00FF00, fxCopy);
    });
    EXPECT_EQ(Rgb(10, 20), 0xFF0000u);
    EXPECT_EQ(Rgb(11, 20), 0u);
    EXPECT_EQ(Rgb(10, 21), 0u);
    EXPECT_EQ(Rgb(9, 20), 0u);
    EXPECT_EQ(Rgb(0, 0), 0xFFFFFFu);
    EXPECT_EQ(Rgb(W - 1, H - 1), 0x00FF00u);
}

TEST_F(DrawingTest, FillRectCoversExactlyItsPixels) {
    Frame([&] { canvas.FillRect(10, 8, 5, 3, 0xFF00FFFF, fxCopy); });  // opaque yellow
    for (int y = 6; y < 13; ++y)
        for (int x = 8; x < 17; ++x) {
            const bool inside = x >= 10 && x < 15 && y >= 8 && y < 11;
            EXPECT_EQ(Rgb(x, y), inside ? 0xFFFF00u : 0u) << x << "," << y;
        }
}

struct EffectCase {
    const char* name;
    uint32_t background;  // 0xAABBGGRR, drawn with fxCopy
    uint32_t color;       // the rectangle's colour
    uint32_t effect;
    uint32_t expected;  // 0xRRGGBB
};
std::ostream& operator<<(std::ostream& os, const EffectCase& c) { return os << c.name; }
class Effects : public DrawingTest, public ::testing::WithParamInterface<EffectCase> {};

TEST_P(Effects, BlendAsTheEffectWordSays) {
    const EffectCase& c = GetParam();
    Frame([&] {
        canvas.FillRect(0, 0, 16, 16, c.background, fxCopy);
        canvas.FillRect(4, 4, 8, 8, c.color, c.effect);
    });
    const uint32_t got = Rgb(6, 6);
    for (int shift : {0, 8, 16}) {
        const int a = int((got >> shift) & 0xFF), b = int((c.expected >> shift) & 0xFF);
        EXPECT_NEAR(a, b, 1) << std::hex << got << " vs " << c.expected;
    }
    EXPECT_EQ(Rgb(2, 2), (c.background & 0xFF00) | ((c.background & 0xFF) << 16) | ((c.background >> 16) & 0xFF));
}

INSTANTIATE_TEST_SUITE_P(
    Table, Effects,
    ::testing::Values(
        EffectCase{"copy", 0xFF606060, 0x80FF0000, fxCopy, 0x0000FF},  // alpha ignored: blue replaces
        EffectCase{"subtract stops at zero", 0xFF606060, 0xFF202020, fxSub, 0x404040},
        EffectCase{"subtract below zero", 0xFF101010, 0xFF202020, fxSub, 0x000000},
        EffectCase{"add", 0xFF404040, 0xFF202020, fxAdd, 0x606060},
        EffectCase{"add saturates", 0xFFF0F0F0, 0xFF202020, fxAdd, 0xFFFFFF},
        EffectCase{"add by alpha", 0xFF404040, 0x80FFFFFF, fxAdd, 0xC0C0C0},
        EffectCase{"blend half", 0xFF000000, 0x80FFFFFF, fxBlend, 0x808080},
        EffectCase{"blend opaque", 0xFF00FF00, 0xFFFF0000, fxBlend, 0x0000FF},
        EffectCase{"shadow", 0xFF808080, 0x80000000, fxShadow, 0x404040},
        // The general word: minimum and maximum (operations 3 and 4).
        EffectCase{"minimum", 0xFF404080, 0xFF808040, 0x00030101, 0x404040},
        EffectCase{"maximum", 0xFF404080, 0xFF808040, 0x00040101, 0x808080}));

TEST_F(DrawingTest, DrawAtScaleOneReproducesEveryTexelUnderBothFilters) {
    TImageLayout l;
    l.PatternWidth = l.PatternHeight = 16;
    l.VisibleWidth = 13;
    l.VisibleHeight = 9;
    TGfxImage* image = MakeImage(Sheet(32, 16, Noise), l);
    for (bool linear : {false, true}) {
        canvas.SetAntialias(linear);
        Frame([&] { canvas.Draw(image, 7, 5, 1, fxCopy); });
        // Pattern 1 is the second cell; its visible part is centred in the cell.
        const int ox = 16 + (16 - 13) / 2, oy = (16 - 9) / 2;
        for (int y = 0; y < 9; ++y)
            for (int x = 0; x < 13; ++x)
                ASSERT_EQ(Rgb(7 + x, 5 + y), Noise(ox + x, oy + y) & 0xFFFFFF)
                    << (linear ? "linear" : "nearest") << " at " << x << "," << y;
        EXPECT_EQ(Rgb(6, 5), 0u);
        EXPECT_EQ(Rgb(7 + 13, 5), 0u);
        EXPECT_EQ(Rgb(7, 5 + 9), 0u);
    }
}

TEST_F(DrawingTest, DrawScaledRoundsTheSizeToEven) {
    TImageLayout l;
    l.PatternWidth = l.PatternHeight = 41;
    TGfxImage* image = MakeImage(Sheet(41, 41, [](int, int) { return 0xFFFFFFFFu; }), l);
    canvas.SetAntialias(false);  // no blending with the texels around the pattern at the edges
    Frame([&] { canvas.DrawScaled(image, 10, 10, 0.5, 0, fxCopy); });  // 20.5 rounds to 20
    EXPECT_EQ(Rgb(10, 10), 0xFFFFFFu);
    EXPECT_EQ(Rgb(29, 29), 0xFFFFFFu);
    EXPECT_EQ(Rgb(30, 10), 0u);
    EXPECT_EQ(Rgb(10, 30), 0u);
    Frame([&] { canvas.DrawScaled(image, 10, 10, 1.5, 0, fxCopy); });  // 61.5 rounds to 62
    EXPECT_EQ(Rgb(71, 71), 0xFFFFFFu);
    EXPECT_EQ(Rgb(72, 71), 0u);
}

TEST_F(DrawingTest, PatternIndexesAreClampedToThePatterns) {
    const uint32_t colors[3] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF};
    TImageLayout l;
    l.PatternWidth = l.PatternHeight = 4;
    TGfxImage* image = MakeImage(Sheet(12, 4, [&](int x, int) { return colors[x / 4]; }), l);
    Frame([&] {
        canvas.Draw(image, 0, 0, -1, fxCopy);
        canvas.Draw(image, 10, 0, 3, fxCopy);
        canvas.Draw(image, 20, 0, 1, fxCopy);
    });
    EXPECT_EQ(Rgb(1, 1), 0xFF0000u);
    EXPECT_EQ(Rgb(11, 1), 0x0000FFu);
    EXPECT_EQ(Rgb(21, 1), 0x00FF00u);
}

TEST_F(DrawingTest, NearWhiteModulatesWhereWhiteShowsTheTextureAlone) {
    TImageLayout l;
    TGfxImage* image = MakeImage(Sheet(4, 4, [](int, int) { return 0xFFFF8040u; }), l);
    const float corners[4][2] = {{0, 0}, {4, 0}, {4, 4}, {0, 4}};
    const uint32_t white[4] = {0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF};
    const uint32_t nearWhite[4] = {0xFFFEFEFE, 0xFFFEFEFE, 0xFFFEFEFE, 0xFFFEFEFE};
    const uint32_t red[4] = {0xFF0000FF, 0xFF0000FF, 0xFF0000FF, 0xFF0000FF};
    Frame([&] { canvas.DrawQuad(image, 0, corners, white, fxCopy); });
    EXPECT_EQ(Rgb(1, 1), 0xFF8040u);
    Frame([&] { canvas.DrawQuad(image, 0, corners, nearWhite, fxCopy); });
    EXPECT_NE(Rgb(1, 1), 0xFF8040u);  // modulated by 254/255
    EXPECT_NEAR(int(Rgb(1, 1) >> 16), 0xFE, 1);
    Frame([&] { canvas.DrawQuad(image, 0, corners, red, fxCopy); });
    EXPECT_EQ(Rgb(1, 1), 0xFF0000u);  // tinted: only the red channel stays
}

TEST_F(DrawingTest, AnAbsentImageDrawsNothing) {
    Frame([&] {
        canvas.Draw(images.Image("missing"), 0, 0, 0, fxCopy);
        canvas.DrawScaled(nullptr, 0, 0, 2.0, 0, fxCopy);
    });
    EXPECT_EQ(Rgb(0, 0), 0u);
}

TEST_F(DrawingTest, RunsOfTheSameImageAndEffectAreOneBatch) {
    TImageLayout l;
    l.PatternWidth = l.PatternHeight = 4;
    TGfxImage* image = MakeImage(Sheet(8, 4, Noise), l);
    canvas.ResetSubmitted();
    Frame([&] {
        for (int i = 0; i < 32; ++i) canvas.Draw(image, i * 2, 0, i % 2, fxBlend);
    });
    EXPECT_EQ(canvas.Submitted(), 1);
    canvas.ResetSubmitted();
    Frame([&] {
        canvas.Draw(image, 0, 0, 0, fxBlend);
        canvas.Draw(image, 0, 0, 0, fxAdd);        // new effect
        canvas.FillRect(0, 0, 2, 2, 0xFFFFFFFF, fxAdd);  // no texture
        canvas.PutPixel(5, 5, 0xFFFFFFFF, fxAdd);        // another primitive kind
    });
    EXPECT_EQ(canvas.Submitted(), 4);
}

TEST_F(DrawingTest, AFullBatchIsSubmittedAndStartsAgain) {
    canvas.ResetSubmitted();
    Frame([&] {
        for (int i = 0; i < 2000; ++i) canvas.FillRect(i % W, (i / W) % H, 1, 1, 0xFF00FF00, fxCopy);
    });
    // 4096 vertices and 4096 indices a batch: the six indices of a quad fill
    // it first, after 682 quads.
    EXPECT_EQ(canvas.Submitted(), 3);
    EXPECT_EQ(Rgb(2000 % W, (2000 / W) % H) , 0u);
    EXPECT_EQ(Rgb(1999 % W, (1999 / W) % H), 0x00FF00u);
}

TEST(Canvas, VertexCacheIsAMultipleOfFourFrom512To65536) {
    TGfxCanvas canvas;
    const std::pair<int, int> cases[] = {{1000, 1000}, {1001, 1004}, {100, 512}, {70000, 65536}, {4096, 4096}};
    for (auto [in, out] : cases) {
        canvas.SetVertexCache(in);
        EXPECT_EQ(canvas.VertexCache(), out) << in;
    }
}

TEST_F(DrawingTest, NoticesGoInSubscriptionOrderAndStopAtARefusal) {
    device.Finalize();
    std::vector<TGfxMessage> log;
    Recorder first(&log), second(&log);
    first.SetPublisher(&device);
    second.SetPublisher(&device);
    ASSERT_TRUE(device.Initialize());
    device.OnRender = [](TObject*) {};
    device.Render(0, true);
    device.Finalize();
    using M = TGfxMessage;
    EXPECT_EQ(log, (std::vector<M>{M::msgInitialize, M::msgInitialize, M::msgBeginScene, M::msgBeginScene,
                                   M::msgEndScene, M::msgEndScene, M::msgFinalize, M::msgFinalize}));

    log.clear();
    first.refuse = M::msgInitialize;
    EXPECT_FALSE(device.Initialize());
    EXPECT_FALSE(device.Exists());
    EXPECT_EQ(log, (std::vector<M>{M::msgInitialize, M::msgFinalize, M::msgFinalize}));
}

TEST_F(DrawingTest, AnInitializeHandlerThatSaysNoClosesTheDevice) {
    device.Finalize();
    device.OnInitialize = [](TObject*, bool& success) { success = false; };
    EXPECT_FALSE(device.Initialize());
    EXPECT_FALSE(device.Exists());
    device.OnInitialize = nullptr;
    EXPECT_TRUE(device.Initialize());
    EXPECT_FALSE(device.Initialize());  // only once
}

TEST_F(DrawingTest, ALostDeviceIsResetOnFlipAndDrawingGoesOn) {
    std::vector<TGfxMessage> log;
    Recorder recorder(&log);
    recorder.SetPublisher(&device);
    device.Device().SimulateLoss();
    EXPECT_FALSE(device.Flip());
    EXPECT_EQ(log, (std::vector<TGfxMessage>{TGfxMessage::msgDeviceLost, TGfxMessage::msgDeviceReset}));
    EXPECT_TRUE(device.Flip());
    Frame([&] { canvas.FillRect(0, 0, 2, 2, 0xFFFFFFFF, fxCopy); });
    EXPECT_EQ(Rgb(1, 1), 0xFFFFFFu);
}

TEST_F(DrawingTest, ChangingWindowedOrSizeResetsTheDevice) {
    std::vector<TGfxMessage> log;
    Recorder recorder(&log);
    recorder.SetPublisher(&device);
    device.SetWidth(W * 2);
    EXPECT_EQ(log, (std::vector<TGfxMessage>{TGfxMessage::msgDeviceLost, TGfxMessage::msgDeviceReset}));
    EXPECT_EQ(device.Device().Params().Width, W * 2);
    device.SetWidth(W);
    Frame([&] { canvas.PutPixel(W - 1, 0, 0xFFFFFFFF, fxCopy); });
    EXPECT_EQ(Rgb(W - 1, 0), 0xFFFFFFu);
}

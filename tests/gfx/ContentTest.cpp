// The game's committed content, loaded the way the game loads it: the
// description's "Content" group through the real loader into a device of
// the game's screen size.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "assets/AssetDb.h"
#include "render/GfxLoader.h"
#include "game/geometry/BoardGeometry.h"
#include "tests/gfx/GameContentFixture.h"

using namespace zelkor;
using namespace zelkor::testing_support;

namespace {

class ContentTest : public GameContentTest {
protected:
    // Draws pattern `pattern` of `name` at (x, y) over `clear` and reads the frame back.
    void Draw(const std::string& name, int pattern, int x = 0, int y = 0, uint32_t clear = 0xFF000000) {
        const TGfxImage* image = images.Image(name);
        ASSERT_NE(image, nullptr) << name;
        Frame([&] { canvas.Draw(image, x, y, pattern, fxBlend); }, clear);
    }
    // Brightness 0..255 of a back-buffer pixel.
    double Luma(int x, int y) const {
        const uint32_t p = Rgb(x, y);
        return 0.299 * ((p >> 16) & 0xFF) + 0.587 * ((p >> 8) & 0xFF) + 0.114 * (p & 0xFF);
    }
};

} // namespace

TEST_F(ContentTest, EveryImageTheGameLooksUpHasItsPatterns) {
    struct Expected {
        const char* Name;
        int Count, Width, Height;
    } table[] = {
        {"ground", 4, 1024, 768},       {"classic", 4, 800, 800},       {"button", 11, 44, 44},
        {"timer", 2, 176, 40},          {"cursor", 1, 32, 32},          {"window_1", 1, 450, 184},
        {"zelkor_piece_2", 12, 128, 216}, {"zelkor_piece_1", 12, 426, 719}, {"piece_1", 12, 90, 90},
        {"piece_2", 12, 90, 90},
    };
    for (const Expected& e : table) {
        const TGfxImage* image = images.Image(e.Name);
        ASSERT_NE(image, nullptr) << e.Name;
        EXPECT_TRUE(image->Ready()) << e.Name;
        EXPECT_EQ(image->PatternCount(), e.Count) << e.Name;
        EXPECT_EQ(image->PatternWidth(), e.Width) << e.Name;
        EXPECT_EQ(image->PatternHeight(), e.Height) << e.Name;
    }
}

TEST_F(ContentTest, ThreeFontsWithTheMenuFontFirstAndTheTextFontThird) {
    ASSERT_EQ(fonts.Count(), 3);
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(fonts.Font(i)->Loaded()) << i;
    EXPECT_EQ(fonts.Font(0)->Name(), "font_menu");
    EXPECT_EQ(fonts.Font(2)->Name(), "font_text");
    // The menu rows are 24 px apart; the text font about 16 px high, every printable glyph present.
    EXPECT_LE(fonts.Font(0)->GlyphImage()->VisibleHeight(), 30);
    EXPECT_GE(fonts.Font(2)->GlyphImage()->VisibleHeight(), 14);
    EXPECT_LE(fonts.Font(2)->GlyphImage()->VisibleHeight(), 20);
    for (const TGfxFont* font : {fonts.Font(0), fonts.Font(2)}) {
        EXPECT_EQ(font->GlyphImage()->PatternCount(), 95) << font->Name();
        EXPECT_GT(font->TextWidth("Zelkor Chess 0:00:00"), 100.0) << font->Name();
    }
}

TEST_F(ContentTest, EverySquareCentreLiesOnItsOwnPaintedSquare) {
    // Ground pattern 2 is the castle (location 1), pattern 3 the town (location 2).
    for (int location : {1, 2}) {
        Draw("ground", location + 1);
        double darkestLight = 255, lightestDark = 0;
        for (int i = 1; i <= 64; ++i) {
            const Square sq = static_cast<Square>(i);
            const game::TScreenPoint c = game::SquareCenter(sq, location);
            const double luma = Luma(c.X, c.Y);
            if (IsLightSquare(sq))
                darkestLight = std::min(darkestLight, luma);
            else
                lightestDark = std::max(lightestDark, luma);
        }
        // Light and dark squares apart by a clear margin, so no centre sits on a neighbour.
        EXPECT_GT(darkestLight - lightestDark, 60.0) << "location " << location;
        // Towards each corner the square keeps its shade: the picture's squares lie on the table's corners.
        const double threshold = (darkestLight + lightestDark) / 2;
        for (int i = 1; i <= 64; ++i) {
            const Square sq = static_cast<Square>(i);
            const game::TScreenPoint c = game::SquareCenter(sq, location);
            const game::TScreenPoint shift = game::LocationOffset(location);
            for (const game::TScreenPoint& corner : game::SquareQuad(sq)) {
                const int x = c.X + (corner.X + shift.X - c.X) * 2 / 3;
                const int y = c.Y + (corner.Y + shift.Y - c.Y) * 2 / 3;
                EXPECT_EQ(Luma(x, y) > threshold, IsLightSquare(sq))
                    << SquareName(sq) << " near corner " << corner.X << "," << corner.Y << " at location " << location;
            }
        }
    }
}

TEST_F(ContentTest, TheCursorsHotSpotIsItsTopLeftPixel) {
    // Over a grey ground the pointer's tip covers (100, 100) and nothing up or left of it.
    Draw("cursor", 0, 100, 100, 0xFF808080);
    const double grey = Luma(50, 50);
    EXPECT_LT(Luma(100, 100), grey - 60) << "the tip is the pointer's dark outline";
    for (auto [x, y] : {std::pair{99, 99}, {99, 100}, {100, 99}}) EXPECT_DOUBLE_EQ(Luma(x, y), grey) << x << "," << y;
}

#pragma once
// The game's painted pictures besides the pieces: the four full-screen
// backgrounds ("ground": title, help, castle hall, town square, with the
// perspective board painted exactly on the game's square corners), the
// classic boards, the interface art (buttons, clock panels, cursor, window
// frame) and the launcher's splash picture.

#include <string>

#include "tools/artgen/PieceSheets.h"
#include "tools/pack/ImageBuilder.h"

namespace zelkor::art {

struct ContentFonts {
    std::string logo;   // a decorative serif (the title)
    std::string serif;  // labels of the classic boards
    std::string sans;   // a clear sans
};
ContentFonts FindFonts();

// Four 1024 x 768 patterns, one below the other.
TPixelSheet Grounds(const PieceSheets& pieces, const ContentFonts& fonts);
// Four 800 x 800 patterns: wood White below, wood Black below, marble White below, marble Black below.
TPixelSheet ClassicBoards(const ContentFonts& fonts);
// Eleven 44 x 44 button icons (patterns 0..10).
TPixelSheet Buttons(const PieceSheets& pieces);
// Two clock panels (White, Black).
TPixelSheet ClockPanels(const PieceSheets& pieces);
TPixelSheet Cursor();
TPixelSheet WindowFrame(const ContentFonts& fonts);
// 630 x 360, opaque.
TPixelSheet Splash(const PieceSheets& pieces, const ContentFonts& fonts);

inline constexpr int kClockW = 176, kClockH = 40;
inline constexpr int kWindowW = 450, kWindowH = 184;

} // namespace zelkor::art

#pragma once
// The game's two pieces of music, each a seamless loop at 44.1 kHz.

#include "tools/musicgen/Signal.h"

namespace zelkor::music {

inline constexpr int kMusicRate = 44100;

// For the title, help and options screens: a stately tune in D dorian for
// flute, lute and harp over a drone bass, with a frame drum later on.
TStereo TitleTheme();

// For the game: slow, calm chords in F with a celesta and a flute that
// come and go, to think over.
TStereo MainTheme();

} // namespace zelkor::music

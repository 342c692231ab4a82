#pragma once
// The game's eight sound effects: 22050 Hz stereo, each exactly the length
// the game's wave list expects.

#include <array>
#include <cstddef>

#include "tools/musicgen/Signal.h"

namespace zelkor::music {

inline constexpr int kEffectRate = 22050;

// Frames of sound_1 .. sound_8 (sample-data bytes / 4).
inline constexpr std::array<size_t, 8> kEffectFrames = {24191, 15360, 11840, 64448, 29696, 34688, 42624, 57728};

// All eight, levelled to the same loudness with peaks below -1 dBFS and
// faded in and out.
std::array<TStereo, 8> Effects();

} // namespace zelkor::music

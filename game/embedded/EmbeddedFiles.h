#pragma once
// Files that are part of the program itself, put in at build time from
// data/: the eight sound effects, the launcher's splash picture and font.

#include <span>

#include "platform/EmbeddedFile.h"

namespace zelkor {

// sound_1.wav .. sound_8.wav, in that order: RIFF WAVE images.
std::span<const TEmbeddedFile> EffectWaves();

// splash.jpg alone.
std::span<const TEmbeddedFile> SplashPicture();

// launcher.font alone: a font record.
std::span<const TEmbeddedFile> LauncherFont();

} // namespace zelkor

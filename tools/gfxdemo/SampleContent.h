#pragma once
// A small archive and resource description made on the spot, so that the
// demo runs without the game's content: a background, a sheet of pieces,
// a checker panel and two fonts.

#include <string>

namespace zelkor {

// Writes "demo.dat" and "demo.def" (group "Content") into `folder`.
bool WriteSampleContent(const std::string& folder, const std::string& password, std::string& error);

} // namespace zelkor

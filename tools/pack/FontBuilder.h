#pragma once
// Renders the characters of a TrueType or OpenType font (FreeType) into a
// sheet of equal glyph cells and the glyph table of a font record: white
// glyphs whose alpha is the antialiased coverage, so that text colours tint
// them.

#include <string>

#include "assets/ImageRecord.h"
#include "tools/pack/ImageBuilder.h"

namespace zelkor {

struct TFontSheet {
    TFontRecordHeader Header;  // first character, glyph advances
    TPixelSheet Sheet;         // one cell per glyph, left to right
    TImageLayout Layout;       // cell size as pattern and visible size
};

// Characters `first` .. `last` of the font file at `pixelSize` pixels.
bool BuildFontSheet(const std::string& fontFile, int pixelSize, int first, int last, TFontSheet& out,
                    std::string& error);

} // namespace zelkor

#include "tools/pack/FontBuilder.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <vector>

namespace zelkor {

bool BuildFontSheet(const std::string& fontFile, int pixelSize, int first, int last, TFontSheet& out,
                    std::string& error) {
    if (first < 0 || last > 255 || first > last || pixelSize < 4 || pixelSize > 256) {
        error = "characters 0..255 and a size of 4 to 256 pixels";
        return false;
    }
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library)) {
        error = "FreeType cannot start";
        return false;
    }
    FT_Face face = nullptr;
    if (FT_New_Face(library, fontFile.c_str(), 0, &face)) {
        FT_Done_FreeType(library);
        error = "cannot read the font " + fontFile;
        return false;
    }
    FT_Set_Pixel_Sizes(face, 0, FT_UInt(pixelSize));
    const int ascender = int(face->size->metrics.ascender >> 6);
    const int descender = int(-(face->size->metrics.descender >> 6));
    const int cellHeight = ascender + descender;

    struct Glyph {
        int advance, left, top, width, rows;
        std::vector<uint8_t> coverage;
    };
    std::vector<Glyph> glyphs;
    int cellWidth = 1;
    for (int c = first; c <= last; ++c) {
        Glyph g{};
        if (!FT_Load_Char(face, FT_ULong(c), FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT)) {
            const FT_Bitmap& b = face->glyph->bitmap;
            g.advance = int(face->glyph->advance.x >> 6);
            g.left = std::max(0, face->glyph->bitmap_left);
            g.top = ascender - face->glyph->bitmap_top;
            g.width = int(b.width);
            g.rows = int(b.rows);
            for (int y = 0; y < g.rows; ++y)
                for (int x = 0; x < g.width; ++x) g.coverage.push_back(b.buffer[y * b.pitch + x]);
        }
        cellWidth = std::max({cellWidth, g.advance, g.left + g.width});
        glyphs.push_back(std::move(g));
    }
    FT_Done_Face(face);
    FT_Done_FreeType(library);

    out.Header = TFontRecordHeader{};
    out.Header.FirstChar = first;
    out.Sheet.Width = cellWidth * int(glyphs.size());
    out.Sheet.Height = cellHeight;
    out.Sheet.Pixels.assign(size_t(out.Sheet.Width) * size_t(cellHeight), 0x00FFFFFF);
    for (size_t i = 0; i < glyphs.size(); ++i) {
        const Glyph& g = glyphs[i];
        out.Header.Glyphs.push_back({g.advance, 0});
        for (int y = 0; y < g.rows; ++y)
            for (int x = 0; x < g.width; ++x) {
                const int px = int(i) * cellWidth + g.left + x, py = g.top + y;
                if (py < 0 || py >= cellHeight || g.left + x >= cellWidth) continue;
                const uint32_t a = g.coverage[size_t(y * g.width + x)];
                out.Sheet.Pixels[size_t(py) * size_t(out.Sheet.Width) + size_t(px)] = (a << 24) | 0x00FFFFFF;
            }
    }
    out.Layout = TImageLayout{};
    out.Layout.Format = TColorFormat::A8R8G8B8;
    out.Layout.PatternWidth = out.Layout.VisibleWidth = cellWidth;
    out.Layout.PatternHeight = out.Layout.VisibleHeight = cellHeight;
    out.Layout.PatternCount = int(glyphs.size());
    return true;
}

} // namespace zelkor

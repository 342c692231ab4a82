#pragma once
// The packer's manifest: one record per line,
//
//   KEY  TYPE  SECURE  SOURCE  [NAME=VALUE ...]
//
// TYPE is image (from a PNG), font (a PNG of glyphs and a glyph table) or
// raw (the file's bytes); SECURE is yes or no. Blank lines and lines
// starting with # are skipped; SOURCE and file options are relative to the
// manifest's folder.
//
// image and font options: format=A8R8G8B8 (any of the eleven pixel formats),
// pattern=WxH, visible=WxH, texture=WxH, count=N; font options besides:
// glyphs=FILE (one "advance [second]" line per glyph), first=N (the code
// of glyph 0, default 32), spacing=N. Every type: rectype=N (image and raw
// default to 1; a font is always 3) and stamp=X.

#include <string>
#include <vector>

#include "tools/pack/ImageBuilder.h"

namespace zelkor {

struct TManifestEntry {
    int Line = 0;
    std::string Key;
    std::string Type;  // image, font or raw
    bool Secure = false;
    std::string Source;  // resolved path
    TImageLayout Layout;
    std::string GlyphFile;  // resolved path
    int FirstChar = 32;
    int Spacing = 0;
    int RecType = 1;
    double Stamp = 0;
};

bool ReadManifest(const std::string& path, std::vector<TManifestEntry>& entries, std::string& error);

} // namespace zelkor

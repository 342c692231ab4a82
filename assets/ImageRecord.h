#pragma once
// The layouts of image and font records (the decoded bytes of archive
// records): a 33-byte image header followed by the pixel rows of every
// texture, and a font's glyph table followed by such an image.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/PixelFormats.h"
#include "platform/Streams.h"

namespace zelkor {

// What an image can need: its textures' pixel rows, 256 MiB at most (the
// game's largest image holds 32 MiB). A record claiming more is refused
// before anything is read for it.
constexpr uint64_t kMaxImagePixelBytes = uint64_t{256} << 20;
// A font's glyph table: one entry per character code at most.
constexpr int32_t kMaxGlyphs = 65536;
// No image needs more textures than this; a record claiming more is refused.
constexpr int32_t kMaxImageTextures = 4096;

struct TImageRecordHeader {
    static constexpr int Size = 33;
    TColorFormat Format = TColorFormat::None;
    int32_t PatternWidth = 0;
    int32_t PatternHeight = 0;
    int32_t VisibleWidth = 0;
    int32_t VisibleHeight = 0;
    int32_t PatternCount = 0;
    int32_t TextureWidth = 0;
    int32_t TextureHeight = 0;
    int32_t TextureCount = 0;  // a negative count reads as 0

    // Bytes of pixel rows that follow the header.
    uint64_t PixelBytes() const;
};

// Reads the header at the stream's position and checks that the rest of the
// stream holds every pixel row it announces (so nothing is allocated for
// sizes the record cannot hold). False with a reason otherwise.
bool ReadImageRecordHeader(TStream& stream, TImageRecordHeader& header, std::string& error);
void WriteImageRecordHeader(TStream& stream, const TImageRecordHeader& header);
// What an image needs of a header that reads, before any texture is made
// (no device is asked): textures of a positive size, patterns no larger
// than a texture and a visible part no larger than a pattern (a pattern or
// visible size of 0 or less means the texture's), at most
// kMaxImageTextures textures. False with a reason otherwise.
bool CheckImageLayout(const TImageRecordHeader& header, std::string& error);
// The most decoded bytes an image record can hold: its header and rows.
constexpr uint64_t MaxImageRecordSize() { return TImageRecordHeader::Size + kMaxImagePixelBytes; }

struct TGlyph {
    int32_t Advance = 0;
    int32_t Unused = 0;
};

struct TFontRecordHeader {
    int32_t FirstChar = 32;  // only the low byte counts
    int32_t GlyphSpacing = 0;
    int32_t Reserved = 0;
    std::vector<TGlyph> Glyphs;
};

// Reads the glyph table; the stream is then at the glyph image.
bool ReadFontRecordHeader(TStream& stream, TFontRecordHeader& header, std::string& error);
void WriteFontRecordHeader(TStream& stream, const TFontRecordHeader& header);
// The most decoded bytes a font record can hold: the glyph table and its image.
constexpr uint64_t MaxFontRecordSize() { return 16 + uint64_t(kMaxGlyphs) * 8 + MaxImageRecordSize(); }

} // namespace zelkor

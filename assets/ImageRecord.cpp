#include "assets/ImageRecord.h"

namespace zelkor {

uint64_t TImageRecordHeader::PixelBytes() const {
    if (TextureWidth <= 0 || TextureHeight <= 0 || TextureCount <= 0) return 0;
    return uint64_t(TextureCount) * uint64_t(TextureWidth) * uint64_t(TextureHeight) *
           uint64_t(BytesPerPixel(Format));
}

bool ReadImageRecordHeader(TStream& stream, TImageRecordHeader& h, std::string& error) {
    uint8_t format = 0;
    if (!stream.ReadU8(format) || !stream.ReadI32(h.PatternWidth) || !stream.ReadI32(h.PatternHeight) ||
        !stream.ReadI32(h.VisibleWidth) || !stream.ReadI32(h.VisibleHeight) || !stream.ReadI32(h.PatternCount) ||
        !stream.ReadI32(h.TextureWidth) || !stream.ReadI32(h.TextureHeight) || !stream.ReadI32(h.TextureCount)) {
        error = "the image header is shorter than 33 bytes";
        return false;
    }
    h.Format = ColorFormatFromCode(format);
    if (h.TextureCount < 0) h.TextureCount = 0;
    if (h.Format == TColorFormat::None) {
        error = "unknown pixel format " + std::to_string(format);
        return false;
    }
    if (h.TextureCount > 0 && (h.TextureWidth <= 0 || h.TextureHeight <= 0)) {
        error = "textures of " + std::to_string(h.TextureWidth) + " x " + std::to_string(h.TextureHeight) + " pixels";
        return false;
    }
    if (h.PixelBytes() > kMaxImagePixelBytes) {
        error = "the header announces " + std::to_string(h.PixelBytes()) + " bytes of pixels, more than any image needs";
        return false;
    }
    if (h.PixelBytes() > stream.Remaining()) {
        error = "the header announces " + std::to_string(h.PixelBytes()) + " bytes of pixels, the record holds " +
                std::to_string(stream.Remaining());
        return false;
    }
    return true;
}

bool CheckImageLayout(const TImageRecordHeader& h, std::string& error) {
    const int32_t patternWidth = h.PatternWidth > 0 ? h.PatternWidth : h.TextureWidth;
    const int32_t patternHeight = h.PatternHeight > 0 ? h.PatternHeight : h.TextureHeight;
    const int32_t visibleWidth = h.VisibleWidth > 0 ? h.VisibleWidth : h.TextureWidth;
    const int32_t visibleHeight = h.VisibleHeight > 0 ? h.VisibleHeight : h.TextureHeight;
    if (h.TextureWidth <= 0 || h.TextureHeight <= 0) {
        error = "the texture size is not positive";
    } else if (h.TextureWidth < patternWidth || h.TextureHeight < patternHeight) {
        error = "a pattern is larger than a texture";
    } else if (patternWidth < visibleWidth || patternHeight < visibleHeight) {
        error = "the visible size exceeds the pattern";
    } else if (h.TextureCount > kMaxImageTextures) {
        error = "more textures than any image needs";
    } else {
        return true;
    }
    return false;
}

void WriteImageRecordHeader(TStream& stream, const TImageRecordHeader& h) {
    stream.WriteU8(static_cast<uint8_t>(h.Format));
    stream.WriteI32(h.PatternWidth);
    stream.WriteI32(h.PatternHeight);
    stream.WriteI32(h.VisibleWidth);
    stream.WriteI32(h.VisibleHeight);
    stream.WriteI32(h.PatternCount);
    stream.WriteI32(h.TextureWidth);
    stream.WriteI32(h.TextureHeight);
    stream.WriteI32(h.TextureCount);
}

bool ReadFontRecordHeader(TStream& stream, TFontRecordHeader& h, std::string& error) {
    int32_t count = 0;
    if (!stream.ReadI32(h.FirstChar) || !stream.ReadI32(h.GlyphSpacing) || !stream.ReadI32(h.Reserved) ||
        !stream.ReadI32(count)) {
        error = "the font header is shorter than 16 bytes";
        return false;
    }
    if (count < 0 || count > kMaxGlyphs || uint64_t(count) * 8 > stream.Remaining()) {
        error = "the font claims " + std::to_string(count) + " glyphs, more than the record holds";
        return false;
    }
    h.Glyphs.resize(static_cast<size_t>(count));
    for (TGlyph& g : h.Glyphs)
        if (!stream.ReadI32(g.Advance) || !stream.ReadI32(g.Unused)) {
            error = "the glyph table ends early";
            return false;
        }
    return true;
}

void WriteFontRecordHeader(TStream& stream, const TFontRecordHeader& h) {
    stream.WriteI32(h.FirstChar);
    stream.WriteI32(h.GlyphSpacing);
    stream.WriteI32(h.Reserved);
    stream.WriteI32(static_cast<int32_t>(h.Glyphs.size()));
    for (const TGlyph& g : h.Glyphs) {
        stream.WriteI32(g.Advance);
        stream.WriteI32(g.Unused);
    }
}

} // namespace zelkor

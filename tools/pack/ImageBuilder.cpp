#include "tools/pack/ImageBuilder.h"

#include <algorithm>
#include <cstdint>

namespace zelkor {

namespace {

std::string Size(int w, int h) { return std::to_string(w) + " x " + std::to_string(h); }

} // namespace

bool BuildImageRecord(const TPixelSheet& sheet, TImageLayout l, std::vector<uint8_t>& out, std::string& error) {
    if (sheet.Width <= 0 || sheet.Height <= 0 ||
        sheet.Pixels.size() != size_t(sheet.Width) * size_t(sheet.Height)) {
        error = "the picture is empty";
        return false;
    }
    if (l.Format == TColorFormat::None) {
        error = "no pixel format";
        return false;
    }
    if (l.PatternWidth <= 0) l.PatternWidth = sheet.Width;
    if (l.PatternHeight <= 0) l.PatternHeight = sheet.Height;
    if (l.VisibleWidth <= 0) l.VisibleWidth = l.PatternWidth;
    if (l.VisibleHeight <= 0) l.VisibleHeight = l.PatternHeight;
    if (l.VisibleWidth > l.PatternWidth || l.VisibleHeight > l.PatternHeight) {
        error = "the visible size " + Size(l.VisibleWidth, l.VisibleHeight) + " exceeds the pattern size " +
                Size(l.PatternWidth, l.PatternHeight);
        return false;
    }
    if (sheet.Width % l.PatternWidth || sheet.Height % l.PatternHeight) {
        error = "the picture of " + Size(sheet.Width, sheet.Height) + " is no grid of " +
                Size(l.PatternWidth, l.PatternHeight) + " patterns";
        return false;
    }
    const int sheetColumns = sheet.Width / l.PatternWidth;
    const int cells = sheetColumns * (sheet.Height / l.PatternHeight);
    if (l.PatternCount <= 0) l.PatternCount = cells;
    if (l.PatternCount > cells) {
        error = "the picture holds " + std::to_string(cells) + " patterns, not " + std::to_string(l.PatternCount);
        return false;
    }
    if (l.TextureWidth <= 0 || l.TextureHeight <= 0) {
        int side = 1;
        while (side < std::max(l.PatternWidth, l.PatternHeight)) side *= 2;
        while (side < 2048 && (side / l.PatternWidth) * (side / l.PatternHeight) < l.PatternCount) side *= 2;
        l.TextureWidth = l.TextureHeight = side;
    }
    if (l.TextureWidth < l.PatternWidth || l.TextureHeight < l.PatternHeight) {
        error = "the texture size " + Size(l.TextureWidth, l.TextureHeight) + " is smaller than a pattern";
        return false;
    }
    // The sizes are checked in 64 bits before anything is laid out with
    // them: a texture option can name far more pixels than an int counts.
    const uint64_t textureBytes =
        uint64_t(l.TextureWidth) * uint64_t(l.TextureHeight) * uint64_t(BytesPerPixel(l.Format));
    if (textureBytes > kMaxImagePixelBytes) {
        error = "a texture of " + Size(l.TextureWidth, l.TextureHeight) + " pixels takes " +
                std::to_string(textureBytes) + " bytes, more than an image may hold (" +
                std::to_string(kMaxImagePixelBytes) + ")";
        return false;
    }
    // Both at most the texture's pixels, which fit in an int now.
    const int columns = l.TextureWidth / l.PatternWidth;
    const int perTexture = columns * (l.TextureHeight / l.PatternHeight);
    const int textures = (l.PatternCount + perTexture - 1) / perTexture;
    if (uint64_t(textures) * textureBytes > kMaxImagePixelBytes) {
        error = std::to_string(textures) + " textures of " + Size(l.TextureWidth, l.TextureHeight) +
                " pixels take more bytes than an image may hold (" + std::to_string(kMaxImagePixelBytes) + ")";
        return false;
    }

    TImageRecordHeader h;
    h.Format = l.Format;
    h.PatternWidth = l.PatternWidth;
    h.PatternHeight = l.PatternHeight;
    h.VisibleWidth = l.VisibleWidth;
    h.VisibleHeight = l.VisibleHeight;
    h.PatternCount = l.PatternCount;
    h.TextureWidth = l.TextureWidth;
    h.TextureHeight = l.TextureHeight;
    h.TextureCount = textures;
    // What the game checks before it makes any texture.
    if (!CheckImageLayout(h, error)) return false;

    TMemoryStream s;
    WriteImageRecordHeader(s, h);
    const int bytes = BytesPerPixel(l.Format);
    std::vector<uint32_t> texture;
    std::vector<uint8_t> row(size_t(l.TextureWidth) * size_t(bytes));
    for (int t = 0; t < textures; ++t) {
        texture.assign(size_t(l.TextureWidth) * size_t(l.TextureHeight), 0);  // unused cells stay clear
        for (int q = 0; q < perTexture; ++q) {
            const int p = t * perTexture + q;
            if (p >= l.PatternCount) break;
            const int sx = (p % sheetColumns) * l.PatternWidth;
            const int sy = (p / sheetColumns) * l.PatternHeight;
            const int tx = (q % columns) * l.PatternWidth;
            const int ty = (q / columns) * l.PatternHeight;
            for (int y = 0; y < l.PatternHeight; ++y)
                std::copy_n(&sheet.Pixels[size_t(sy + y) * size_t(sheet.Width) + size_t(sx)], l.PatternWidth,
                            &texture[size_t(ty + y) * size_t(l.TextureWidth) + size_t(tx)]);
        }
        for (int y = 0; y < l.TextureHeight; ++y) {
            NarrowRow(l.Format, &texture[size_t(y) * size_t(l.TextureWidth)], row.data(), l.TextureWidth);
            s.WriteAll(row.data(), row.size());
        }
    }
    out = std::move(s.Data());
    return true;
}

bool BuildFontRecord(const TFontRecordHeader& font, const TPixelSheet& sheet, const TImageLayout& layout,
                     std::vector<uint8_t>& out, std::string& error) {
    std::vector<uint8_t> image;
    if (!BuildImageRecord(sheet, layout, image, error)) return false;
    TMemoryStream s;
    WriteFontRecordHeader(s, font);
    s.WriteAll(image.data(), image.size());
    out = std::move(s.Data());
    return true;
}

} // namespace zelkor

#pragma once
// Bitmap fonts: a glyph table and an image whose patterns are the glyphs,
// loaded from font records (type 3) of the archive, and TextOut, which draws
// text on the font list's canvas with in-text colour codes and optional
// style effects.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "render/GfxImages.h"
#include "assets/ImageRecord.h"
#include "platform/EnumSet.h"
#include "render/Gfx2D.h"

namespace zelkor {

enum class TFontStyle { feItalic, feShadow, feEmboss, feBold };
using TFontStyleFx = EnumSet<TFontStyle>;

class TGfxFonts;

class TGfxFont {
public:
    explicit TGfxFont(TGfxFonts* owner);
    ~TGfxFont();

    const std::string& Name() const { return name_; }
    void SetName(const std::string& name) { name_ = name; }
    bool Loaded() const { return loaded_; }
    TGfxFonts* Owner() const { return owner_; }
    int FirstChar() const { return firstChar_; }
    int GlyphSpacing() const { return glyphSpacing_; }
    const std::vector<TGlyph>& Glyphs() const { return glyphs_; }
    const TGfxImage* GlyphImage() const { return image_.get(); }

    double Scale() const { return scale_; }
    void SetScale(double value) { scale_ = value; }
    double ExtraSpacing() const { return extraSpacing_; }
    void SetExtraSpacing(double value) { extraSpacing_ = value; }
    double MissingAdvance() const { return missingAdvance_; }
    void SetMissingAdvance(double value) { missingAdvance_ = value; }
    bool ColorCodes() const { return colorCodes_; }
    void SetColorCodes(bool value) { colorCodes_ = value; }
    TFontStyleFx Effects() const { return effects_; }
    void SetEffects(TFontStyleFx value) { effects_ = value; }
    uint32_t ShadowColor() const { return shadowColor_; }
    void SetShadowColor(uint32_t value) { shadowColor_ = value; }
    double ShadowOpacity() const { return shadowOpacity_; }
    void SetShadowOpacity(double value) { shadowOpacity_ = value; }
    double ShadowDistance() const { return shadowDistance_; }
    void SetShadowDistance(double value) { shadowDistance_ = value; }
    uint32_t EmbossColor() const { return embossColor_; }
    void SetEmbossColor(uint32_t value) { embossColor_ = value; }
    double EmbossOpacity() const { return embossOpacity_; }
    void SetEmbossOpacity(double value) { embossOpacity_ = value; }

    // Reads the font record `key` (record type 3); false at once when the
    // font is loaded already.
    bool LoadFromAssetDb(std::string_view key, TAssetDb& archive, TAlphaLevel alpha, TGfxQuality quality);
    // The same from a font record at the stream's position (a font that
    // travels inside the program).
    bool LoadFromStream(TStream& stream, TAlphaLevel alpha = TAlphaLevel::alFull,
                        TGfxQuality quality = TGfxQuality::aqHigh);

    // Draws `text` with its pen starting at (x, y): upper glyph corners in
    // `top`, lower in `bottom` (0xAABBGGRR). Codes "#$AABBGGRR" (upper),
    // "&$AABBGGRR" (lower) and "0xAABBGGRR" (both) change the colours for
    // the characters after them. Throws when the font has no list or the
    // list no canvas.
    void TextOut(std::string_view text, double x, double y, uint32_t top, uint32_t bottom, uint32_t effect);
    // The advance the pen makes over `text` (colour codes excluded).
    double TextWidth(std::string_view text) const;

    const std::string& LastError() const { return lastError_; }

private:
    // Walks the text: calls `glyph(index or -1, x)` for every character that
    // advances the pen, after applying colour codes.
    template <class Glyph>
    double Walk(std::string_view text, double x, uint32_t& top, uint32_t& bottom, Glyph glyph) const;
    void DrawGlyph(TGfx2D& canvas, int index, double x, double y, uint32_t top, uint32_t bottom, uint32_t effect);

    TGfxFonts* owner_;
    std::string name_;
    bool loaded_ = false;
    int firstChar_ = 32;
    int glyphSpacing_ = 0;
    std::vector<TGlyph> glyphs_;
    std::unique_ptr<TGfxImage> image_;
    double scale_ = 1.0;
    double extraSpacing_ = 0.0;
    double missingAdvance_ = 0.3;
    bool colorCodes_ = true;
    TFontStyleFx effects_;
    uint32_t shadowColor_ = 0;
    double shadowOpacity_ = 0.5;
    double shadowDistance_ = 1.0;
    uint32_t embossColor_ = 0;
    double embossOpacity_ = 0.8;
    std::string lastError_;
};

class TGfxFonts : public TGfxSubscriber {
public:
    TGfxFonts();
    ~TGfxFonts() override;

    TGfx2D* Canvas() const { return canvas_; }
    void SetCanvas(TGfx2D* canvas) { canvas_ = canvas; }

    TGfxFont* Add();  // named "Font" and a two-digit counter
    int IndexOf(const TGfxFont* font) const;
    void Remove(int index);  // out of range: ignored
    TGfxFont* Font(int index) const;  // null outside 0..Count - 1
    int Count() const { return static_cast<int>(items_.size()); }

    bool HandleNotice(TGfxMessage message) override;

private:
    TGfx2D* canvas_ = nullptr;
    int counter_ = 0;
    std::vector<std::unique_ptr<TGfxFont>> items_;
};

} // namespace zelkor

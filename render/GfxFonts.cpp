#include "render/GfxFonts.h"

#include <cmath>
#include <cstdio>
#include <stdexcept>

namespace zelkor {

namespace {

// Eight hexadecimal digits; false when any is not one.
bool ParseHex8(std::string_view digits, uint32_t& value) {
    if (digits.size() < 8) return false;
    uint32_t v = 0;
    for (int i = 0; i < 8; ++i) {
        const char c = digits[size_t(i)];
        int d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else
            return false;
        v = (v << 4) | uint32_t(d);
    }
    value = v;
    return true;
}

uint32_t WithAlpha(uint32_t color, double opacity) {
    const double a = std::clamp(opacity, 0.0, 1.0) * 255.0;
    return (color & 0x00FFFFFFu) | (uint32_t(std::lround(a)) << 24);
}

} // namespace

TGfxFont::TGfxFont(TGfxFonts* owner) : owner_(owner) {}

TGfxFont::~TGfxFont() = default;

bool TGfxFont::LoadFromAssetDb(std::string_view key, TAssetDb& archive, TAlphaLevel alpha, TGfxQuality quality) {
    if (loaded_) return false;
    if (!archive.EnsureOpen()) {
        lastError_ = archive.LastError();
        return false;
    }
    const int index = archive.IndexOf(key);
    if (index < 0) {
        lastError_ = "no record '" + std::string(key) + "'";
        return false;
    }
    if (archive.RecordType(index) != TAssetDb::FontRecordType) {
        lastError_ = "record '" + std::string(key) + "' is no font";
        return false;
    }
    std::vector<uint8_t> bytes;
    if (!archive.ReadRecord(key, bytes, MaxFontRecordSize())) {
        lastError_ = archive.LastError();
        return false;
    }
    TMemoryStream stream(std::move(bytes));
    return LoadFromStream(stream, alpha, quality);
}

bool TGfxFont::LoadFromStream(TStream& stream, TAlphaLevel alpha, TGfxQuality quality) {
    if (loaded_) return false;
    TFontRecordHeader header;
    if (!ReadFontRecordHeader(stream, header, lastError_)) return false;
    auto image = std::make_unique<TGfxImage>(owner_);
    image->SetQuality(quality);
    image->SetAlphaLevel(alpha);
    image->SetMipMapping(true);
    if (!image->LoadFromStream(stream)) {
        lastError_ = image->LastError();
        return false;
    }
    firstChar_ = header.FirstChar & 0xFF;
    glyphSpacing_ = header.GlyphSpacing;
    glyphs_ = std::move(header.Glyphs);
    image_ = std::move(image);
    loaded_ = true;
    lastError_.clear();
    return true;
}

template <class Glyph>
double TGfxFont::Walk(std::string_view text, double x, uint32_t& top, uint32_t& bottom, Glyph glyph) const {
    const double visible = image_ ? image_->VisibleWidth() : 0;
    for (size_t i = 0; i < text.size(); ++i) {
        // A colour code counts only with at least two characters after it.
        if (colorCodes_ && i + 12 <= text.size()) {
            const std::string_view code = text.substr(i, 2);
            if (code == "#$" || code == "&$" || code == "0x") {
                uint32_t value = 0;
                const bool parsed = ParseHex8(text.substr(i + 2, 8), value);
                if (code == "#$" && parsed) top = value;
                if (code == "&$" && parsed) bottom = value;
                if (code == "0x") top = bottom = parsed ? value : bottom;
                i += 9;
                continue;
            }
        }
        const int index = static_cast<unsigned char>(text[i]) - firstChar_;
        double advance;
        if (index < 0 || index >= static_cast<int>(glyphs_.size())) {
            advance = missingAdvance_ * visible;
            glyph(-1, x);
        } else {
            advance = glyphs_[size_t(index)].Advance + glyphSpacing_;
            glyph(index, x);
        }
        x += (advance + extraSpacing_) * scale_;
    }
    return x;
}

void TGfxFont::DrawGlyph(TGfx2D& canvas, int index, double x, double y, uint32_t top, uint32_t bottom,
                         uint32_t effect) {
    const float w = float(RoundEven(scale_ * image_->VisibleWidth()));
    const float h = float(RoundEven(scale_ * image_->VisibleHeight()));
    auto quad = [&](double dx, double dy, uint32_t upper, uint32_t lower) {
        const float l = float(RoundEven(x) + dx), t = float(RoundEven(y) + dy);
        const float slant = effects_.Has(TFontStyle::feItalic) ? float(image_->VisibleWidth()) / 8.0f : 0.0f;
        const float corners[4][2] = {{l + slant, t}, {l + w + slant, t}, {l + w - slant, t + h}, {l - slant, t + h}};
        const uint32_t colors[4] = {upper, upper, lower, lower};
        canvas.DrawQuad(image_.get(), index, corners, colors, effect);
    };
    const bool bold = effects_.Has(TFontStyle::feBold);
    if (effects_.Has(TFontStyle::feShadow)) {
        const uint32_t shadow = WithAlpha(shadowColor_, shadowOpacity_);
        quad((bold ? 3 : 2) * shadowDistance_, 2 * shadowDistance_, shadow, shadow);
    }
    const double shift = effects_.Has(TFontStyle::feEmboss) ? -1 : 0;
    quad(shift, shift, top, bottom);
    if (bold) {
        quad(shift - 1, shift, top, bottom);
        quad(shift + 1, shift, top, bottom);
    }
    if (effects_.Has(TFontStyle::feEmboss)) {
        const uint32_t emboss = WithAlpha(embossColor_, bold ? 0.52 : embossOpacity_);
        quad(1, 1, emboss, emboss);
        if (bold) {
            quad(0, 1, emboss, emboss);
            quad(2, 1, emboss, emboss);
        }
    }
}

void TGfxFont::TextOut(std::string_view text, double x, double y, uint32_t top, uint32_t bottom, uint32_t effect) {
    if (!loaded_ || !image_) return;
    if (!owner_) throw std::runtime_error("TGfxFont: Unassigned Owner property.");
    TGfx2D* canvas = owner_->Canvas();
    if (!canvas) throw std::runtime_error("TGfxFont: Unassigned Owner.Canvas property.");
    Walk(text, x, top, bottom, [&](int index, double penX) {
        if (index >= 0) DrawGlyph(*canvas, index, penX, y, top, bottom, effect);
    });
}

double TGfxFont::TextWidth(std::string_view text) const {
    if (!loaded_ || !image_) return 0;
    uint32_t top = 0, bottom = 0;
    return Walk(text, 0.0, top, bottom, [](int, double) {});
}

// ---- List --------------------------------------------------------------------------

TGfxFonts::TGfxFonts() = default;

TGfxFonts::~TGfxFonts() { items_.clear(); }

TGfxFont* TGfxFonts::Add() {
    items_.push_back(std::make_unique<TGfxFont>(this));
    char name[16];
    std::snprintf(name, sizeof name, "Font%02d", counter_++ % 100);
    items_.back()->SetName(name);
    return items_.back().get();
}

int TGfxFonts::IndexOf(const TGfxFont* font) const {
    for (size_t i = 0; i < items_.size(); ++i)
        if (items_[i].get() == font) return static_cast<int>(i);
    return -1;
}

void TGfxFonts::Remove(int index) {
    if (index < 0 || index >= Count()) return;
    items_.erase(items_.begin() + index);
}

TGfxFont* TGfxFonts::Font(int index) const {
    return index >= 0 && index < Count() ? items_[size_t(index)].get() : nullptr;
}

bool TGfxFonts::HandleNotice(TGfxMessage message) {
    if (message == TGfxMessage::msgFinalize) items_.clear();
    return true;
}

} // namespace zelkor

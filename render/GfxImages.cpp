#include "render/GfxImages.h"

#include <algorithm>

namespace zelkor {

namespace {

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

// Stored and texture formats whose rows are copied as they stand.
bool Compatible(TColorFormat stored, TColorFormat texture) {
    if (stored == texture) return true;
    auto pair = [&](TColorFormat a, TColorFormat b) {
        return (stored == a && texture == b) || (stored == b && texture == a);
    };
    return pair(TColorFormat::X4R4G4B4, TColorFormat::A4R4G4B4) || pair(TColorFormat::X8R8G8B8, TColorFormat::A8R8G8B8);
}

} // namespace

const std::vector<TColorFormat>& TextureFormatCandidates(TAlphaLevel alpha, TGfxQuality quality) {
    using F = TColorFormat;
    static const std::vector<F> noneLow{F::R3G3B2, F::R5G6B5, F::X1R5G5B5, F::X4R4G4B4, F::X8R8G8B8};
    static const std::vector<F> noneMedium{F::R5G6B5, F::X8R8G8B8, F::X1R5G5B5, F::X4R4G4B4, F::R3G3B2};
    static const std::vector<F> noneHigh{F::X8R8G8B8, F::R5G6B5, F::X1R5G5B5, F::X4R4G4B4, F::R3G3B2};
    static const std::vector<F> mask{F::A1R5G5B5, F::A4R4G4B4, F::A8R8G8B8, F::A8R3G3B2};
    static const std::vector<F> fullLow{F::A4R4G4B4, F::A8R8G8B8, F::A1R5G5B5, F::A8R3G3B2};
    static const std::vector<F> fullMedium{F::A4R4G4B4, F::A8R8G8B8, F::A8R3G3B2, F::A1R5G5B5};
    static const std::vector<F> fullHigh{F::A8R8G8B8, F::A4R4G4B4, F::A8R3G3B2, F::A1R5G5B5};
    static const std::vector<F> exclusive{F::A8, F::A8R3G3B2, F::A8R8G8B8, F::A4R4G4B4, F::A1R5G5B5};
    switch (alpha) {
    case TAlphaLevel::alNone:
        return quality == TGfxQuality::aqLow ? noneLow : quality == TGfxQuality::aqMedium ? noneMedium : noneHigh;
    case TAlphaLevel::alMask: return mask;
    case TAlphaLevel::alFull:
        return quality == TGfxQuality::aqLow ? fullLow : quality == TGfxQuality::aqMedium ? fullMedium : fullHigh;
    case TAlphaLevel::alExclusive: return exclusive;
    }
    return fullHigh;
}

// ---- Image ------------------------------------------------------------------------

TGraphicsDevice* DeviceOf(const TGfxSubscriber* subscriber) {
    auto* device = subscriber ? dynamic_cast<TGfxDevice*>(subscriber->Publisher()) : nullptr;
    return device && device->Exists() ? &device->Device() : nullptr;
}

TGfxImage::TGfxImage(const TGfxSubscriber* owner) : owner_(owner) {}

TGfxImage::~TGfxImage() { Release(); }

void TGfxImage::SetQuality(TGfxQuality q) {
    if (state_ == stEmpty) quality_ = q;
}
void TGfxImage::SetAlphaLevel(TAlphaLevel a) {
    if (state_ == stEmpty) alphaLevel_ = a;
}
void TGfxImage::SetMipMapping(bool m) {
    if (state_ == stEmpty) mipmapping_ = m;
}

bool TGfxImage::Fail(std::string message) {
    lastError_ = std::move(message);
    return false;
}

const TDeviceTexture* TGfxImage::Texture(int index) const {
    if (index < 0 || index >= TextureCount()) return nullptr;
    return textures_[static_cast<size_t>(index)].get();
}

void TGfxImage::Release() {
    textures_.clear();
    state_ = stEmpty;
}

bool TGfxImage::Prepare(const TImageRecordHeader& h) {
    textureWidth_ = h.TextureWidth;
    textureHeight_ = h.TextureHeight;
    patternWidth_ = h.PatternWidth > 0 ? h.PatternWidth : textureWidth_;
    patternHeight_ = h.PatternHeight > 0 ? h.PatternHeight : textureHeight_;
    visibleWidth_ = h.VisibleWidth > 0 ? h.VisibleWidth : textureWidth_;
    visibleHeight_ = h.VisibleHeight > 0 ? h.VisibleHeight : textureHeight_;
    std::string why;
    if (!CheckImageLayout(h, why)) return Fail(why);
    columns_ = textureWidth_ / patternWidth_;
    rows_ = textureHeight_ / patternHeight_;
    patternCount_ = h.PatternCount > 0 ? h.PatternCount : columns_ * rows_ * h.TextureCount;

    TGraphicsDevice* device = DeviceOf(owner_);
    if (!device) return Fail("no device");
    if (textureWidth_ > device->MaxTextureSize() || textureHeight_ > device->MaxTextureSize())
        return Fail("textures of " + std::to_string(textureWidth_) + " x " + std::to_string(textureHeight_) +
                    " exceed the device's " + std::to_string(device->MaxTextureSize()));
    format_ = TColorFormat::None;
    for (TColorFormat f : TextureFormatCandidates(alphaLevel_, quality_))
        if (device->AcceptsFormat(f)) {
            format_ = f;
            break;
        }
    if (format_ == TColorFormat::None) return Fail("the device takes none of the formats for this image");
    for (int i = 0; i < h.TextureCount; ++i) {
        std::string error;
        auto t = device->CreateTexture(textureWidth_, textureHeight_, format_, mipmapping_, error);
        if (!t) {
            textures_.clear();
            return Fail(error);
        }
        textures_.push_back(std::move(t));
    }
    state_ = stReady;
    return true;
}

bool TGfxImage::LoadFromAssetDb(std::string_view key, TAssetDb& archive) {
    if (!archive.EnsureOpen()) return Fail(archive.LastError());
    std::vector<uint8_t> bytes;
    if (!archive.ReadRecord(key, bytes, MaxImageRecordSize())) return Fail(archive.LastError());
    TMemoryStream stream(std::move(bytes));
    return LoadFromStream(stream);
}

bool TGfxImage::LoadFromStream(TStream& stream) {
    Release();
    TImageRecordHeader h;
    std::string error;
    if (!ReadImageRecordHeader(stream, h, error)) return Fail(error);
    if (!Prepare(h)) return false;

    const TColorFormat stored = h.Format;
    const int storedBytes = BytesPerPixel(stored);
    const bool compatible = Compatible(stored, format_);
    std::vector<uint8_t> row(size_t(textureWidth_) * size_t(storedBytes));
    std::vector<uint32_t> wide(static_cast<size_t>(textureWidth_));
    for (auto& texture : textures_) {
        int pitch = 0;
        uint8_t* bits = texture->Lock(pitch);
        if (!bits) {
            Release();
            return Fail("a texture cannot be locked");
        }
        for (int y = 0; y < textureHeight_; ++y) {
            uint8_t* target = bits + size_t(y) * size_t(pitch);
            const bool read = compatible ? stream.ReadExact(target, row.size()) : stream.ReadExact(row.data(), row.size());
            if (!read) {
                texture->Unlock();
                Release();
                return Fail("the pixel rows end early");
            }
            if (!compatible) {
                WidenRow(stored, row.data(), wide.data(), textureWidth_);
                NarrowRow(format_, wide.data(), target, textureWidth_);
            }
        }
        if (!texture->Unlock()) {
            Release();
            return Fail("a texture cannot be filled");
        }
    }
    lastError_.clear();
    return true;
}

bool TGfxImage::PatternRect(int pattern, TPatternRect& r) const {
    if (!Ready() || textures_.empty() || patternCount_ <= 0 || PatternsPerTexture() <= 0) return false;
    const int p = std::clamp(pattern, 0, patternCount_ - 1);
    const int perTexture = PatternsPerTexture();
    r.Texture = p / perTexture;
    if (r.Texture >= TextureCount()) return false;  // more patterns claimed than the textures hold
    const int q = p % perTexture;
    const int column = q % columns_;
    const int row = (q / columns_) % rows_;
    const int left = column * patternWidth_ + (patternWidth_ - visibleWidth_) / 2;
    const int top = row * patternHeight_ + (patternHeight_ - visibleHeight_) / 2;
    r.U0 = float(left) / float(textureWidth_);
    r.V0 = float(top) / float(textureHeight_);
    r.U1 = float(left + visibleWidth_) / float(textureWidth_);
    r.V1 = float(top + visibleHeight_) / float(textureHeight_);
    return true;
}

// ---- List ----------------------------------------------------------------------------

TGfxImages::TGfxImages() = default;

TGfxImages::~TGfxImages() { items_.clear(); }

TGfxImage* TGfxImages::Add() {
    items_.push_back(std::make_unique<TGfxImage>(this));
    items_.back()->SetMipMapping(mipmapping_);
    return items_.back().get();
}

int TGfxImages::IndexOf(const TGfxImage* image) const {
    for (size_t i = 0; i < items_.size(); ++i)
        if (items_[i].get() == image) return static_cast<int>(i);
    return -1;
}

void TGfxImages::Remove(int index) {
    if (index < 0 || index >= Count()) return;
    items_.erase(items_.begin() + index);
}

TGfxImage* TGfxImages::Image(std::string_view name) const {
    for (const auto& image : items_)
        if (SameName(image->Name(), name)) return image.get();
    return nullptr;
}

TGfxImage* TGfxImages::Item(int index) const {
    return index >= 0 && index < Count() ? items_[static_cast<size_t>(index)].get() : nullptr;
}

bool TGfxImages::HandleNotice(TGfxMessage message) {
    // Textures survive a reset: only the device's end frees the images.
    if (message == TGfxMessage::msgFinalize) items_.clear();
    return true;
}

} // namespace zelkor

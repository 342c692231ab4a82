#pragma once
// Images: patterns on one or more device textures, loaded from image
// records of the archive. TGfxImages keeps them in creation order and frees
// them with the device.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "assets/AssetDb.h"
#include "assets/ImageRecord.h"
#include "platform/sdl/GraphicsDevice.h"
#include "render/GfxDevices.h"

namespace zelkor {

enum class TGfxQuality { aqLow, aqMedium, aqHigh };
enum class TAlphaLevel { alNone, alMask, alFull, alExclusive };

// The graphics device of the device component a list is subscribed to;
// null when there is none or it is not open.
TGraphicsDevice* DeviceOf(const TGfxSubscriber* subscriber);

// The formats tried for a texture of this alpha level and quality, in order.
const std::vector<TColorFormat>& TextureFormatCandidates(TAlphaLevel alpha, TGfxQuality quality);

// Where a pattern lies: its texture and texture coordinates.
struct TPatternRect {
    int Texture = 0;
    float U0 = 0, V0 = 0, U1 = 0, V1 = 0;
};

class TGfxImage {
public:
    enum State { stEmpty = 0, stReady = 1, stReleased = 2, stFailed = 3 };

    // `owner`: the list (of images, or of fonts for a glyph image) whose
    // device makes the textures.
    explicit TGfxImage(const TGfxSubscriber* owner);
    ~TGfxImage();

    const std::string& Name() const { return name_; }
    void SetName(const std::string& name) { name_ = name; }
    State GetState() const { return state_; }
    bool Ready() const { return state_ == stReady; }

    // These change only while the image is empty.
    TGfxQuality Quality() const { return quality_; }
    void SetQuality(TGfxQuality q);
    TAlphaLevel AlphaLevel() const { return alphaLevel_; }
    void SetAlphaLevel(TAlphaLevel a);
    bool MipMapping() const { return mipmapping_; }
    void SetMipMapping(bool m);

    int PatternWidth() const { return patternWidth_; }
    int PatternHeight() const { return patternHeight_; }
    int VisibleWidth() const { return visibleWidth_; }
    int VisibleHeight() const { return visibleHeight_; }
    int PatternCount() const { return patternCount_; }
    int TextureWidth() const { return textureWidth_; }
    int TextureHeight() const { return textureHeight_; }
    int TextureCount() const { return static_cast<int>(textures_.size()); }
    int Columns() const { return columns_; }
    int Rows() const { return rows_; }
    int PatternsPerTexture() const { return columns_ * rows_; }
    TColorFormat Format() const { return format_; }
    const TDeviceTexture* Texture(int index) const;

    // Reads the image record `key` from the archive.
    bool LoadFromAssetDb(std::string_view key, TAssetDb& archive);
    // Reads an image record from the stream's position.
    bool LoadFromStream(TStream& stream);
    // The pattern's texture and coordinates (index clamped to the patterns);
    // false when the image has nothing to draw.
    bool PatternRect(int pattern, TPatternRect& rect) const;
    void Release();

    const std::string& LastError() const { return lastError_; }

private:
    bool Prepare(const TImageRecordHeader& header);
    bool Fail(std::string message);

    const TGfxSubscriber* owner_;
    std::string name_ = "[unnamed]";
    TGfxQuality quality_ = TGfxQuality::aqHigh;
    TAlphaLevel alphaLevel_ = TAlphaLevel::alFull;
    bool mipmapping_ = false;
    State state_ = stEmpty;
    int patternWidth_ = 0, patternHeight_ = 0, visibleWidth_ = 0, visibleHeight_ = 0, patternCount_ = 0;
    int textureWidth_ = 256, textureHeight_ = 256;
    int columns_ = 0, rows_ = 0;
    TColorFormat format_ = TColorFormat::None;
    std::vector<std::unique_ptr<TDeviceTexture>> textures_;
    std::string lastError_;
};

class TGfxImages : public TGfxSubscriber {
public:
    TGfxImages();
    ~TGfxImages() override;

    bool MipMappping() const { return mipmapping_; }
    void SetMipMappping(bool value) { mipmapping_ = value; }

    TGfxImage* Add();
    int IndexOf(const TGfxImage* image) const;
    void Remove(int index);  // out of range: ignored
    // The first image of that name, without regard to case; null if none.
    TGfxImage* Image(std::string_view name) const;
    int Count() const { return static_cast<int>(items_.size()); }
    TGfxImage* Item(int index) const;
    void Clear() { items_.clear(); }

    bool HandleNotice(TGfxMessage message) override;

private:
    bool mipmapping_ = false;
    std::vector<std::unique_ptr<TGfxImage>> items_;
};

} // namespace zelkor

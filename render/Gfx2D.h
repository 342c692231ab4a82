#pragma once
// TGfx2D: the batching 2D renderer. Points, solid rectangles and image
// patterns collect in one vertex and index batch; a batch goes to the
// device only when it is full, when the primitive kind, the draw effect or
// the texture changes, or at the end of the scene.
//
// Colours here are 0xAABBGGRR; the draw effect is byte 0 source factor,
// byte 1 destination factor, byte 2 operation, and bit 28 modulates the
// texture by the vertex colours (set by the canvas itself whenever the
// colours are not all opaque white).

#include <cstdint>
#include <vector>

#include "platform/sdl/GraphicsDevice.h"
#include "render/GfxDevices.h"

namespace zelkor {

class TGfxImage;

inline constexpr uint32_t fxCopy = 0x00000001;
inline constexpr uint32_t fxBlend = 0x00000504;
inline constexpr uint32_t fxAdd = 0x00000104;
inline constexpr uint32_t fxShadow = 0x00000500;
inline constexpr uint32_t fxSub = 0x00010104;
inline constexpr uint32_t fxModulateBit = 1u << 28;

// 0xAABBGGRR to the device's 0xAARRGGBB (and back: the swap is its own inverse).
constexpr uint32_t SwapRedBlue(uint32_t c) { return (c & 0xFF00FF00u) | ((c & 0xFF) << 16) | ((c >> 16) & 0xFF); }

// Rounds to the nearest whole number, ties to even.
int RoundEven(double value);

class TGfx2D : public TGfxSubscriber {
public:
    TGfx2D();
    ~TGfx2D() override;

    bool AlphaTesting() const { return alphaTesting_; }
    void SetAlphaTesting(bool value);  // only while no device buffers are held
    int VertexCache() const { return vertexCache_; }
    void SetVertexCache(int value);    // a multiple of 4 in 512..65536; only while no buffers are held
    bool Antialias() const { return antialias_; }
    void SetAntialias(bool value) { antialias_ = value; }
    bool Dithering() const { return dithering_; }
    void SetDithering(bool value) { dithering_ = value; }
    bool HoldsBuffers() const { return holdsBuffers_; }

    void PutPixel(float x, float y, uint32_t color, uint32_t effect);
    void FillRect(int left, int top, int width, int height, uint32_t color, uint32_t effect);
    void Draw(const TGfxImage* image, double x, double y, int pattern, uint32_t effect);
    void DrawScaled(const TGfxImage* image, double x, double y, double scale, int pattern, uint32_t effect);
    // A textured quad with corners top-left, top-right, bottom-right,
    // bottom-left (already in back-buffer pixels) and four colours.
    void DrawQuad(const TGfxImage* image, int pattern, const float corners[4][2], const uint32_t colors[4],
                  uint32_t effect);
    // Submits the batch (unless the device is lost) and empties it.
    void Flush();

    // For the benchmark: batches submitted since the last reset.
    int Submitted() const { return submitted_; }
    void ResetSubmitted() { submitted_ = 0; }

    bool HandleNotice(TGfxMessage message) override;

private:
    TGraphicsDevice* Device() const;
    // Steps 1 to 4 of every primitive; false when nothing can be drawn.
    bool Prepare(TPrimitiveKind kind, int vertices, int indices, uint32_t effect, const TGfxImage* image, int texture);
    void ResetState();
    void ApplyEffect(uint32_t effect);

    bool alphaTesting_ = true;
    int vertexCache_ = 4096;
    bool antialias_ = true;
    bool dithering_ = false;
    bool holdsBuffers_ = false;
    bool lost_ = false;
    bool stateFresh_ = false;  // the drawing state was set up in this scene

    std::vector<TVertex> vertices_;
    std::vector<uint16_t> indices_;
    TPrimitiveKind kind_ = TPrimitiveKind::None;
    bool haveEffect_ = false;
    uint32_t effect_ = 0;
    bool haveTexture_ = false;
    const TGfxImage* image_ = nullptr;
    int textureIndex_ = -1;
    int submitted_ = 0;
};

// The canvas component placed on the scene.
class TGfxCanvas : public TGfx2D {};

} // namespace zelkor

#include "render/Gfx2D.h"

#include <algorithm>
#include <cfenv>
#include <cmath>

#include "render/GfxImages.h"

namespace zelkor {

int RoundEven(double value) { return static_cast<int>(std::nearbyint(value)); }

TGfx2D::TGfx2D() = default;

TGfx2D::~TGfx2D() = default;

void TGfx2D::SetAlphaTesting(bool value) {
    if (!holdsBuffers_) alphaTesting_ = value;
}

void TGfx2D::SetVertexCache(int value) {
    if (holdsBuffers_) return;
    value = (value + 3) / 4 * 4;
    vertexCache_ = std::clamp(value, 512, 65536);
}

TGraphicsDevice* TGfx2D::Device() const {
    auto* device = dynamic_cast<TGfxDevice*>(Publisher());
    return device && device->Exists() ? &device->Device() : nullptr;
}

bool TGfx2D::HandleNotice(TGfxMessage message) {
    switch (message) {
    case TGfxMessage::msgInitialize:
        vertices_.reserve(size_t(vertexCache_));
        indices_.reserve(size_t(vertexCache_));
        holdsBuffers_ = true;
        lost_ = false;
        break;
    case TGfxMessage::msgFinalize:
        std::vector<TVertex>().swap(vertices_);
        std::vector<uint16_t>().swap(indices_);
        holdsBuffers_ = false;
        break;
    case TGfxMessage::msgDeviceLost:
        lost_ = true;
        vertices_.clear();
        indices_.clear();
        break;
    case TGfxMessage::msgDeviceReset:
        lost_ = false;
        stateFresh_ = false;
        break;
    case TGfxMessage::msgBeginScene: stateFresh_ = false; break;
    case TGfxMessage::msgEndScene: Flush(); break;
    }
    return true;
}

void TGfx2D::ResetState() {
    TGraphicsDevice* d = Device();
    if (!d) return;
    d->SetAlphaTest(false);
    d->SetTexture(nullptr);
    d->SetCombine(TTextureCombine::TextureOnly);
    d->SetFilter(antialias_);
    haveEffect_ = false;
    haveTexture_ = false;
    stateFresh_ = true;
}

void TGfx2D::ApplyEffect(uint32_t effect) {
    TGraphicsDevice* d = Device();
    if (!d) return;
    const int source = int(effect & 0xFF), dest = int((effect >> 8) & 0xFF), op = int((effect >> 16) & 0xFF);
    const bool off = source == 1 && dest == 0 && op == 0;
    d->SetBlend(!off, source, dest, op);
    if (alphaTesting_) d->SetAlphaTest(!off);
    d->SetCombine((effect & fxModulateBit) ? TTextureCombine::Modulate : TTextureCombine::TextureOnly);
    effect_ = effect;
    haveEffect_ = true;
}

bool TGfx2D::Prepare(TPrimitiveKind kind, int vertices, int indices, uint32_t effect, const TGfxImage* image,
                     int texture) {
    if (!holdsBuffers_ || !Device()) return false;
    if (!stateFresh_) ResetState();
    const bool full = int(vertices_.size()) + vertices > vertexCache_ || int(indices_.size()) + indices > vertexCache_;
    if (full || (kind_ != kind && !vertices_.empty())) Flush();
    if (!haveEffect_ || effect != effect_) {
        Flush();
        ApplyEffect(effect);
    }
    if (!haveTexture_ || image != image_ || texture != textureIndex_) {
        Flush();
        Device()->SetTexture(image ? image->Texture(texture) : nullptr);
        image_ = image;
        textureIndex_ = texture;
        haveTexture_ = true;
    }
    kind_ = kind;
    return true;
}

void TGfx2D::Flush() {
    TGraphicsDevice* d = Device();
    if (d && !lost_ && !vertices_.empty()) {
        const bool drawn = d->Draw(kind_, vertices_.data(), int(vertices_.size()), indices_.data(), int(indices_.size()));
        if (drawn) ++submitted_;
    }
    vertices_.clear();
    indices_.clear();
}

void TGfx2D::PutPixel(float x, float y, uint32_t color, uint32_t effect) {
    if (!Prepare(TPrimitiveKind::Points, 1, 0, effect | (color != 0xFFFFFFFF ? fxModulateBit : 0), nullptr, -1)) return;
    vertices_.push_back(TVertex{x, y, SwapRedBlue(color), 0, 0});
}

void TGfx2D::FillRect(int left, int top, int width, int height, uint32_t color, uint32_t effect) {
    const uint32_t fx = effect | (color != 0xFFFFFFFF ? fxModulateBit : 0);
    if (!Prepare(TPrimitiveKind::Triangles, 4, 6, fx, nullptr, -1)) return;
    const auto base = static_cast<uint16_t>(vertices_.size());
    const uint32_t c = SwapRedBlue(color);
    const float l = float(left), t = float(top), r = float(left + width), b = float(top + height);
    vertices_.push_back(TVertex{l, t, c, 0, 0});
    vertices_.push_back(TVertex{r, t, c, 0, 0});
    vertices_.push_back(TVertex{r, b, c, 0, 0});
    vertices_.push_back(TVertex{l, b, c, 0, 0});
    for (int i : {0, 1, 3, 1, 2, 3}) indices_.push_back(static_cast<uint16_t>(base + i));
}

void TGfx2D::DrawQuad(const TGfxImage* image, int pattern, const float corners[4][2], const uint32_t colors[4],
                      uint32_t effect) {
    TPatternRect r;
    if (!image || !image->PatternRect(pattern, r)) return;
    const bool white = std::all_of(colors, colors + 4, [](uint32_t c) { return c == 0xFFFFFFFF; });
    const uint32_t fx = effect | (white ? 0 : fxModulateBit);
    if (!Prepare(TPrimitiveKind::Triangles, 4, 6, fx, image, r.Texture)) return;
    const auto base = static_cast<uint16_t>(vertices_.size());
    const float u[4] = {r.U0, r.U1, r.U1, r.U0};
    const float v[4] = {r.V0, r.V0, r.V1, r.V1};
    for (int i = 0; i < 4; ++i)  // half a pixel up and left: texels land on pixels
        vertices_.push_back(TVertex{corners[i][0] - 0.5f, corners[i][1] - 0.5f, SwapRedBlue(colors[i]), u[i], v[i]});
    for (int i : {0, 1, 3, 1, 2, 3}) indices_.push_back(static_cast<uint16_t>(base + i));
}

void TGfx2D::Draw(const TGfxImage* image, double x, double y, int pattern, uint32_t effect) {
    if (!image) return;
    const float l = float(x), t = float(y);
    const float r = l + float(image->VisibleWidth()), b = t + float(image->VisibleHeight());
    const float corners[4][2] = {{l, t}, {r, t}, {r, b}, {l, b}};
    const uint32_t white[4] = {0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF};
    DrawQuad(image, pattern, corners, white, effect);
}

void TGfx2D::DrawScaled(const TGfxImage* image, double x, double y, double scale, int pattern, uint32_t effect) {
    if (!image) return;
    const float l = float(x), t = float(y);
    const float r = l + float(RoundEven(scale * image->VisibleWidth()));
    const float b = t + float(RoundEven(scale * image->VisibleHeight()));
    const float corners[4][2] = {{l, t}, {r, t}, {r, b}, {l, b}};
    const uint32_t white[4] = {0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF};
    DrawQuad(image, pattern, corners, white, effect);
}

} // namespace zelkor

#pragma once
// The graphics device on OpenGL 3.3 core (through libepoxy) and an SDL
// window: what the drawing layer expects of a Direct3D 9 device.
//
// Drawing goes to a back buffer of its own (a framebuffer object of the
// requested size), which Present shows in the window, 1:1 in a window of
// that size, else scaled with its aspect kept and letterboxed (full screen).
// Coordinates are back-buffer pixels with pixel centres at whole numbers, as
// in Direct3D 9: a point at (x, y) lights pixel (x, y), and a quad whose
// edges lie half a pixel off the whole numbers maps texels onto pixels
// exactly. Colours are 0xAARRGGBB.
//
// Drawing is recorded and carried out when the frame is presented (or read
// back): a frame that begins by clearing and repeats, command for command
// and texture for texture, the frame the back buffer already holds is not
// drawn again, and a picture that the window already shows is not shown
// again. What each frame shows is unchanged; the machine is spared the
// work while the picture stands still.
//
// Textures hold any of the pixel formats of image records: a locked texture
// takes rows in its own format, which are widened to 32 bits when unlocked.
// The device accepts the formats of AcceptedFormats() (all of them unless a
// test narrows the list).

#include <SDL2/SDL.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/PixelFormats.h"

namespace zelkor {

struct TPresentParams {
    int Width = 640;
    int Height = 480;
    bool Windowed = true;
    bool VSync = false;
    bool Hidden = false;  // no visible window (tests, tools)
    std::string Title = "Zelkor Chess";
};

enum class TPrimitiveKind { None, Points, Lines, Triangles };

enum class TPresentResult { Ok, DeviceLost, DriverError };

// Texture combining of the one texture stage.
enum class TTextureCombine {
    TextureOnly,  // the texture's colour and alpha
    Modulate,     // texture x vertex colour (an unbound texture reads as white)
};

struct TVertex {
    float X = 0, Y = 0;
    uint32_t Color = 0xFFFFFFFF;  // 0xAARRGGBB
    float U = 0, V = 0;
};

class TGraphicsDevice;

class TDeviceTexture {
public:
    ~TDeviceTexture();
    int Width() const { return width_; }
    int Height() const { return height_; }
    TColorFormat Format() const { return format_; }
    bool Mipmaps() const { return mipmaps_; }

    // Rows of Width pixels in Format, top to bottom, `pitch` bytes apart.
    uint8_t* Lock(int& pitch);
    // Uploads what was written; false when nothing was locked.
    bool Unlock();
    unsigned Handle() const { return handle_; }

private:
    friend class TGraphicsDevice;
    TDeviceTexture() = default;
    TGraphicsDevice* device_ = nullptr;
    uint64_t generation_ = 0;  // changes with every upload
    unsigned handle_ = 0;
    int width_ = 0, height_ = 0;
    TColorFormat format_ = TColorFormat::None;
    bool mipmaps_ = false;
    std::vector<uint8_t> staging_;
    bool locked_ = false;
};

class TGraphicsDevice {
public:
    TGraphicsDevice();
    ~TGraphicsDevice();
    TGraphicsDevice(const TGraphicsDevice&) = delete;
    TGraphicsDevice& operator=(const TGraphicsDevice&) = delete;

    // Opens the window and the OpenGL 3.3 core context. False with a reason
    // (no display, no OpenGL 3.3, ...).
    bool Create(const TPresentParams& params, std::string& error);
    // New presentation parameters for the existing device; textures survive.
    bool Reset(const TPresentParams& params, std::string& error);
    void Release();
    bool Exists() const { return context_ != nullptr; }
    const TPresentParams& Params() const { return params_; }

    // ---- Frame ----
    void Clear(uint32_t argb);
    TPresentResult Present();
    // The device is lost (the OpenGL context reported a reset, or a test
    // said so) until Reset succeeds.
    bool Lost() const { return lost_; }
    bool CanReset() const { return lost_; }
    void SimulateLoss() { lost_ = true; }

    // ---- Drawing state ----
    // Blend factors and operation as in the effect word (factors 0..10:
    // zero, one, src colour, inv src colour, src alpha, inv src alpha, dest
    // alpha, inv dest alpha, dest colour, inv dest colour, src alpha
    // saturated; operations 0..4: add, reverse subtract, subtract, min, max).
    void SetBlend(bool enabled, int sourceFactor, int destFactor, int operation);
    // Keep only fragments with alpha >= 1/255.
    void SetAlphaTest(bool enabled);
    void SetCombine(TTextureCombine combine);
    void SetFilter(bool linear);
    void SetTexture(const TDeviceTexture* texture);
    void SetPointSize(float size);
    // Submits one list from the dynamic buffers; indices are ignored for points.
    bool Draw(TPrimitiveKind kind, const TVertex* vertices, int vertexCount, const uint16_t* indices, int indexCount);
    int DrawCalls() const { return drawCalls_; }
    // Thread CPU seconds spent inside the driver by Clear and Draw (for the
    // benchmark, which tells the drawing layer's own cost from the driver's).
    double DriverSeconds() const { return driverSeconds_; }
    void ResetDrawCalls() {
        drawCalls_ = 0;
        driverSeconds_ = 0;
    }

    // ---- Textures ----
    bool AcceptsFormat(TColorFormat format) const;
    const std::vector<TColorFormat>& AcceptedFormats() const { return accepted_; }
    void SetAcceptedFormats(std::vector<TColorFormat> formats) { accepted_ = std::move(formats); }
    int MaxTextureSize() const { return maxTextureSize_; }
    std::unique_ptr<TDeviceTexture> CreateTexture(int width, int height, TColorFormat format, bool mipmaps,
                                                  std::string& error);

    // ---- Read-back ----
    // The back buffer, top row first, 0xAARRGGBB.
    bool ReadBackBuffer(std::vector<uint32_t>& pixels);

    // ---- Window ----
    // Whether frames can be seen: false while the window is minimised or
    // hidden. A device opened hidden (drawing off screen) always counts as seen.
    bool WindowVisible() const;
    // Frames not drawn because they repeated the back buffer's, and frames
    // shown in the window, since the device opened.
    uint64_t FramesRepeated() const { return framesRepeated_; }
    uint64_t FramesShown() const { return framesShown_; }
    SDL_Window* Window() const { return window_; }
    uint32_t WindowId() const { return window_ ? SDL_GetWindowID(window_) : 0; }
    // A point of the window (in window coordinates) as a back-buffer pixel;
    // false outside the shown picture (on the letterbox bars).
    bool WindowToBackBuffer(int wx, int wy, int& bx, int& by) const;

private:
    friend class TDeviceTexture;
    // The drawing state that a recorded frame starts from.
    struct TDrawState {
        bool Blend = false;
        int Source = 1, Dest = 0, Operation = 0;
        bool AlphaTest = false;
        bool Modulate = false;
        bool Linear = true;
        unsigned Texture = 0;  // 0: none (reads as white)
        uint64_t TextureGeneration = 0;
        float PointSize = 1;
    };
    enum class TOp : uint8_t { State, Clear, Blend, AlphaTest, Combine, Filter, Texture, PointSize, Draw };
    // Starts a command of the frame (the frame's starting state first);
    // its operands follow through Put.
    void Record(TOp op);
    template <class T>
    void Put(const T& value);
    void RecordState();
    // Carries out what is recorded and not yet done; a frame that repeats
    // the back buffer's is skipped.
    void ExecutePending();
    void Execute(size_t from);
    void ApplyState(const TDrawState& state);
    static bool BeginsWithClear(const std::vector<uint8_t>& frame);
    // Ends the frame: what the back buffer holds now.
    void EndFrame();
    // A texture is about to change or go: what was recorded with it is drawn first.
    void BeforeTextureChange();
    // A texture goes: the state no longer names it.
    void ForgetTexture(const TDeviceTexture& texture);
    static int WatchWindow(void* device, SDL_Event* event);

    bool CreateBackBuffer(std::string& error);
    void DestroyBackBuffer();
    bool ApplyWindowMode(std::string& error);
    void ComputeLetterbox();
    void BindForDrawing();

    TPresentParams params_;
    SDL_Window* window_ = nullptr;
    SDL_GLContext context_ = nullptr;
    bool videoStarted_ = false;
    unsigned fbo_ = 0, colorBuffer_ = 0;
    unsigned program_ = 0, vao_ = 0, vbo_ = 0, ibo_ = 0, sampler_ = 0, white_ = 0;
    int uniformScale_ = -1, uniformBias_ = -1, uniformCombine_ = -1, uniformAlphaTest_ = -1;
    const TDeviceTexture* texture_ = nullptr;
    TDrawState state_;  // as recorded so far
    std::vector<uint8_t> pending_;  // the frame being recorded
    size_t executed_ = 0;  // how much of it is done
    bool tainted_ = false;  // a texture changed while the frame was recorded
    std::vector<uint8_t> held_;  // the frame whose picture the back buffer holds (empty: unknown)
    bool windowCurrent_ = false;  // the window shows the back buffer as it is
    uint64_t framesRepeated_ = 0, framesShown_ = 0;
    bool lost_ = false;
    bool robust_ = false;
    int maxTextureSize_ = 0;
    int drawCalls_ = 0;
    double driverSeconds_ = 0;
    std::vector<TColorFormat> accepted_;
    // Where the back buffer shows in the window's drawable, and the
    // drawable-to-window ratio.
    int viewX_ = 0, viewY_ = 0, viewW_ = 0, viewH_ = 0;
    float pixelRatio_ = 1;
};

} // namespace zelkor

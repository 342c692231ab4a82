#pragma once
// TGfxDevice: the rendering device component. It owns the graphics device,
// opens it with the presentation parameters of its properties, clears,
// renders a frame through OnRender, presents it, recovers a lost device,
// and tells its subscribers (canvas, image list, font list, loader) what
// happens, in subscription order.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/Events.h"
#include "platform/sdl/GraphicsDevice.h"

namespace zelkor {

enum class TGfxMessage {
    msgInitialize = 256,
    msgFinalize = 257,
    msgDeviceLost = 258,
    msgDeviceReset = 259,
    msgBeginScene = 260,
    msgEndScene = 261,
};

enum class TBitDepth { bdLow, bdHigh };

class TGfxPublisher;

// A component that hears the device's notices.
class TGfxSubscriber : public TObject {
public:
    ~TGfxSubscriber() override;
    TGfxPublisher* Publisher() const { return publisher_; }
    // Subscribes to `publisher` (and leaves the last one).
    void SetPublisher(TGfxPublisher* publisher);
    // A notice of the device; false stops the broadcast.
    virtual bool HandleNotice(TGfxMessage message);

private:
    friend class TGfxPublisher;
    TGfxPublisher* publisher_ = nullptr;
};

class TGfxPublisher : public TObject {
public:
    ~TGfxPublisher() override;
    // Each subscriber in subscription order; stops at, and returns, the
    // first false answer.
    bool Broadcast(TGfxMessage message);
    const std::vector<TGfxSubscriber*>& Subscribers() const { return subscribers_; }

private:
    friend class TGfxSubscriber;
    std::vector<TGfxSubscriber*> subscribers_;
};

using TInitializeEvent = std::function<void(TObject* Sender, bool& Success)>;

class TGfxDevice : public TGfxPublisher {
public:
    TGfxDevice();
    ~TGfxDevice() override;

    // Presentation properties. Width, Height, Windowed, VSync and HardwareTL
    // reset an existing device; BitDepth, Refresh and DepthBuffer are kept
    // for the next creation only.
    int Width() const { return width_; }
    void SetWidth(int value);
    int Height() const { return height_; }
    void SetHeight(int value);
    TBitDepth BitDepth() const { return bitDepth_; }
    void SetBitDepth(TBitDepth value) { bitDepth_ = value; }
    int Refresh() const { return refresh_; }
    void SetRefresh(int value) { refresh_ = value; }
    bool Windowed() const { return windowed_; }
    void SetWindowed(bool value);
    bool VSync() const { return vsync_; }
    void SetVSync(bool value);
    bool HardwareTL() const { return hardwareTL_; }
    void SetHardwareTL(bool value);
    bool DepthBuffer() const { return depthBuffer_; }
    void SetDepthBuffer(bool value) { depthBuffer_ = value; }
    // No visible window: tests and tools draw off screen.
    bool Hidden() const { return hidden_; }
    void SetHidden(bool value) { hidden_ = value; }
    std::string Title() const { return title_; }
    void SetTitle(const std::string& value) { title_ = value; }

    TInitializeEvent OnInitialize;
    TNotifyEvent OnFinalize;
    TNotifyEvent OnRender;

    // Opens the device (once), notifies msgInitialize and fires
    // OnInitialize; false (and closed again) when either says no.
    bool Initialize();
    void Finalize();
    bool Exists() const { return device_.Exists(); }
    // False while the window is minimised or hidden: frames would be seen by nobody.
    bool Visible() const { return device_.WindowVisible(); }
    // Clears to `clearColor` (0xAABBGGRR) when `clear`, then renders a frame
    // through OnRender. False without a device or without a handler.
    bool Render(uint32_t clearColor, bool clear);
    // Presents the frame; recovers a lost device. Whether it succeeded.
    bool Flip();

    // Why the last Initialize, reset or flip failed.
    const std::string& LastError() const { return lastError_; }
    TGraphicsDevice& Device() { return device_; }
    const TGraphicsDevice& Device() const { return device_; }

private:
    TPresentParams Params() const;
    void ResetDevice();

    int width_ = 640, height_ = 480;
    TBitDepth bitDepth_ = TBitDepth::bdHigh;
    int refresh_ = 0;
    bool windowed_ = true, vsync_ = false, hardwareTL_ = true, depthBuffer_ = false, hidden_ = false;
    std::string title_ = "Zelkor Chess";
    TGraphicsDevice device_;
    bool lostNoticeSent_ = false;
    std::string lastError_;
};

} // namespace zelkor

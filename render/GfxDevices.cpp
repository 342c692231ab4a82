#include "render/GfxDevices.h"

#include <algorithm>

namespace zelkor {

// ---- Subscribers ----------------------------------------------------------------

TGfxSubscriber::~TGfxSubscriber() { SetPublisher(nullptr); }

void TGfxSubscriber::SetPublisher(TGfxPublisher* publisher) {
    if (publisher_ == publisher) return;
    if (publisher_) {
        auto& list = publisher_->subscribers_;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
    }
    publisher_ = publisher;
    if (publisher_) publisher_->subscribers_.push_back(this);
}

bool TGfxSubscriber::HandleNotice(TGfxMessage) { return true; }

TGfxPublisher::~TGfxPublisher() {
    for (TGfxSubscriber* s : subscribers_) s->publisher_ = nullptr;
}

bool TGfxPublisher::Broadcast(TGfxMessage message) {
    // A subscriber may leave while it is told: walk a copy, skipping those gone.
    const std::vector<TGfxSubscriber*> list = subscribers_;
    for (TGfxSubscriber* s : list) {
        if (std::find(subscribers_.begin(), subscribers_.end(), s) == subscribers_.end()) continue;
        if (!s->HandleNotice(message)) return false;
    }
    return true;
}

// ---- Device -----------------------------------------------------------------------

TGfxDevice::TGfxDevice() = default;

TGfxDevice::~TGfxDevice() { Finalize(); }

TPresentParams TGfxDevice::Params() const {
    TPresentParams p;
    p.Width = width_;
    p.Height = height_;
    p.Windowed = windowed_;
    p.VSync = vsync_;
    p.Hidden = hidden_;
    p.Title = title_;
    return p;
}

void TGfxDevice::ResetDevice() {
    if (!Exists()) return;
    Broadcast(TGfxMessage::msgDeviceLost);
    if (device_.Reset(Params(), lastError_)) Broadcast(TGfxMessage::msgDeviceReset);
}

void TGfxDevice::SetWidth(int value) {
    if (value == width_) return;
    width_ = value;
    ResetDevice();
}

void TGfxDevice::SetHeight(int value) {
    if (value == height_) return;
    height_ = value;
    ResetDevice();
}

void TGfxDevice::SetWindowed(bool value) {
    if (value == windowed_) return;
    windowed_ = value;
    ResetDevice();
}

void TGfxDevice::SetVSync(bool value) {
    if (value == vsync_) return;
    vsync_ = value;
    ResetDevice();
}

void TGfxDevice::SetHardwareTL(bool value) {
    if (value == hardwareTL_) return;
    hardwareTL_ = value;
    ResetDevice();  // vertex processing is the driver's business here; the reset is kept
}

bool TGfxDevice::Initialize() {
    if (Exists()) {
        lastError_ = "the device exists already";
        return false;
    }
    if (!device_.Create(Params(), lastError_)) return false;
    lostNoticeSent_ = false;
    if (!Broadcast(TGfxMessage::msgInitialize)) {
        lastError_ = "a subscriber could not start";
        Finalize();
        return false;
    }
    bool success = true;
    Fire(OnInitialize, this, success);
    if (!success) {
        if (lastError_.empty()) lastError_ = "the initialisation handler failed";
        Finalize();
        return false;
    }
    lastError_.clear();
    return true;
}

void TGfxDevice::Finalize() {
    if (!Exists()) return;
    Fire(OnFinalize, this);
    Broadcast(TGfxMessage::msgFinalize);
    device_.Release();
}

bool TGfxDevice::Render(uint32_t clearColor, bool clear) {
    if (!Exists() || !OnRender) return false;
    if (clear) {
        // 0xAABBGGRR to 0xAARRGGBB.
        const uint32_t argb = (clearColor & 0xFF00FF00u) | ((clearColor & 0xFF) << 16) | ((clearColor >> 16) & 0xFF);
        device_.Clear(argb);
    }
    Broadcast(TGfxMessage::msgBeginScene);
    Fire(OnRender, this);
    Broadcast(TGfxMessage::msgEndScene);
    return true;
}

bool TGfxDevice::Flip() {
    if (!Exists()) return false;
    TPresentResult result = device_.Present();
    if (result == TPresentResult::DeviceLost) {
        if (!lostNoticeSent_) {
            Broadcast(TGfxMessage::msgDeviceLost);
            lostNoticeSent_ = true;
        }
        if (device_.CanReset() && device_.Reset(Params(), lastError_)) {
            if (lostNoticeSent_) {
                Broadcast(TGfxMessage::msgDeviceReset);
                lostNoticeSent_ = false;
            }
        }
        return false;
    }
    if (result == TPresentResult::DriverError) {
        if (!device_.Reset(Params(), lastError_)) Finalize();
        return false;
    }
    return true;
}

} // namespace zelkor

#include "platform/sdl/SdlEvents.h"

#include "platform/MainThreadQueue.h"

namespace zelkor {

TSdlEventSource::TSdlEventSource() {
    if (SDL_InitSubSystem(SDL_INIT_EVENTS) != 0) {
        error_ = SDL_GetError();
        return;
    }
    wakeEvent_ = SDL_RegisterEvents(1);
    if (wakeEvent_ == static_cast<Uint32>(-1)) {
        error_ = "no SDL user event left";
        SDL_QuitSubSystem(SDL_INIT_EVENTS);
        return;
    }
    ok_ = true;
    const Uint32 wake = wakeEvent_;
    TMainThreadQueue::Instance().SetWakeHook([wake] {
        SDL_Event e{};
        e.type = wake;
        SDL_PushEvent(&e);
    });
    TApplication::Instance().SetEventSource(this);
}

TSdlEventSource::~TSdlEventSource() {
    if (!ok_) return;
    if (TApplication::Instance().EventSource() == this) TApplication::Instance().SetEventSource(nullptr);
    TMainThreadQueue::Instance().SetWakeHook(nullptr);
    SDL_QuitSubSystem(SDL_INIT_EVENTS);
}

bool TSdlEventSource::Pump() {
    if (!ok_) return false;
    bool any = false;
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        if (e.type == wakeEvent_) continue;
        any = true;
        const bool handled = OnEvent && OnEvent(e);
        if (!handled && e.type == SDL_QUIT) TApplication::Instance().Terminate();
    }
    return any;
}

void TSdlEventSource::WaitForEvents(std::chrono::milliseconds limit) {
    if (!ok_) return;
    SDL_WaitEventTimeout(nullptr, static_cast<int>(limit.count()));
}

} // namespace zelkor

#pragma once
// The window system's event pump on SDL: the application pumps it on every
// pass and sleeps in it when idle; a worker's queued main-thread call wakes
// that sleep. It needs no window and no display.

#include <SDL2/SDL.h>

#include <chrono>
#include <functional>
#include <string>

#include "platform/Application.h"

namespace zelkor {

class TSdlEventSource : public TEventSource {
public:
    // Starts SDL's event subsystem and becomes the application's event
    // source (and the waker of the main-thread queue).
    TSdlEventSource();
    ~TSdlEventSource() override;
    TSdlEventSource(const TSdlEventSource&) = delete;
    TSdlEventSource& operator=(const TSdlEventSource&) = delete;

    bool Ok() const { return ok_; }
    const std::string& Error() const { return error_; }

    bool Pump() override;
    void WaitForEvents(std::chrono::milliseconds limit) override;

    // Every event but the source's own wake-ups; returns whether it handled
    // it. An unhandled SDL_QUIT (window closed, Ctrl+C) ends the application.
    std::function<bool(const SDL_Event&)> OnEvent;

private:
    bool ok_ = false;
    std::string error_;
    Uint32 wakeEvent_ = 0;
};

} // namespace zelkor

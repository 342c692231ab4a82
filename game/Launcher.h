#pragma once
// The launcher: a small window shown before the game, with the splash
// picture, the "Start Zelkor Chess" button and the " Run in fullscreen
// mode" box (ticked at first). Closing it in any way starts the game.

#include <SDL2/SDL.h>

#include <string>

#include "render/GfxFonts.h"
#include "render/GfxImages.h"
#include "platform/sdl/SdlEvents.h"
#include "render/Gfx2D.h"
#include "render/GfxDevices.h"

namespace zelkor::game {

class TMainForm {
public:
    static constexpr int Width = 630, Height = 360;

    // `events` carries the window's input; null draws nothing and returns at once.
    explicit TMainForm(TSdlEventSource* events);
    ~TMainForm();
    TMainForm(const TMainForm&) = delete;
    TMainForm& operator=(const TMainForm&) = delete;

    // Shows the window and runs the message loop until it is closed (the
    // button, the close box, Enter or Escape). False when no window could
    // open (no display): the game then goes on as if it had been closed.
    bool ShowModal();
    const std::string& LastError() const { return error_; }

    // " Run in fullscreen mode".
    bool CheckBox1Checked() const { return checked_; }
    void SetCheckBox1Checked(bool value) { checked_ = value; }

    // Closes the launcher (the start button's action).
    void Button1Click() { closed_ = true; }

    // For tests: handles one event as the window would; whether it was ours.
    bool HandleEvent(const SDL_Event& event);
    // Draws the window once.
    void Paint();
    bool Closed() const { return closed_; }
    TGfxDevice& Device() { return device_; }

    // The controls, in window pixels.
    struct TRect {
        int X, Y, W, H;
        bool Contains(int x, int y) const { return x >= X && x < X + W && y >= Y && y < Y + H; }
    };
    static constexpr TRect Panel1{181, 96, 268, 265};
    static constexpr TRect Button1{181 + 24, 96 + 117, 217, 25};
    static constexpr TRect CheckBox1{181 + 64, 96 + 216, 137, 17};

private:
    bool Open();
    void Close();
    void Gradient(const TRect& r, uint32_t top, uint32_t bottom);
    void Frame(const TRect& r, uint32_t light, uint32_t dark);
    void Label(const std::string& text, int x, int y, uint32_t color);
    void UpdateCursor(int x, int y);

    TSdlEventSource* events_;
    TGfxDevice device_;
    TGfxCanvas canvas_;
    TGfxImages images_;
    TGfxFonts fonts_;
    TGfxImage* splash_ = nullptr;
    TGfxImage* white_ = nullptr;
    SDL_Cursor* hand_ = nullptr;
    SDL_Cursor* arrow_ = nullptr;
    bool checked_ = true;
    bool closed_ = false;
    bool hoverButton_ = false, hoverBox_ = false, pressed_ = false;
    int focus_ = 0;  // 0 the button, 1 the box
    bool dirty_ = true;
    std::string error_;
};

} // namespace zelkor::game

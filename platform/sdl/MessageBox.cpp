#include "platform/sdl/MessageBox.h"

#include <SDL2/SDL.h>

#include <cstdio>
#include <string>

namespace zelkor {

void ShowMessageBox(TMessageKind kind, const std::string& title, const std::string& text) {
    std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
    std::fflush(stderr);
    const Uint32 flags = kind == TMessageKind::Error ? SDL_MESSAGEBOX_ERROR : SDL_MESSAGEBOX_INFORMATION;
    // Without a display the box cannot open; the line on standard error stands.
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return;
    // On the off-screen or dummy drivers nobody would see the box or close it.
    const char* driver = SDL_GetCurrentVideoDriver();
    const bool seen = driver && std::string(driver) != "offscreen" && std::string(driver) != "dummy";
    if (seen) SDL_ShowSimpleMessageBox(flags, title.c_str(), text.c_str(), nullptr);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

} // namespace zelkor

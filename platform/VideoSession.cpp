#include "platform/VideoSession.h"

#include <SDL2/SDL.h>

namespace zelkor {

TVideoSession::TVideoSession() { started_ = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0; }

TVideoSession::~TVideoSession() {
    if (started_) SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

} // namespace zelkor

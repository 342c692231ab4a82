#include "platform/sdl/VideoSession.h"

#include <SDL2/SDL.h>
#include <X11/Xlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "platform/Termination.h"

namespace zelkor {

namespace {

// The display went away (its server ended, a forwarded connection
// dropped, the client was killed): nothing can be drawn any more. The
// program ends at once with a message, without the exit() that Xlib would
// call, whose destructors of statics would race the program's own threads.
int DisplayLost(Display*) {
    static const char message[] = "Zelkor Chess: the connection to the display was lost\n";
    ssize_t ignored = write(STDERR_FILENO, message, sizeof message - 1);
    (void)ignored;
    KillChildProcesses();
    _exit(1);
}

// A request the display refused. Xlib's own handler would end the program;
// one refused request does not stop the game, so it is named and passed over.
int RequestRefused(Display* display, XErrorEvent* error) {
    char text[256] = {};
    XGetErrorText(display, error->error_code, text, sizeof text);
    std::fprintf(stderr, "Zelkor Chess: the display refused a request (%s, request %d.%d)\n", text,
                 int(error->request_code), int(error->minor_code));
    return 0;
}

} // namespace

TVideoSession::TVideoSession() {
    started_ = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
    const char* driver = started_ ? SDL_GetCurrentVideoDriver() : nullptr;
    if (driver && std::strcmp(driver, "x11") == 0) {
        XSetIOErrorHandler(DisplayLost);
        XSetErrorHandler(RequestRefused);
    }
}

TVideoSession::~TVideoSession() {
    if (started_) SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

} // namespace zelkor

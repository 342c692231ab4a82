// Zelkor Chess: the program entry. Creates the scene (which shows the
// launcher, starts the device and loads the content), then runs the
// message loop until the game ends.

#include <SDL2/SDL.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "game/Scene.h"
#include "platform/Application.h"
#include "platform/sdl/MessageBox.h"
#include "platform/ProgramPath.h"
#include "platform/sdl/SdlEvents.h"
#include "platform/Termination.h"
#include "platform/sdl/VideoSession.h"

namespace {

// The game reads its content from the folder it starts in. Started from a
// desktop menu or another folder that has none, it starts in its own
// folder instead, where the build and the installation put the content.
void EnterContentFolder() {
    std::error_code ec;
    if (std::filesystem::exists("zelkor.def", ec)) return;
    const std::string own = zelkor::ProgramDirectory();
    if (std::filesystem::exists(own + "zelkor.def", ec) && chdir(own.c_str()) != 0)
        std::fprintf(stderr, "Zelkor Chess: cannot enter %s\n", own.c_str());
}

} // namespace

int main(int, char**) {
    using namespace zelkor;
    // An interrupt or a termination request quits the game as its close box
    // does; one that the game cannot follow in time (a message box is up,
    // or it is stuck) ends it all the same.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    InstallTerminationGuard([] {
        SDL_Event quit{};
        quit.type = SDL_QUIT;
        SDL_PushEvent(&quit);
    });
    // The launcher closing must not end the program: only the scene's own
    // window (or an interrupt) does.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    EnterContentFolder();
    TApplication& app = TApplication::Instance();
    TSdlEventSource events;
    if (!events.Ok()) {
        ShowMessageBox(TMessageKind::Error, "Error", game::kDeviceFailure);
        return 1;
    }
    // One connection to the display for the whole run: the launcher's
    // window and the game's follow each other, and a display server that
    // starts afresh when its last client leaves would otherwise be
    // restarting just when the game's window is to open.
    TVideoSession video;
    int code = 0;
    {
        game::TSceneForm scene(&events);
        scene.FormCreate();
        if (!app.Terminated()) {
            scene.FormShow();
            app.Run();
        }
        code = scene.ExitCode();
    }
    return code;
}

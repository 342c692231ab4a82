// Zelkor Chess: the program entry. Creates the scene (which shows the
// launcher, starts the device and loads the content), then runs the
// message loop until the game ends.

#include <SDL2/SDL.h>

#include "game/Scene.h"
#include "platform/Application.h"
#include "platform/MessageBox.h"
#include "platform/SdlEvents.h"

int main(int, char**) {
    using namespace zelkor;
    // The launcher closing must not end the program: only the scene's own
    // window (or an interrupt) does.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    TApplication& app = TApplication::Instance();
    TSdlEventSource events;
    if (!events.Ok()) {
        ShowMessageBox(TMessageKind::Error, "Error", game::kDeviceFailure);
        return 1;
    }
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

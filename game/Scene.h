#pragma once
// The scene form: the game's main window and everything it owns, its
// start-up (the launcher, the device, the content), the frame loop, the
// input handlers and its shut-down.

#include <SDL2/SDL.h>

#include <memory>
#include <string>

#include "assets/AssetDb.h"
#include "render/GfxFonts.h"
#include "render/GfxImages.h"
#include "render/GfxLoader.h"
#include "audio/Mp3Input.h"
#include "audio/StreamAudio.h"
#include "audio/WaveSounds.h"
#include "chess/ChessBoard.h"
#include "game/AudioCues.h"
#include "game/logic/GameFlow.h"
#include "game/Graph.h"
#include "game/logic/Input.h"
#include "game/logic/Records.h"
#include "game/logic/Windows.h"
#include "game/WindowsView.h"
#include "platform/sdl/SdlEvents.h"
#include "platform/WindowTimer.h"
#include "render/Gfx2D.h"
#include "render/GfxDevices.h"
#include "render/GfxTimers.h"

namespace zelkor::game {

class TMainForm;

class TSceneForm {
public:
    // `events` brings the window system's input (null: none, as in tests).
    explicit TSceneForm(TSdlEventSource* events);
    ~TSceneForm();
    TSceneForm(const TSceneForm&) = delete;
    TSceneForm& operator=(const TSceneForm&) = delete;

    // The components, with the property values of the form.
    TChessBoard ChessBoard1;
    TWindowTimer Timer1;
    TGfxDevice Device;
    TGfxTimer Timer;
    TGfxCanvas SceneCanvas;
    TGfxImages Images;
    TAssetDb Archive;
    TGfxLoader Loader;
    TGfxFonts Fonts;
    TMP3In MP3In1;
    TStreamOut StreamOut1;
    TSoundDevice SoundDevice1;
    TWaveList WaveList1;

    // The scene's state and its parts.
    TSceneState State;
    TGameFlow Flow;
    TSceneWindows Windows;
    TSceneInput Input;
    TGraph Graph;
    TWindowsView WindowsView;
    TAudioCues Cues;

    // Shows the launcher and returns the full-screen choice; replaced by tests.
    std::function<bool()> ShowLauncher;

    // Start-up, in the form's order: the board, the exception handler, the
    // defaults, the launcher, the device with the content, full screen,
    // the title music.
    void FormCreate();
    // Hides the system's mouse pointer (the scene draws its own).
    void FormShow();
    // Stops the music.
    void FormDestroy();

    void DeviceInitialize(bool& success);
    void DeviceFinalize();
    void DeviceRender() { Graph.DeviceRender(); }
    void TimerTimer();
    void TimerProcess() { Flow.TimerProcess(); }
    void AppException(const std::string& message);

    // Input, in scene pixels.
    void FormMouseMove(int x, int y) { Input.FormMouseMove(x, y); }
    void FormMouseDown(int x, int y) { Input.FormMouseDown(x, y); }
    void FormKeyPress(char key) { Input.FormKeyPress(key); }

    // One window event: mouse and keys of the scene's window, its close box.
    bool HandleEvent(const SDL_Event& event);

    // 0 after a clean run; 1 after a fatal error.
    int ExitCode() const { return exitCode_; }

private:
    TSdlEventSource* events_;
    int exitCode_ = 0;
    bool destroyed_ = false;
};

// The message of the failed start.
inline constexpr const char* kDeviceFailure = "Failed initializing video device!";

} // namespace zelkor::game

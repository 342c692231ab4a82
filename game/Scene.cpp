#include "game/Scene.h"

#include <algorithm>
#include <cstdio>

#include "game/embedded/EmbeddedFiles.h"
#include "game/Launcher.h"
#include "platform/Application.h"
#include "platform/sdl/MessageBox.h"
#include "platform/ProgramPath.h"

namespace zelkor::game {

TSceneForm::TSceneForm(TSdlEventSource* events)
    : Flow(State, ChessBoard1, Timer1),
      Windows(State, Flow, ChessBoard1, Timer1),
      Input(State, Flow, Windows),
      Graph(State, SceneCanvas, Images, Fonts),
      WindowsView(State, Graph, SceneCanvas),
      // The music lies beside the content the game reads (the folder it
      // runs in), or else beside the program.
      Cues(State, WaveList1, MP3In1, StreamOut1, {"", ProgramDirectory()}),
      events_(events) {
    // The referee and opponent: never shown.
    ChessBoard1.SetComputerPlaysBlack(true);
    ChessBoard1.SetComputerPlaysWhite(false);
    ChessBoard1.SetSearchDepth(5);
    ChessBoard1.SetThinkingPriority(TThreadPriority::tpLower);
    ChessBoard1.SetAnimateMoves(false);
    ChessBoard1.SetCastlingAllowed(AllCastling);
    Flow.AttachBoardEvents();
    Flow.OnPlaySound = [this](int n) { Cues.PlaySound(n); };
    Input.OnPlaySound = [this](int n) { Cues.PlaySound(n); };
    Windows.OnPlaySound = [this](int n) { Cues.PlaySound(n); };
    Windows.OnPlayMusic = [this](Theme theme) { Cues.PlayMusic(theme); };
    Cues.OnProblem = [](const std::string& problem) { std::fprintf(stderr, "Zelkor Chess: %s\n", problem.c_str()); };
    Windows.OnStopMusic = [this] { Cues.StopMusic(); };
    Windows.OnTerminate = [] { TApplication::Instance().Terminate(); };
    Graph.OnDrawWindow = [this] { WindowsView.Draw(); };

    Device.SetWidth(1024);
    Device.SetHeight(768);
    Device.SetBitDepth(TBitDepth::bdHigh);
    Device.SetRefresh(0);
    Device.SetWindowed(true);
    Device.SetVSync(true);
    Device.SetHardwareTL(true);
    Device.SetDepthBuffer(false);
    Device.SetTitle("Zelkor Chess");
    Device.OnInitialize = [this](TObject*, bool& success) { DeviceInitialize(success); };
    Device.OnFinalize = [this](TObject*) { DeviceFinalize(); };
    Device.OnRender = [this](TObject*) { DeviceRender(); };

    Timer.SetSpeed(60);
    Timer.SetMaxFPS(200);
    Timer.SetEnabled(false);
    Timer.OnTimer = [this](TObject*) { TimerTimer(); };
    Timer.OnProcess = [this](TObject*) { TimerProcess(); };

    SceneCanvas.SetVertexCache(4096);
    SceneCanvas.SetAntialias(true);
    SceneCanvas.SetAlphaTesting(false);
    SceneCanvas.SetDithering(false);
    SceneCanvas.SetPublisher(&Device);
    Images.SetPublisher(&Device);
    Fonts.SetPublisher(&Device);
    Fonts.SetCanvas(&SceneCanvas);

    Archive.SetFileName("zelkor.dat");
    Archive.SetOpenMode(TOpenModes::opReadOnly);
    Loader.SetXMLDescFile("zelkor.def");
    Loader.SetImages(&Images);
    Loader.SetFonts(&Fonts);
    Loader.SetArchive(&Archive);
    Loader.SetPublisher(&Device);

    Timer1.SetEnabled(false);
    Timer1.SetInterval(1000);

    MP3In1.SetLoop(false);
    MP3In1.SetEndSample(-1);
    MP3In1.SetHighPrecision(true);
    MP3In1.SetOutputChannels(TChannelsNumber::cnMaxAvailable);
    StreamOut1.SetInput(&MP3In1);
    StreamOut1.SetDeviceNumber(0);
    StreamOut1.SetFramesInBuffer(65536);
    StreamOut1.SetPollingInterval(200);

    // The eight effects travel inside the program.
    SoundDevice1.SetAutoInitialize(true);
    WaveList1.SetSoundDevice(&SoundDevice1);
    int n = 0;
    for (const TEmbeddedFile& file : EffectWaves()) {
        TWaveCollectionItem* item = WaveList1.Items().Add();
        item->SetName("sound_" + std::to_string(++n));
        item->SetLooped(false);
        item->SetMaxPlayingCount(0);
        item->SetWave(std::vector<uint8_t>(file.Bytes.begin(), file.Bytes.end()));
    }
    SoundDevice1.Loaded();

    ShowLauncher = [this] {
        TMainForm launcher(events_);
        launcher.ShowModal();
        return launcher.CheckBox1Checked();
    };
    if (events_) events_->OnEvent = [this](const SDL_Event& e) { return HandleEvent(e); };
}

TSceneForm::~TSceneForm() {
    FormDestroy();
    if (events_) events_->OnEvent = nullptr;
    TApplication::Instance().OnException = nullptr;
    Device.Finalize();
    // Nothing the board still reports may reach the parts being destroyed.
    ChessBoard1.StopThinking();
    Flow.DetachBoardEvents();
}

void TSceneForm::FormCreate() {
    TApplication& app = TApplication::Instance();
    ChessBoard1.NewGame();
    app.OnException = [this](TObject*, const std::string& message) { AppException(message); };
    SetDefaultOptions(State);
    State.Screen = ScreenMode::Startup;
    const bool fullScreen = ShowLauncher ? ShowLauncher() : false;
    // Interrupted from outside (the terminal) while the launcher was open.
    if (app.Terminated()) return;
    if (!Device.Initialize()) {
        if (!Device.LastError().empty()) std::fprintf(stderr, "Zelkor Chess: %s\n", Device.LastError().c_str());
        ShowMessageBox(TMessageKind::Error, "Error", kDeviceFailure);
        app.Terminate();
        exitCode_ = 1;
    }
    if (fullScreen && Device.Exists()) Device.SetWindowed(false);
    State.Screen = ScreenMode::Menu;
    State.Window = OpenWindow::MainMenu;
    State.Pulse = 20;
    State.PulseStep = -1;
    State.State = GameState::YourMove;
    Cues.PlayMusic(Theme::Title);
}

void TSceneForm::FormShow() {
    SDL_ShowCursor(SDL_DISABLE);
    Device.SetWidth(1024);
    Device.SetHeight(768);
}

void TSceneForm::FormDestroy() {
    if (destroyed_) return;
    destroyed_ = true;
    Cues.StopMusic();
}

void TSceneForm::DeviceInitialize(bool& success) {
    Archive.SetPassword("qzmb");
    success = Loader.Load("Content");
    // Records that could not be read are left out; say which, for whoever
    // looks after the content.
    for (const std::string& problem : Loader.Problems()) std::fprintf(stderr, "Zelkor Chess: %s\n", problem.c_str());
    // Content of which not one picture could be read leaves nothing to
    // draw any screen with: the game cannot start.
    if (success && Images.Count() == 0) {
        std::fprintf(stderr, "Zelkor Chess: no picture of the group \"Content\" could be loaded from %s\n",
                     Loader.XMLDescFile().c_str());
        success = false;
    }
    Timer.SetEnabled(success);
}

void TSceneForm::DeviceFinalize() { Timer1.SetEnabled(false); }

void TSceneForm::TimerTimer() {
    // Minimised or hidden, the game draws nothing; its ticks go on, so that
    // clocks and glides are where they belong when it shows again.
    const bool seen = Device.Visible();
    if (seen) Device.Render(0x00400000, true);
    Timer.Process();
    if (seen) Device.Flip();
}

void TSceneForm::AppException(const std::string& message) {
    ShowMessageBox(TMessageKind::Error, "Zelkor Chess", message);
    TApplication::Instance().Terminate();
    exitCode_ = 1;
}

bool TSceneForm::HandleEvent(const SDL_Event& e) {
    const uint32_t window = Device.Device().WindowId();
    // Window pixels to scene pixels; outside the picture (the bars of a
    // letterboxed full screen) the nearest scene pixel.
    auto scene = [this](int wx, int wy, int& x, int& y) {
        if (!Device.Device().WindowToBackBuffer(wx, wy, x, y)) {
            x = std::clamp(x, 0, Device.Width() - 1);
            y = std::clamp(y, 0, Device.Height() - 1);
        }
    };
    switch (e.type) {
    case SDL_QUIT: TApplication::Instance().Terminate(); return true;
    case SDL_WINDOWEVENT:
        if (e.window.windowID != window) return false;
        if (e.window.event == SDL_WINDOWEVENT_CLOSE) TApplication::Instance().Terminate();
        return true;
    case SDL_MOUSEMOTION: {
        if (e.motion.windowID != window) return false;
        int x = 0, y = 0;
        scene(e.motion.x, e.motion.y, x, y);
        FormMouseMove(x, y);
        return true;
    }
    case SDL_MOUSEBUTTONDOWN: {
        if (e.button.windowID != window) return false;
        int x = 0, y = 0;
        scene(e.button.x, e.button.y, x, y);
        FormMouseDown(x, y);
        return true;
    }
    case SDL_KEYDOWN: {
        if (e.key.windowID != window) return false;
        const SDL_Keycode k = e.key.keysym.sym;
        if (k == SDLK_ESCAPE) FormKeyPress(27);
        else if (k >= SDLK_0 && k <= SDLK_9) FormKeyPress(char('0' + (k - SDLK_0)));
        else if (k >= SDLK_KP_1 && k <= SDLK_KP_9) FormKeyPress(char('1' + (k - SDLK_KP_1)));
        else if (k == SDLK_KP_0) FormKeyPress('0');
        return true;
    }
    default: return false;
    }
}

} // namespace zelkor::game

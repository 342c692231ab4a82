// The game program started as a player starts it, on the test display:
// the launcher and its two ways into the game, full screen, and the ways
// start-up can fail. Each run gets its own folder with the content it
// needs (or damaged content), and is driven through XTEST.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

#include "tests/e2e/GameFixture.h"

using namespace zelkor;
using namespace zelkor::testing_support;
using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

using StartupTest = GameTest;

TEST_F(StartupTest, StartButtonOpensTheGameInAWindowAndAnInterruptEndsItCleanly) {
    CopyContent();
    auto game = Start();
    auto launcher = WaitForLauncher();
    ASSERT_NE(launcher.Id, 0u);
    StartButtonWindowed(launcher);
    auto scene = driver.WaitForWindow("Zelkor Chess", 1024, 768, 20s);
    ASSERT_NE(scene.Id, 0u) << "no 1024 x 768 game window; errors: " << game->ErrorOutput();
    EXPECT_TRUE(driver.FindWindows("Zelkor Chess", kLauncherW, kLauncherH).empty()) << "the launcher stayed open";
    ExpectTitleShown(scene, 0, 0, 1.0);
    game->Signal(SIGTERM);
    EXPECT_EQ(game->Wait(10s), 0) << game->ErrorOutput();
}

TEST_F(StartupTest, EscapeOnTheLauncherStartsTheGameFullScreenLetterboxed) {
    CopyContent();
    auto game = Start();
    auto launcher = WaitForLauncher();
    ASSERT_NE(launcher.Id, 0u);
    driver.Key(launcher, "Escape");
    // The test display is 1280 x 1024: the 4:3 picture fills its width,
    // with bars of 32 rows above and below.
    auto screen = driver.WaitForWindow("Zelkor Chess", 1280, 1024, 20s);
    ASSERT_NE(screen.Id, 0u) << "no full-screen window; errors: " << game->ErrorOutput();
    const double scale = 1280.0 / 1024.0;
    ExpectTitleShown(screen, 0, 32, scale);
    EXPECT_EQ(driver.Pixel(screen, 640, 10), 0x000000u) << "the bar above the picture";
    EXPECT_EQ(driver.Pixel(screen, 640, 1015), 0x000000u) << "the bar below the picture";
    // The pointer is mapped back to scene pixels: "play game" where it shows.
    driver.Click(screen, int(120 * scale), 32 + int(167 * scale));
    ExpectScreenShown(screen, "castle", {{560, 110}, {600, 150}, {980, 300}, {300, 200}}, 0, 32, scale);
    game->Signal(SIGTERM);
    EXPECT_EQ(game->Wait(10s), 0) << game->ErrorOutput();
}

// The program in a folder of its own with the archive but no description
// (beside the build's program the content is complete, and the game would
// use that).
TEST_F(StartupTest, MissingDescriptionShowsTheDeviceFailureAndExitsWithAnError) {
    fs::copy_file(fs::path(ZELKOR_GAME).parent_path() / "zelkor.dat", folder / "zelkor.dat");
    fs::copy_file(ZELKOR_GAME, folder / "zelkor-chess");
    auto game = Start({}, (folder / "zelkor-chess").string());
    auto launcher = WaitForLauncher();
    ASSERT_NE(launcher.Id, 0u);
    driver.Click(launcher, kStartX, kStartY);
    ASSERT_NE(driver.WaitForWindow("Error", 0, 0, 20s).Id, 0u) << "no message box; errors: " << game->ErrorOutput();
    EXPECT_EQ(game->Wait(300ms), -1) << "the program must wait for the box to be closed";
    CloseErrorBox(*game);
    EXPECT_NE(game->ErrorOutput().find("Failed initializing video device!"), std::string::npos) << game->ErrorOutput();
}

// An interrupt or a termination request ends the game promptly whatever
// it is doing, the error box that the main thread waits on included, and
// no process of its own outlives it.
TEST_F(StartupTest, ASignalEndsTheGameInEveryStateAndLeavesNoProcessBehind) {
    struct Case {
        const char* state;
        int signal;
    };
    for (const Case c : {Case{"launcher", SIGTERM}, Case{"launcher", SIGINT}, Case{"error box", SIGTERM},
                         Case{"error box", SIGINT}, Case{"title screen", SIGINT}}) {
        SCOPED_TRACE(std::string(c.state) + ", signal " + std::to_string(c.signal));
        const std::string state = c.state;
        fs::remove_all(folder);
        fs::create_directories(folder);
        std::unique_ptr<TGameProcess> game;
        if (state == "error box") {
            // No description beside a copy of the program: the device fails.
            fs::copy_file(fs::path(ZELKOR_GAME).parent_path() / "zelkor.dat", folder / "zelkor.dat");
            fs::copy_file(ZELKOR_GAME, folder / "zelkor-chess");
            game = Start({}, (folder / "zelkor-chess").string());
        } else {
            CopyContent();
            game = Start();
        }
        auto launcher = WaitForLauncher();
        ASSERT_NE(launcher.Id, 0u);
        if (state == "error box") {
            driver.Click(launcher, kStartX, kStartY);
            ASSERT_NE(driver.WaitForWindow("Error", 0, 0, 20s).Id, 0u) << "no message box; errors: " << game->ErrorOutput();
        } else if (state == "title screen") {
            ASSERT_NE(StartWindowed(*game).Id, 0u);
        }
        game->Signal(c.signal);
        // Two seconds in the program; the rest is room for a loaded machine.
        const int code = game->Wait(8s);
        EXPECT_NE(code, -1) << "still running after the signal";
        if (state == "title screen") {
            EXPECT_EQ(code, 0) << "a quit in the ordinary way: " << game->ErrorOutput();
        }
        EXPECT_TRUE(TXDriver::WaitUntil([&] { return game->GroupMembers().empty(); }, 5s))
            << game->GroupMembers().size() << " processes of the game outlived it";
    }
}

// A display server of the test's own, as a bare X server runs: it starts
// afresh whenever its last client leaves, and turns connections away while
// it does.
class TResettingDisplay {
public:
    TResettingDisplay() {
        int fds[2];
        if (pipe(fds) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            close(fds[0]);
            const std::string fd = std::to_string(fds[1]);
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
                   static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        // The server writes its display number once it takes connections.
        char c = 0;
        std::string number;
        while (read(fds[0], &c, 1) == 1 && c != '\n') number += c;
        close(fds[0]);
        if (!number.empty()) name_ = ":" + number;
    }
    ~TResettingDisplay() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }
    const std::string& Name() const { return name_; }
    // Presses Enter on the game's launcher (the game runs on this display)
    // once it has painted, and waits for the game's full-screen window; the
    // test's connection to the display is closed before the launcher is.
    bool StartFullScreen() {
        {
            TXDriver x(name_.c_str());
            if (!x.Ok()) return false;
            auto launcher = x.WaitForWindow("Zelkor Chess", kLauncherW, kLauncherH, 20s);
            if (launcher.Id == 0 ||
                !TXDriver::WaitUntil([&] { return ColorDistance(x.Pixel(launcher, 190, 105), 0xD0D0D4) < 24; }, 20s))
                return false;
            x.Key(launcher, "Return");
        }
        TXDriver x(name_.c_str());
        return x.Ok() && x.WaitForWindow("Zelkor Chess", 1280, 1024, 30s).Id != 0;
    }
    // The server killed, as a crashed or stopped display would go.
    void Kill() {
        if (pid_ <= 0) return;
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }

private:
    pid_t pid_ = -1;
    std::string name_;
};

// The launcher's window closes and the game's opens: the game stays on the
// display between them, so it never finds the server starting afresh and
// falls back to a driver that shows nothing. The test holds no connection
// of its own across that moment. (A program that left the display there
// failed now and then, most often on a busy machine, where its new
// connection came while the server was starting afresh.)
TEST_F(StartupTest, FiftyStartsOnADisplayThatStartsAfreshFindTheDisplayEveryTime) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "a check of the display connection, not of memory; the plain build runs it";
#endif
    TResettingDisplay display;
    ASSERT_FALSE(display.Name().empty()) << "no Xvfb";
    CopyContent();
    for (int run = 1; run <= 50; ++run) {
        SCOPED_TRACE("start " + std::to_string(run));
        TGameProcess game(ZELKOR_GAME, folder.string(), {{"SDL_AUDIODRIVER", "dummy"}, {"DISPLAY", display.Name()}});
        ASSERT_TRUE(game.Started());
        EXPECT_TRUE(display.StartFullScreen()) << "no full-screen window; errors: " << game.ErrorOutput();
        EXPECT_EQ(game.ErrorOutput().find("no display"), std::string::npos) << game.ErrorOutput();
        game.Signal(SIGTERM);
        ASSERT_EQ(game.Wait(10s), 0) << game.ErrorOutput();
        if (HasFailure()) break;
    }
}

// A named pipe where the game expects its description, its archive or a
// theme: the game never waits on it. It is named on standard error; without
// a description or an archive nothing can be drawn and the device fails,
// without the music the game goes on.
TEST_F(StartupTest, ANamedPipeInPlaceOfAContentFileIsRefusedAtOnce) {
    for (const std::string file : {"zelkor.def", "zelkor.dat", "title_theme.mp3"}) {
        SCOPED_TRACE(file);
        fs::remove_all(folder);
        fs::create_directories(folder);
        // A copy of the program, so that the music beside it is the test's.
        fs::copy_file(ZELKOR_GAME, folder / "zelkor-chess");
        for (const char* name : {"zelkor.dat", "zelkor.def", "title_theme.mp3", "main_theme.mp3"})
            if (name != file) fs::copy_file(fs::path(ZELKOR_GAME).parent_path() / name, folder / name);
        ASSERT_EQ(mkfifo((folder / file).c_str(), 0600), 0);
        // The music plays on the dummy output: a theme is read.
        auto game = std::make_unique<TGameProcess>((folder / "zelkor-chess").string(), folder.string(),
                                                   std::vector<std::pair<std::string, std::string>>{{"SDL_AUDIODRIVER", "dummy"}});
        auto launcher = WaitForLauncher();
        ASSERT_NE(launcher.Id, 0u);
        StartButtonWindowed(launcher);
        const bool named = TXDriver::WaitUntil(
            [&] {
                const std::string errors = game->ErrorOutput();
                return errors.find(file + ": it is a named pipe") != std::string::npos ||
                       errors.find(file + ": cannot open the file: it is a named pipe") != std::string::npos;
            },
            20s);
        EXPECT_TRUE(named) << game->ErrorOutput();
        if (file != "title_theme.mp3") {
            CloseErrorBox(*game);
        } else {
            EXPECT_NE(driver.WaitForWindow("Zelkor Chess", 1024, 768, 20s).Id, 0u) << game->ErrorOutput();
            game->Signal(SIGTERM);
            EXPECT_EQ(game->Wait(10s), 0) << game->ErrorOutput();
        }
    }
}

// The display goes away under the running game: it ends at once with a
// message and an error status, instead of hanging on its way out.
TEST_F(StartupTest, LosingTheDisplayEndsTheGameWithAMessage) {
    TResettingDisplay display;
    ASSERT_FALSE(display.Name().empty()) << "no Xvfb";
    CopyContent();
    TGameProcess game(ZELKOR_GAME, folder.string(), {{"SDL_AUDIODRIVER", "dummy"}, {"DISPLAY", display.Name()}});
    ASSERT_TRUE(display.StartFullScreen()) << game.ErrorOutput();
    display.Kill();
    EXPECT_EQ(game.Wait(10s), 1) << game.ErrorOutput();
    EXPECT_NE(game.ErrorOutput().find("connection to the display was lost"), std::string::npos) << game.ErrorOutput();
}

// Content the game cannot read at all leaves it nothing to draw: it says
// so in the message box (the cause on standard error) and exits with an
// error, instead of showing an empty screen.
TEST_F(StartupTest, ContentWithoutOnePictureShowsTheDeviceFailure) {
    struct Case {
        const char* what;
        void (*spoil)(const fs::path& folder);
    };
    const Case cases[] = {
        {"no archive", [](const fs::path& f) { fs::remove(f / "zelkor.dat"); }},
        {"an empty archive", [](const fs::path& f) { std::ofstream(f / "zelkor.dat", std::ios::trunc); }},
        {"random bytes",
         [](const fs::path& f) {
             std::ofstream out(f / "zelkor.dat", std::ios::binary | std::ios::trunc);
             std::mt19937 random(3);
             for (int i = 0; i < 4096; ++i) out.put(char(random()));
         }},
        {"a cut archive", [](const fs::path& f) { fs::resize_file(f / "zelkor.dat", 1000); }},
        {"no \"Content\" group",
         [](const fs::path& f) {
             std::ofstream(f / "zelkor.def", std::ios::trunc)
                 << "<resources><group name=\"Other\"><image name=\"ground\" source=\"zelkor.dat\" key=\"ground\"/></group></resources>";
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(folder);
        fs::create_directories(folder);
        CopyContent();
        c.spoil(folder);
        auto game = Start();
        auto launcher = WaitForLauncher();
        ASSERT_NE(launcher.Id, 0u);
        StartButtonWindowed(launcher);
        CloseErrorBox(*game);
        const std::string errors = game->ErrorOutput();
        EXPECT_NE(errors.find("Failed initializing video device!"), std::string::npos) << errors;
        EXPECT_NE(errors.find("no picture of the group"), std::string::npos) << errors;
    }
}

// An archive whose every record is damaged: the game starts with nothing
// to draw, names what it could not read, and still ends cleanly.
TEST_F(StartupTest, ArchiveWithEveryRecordDamagedStartsWithoutTheContent) {
    CopyContent();
    {
        std::fstream dat(folder / "zelkor.dat", std::ios::in | std::ios::out | std::ios::binary);
        dat.seekg(0, std::ios::end);
        const auto size = static_cast<long long>(dat.tellg());
        // Past the 12-byte header, every 97th byte flipped: each record's
        // stored bytes are touched; the table at the end is left intact.
        std::mt19937 random(7);
        for (long long at = 12; at < size * 9 / 10; at += 97) {
            dat.seekg(at);
            char c = 0;
            dat.get(c);
            dat.seekp(at);
            dat.put(char(c ^ 0x5A));
        }
    }
    auto game = Start();
    auto launcher = WaitForLauncher();
    ASSERT_NE(launcher.Id, 0u);
    driver.Key(launcher, "Return");
    auto window = TXDriver::TWindowInfo{};
    const bool opened = TXDriver::WaitUntil(
        [&] {
            window = {};
            for (auto& w : driver.FindWindows("Zelkor Chess"))
                if (w.Width != kLauncherW) window = w;
            return window.Id != 0 || !game->Running();
        },
        20s);
    ASSERT_TRUE(opened);
    std::this_thread::sleep_for(1s);
    EXPECT_TRUE(game->Running()) << "exit " << game->Wait(0ms) << ": " << game->ErrorOutput();
    game->Signal(SIGTERM);
    const int code = game->Wait(10s);
    EXPECT_TRUE(code == 0 || code == 1) << code << ": " << game->ErrorOutput();
    EXPECT_NE(game->ErrorOutput().find("Zelkor Chess:"), std::string::npos) << "what failed must be named";
}

// Installed under a prefix and started as the desktop entry says, from a
// folder without any content (a desktop starts programs in the home folder).
TEST_F(StartupTest, TheInstalledGameStartsFromItsDesktopEntryInAnyFolder) {
    const fs::path prefix = folder / "prefix";
    const std::string command = std::string("\"") + ZELKOR_CMAKE + "\" --install \"" + ZELKOR_BUILD_DIR + "\" --prefix \"" +
                                prefix.string() + "\" > \"" + (folder / "install.log").string() + "\" 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    EXPECT_TRUE(fs::exists(prefix / "share/icons/hicolor/256x256/apps/zelkor-chess.png"));
    std::ifstream entry(prefix / "share/applications/zelkor-chess.desktop");
    ASSERT_TRUE(entry) << "no desktop entry";
    std::string line, exec, icon;
    while (std::getline(entry, line)) {
        if (line.rfind("Exec=", 0) == 0) exec = line.substr(5);
        if (line.rfind("Icon=", 0) == 0) icon = line.substr(5);
    }
    EXPECT_EQ(icon, "zelkor-chess");
    ASSERT_TRUE(fs::exists(exec)) << "the entry starts \"" << exec << "\"";
    const fs::path home = folder / "home";
    fs::create_directories(home);
    auto game = std::make_unique<TGameProcess>(exec, home.string(),
                                               std::vector<std::pair<std::string, std::string>>{{"SDL_AUDIODRIVER", "dummy"}});
    auto launcher = WaitForLauncher();
    ASSERT_NE(launcher.Id, 0u);
    driver.Click(launcher, 245 + 8, 312 + 8);
    driver.Click(launcher, kStartX, kStartY);
    auto scene = driver.WaitForWindow("Zelkor Chess", 1024, 768, 20s);
    ASSERT_NE(scene.Id, 0u) << "no game window; errors: " << game->ErrorOutput();
    ExpectTitleShown(scene, 0, 0, 1.0);
    game->Signal(SIGTERM);
    EXPECT_EQ(game->Wait(10s), 0) << game->ErrorOutput();
    EXPECT_EQ(game->ErrorOutput().find("Zelkor Chess:"), std::string::npos) << game->ErrorOutput();
}

TEST_F(StartupTest, WithoutADisplayItSaysSoAndExitsWithAnError) {
    CopyContent();
    auto game = Start({"DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER"});
    EXPECT_EQ(game->Wait(20s), 1);
    EXPECT_NE(game->ErrorOutput().find("Failed initializing video device!"), std::string::npos) << game->ErrorOutput();
}

} // namespace

// The game program started as a player starts it, on the test display:
// the launcher and its two ways into the game, full screen, and the ways
// start-up can fail. Each run gets its own folder with the content it
// needs (or damaged content), and is driven through XTEST.

#include <gtest/gtest.h>

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
    // Untick full screen, then start.
    driver.Click(launcher, 245 + 8, 312 + 8);
    driver.Click(launcher, kStartX, kStartY);
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
    auto box = driver.WaitForWindow("Error", 0, 0, 20s);
    ASSERT_NE(box.Id, 0u) << "no message box; errors: " << game->ErrorOutput();
    EXPECT_EQ(game->Wait(300ms), -1) << "the program must wait for the box to be closed";
    // Ready once drawn: its face is no longer the bare window's black.
    EXPECT_TRUE(TXDriver::WaitUntil([&] { return driver.Pixel(box, 4, 4) != 0x000000u; }, 10s)) << Keep(box, "box");
    driver.Key(box, "Return");
    EXPECT_EQ(game->Wait(10s), 1);
    EXPECT_NE(game->ErrorOutput().find("Failed initializing video device!"), std::string::npos) << game->ErrorOutput();
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

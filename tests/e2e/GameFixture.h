#pragma once
// The game program on the test display: a fresh folder per test with the
// content it needs, the program started there without sound, its launcher
// found once it has painted, and what its windows show compared with the
// golden pictures of the screens.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

#include "tools/xdrive/GameProcess.h"
#include "tools/xdrive/XDriver.h"
#include "tools/pack/Png.h"

namespace zelkor::testing_support {

using namespace zelkor::xdrive;
using namespace std::chrono_literals;
namespace fs = std::filesystem;


constexpr int kLauncherW = 630, kLauncherH = 360;
// The start button's centre in the launcher.
constexpr int kStartX = 205 + 108, kStartY = 213 + 12;

class GameTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(driver.Ok()) << "needs an X display with the XTEST extension";
        folder = fs::temp_directory_path() /
                 ("zelkor-e2e-" + std::to_string(::getpid()) + "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
        fs::create_directories(folder);
        // Park the pointer away from where windows open.
        driver.MoveTo({}, 1270, 1010);
    }
    void TearDown() override { fs::remove_all(folder); }

    void CopyContent() {
        for (const char* name : {"zelkor.dat", "zelkor.def"})
            fs::copy_file(fs::path(ZELKOR_GAME).parent_path() / name, folder / name, fs::copy_options::overwrite_existing);
    }

    // The game started in the test's folder; `program` another copy of it.
    std::unique_ptr<TGameProcess> Start(const std::vector<std::string>& unset = {}, const std::string& program = ZELKOR_GAME) {
        // No sound card on a test machine.
        auto game = std::make_unique<TGameProcess>(program, folder.string(),
                                                   std::vector<std::pair<std::string, std::string>>{{"SDL_AUDIODRIVER", "dummy"}},
                                                   unset);
        EXPECT_TRUE(game->Started());
        return game;
    }

    TXDriver::TWindowInfo WaitForLauncher() {
        auto launcher = driver.WaitForWindow("Zelkor Chess", kLauncherW, kLauncherH, 20s);
        EXPECT_NE(launcher.Id, 0u) << "the launcher never showed";
        // Ready for input once its first picture is up: the panel's silver.
        const bool painted = TXDriver::WaitUntil(
            [&] { return ColorDistance(driver.Pixel(launcher, 190, 105), 0xD0D0D4) < 24; }, 20s);
        EXPECT_TRUE(painted) << "the launcher never painted: " << Keep(launcher, "launcher");
        return launcher;
    }

    // The title screen's ground where nothing moves over it (the logo), as
    // the golden title picture has it.
    void ExpectTitleShown(const TXDriver::TWindowInfo& window, int x0, int y0, double scale) {
        ExpectScreenShown(window, "title", {{600, 140}, {760, 150}, {880, 230}, {700, 60}, {980, 700}}, x0, y0, scale);
    }
    // Waits until the window shows the golden picture's pixels at `points`
    // (scene pixels, drawn at `scale` from (x0, y0) in the window).
    void ExpectScreenShown(const TXDriver::TWindowInfo& window, const std::string& golden,
                           const std::vector<std::pair<int, int>>& points, int x0, int y0, double scale) {
        const TPixelSheet& want = Golden(golden);
        ASSERT_EQ(want.Width, 1024);
        bool shown = TXDriver::WaitUntil(
            [&] {
                for (auto [x, y] : points) {
                    const uint32_t expected = want.Pixels[size_t(y) * 1024 + size_t(x)] & 0xFFFFFF;
                    const uint32_t got = driver.Pixel(window, x0 + int(x * scale), y0 + int(y * scale));
                    if (ColorDistance(expected, got) > 40) return false;
                }
                return true;
            },
            20s);
        if (!shown) ADD_FAILURE() << "the " << golden << " screen never showed; the window as it was: " << Keep(window, golden);
    }

    // Writes what the window shows into the build's e2e-out folder; the file's name.
    std::string Keep(const TXDriver::TWindowInfo& window, const std::string& what) {
        TPixelSheet sheet{window.Width, window.Height, driver.Capture(window)};
        if (sheet.Pixels.empty()) return "(unreadable)";
        fs::create_directories(ZELKOR_E2E_OUT);
        const std::string name = std::string(ZELKOR_E2E_OUT) + "/" +
                                 ::testing::UnitTest::GetInstance()->current_test_info()->name() + "." + what + ".png";
        std::string error;
        return WritePng(name, sheet, error) ? name : error;
    }

    // A golden picture of tests/golden, read once.
    const TPixelSheet& Golden(const std::string& name) {
        TPixelSheet& sheet = goldens_[name];
        if (sheet.Pixels.empty()) {
            std::string error;
            EXPECT_TRUE(ReadPng(std::string(ZELKOR_GOLDEN_DIR) + "/" + name + ".png", sheet, error)) << error;
        }
        return sheet;
    }

    // Whether a rectangle of the window shows what the golden picture has
    // there: at most 1 % of its pixels off by more than `tolerance` in a channel.
    bool RegionLike(const TXDriver::TWindowInfo& window, const std::string& golden, int x, int y, int w, int h,
                    int tolerance = 40) {
        const std::vector<uint32_t> want = GoldenRegion(golden, x, y, w, h);
        const std::vector<uint32_t> got = driver.CaptureRegion(window, x, y, w, h);
        if (want.empty() || got.size() != want.size()) return false;
        int off = 0;
        for (size_t i = 0; i < got.size(); ++i)
            if (ColorDistance(got[i], want[i]) > tolerance) ++off;
        return off * 100 <= w * h;
    }
    // A rectangle of a golden picture, row by row as CaptureRegion returns
    // one; empty when the picture is unreadable or the rectangle leaves it.
    std::vector<uint32_t> GoldenRegion(const std::string& golden, int x, int y, int w, int h) {
        const TPixelSheet& sheet = Golden(golden);
        if (x < 0 || y < 0 || w <= 0 || h <= 0 || x + w > sheet.Width || y + h > sheet.Height ||
            sheet.Pixels.size() != size_t(sheet.Width) * size_t(sheet.Height))
            return {};
        std::vector<uint32_t> part;
        part.reserve(size_t(w) * size_t(h));
        for (int j = y; j < y + h; ++j)
            for (int i = x; i < x + w; ++i) part.push_back(sheet.Pixels[size_t(j) * size_t(sheet.Width) + size_t(i)]);
        return part;
    }
    // Waits until RegionLike holds; on a time-out the window is kept for the report.
    bool WaitForRegion(const TXDriver::TWindowInfo& window, const std::string& golden, int x, int y, int w, int h,
                       const std::string& what, std::chrono::milliseconds limit = 20s) {
        if (TXDriver::WaitUntil([&] { return RegionLike(window, golden, x, y, w, h); }, limit)) return true;
        ADD_FAILURE() << what << " never showed; the window as it was: " << Keep(window, what);
        return false;
    }

    // Leaves the launcher for a window (full screen unticked) with its start button.
    void StartButtonWindowed(const TXDriver::TWindowInfo& launcher) {
        driver.Click(launcher, 245 + 8, 312 + 8);
        driver.Click(launcher, kStartX, kStartY);
    }

    // Waits for the game's error box, closes it with Enter once it is drawn,
    // and expects the game to end with status 1.
    void CloseErrorBox(TGameProcess& game) {
        auto box = driver.WaitForWindow("Error", 0, 0, 20s);
        ASSERT_NE(box.Id, 0u) << "no message box; errors: " << game.ErrorOutput();
        // Ready once drawn: its face is no longer the bare window's black.
        EXPECT_TRUE(TXDriver::WaitUntil([&] { return driver.Pixel(box, 4, 4) != 0x000000u; }, 10s)) << Keep(box, "box");
        driver.Key(box, "Return");
        EXPECT_EQ(game.Wait(10s), 1) << game.ErrorOutput();
    }

    // The game started from the launcher in a window (full screen unticked),
    // on its title screen; Id 0 on failure.
    TXDriver::TWindowInfo StartWindowed(TGameProcess& game) {
        auto launcher = WaitForLauncher();
        if (launcher.Id == 0) return {};
        StartButtonWindowed(launcher);
        auto scene = driver.WaitForWindow("Zelkor Chess", 1024, 768, 20s);
        EXPECT_NE(scene.Id, 0u) << "no 1024 x 768 game window; errors: " << game.ErrorOutput();
        if (scene.Id == 0) return {};
        ExpectTitleShown(scene, 0, 0, 1.0);
        return scene;
    }

    TXDriver driver;
    fs::path folder;

private:
    std::map<std::string, TPixelSheet> goldens_;
};

} // namespace zelkor::testing_support

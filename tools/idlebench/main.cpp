// zelkor-idlebench: what the game costs a machine while the player does
// little. It starts the game on a virtual display of its own (or on
// $DISPLAY with --display), goes through the launcher, the title screen, a
// game waiting for the player, the game minimised and moves answered by
// the computer at Hard, as a player would (through XTEST), and prints the
// share of a core that each group of the game's threads, and the display
// server, used in each state. For the computer's moves it also prints the
// wall time from the player's move landing to the computer's piece
// lifting, against the engine thread's CPU time in that stretch.
//
//   zelkor-idlebench [--game PATH] [--display] [--seconds N] [--moves N]

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "chess/Square.h"
#include "game/geometry/BoardGeometry.h"
#include "tools/idlebench/ThreadTimes.h"
#include "tools/xdrive/GameProcess.h"
#include "tools/xdrive/XDriver.h"

using namespace zelkor;
using namespace zelkor::idlebench;
using namespace zelkor::xdrive;
using namespace std::chrono_literals;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

struct TOptions {
    std::string Game = ZELKOR_GAME;
    bool OwnDisplay = true;
    int Seconds = 5;
    int Moves = 6;
};

struct TRect {
    int X, Y, W, H;
};

// Places on the game's screens (1024 x 768, windowed).
constexpr TRect kStatus{10, 718, 240, 32};
constexpr int kItemX = 120;
int ItemY(int item) { return 155 + 40 * (item - 1) + 12; }
constexpr int kRestX = 600, kRestY = 700;

// The thread groups of the table, in its order.
const std::vector<std::string> kGroups = {"main", "engine", "drawing", "sound", "other"};

std::string GroupOf(pid_t pid, int tid, const std::string& name) {
    if (tid == pid) return "main";
    if (name == "engine") return "engine";
    if (name.rfind("llvmpipe", 0) == 0 || name.rfind("gallium", 0) == 0) return "drawing";
    if (name == "audio-stream" || name.rfind("SDLAudio", 0) == 0) return "sound";
    return "other";
}

double Share(uint64_t ns, double seconds) { return seconds > 0 ? 100.0 * double(ns) / 1e9 / seconds : 0; }

// A display of the benchmark's own: Xvfb on the first free number from 90.
class TOwnDisplay {
public:
    bool Start(std::string& error) {
        for (int n = 90; n < 140; ++n) {
            if (fs::exists("/tmp/.X11-unix/X" + std::to_string(n)) || fs::exists("/tmp/.X" + std::to_string(n) + "-lock"))
                continue;
            Name = ":" + std::to_string(n);
            const char* xvfb = fs::exists("/usr/bin/Xvfb") ? "/usr/bin/Xvfb" : "/usr/local/bin/Xvfb";
            server_ = std::make_unique<TGameProcess>(xvfb, "/", std::vector<std::pair<std::string, std::string>>{},
                                                     std::vector<std::string>{},
                                                     std::vector<std::string>{Name, "-screen", "0", "1280x1024x24",
                                                                              "-noreset", "-nolisten", "tcp"});
            const std::string socket = "/tmp/.X11-unix/X" + std::to_string(n);
            if (TXDriver::WaitUntil([&] { return fs::exists(socket) || !server_->Running(); }, 20s) && server_->Running())
                return true;
            error = "Xvfb did not start on " + Name + ": " + server_->ErrorOutput();
            return false;
        }
        error = "no free display number";
        return false;
    }
    pid_t Pid() const { return server_ ? server_->Pid() : 0; }
    std::string Name;

private:
    std::unique_ptr<TGameProcess> server_;
};

class TBench {
public:
    TBench(const TOptions& options, TXDriver& driver, TGameProcess& game, pid_t server)
        : o_(options), driver_(driver), game_(game), server_(server) {}

    void PrintHeader() {
        std::printf("%-30s", "state (% of one core)");
        for (const std::string& g : kGroups) std::printf(" %8s", g.c_str());
        std::printf(" %8s %9s\n", "game", "X server");
    }

    // Shares of the last `seconds` of quiet.
    void MeasureState(const std::string& label) {
        const auto threads0 = ReadThreads(game_.Pid());
        const auto server0 = ServerNs();
        const auto t0 = Clock::now();
        std::this_thread::sleep_for(std::chrono::seconds(o_.Seconds));
        const auto threads1 = ReadThreads(game_.Pid());
        const auto server1 = ServerNs();
        const double seconds = std::chrono::duration<double>(Clock::now() - t0).count();
        PrintRow(label, RunByGroup(threads0, threads1, [&](int tid, const std::string& n) { return GroupOf(game_.Pid(), tid, n); }),
                 server1 - server0, seconds);
    }

    void PrintRow(const std::string& label, const std::map<std::string, uint64_t>& groups, uint64_t serverNs, double seconds) {
        std::printf("%-30s", label.c_str());
        uint64_t total = 0;
        for (const std::string& g : kGroups) {
            const auto it = groups.find(g);
            const uint64_t ns = it == groups.end() ? 0 : it->second;
            total += ns;
            std::printf(" %7.1f%%", Share(ns, seconds));
        }
        std::printf(" %7.1f%%", Share(total, seconds));
        if (server_ > 0)
            std::printf(" %8.1f%%\n", Share(serverNs, seconds));
        else
            std::printf(" %9s\n", "-");
        std::fflush(stdout);
    }

    uint64_t ServerNs() const {
        uint64_t ns = 0;
        if (server_ > 0)
            for (const auto& [tid, t] : ReadThreads(server_)) ns += t.RunNs;
        return ns;
    }

    // The computer's replies at Hard: see the file's comment. False when
    // not one move could be measured.
    bool MeasureMoves(const TXDriver::TWindowInfo& scene) {
        struct TCandidate {
            const char* From;
            const char* To;
        };
        // Quiet developing moves; one that the position does not allow is skipped.
        static const TCandidate kCandidates[] = {{"g1", "f3"}, {"b1", "c3"}, {"e2", "e3"}, {"d2", "d4"}, {"f1", "d3"},
                                                 {"e1", "g1"}, {"a2", "a3"}, {"h2", "h3"}, {"b2", "b3"}, {"c1", "d2"},
                                                 {"d1", "e2"}, {"a1", "b1"}, {"g2", "g3"}, {"f1", "e1"}, {"b1", "a1"}};
        std::vector<double> walls, cpus, shown;
        std::map<std::string, uint64_t> groups;
        uint64_t serverNs = 0;
        double seconds = 0;
        for (const TCandidate& c : kCandidates) {
            if (int(walls.size()) >= o_.Moves) break;
            const auto status = Grab(scene, kStatus);
            Click(scene, c.From);
            Click(scene, c.To);
            driver_.MoveTo(scene, kRestX, kRestY);
            // The move is taken once the status line leaves "Your move?".
            Clock::time_point t0;
            if (!TXDriver::WaitUntil([&] { return Grab(scene, kStatus) != status; }, 4s)) continue;
            t0 = Clock::now();
            const auto threads0 = ReadThreads(game_.Pid());
            const uint64_t server0 = ServerNs();
            const auto board0 = Patches(scene);
            // The computer's move is delivered when one of its pieces lifts.
            std::map<int, TThreadTimes> threads1;
            uint64_t server1 = 0;
            Clock::time_point t1;
            const bool replied = TXDriver::WaitUntil(
                [&] {
                    threads1 = ReadThreads(game_.Pid());
                    server1 = ServerNs();
                    t1 = Clock::now();
                    return AnyChanged(board0, Patches(scene));
                },
                120s);
            if (!replied) {
                std::fprintf(stderr, "zelkor-idlebench: the computer never replied to %s-%s\n", c.From, c.To);
                break;
            }
            const bool back = TXDriver::WaitUntil([&] { return Grab(scene, kStatus) == status; }, 60s);
            const auto t2 = Clock::now();
            const double wall = std::chrono::duration<double>(t1 - t0).count();
            const auto moveGroups =
                RunByGroup(threads0, threads1, [&](int tid, const std::string& n) { return GroupOf(game_.Pid(), tid, n); });
            const double cpu = moveGroups.count("engine") ? double(moveGroups.at("engine")) / 1e9 : 0;
            for (const auto& [g, ns] : moveGroups) groups[g] += ns;
            serverNs += server1 - server0;
            seconds += wall;
            walls.push_back(wall);
            cpus.push_back(cpu);
            shown.push_back(std::chrono::duration<double>(t2 - t0).count());
            std::fprintf(stderr, "  %s-%s: reply after %.2f s wall, %.2f s engine CPU (%.2fx); \"Thinking...\" %s %.2f s\n", c.From,
                         c.To, wall, cpu, cpu > 0 ? wall / cpu : 0.0, back ? "shown" : "still shown after", shown.back());
        }
        if (walls.empty()) {
            std::printf("%-30s no move could be played\n", "computer thinking (Hard)");
            return false;
        }
        PrintRow("computer thinking (Hard)", groups, serverNs, seconds);
        std::vector<double> ratios;
        for (size_t i = 0; i < walls.size(); ++i) ratios.push_back(cpus[i] > 0 ? walls[i] / cpus[i] : 0);
        std::printf("\nHard moves: %zu; median engine CPU %.2f s, median wall time to the reply %.2f s, median ratio %.2f "
                    "(range %.2f to %.2f); median \"Thinking...\" shown %.2f s\n",
                    walls.size(), Median(cpus), Median(walls), Median(ratios), *std::min_element(ratios.begin(), ratios.end()),
                    *std::max_element(ratios.begin(), ratios.end()), Median(shown));
        return true;
    }

private:
    static double Median(std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
    }
    std::vector<uint32_t> Grab(const TXDriver::TWindowInfo& w, const TRect& r) {
        return driver_.CaptureRegion(w, r.X, r.Y, r.W, r.H);
    }
    void Click(const TXDriver::TWindowInfo& scene, const char* square) {
        const auto c = game::SquareCenter(SquareFromName(square), game::TScreenPoint{0, 0});
        driver_.Click(scene, c.X, c.Y);
        std::this_thread::sleep_for(150ms);
    }
    // Just above each square's middle: the body of a piece standing there.
    std::vector<std::vector<uint32_t>> Patches(const TXDriver::TWindowInfo& scene) {
        std::vector<std::vector<uint32_t>> all;
        for (int i = 1; i <= 64; ++i) {
            const auto c = game::SquareCenter(static_cast<Square>(i), game::TScreenPoint{0, 0});
            all.push_back(Grab(scene, {c.X - 4, c.Y - 16, 8, 10}));
        }
        return all;
    }
    static bool AnyChanged(const std::vector<std::vector<uint32_t>>& a, const std::vector<std::vector<uint32_t>>& b) {
        for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
            if (a[i].size() != b[i].size() || a[i].empty()) continue;
            size_t n = 0;
            for (size_t k = 0; k < a[i].size(); ++k) n += ColorDistance(a[i][k], b[i][k]) > 40;
            if (n * 10 > a[i].size() * 3) return true;
        }
        return false;
    }

    const TOptions& o_;
    TXDriver& driver_;
    TGameProcess& game_;
    pid_t server_;
};

int Fail(const std::string& what) {
    std::fprintf(stderr, "zelkor-idlebench: %s\n", what.c_str());
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    TOptions o;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--game" && i + 1 < argc)
            o.Game = argv[++i];
        else if (a == "--display")
            o.OwnDisplay = false;
        else if (a == "--seconds" && i + 1 < argc)
            o.Seconds = std::max(1, std::atoi(argv[++i]));
        else if (a == "--moves" && i + 1 < argc)
            o.Moves = std::max(1, std::atoi(argv[++i]));
        else {
            std::fprintf(stderr, "usage: zelkor-idlebench [--game PATH] [--display] [--seconds N] [--moves N]\n");
            return 2;
        }
    }
    o.Game = fs::absolute(o.Game).string();
    if (!fs::exists(o.Game)) return Fail("no game program at " + o.Game);

    TOwnDisplay own;
    std::string display;
    if (o.OwnDisplay) {
        std::string error;
        if (!own.Start(error)) return Fail(error);
        display = own.Name;
    } else {
        const char* d = std::getenv("DISPLAY");
        if (!d) return Fail("--display needs $DISPLAY");
        display = d;
    }
    TXDriver driver(display.c_str());
    if (!driver.Ok()) return Fail("cannot drive display " + display + " (XTEST is needed)");

    // The game's folder: its content, and its music so that the music plays.
    const fs::path folder = fs::temp_directory_path() / ("zelkor-idlebench-" + std::to_string(getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    for (const auto& entry : fs::directory_iterator(fs::path(o.Game).parent_path())) {
        const std::string name = entry.path().filename().string();
        if (name == "zelkor.dat" || name == "zelkor.def" || entry.path().extension() == ".mp3")
            fs::copy_file(entry.path(), folder / name, fs::copy_options::overwrite_existing);
    }
    struct TCleanup {
        fs::path Folder;
        ~TCleanup() {
            std::error_code ec;
            fs::remove_all(Folder, ec);
        }
    } cleanup{folder};

    std::printf("zelkor-idlebench: %s on display %s%s, %u cores, %d s per state\n\n", o.Game.c_str(), display.c_str(),
                o.OwnDisplay ? " (Xvfb of its own)" : "", std::thread::hardware_concurrency(), o.Seconds);
    driver.MoveTo({}, 1270, 1010);
    // No sound card on a virtual display: the dummy device still takes the sound at its pace.
    TGameProcess game(o.Game, folder.string(), {{"SDL_AUDIODRIVER", "dummy"}, {"DISPLAY", display}});
    if (!game.Started()) return Fail("the game did not start");
    TBench bench(o, driver, game, own.Pid());

    auto launcher = driver.WaitForWindow("Zelkor Chess", 630, 360, 30s);
    if (launcher.Id == 0) return Fail("the launcher never showed: " + game.ErrorOutput());
    if (!TXDriver::WaitUntil([&] { return ColorDistance(driver.Pixel(launcher, 190, 105), 0xD0D0D4) < 24; }, 30s))
        return Fail("the launcher never painted");
    std::this_thread::sleep_for(2s);
    bench.PrintHeader();
    bench.MeasureState("launcher idle");

    // Windowed: full screen unticked, then the start button.
    driver.Click(launcher, 245 + 8, 312 + 8);
    driver.Click(launcher, 205 + 108, 213 + 12);
    auto scene = driver.WaitForWindow("Zelkor Chess", 1024, 768, 30s);
    if (scene.Id == 0) return Fail("no game window: " + game.ErrorOutput());
    // The title's ground is up once the logo's corner is no longer black.
    if (!TXDriver::WaitUntil([&] { return (driver.Pixel(scene, 700, 60) & 0xFFFFFF) != 0; }, 60s))
        return Fail("the title screen never showed");
    driver.MoveTo(scene, 900, 700);
    std::this_thread::sleep_for(2s);
    bench.MeasureState("title screen");

    // Hard: the options list's difficulty item, from Easy, twice; then a game.
    driver.Click(scene, kItemX, ItemY(3));
    std::this_thread::sleep_for(1s);
    driver.Click(scene, kItemX, ItemY(2));
    std::this_thread::sleep_for(300ms);
    driver.Click(scene, kItemX, ItemY(2));
    std::this_thread::sleep_for(300ms);
    driver.Click(scene, kItemX, ItemY(9));
    std::this_thread::sleep_for(1s);
    driver.Click(scene, kItemX, ItemY(1));
    std::this_thread::sleep_for(3s);
    driver.MoveTo(scene, kRestX, kRestY);
    std::this_thread::sleep_for(2s);
    bench.MeasureState("game, player to move");

    driver.Minimize(scene);
    std::this_thread::sleep_for(2s);
    bench.MeasureState("minimised");
    driver.Restore(scene);
    if (!TXDriver::WaitUntil([&] { return driver.Refresh(scene) && scene.Viewable; }, 10s))
        return Fail("the game window did not come back");
    std::this_thread::sleep_for(2s);

    const bool moved = bench.MeasureMoves(scene);
    game.Signal(SIGTERM);
    const int status = game.Wait(10s);
    if (status != 0) std::fprintf(stderr, "zelkor-idlebench: the game ended with status %d: %s\n", status, game.ErrorOutput().c_str());
    return moved && status == 0 ? 0 : 1;
}

// zelkor-soak: plays computer-against-computer games through the real
// hidden board, its engine thread and the scene's game logic, without a
// display. The side the scene gives the player is played by a second
// engine on this thread; the board's own engine plays the other. Depths
// are random from 1 to 4; options and the engine's priority change as the
// games go; new games start in the middle of a search and in the middle of
// a glide.
//   zelkor-soak [--games N] [--seed S] [--max-plies P]
// Checks that every delivered move is legal, that the scene's board agrees
// with the board component whenever nothing glides, that every game ends
// (mate, a draw, or the ply cap), that no stop of the engine costs more
// than a second of CPU time or hangs (more than two minutes on the clock),
// and that memory stays flat; prints games per hour and the count of each
// ending. Exits 1 on the first failed check.
//
// The stop is judged by the CPU time the process spends in it, not by the
// clock: on a busy machine the worker (at a low priority, now and then)
// may wait long for a core before it sees the stop, and that says nothing
// about the engine. What the check is for is a stop that hangs: one that
// spins spends CPU time, one that blocks for good trips the hard bound.
// (A search here, depth 4 at most, costs a few milliseconds: a worker that
// ignored the stop would pass this check, as it passed the clock's.)

#include <time.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "chess/ChessBoard.h"
#include "chess/ChessEngine.h"
#include "game/logic/GameFlow.h"
#include "platform/Application.h"

using namespace zelkor;
using namespace zelkor::game;
using Clock = std::chrono::steady_clock;

namespace {

long ResidentKilobytes() {
    std::ifstream status("/proc/self/status");
    std::string key;
    long value = 0;
    while (status >> key) {
        if (key == "VmRSS:") {
            status >> value;
            return value;
        }
        status.ignore(1 << 12, '\n');
    }
    return 0;
}

// The CPU time all threads of this process have used, in seconds.
double ProcessCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

PieceCode CodeOf(char letter) {
    static const std::string kLetters = "PNBRQK";
    for (size_t i = 0; i < kLetters.size(); ++i) {
        if (letter == kLetters[i]) return PieceCode(i + 1);
        if (letter == char(kLetters[i] - 'A' + 'a')) return PieceCode(-int(i) - 1);
    }
    return 0;
}

[[noreturn]] void Fail(const std::string& what, int game) {
    std::fprintf(stderr, "zelkor-soak: game %d: %s\n", game, what.c_str());
    std::fflush(stderr);
    // The engine's thread may be in the middle of a search: leave at once.
    std::_Exit(1);
}

// Ends the program when a stop of the engine has not returned after a
// bound far beyond what any load explains: the engine is stuck.
class TStopWatchdog {
public:
    static constexpr double kHardLimit = 120.0;  // seconds on the clock

    TStopWatchdog() : thread_([this] { Watch(); }) {}
    ~TStopWatchdog() {
        {
            std::lock_guard lock(mutex_);
            quit_ = true;
        }
        wake_.notify_all();
        thread_.join();
    }

    void Begin(int game) {
        std::lock_guard lock(mutex_);
        game_ = game;
        since_ = Clock::now();
        waiting_ = true;
    }
    void End() {
        std::lock_guard lock(mutex_);
        waiting_ = false;
    }

private:
    void Watch() {
        std::unique_lock lock(mutex_);
        while (!quit_) {
            wake_.wait_for(lock, std::chrono::seconds(1));
            if (!waiting_) continue;
            const double waited = std::chrono::duration<double>(Clock::now() - since_).count();
            if (waited > kHardLimit)
                Fail("a new game has waited " + std::to_string(waited) + " s for the engine to stop", game_);
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    bool quit_ = false;
    bool waiting_ = false;
    int game_ = 0;
    Clock::time_point since_;
    std::thread thread_;
};

// A move the board played, as the referee's copy must replay it.
struct TPlayedMove {
    Square From = Square::None;
    Square To = Square::None;
    char Promotion = 'q';  // what the board made of a pawn reaching the last rank
};

struct TSoak {
    TSceneState s;
    TChessBoard board;
    TWindowTimer clock;
    TGameFlow flow{s, board, clock};
    // The referee's copy: every delivered move must be legal here. It is
    // never painted and stays loading, so its own engine never starts:
    // resetting it then never waits for a worker, and never runs the main
    // thread's queued calls, among them the board's first move of the next
    // game, while the copy still holds the last one.
    TChessBoard shadow;
    TChessEngine player;
    std::mt19937 random;
    int game = 0;
    std::vector<TPlayedMove> pending;  // delivered, not yet on the shadow board
    bool settingUp = false;             // inside the scene's reset for a new game
    double longestStop = 0;             // on the clock
    double costliestStop = 0;           // in CPU time
    TStopWatchdog watchdog;

    explicit TSoak(unsigned seed) : random(seed) {
        board.SetAnimateMoves(false);
        flow.AttachBoardEvents();
        shadow.SetLoading(true);
        const auto scene = board.OnLegalMove;
        board.OnLegalMove = [this, scene](TObject* sender, Square a, Square b) {
            // Every stop of the engine in the reset refuses what the worker
            // still delivers; the new game's moves come only after it.
            if (settingUp)
                Fail("a move was played while a new game was set up: " + SquareName(a) + SquareName(b), game);
            CatchUpShadow();  // the move before may have come within the same pass
            if (!shadow.IsLegalMove(a, b)) Fail("an illegal move was delivered: " + SquareName(a) + SquareName(b), game);
            pending.push_back({a, b});
            if (std::getenv("ZELKOR_SOAK_TRACE")) std::fprintf(stderr, "%s%s ", SquareName(a).c_str(), SquareName(b).c_str());
            scene(sender, a, b);
        };
        // The piece is taken when the board asks for it: by the time the copy
        // replays the move, a later move may stand on that square.
        const auto promotion = board.OnPromotion;
        board.OnPromotion = [this, promotion](TObject* sender, Square a, Square b, char& piece) {
            promotion(sender, a, b, piece);
            if (!pending.empty()) pending.back().Promotion = piece;
        };
    }

    int Random(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); }

    void CatchUpShadow() {
        for (const TPlayedMove& m : pending) {
            shadow.SetPromotionPiece(m.Promotion);
            if (!shadow.ExecuteMove(m.From, m.To))
                Fail("the referee's copy refused " + SquareName(m.From) + SquareName(m.To), game);
        }
        pending.clear();
    }

    void NewGame() {
        watchdog.Begin(game);
        settingUp = true;
        const auto t0 = Clock::now();
        const double cpu0 = ProcessCpuSeconds();
        flow.ResetGame();  // stops a search under way, and any glide
        const double cpu = ProcessCpuSeconds() - cpu0;
        const double stop = std::chrono::duration<double>(Clock::now() - t0).count();
        settingUp = false;
        watchdog.End();
        longestStop = std::max(longestStop, stop);
        costliestStop = std::max(costliestStop, cpu);
        if (cpu > 1.0)
            Fail("a new game's stop of the engine took " + std::to_string(cpu) + " s of CPU time (" +
                     std::to_string(stop) + " s on the clock)",
                 game);
        // Nothing runs the main thread's queued calls from here until the
        // copy is back at the start with the board.
        pending.clear();
        shadow.ResetBoard();
        player.Reset();
    }

    void ExpectBoardsAgree() {
        for (int i = 1; i <= 64; ++i)
            if (s.Record.At(i) != CodeOf(board.PieceAt(static_cast<Square>(i))))
                Fail("the scene's board and the board component differ at " + SquareName(static_cast<Square>(i)), game);
    }

    // The player's move, found by the second engine, once the board has the
    // player to move (with Black, the engine's first move comes first).
    bool PlayerMoves() {
        if (board.WhiteToMove() != (PlayerSide(s.Options) == 1)) return false;
        std::array<char, 65> cells{};
        for (int i = 1; i <= 64; ++i) cells[size_t(i)] = board.PieceAt(static_cast<Square>(i));
        player.LoadPosition(cells, board.WhiteToMove(), board.CastlingAllowed(), board.EnPassant());
        const engine::EngineMove m = player.Think(Random(1, 4));
        const int from = m.From + 1, to = m.To + 1;
        if (s.Record.At(from) * s.Record.SideToMove <= 0)
            Fail("the player's piece on " + SquareName(static_cast<Square>(from)) + " is not the scene's side to move", game);
        s.SelectedSquare = from;
        s.SelectedPiece = s.Record.At(from);
        flow.StartPlayerMove(from, to);
        if (!s.Move.Animating) Fail("the scene refused the player's move " + SquareName(static_cast<Square>(from)) +
                                        SquareName(static_cast<Square>(to)), game);
        return true;
    }

    // One game; its ending.
    std::string Play(int maxPlies) {
        s.Options.ArmyChoice = Random(1, 2);
        s.Record.EngineDepth = Random(1, 4);
        s.Options.ClassicBoard = Random(1, 3);
        NewGame();
        TApplication& app = TApplication::Instance();
        int plies = 0;
        const int interruptAt = Random(0, 9) == 0 ? Random(2, 40) : -1;  // one game in ten is cut short
        int lastMove = board.CurrentMove() * 2 + (board.WhiteToMove() ? 0 : 1);
        for (;;) {
            app.ProcessMessages();
            CatchUpShadow();
            const int ply = board.CurrentMove() * 2 + (board.WhiteToMove() ? 0 : 1);
            if (ply != lastMove) {
                ++plies;
                lastMove = ply;
                // Now and then the player changes something while the game goes on.
                if (Random(0, 19) == 0)
                    board.SetThinkingPriority(static_cast<TThreadPriority>(Random(1, 5)));
                if (Random(0, 29) == 0) s.Options.ClassicBoard = Random(1, 3);
            }
            if (s.State == GameState::GameOver) return s.GameOverText.empty() ? "other" : s.GameOverText;
            if (plies >= maxPlies) return "ply cap";
            if (plies == interruptAt) {
                const bool searching = board.Thinking(), gliding = s.Move.Animating;
                NewGame();
                return searching ? "new game during a search" : gliding ? "new game during a glide" : "new game";
            }
            if (s.Move.Animating) {
                flow.TimerProcess();
                if (!s.Move.Animating && s.State != GameState::ChoosePromotion) {
                    app.ProcessMessages();
                    CatchUpShadow();
                }
                continue;
            }
            if (s.State == GameState::ChoosePromotion) {
                flow.CompletePromotion(Random(2, 5));
                continue;
            }
            if (s.State == GameState::YourMove && !board.Thinking()) {
                ExpectBoardsAgree();
                if (PlayerMoves()) continue;
            }
            app.WaitAndProcess(std::chrono::milliseconds(2));
        }
    }
};

} // namespace

int main(int argc, char** argv) {
    int games = 100, maxPlies = 300;
    unsigned seed = 1;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--games" && i + 1 < argc)
            games = std::max(1, std::atoi(argv[++i]));
        else if (a == "--seed" && i + 1 < argc)
            seed = unsigned(std::strtoul(argv[++i], nullptr, 10));
        else if (a == "--max-plies" && i + 1 < argc)
            maxPlies = std::max(2, std::atoi(argv[++i]));
        else {
            std::fprintf(stderr, "usage: zelkor-soak [--games N] [--seed S] [--max-plies P]\n");
            return 2;
        }
    }
    TSoak soak(seed);
    std::map<std::string, int> endings;
    long settledMemory = 0;
    const auto t0 = Clock::now();
    for (soak.game = 1; soak.game <= games; ++soak.game) {
        ++endings[soak.Play(maxPlies)];
        // Memory is measured once the first games have warmed everything up.
        if (soak.game == std::min(games, 20)) settledMemory = ResidentKilobytes();
        if (soak.game % 50 == 0) std::fprintf(stderr, "  %d games\n", soak.game);
    }
    soak.board.StopThinking();
    const double hours = std::chrono::duration<double>(Clock::now() - t0).count() / 3600.0;
    const long finalMemory = ResidentKilobytes();
    std::printf("%d games in %.1f min: %.0f games per hour\n", games, hours * 60, games / hours);
    for (const auto& [ending, count] : endings) std::printf("  %-28s %d\n", ending.c_str(), count);
    std::printf("longest wait for the engine to stop: %.1f ms (the costliest took %.1f ms of CPU time)\n",
                soak.longestStop * 1000, soak.costliestStop * 1000);
    std::printf("memory: %ld kB after %d games, %ld kB at the end (%+ld kB)\n", settledMemory, std::min(games, 20),
                finalMemory, finalMemory - settledMemory);
#if defined(__SANITIZE_ADDRESS__)
    // AddressSanitizer keeps freed memory in quarantine: growth says nothing here.
    const bool judgeMemory = false;
#else
    const bool judgeMemory = true;
#endif
    if (judgeMemory && games > 20 && finalMemory - settledMemory > 16 * 1024) {
        std::fprintf(stderr, "zelkor-soak: memory grew by %ld kB\n", finalMemory - settledMemory);
        return 1;
    }
    return 0;
}

#pragma once
// A UCI session over the engine: it reads protocol lines, keeps the
// position on a TChessBoard (which checks every move), runs searches on a
// thread of its own and writes the protocol's answers through `Output`.

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

#include "chess/ChessBoard.h"
#include "chess/ChessEngine.h"

namespace zelkor {

class UciSession {
public:
    // Gets each answer line, without its end. The calls come from the
    // thread that hands over the lines and from the search thread, one at a
    // time under the session's lock; nothing else may write to the same
    // stream meanwhile (a std::cin still tied to std::cout would flush it).
    using Output = std::function<void(const std::string& line)>;

    struct Options {
        // Search and count perft on the calling thread (for fuzzing and
        // tests); `stop` then has nothing to stop.
        bool Synchronous = false;
        // Depth used by a `go` without `depth` (also `go infinite`, which
        // then ends by itself).
        int DefaultDepth = 5;
        // Upper bound for `go depth` and `go perft` (the board allows 8).
        int MaxDepth = 8;
        int MaxPerftDepth = 7;
    };

    explicit UciSession(Output out);
    UciSession(Output out, Options options);
    ~UciSession();

    // Handles one line. Returns false after `quit`.
    bool HandleLine(std::string_view line);

    // Waits for a running search or perft to end by itself.
    void WaitForSearch();

    const TChessBoard& Board() const { return board_; }

private:
    void Position(std::string_view args);
    void Go(std::string_view args);
    // Counts the leaves of the move tree below each root move, on the
    // search thread like a search, so that `isready` is answered and `stop`
    // or `quit` end it meanwhile. A stopped count lists the root moves
    // counted in full and ends with "info string perft stopped", no total.
    void Perft(int depth);
    // The leaves `depth` plies below the engine's position; a partial count
    // once `stop_` is set.
    uint64_t PerftNodes(int depth);
    void StopSearch();
    // The board ends the game once the 64 squares have been seen three
    // times, whoever was to move: it then refuses every move. Chess goes on
    // there (a GUI sends the moves played after it and expects a move
    // back), so the session starts the board's record of positions afresh
    // from where it stands; the position itself, side, rights and
    // en-passant square stay, the move number starts again at 1.
    void ForgetRepetitions();
    void Search(int depth);
    void Say(const std::string& line);

    Output out_;
    Options options_;
    std::mutex outMutex_;
    TChessBoard board_;
    TChessEngine engine_;
    std::thread searcher_;
    std::atomic<bool> stop_{false};
};

// "e2e4", "e7e8q" for an engine move.
std::string UciMoveText(engine::EngineMove m);

} // namespace zelkor

#pragma once
// TChessThread: the worker that plays the computer's side. It never gets
// requests: at the start of every cycle it looks at the board's state as
// the board last published it, searches when the computer is to move, hands
// the move to the board on the main thread, and ends the cycle with a
// main-thread call in which the board may park it: when it is stopped, and
// when the computer has nothing to search (then until the board has work
// for it again).

#include <atomic>
#include <functional>
#include <mutex>

#include "chess/Castling.h"
#include "chess/ChessBoard.h"
#include "chess/ChessEngine.h"
#include "platform/Thread.h"

namespace zelkor {

// The board's state as the worker may read it. The board publishes it on
// the main thread; the worker copies it at the start of each cycle.
struct EngineSnapshot {
    BoardCells Cells{};
    bool WhiteToMove = true;
    bool ComputerPlaysWhite = false;
    bool ComputerPlaysBlack = false;
    CastleSet Castling;
    Square EnPassant = Square::None;
    int SearchDepth = 1;
    TThreadPriority Priority = TThreadPriority::tpNormal;
    bool HasLegalMove = true;   // false: no move of the side to move would be accepted
    uint64_t PositionVersion = 0;  // which position the snapshot shows
    uint64_t StopCount = 0;        // how many times the board had stopped its engine
};

class TChessThread : public TThread {
public:
    struct Links {
        // On the main thread: play oldSq -> newSq, found for the snapshot given.
        std::function<void(Square oldSq, Square newSq, const EngineSnapshot& foundFor)> DeliverMove;
        // On the main thread, at the end of every cycle.
        std::function<void()> CycleDone;
    };

    explicit TChessThread(Links links);
    ~TChessThread() override;

    // Main thread: what the next cycle will look at.
    void Publish(const EngineSnapshot& snapshot);

    std::atomic<bool> StopRequested{false};
    std::atomic<bool> Thinking{false};
    // Cycles run to their end so far.
    std::atomic<uint64_t> Cycles{0};

    // Only while the worker is parked or has ended.
    TChessEngine& Engine() { return engine_; }

protected:
    void Execute() override;

private:
    EngineSnapshot TakeSnapshot();
    engine::EngineMove ThinkMove(const EngineSnapshot& snapshot);

    Links links_;
    std::mutex snapshotMutex_;
    EngineSnapshot snapshot_;
    TChessEngine engine_;
};

} // namespace zelkor

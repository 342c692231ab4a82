#pragma once
// TEngineLink: the board's side of the engine hand-off. It owns the worker
// (TChessThread) and the custom-engine timer, publishes the position to the
// worker, parks and wakes it, and plays its moves on the main thread. The
// board owns one and keeps its public engine properties; everything here
// runs on the main thread.

#include <cstdint>
#include <memory>

#include "chess/Square.h"
#include "platform/ThreadPriority.h"
#include "platform/WindowTimer.h"

namespace zelkor {

class TChessBoard;
class TChessThread;
struct EngineSnapshot;

class TEngineLink {
public:
    explicit TEngineLink(TChessBoard& board);
    // Ends the worker without letting it play a move on the board.
    ~TEngineLink();
    TEngineLink(const TEngineLink&) = delete;
    TEngineLink& operator=(const TEngineLink&) = delete;

    // The board's StopThinking and StartThinking.
    void Stop();
    void Start();
    // After the first paint: the engine starts and the custom-engine timer runs.
    void StartLoop();
    // After a change that can make it the computer's turn without a Start:
    // wakes a worker that sleeps for want of work.
    void WakeIfIdle();
    // Whether the custom engine is to be asked for a move now, and asks it.
    void CustomEngineCheck();

    bool Thinking() const;
    uint64_t Cycles() const;
    void SetPriority(TThreadPriority priority);

private:
    void Publish();
    void DeliverMove(Square oldSq, Square newSq, const EngineSnapshot& foundFor);
    void CycleDone();
    // Whether the computer is to move in a position where a move can be played.
    bool HasWork();

    TChessBoard& board_;
    std::unique_ptr<TChessThread> thread_;
    TWindowTimer timer_;
    // Every Stop counts: a search the worker began before the last stop
    // never plays its move, even when the worker missed the stop.
    uint64_t stops_ = 0;
    int delivering_ = 0;  // depth of the worker's move deliveries in progress
    bool idle_ = false;   // parked because it had nothing to search (not stopped)
    bool ending_ = false;
};

} // namespace zelkor

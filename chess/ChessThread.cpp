#include "chess/ChessThread.h"

namespace zelkor {

TChessThread::TChessThread(Links links) : TThread("engine"), links_(std::move(links)) {}

TChessThread::~TChessThread() {
    // The owner normally ends the worker; make sure it has ended before the
    // engine and the links go away.
    if (!Finished()) {
        StopRequested = true;
        Terminate();
        Resume();
        WaitFor();
    }
}

void TChessThread::Publish(const EngineSnapshot& snapshot) {
    std::lock_guard lock(snapshotMutex_);
    snapshot_ = snapshot;
}

EngineSnapshot TChessThread::TakeSnapshot() {
    std::lock_guard lock(snapshotMutex_);
    return snapshot_;
}

engine::EngineMove TChessThread::ThinkMove(const EngineSnapshot& s) {
    engine_.LoadPosition(s.Cells, s.WhiteToMove, s.Castling, s.EnPassant);
    return engine_.Think(s.SearchDepth, &StopRequested);
}

void TChessThread::Execute() {
    for (;;) {
        const EngineSnapshot s = TakeSnapshot();
        const bool computersTurn = (s.ComputerPlaysWhite && s.WhiteToMove) || (s.ComputerPlaysBlack && !s.WhiteToMove);
        // A position in which the board accepts no move is not searched:
        // nothing found there could be played.
        if (computersTurn && s.HasLegalMove) {
            SetPriority(s.Priority);
            Thinking = true;
            const engine::EngineMove move = ThinkMove(s);
            if (!StopRequested) {
                Thinking = false;
                const auto oldSq = static_cast<Square>(move.From + 1);
                const auto newSq = static_cast<Square>(move.To + 1);
                Synchronize([&] { links_.DeliverMove(oldSq, newSq, s); });
            }
        }
        Synchronize([&] { links_.CycleDone(); });
        ++Cycles;
        if (Terminated()) break;
    }
}

} // namespace zelkor

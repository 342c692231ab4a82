// The board's side of the engine hand-off: parking and waking the worker,
// taking its moves on the main thread, and the custom-engine hook.

#include <algorithm>
#include <chrono>

#include "chess/ChessBoard.h"
#include "chess/ChessThread.h"
#include "platform/Application.h"

namespace zelkor {

namespace {
// How often the custom-engine check runs once the board has been painted.
constexpr int kCustomEngineInterval = 500;
} // namespace

void TChessBoard::CreateEngine() {
    TChessThread::Links links;
    links.DeliverMove = [this](Square oldSq, Square newSq, const EngineSnapshot& foundFor) {
        DeliverMove(oldSq, newSq, foundFor);
    };
    links.CycleDone = [this] { EngineCycleDone(); };
    thread_ = std::make_unique<TChessThread>(std::move(links));
    thread_->SetPriority(thinkingPriority_);
    timer_.OnTimer = [this](TObject*) {
        if (!destroying_ && !engineStopped_ && !loading_) CustomEngineCheck();
    };
}

TChessBoard::~TChessBoard() {
    // The worker ends whether or not a custom engine is in use: it must
    // never run a move on a board that is going away. Its delivery is
    // skipped from here on, and a worker in the middle of a search stops.
    destroying_ = true;
    timer_.SetEnabled(false);
    if (thread_) {
        thread_->StopRequested = true;
        thread_->Terminate();
        thread_->Resume();
        thread_->WaitFor();
    }
}

void TChessBoard::StartEngineLoop() {
    StartThinking();
    timer_.SetInterval(kCustomEngineInterval);
    timer_.SetEnabled(true);
}

bool TChessBoard::Thinking() const { return thread_ && thread_->Thinking; }

uint64_t TChessBoard::EngineCycles() const { return thread_ ? thread_->Cycles.load() : 0; }

void TChessBoard::SetComputerPlaysWhite(bool value) {
    StopThinking();
    computerPlaysWhite_ = value;
    StartThinking();
}

void TChessBoard::SetComputerPlaysBlack(bool value) {
    StopThinking();
    computerPlaysBlack_ = value;
    StartThinking();
}

void TChessBoard::SetThinkingPriority(TThreadPriority value) {
    thinkingPriority_ = value;
    if (thread_) thread_->SetPriority(value);
}

void TChessBoard::StopThinking() {
    // Whatever the worker searches now was asked for before this stop. When
    // the wait below is skipped, StartThinking may clear the stop request
    // before the worker has seen it, and the search then runs to its end.
    ++engineStops_;
    engineIdle_ = false;  // a stopped worker waits for StartThinking
    if (!customEngine_ && thread_ && !destroying_) {
        thread_->StopRequested = true;
        // After a mate or draw, or while the worker waits for its own move to
        // be played, the worker cannot reach its park point until this call
        // returns: it parks at the end of its cycle instead.
        if (!gameEnded_ && delivering_ == 0) {
            TApplication& app = TApplication::Instance();
            while (!thread_->Parked()) app.WaitAndProcess(std::chrono::milliseconds(20));
        }
    }
    engineStopped_ = true;
}

void TChessBoard::StartThinking() {
    if (loading_ || destroying_) return;
    if (customEngine_) {
        CustomEngineCheck();
        return;
    }
    if (!thread_) return;
    engineIdle_ = false;
    thread_->StopRequested = false;
    PublishToEngine();
    thread_->Resume();
}

bool TChessBoard::HasLegalMoveCached() {
    if (legalMoveVersion_ != positionVersion_) {
        legalMoveCache_ = HasLegalMove();
        legalMoveVersion_ = positionVersion_;
    }
    return legalMoveCache_;
}

void TChessBoard::PublishToEngine() {
    EngineSnapshot s;
    s.Cells = board_;
    s.WhiteToMove = whiteToMove_;
    s.ComputerPlaysWhite = computerPlaysWhite_;
    s.ComputerPlaysBlack = computerPlaysBlack_;
    s.Castling = castlingAllowed_;
    s.EnPassant = enPassant_;
    s.SearchDepth = searchDepth_;
    s.Priority = thinkingPriority_;
    const bool computersTurn = (computerPlaysWhite_ && whiteToMove_) || (computerPlaysBlack_ && !whiteToMove_);
    s.HasLegalMove = !computersTurn || HasLegalMoveCached();
    s.PositionVersion = positionVersion_;
    s.StopCount = engineStops_;
    thread_->Publish(s);
}

void TChessBoard::DeliverMove(Square oldSq, Square newSq, const EngineSnapshot& foundFor) {
    // A move is played only on the position it was found for, and only when
    // the engine has not been stopped since: a stop comes before every change
    // of the sides the engine plays.
    if (destroying_ || thread_->StopRequested || foundFor.PositionVersion != positionVersion_ ||
        foundFor.StopCount != engineStops_)
        return;
    ++delivering_;
    struct Leave {
        int& depth;
        ~Leave() { --depth; }
    } leave{delivering_};
    ExecuteMove(oldSq, newSq);
}

bool TChessBoard::EngineHasWork() {
    const bool computersTurn = (computerPlaysWhite_ && whiteToMove_) || (computerPlaysBlack_ && !whiteToMove_);
    return computersTurn && HasLegalMoveCached();
}

void TChessBoard::EngineCycleDone() {
    thread_->Thinking = false;
    if (destroying_ || thread_->Terminated()) return;  // let the worker end
    thread_->Park();
    if (thread_->StopRequested) return;
    // With nothing to search the worker stays parked, without a stop, until
    // something that can give it work happens (WakeIdleEngine).
    if (EngineHasWork())
        StartThinking();
    else
        engineIdle_ = true;
}

void TChessBoard::WakeIdleEngine() {
    // A custom engine is asked only where StartThinking is called for it.
    if (engineIdle_ && !customEngine_) StartThinking();
}

void TChessBoard::CustomEngineCheck() {
    if (!customEngine_ || engineStopped_ || loading_ || destroying_) return;
    const bool computersTurn = (computerPlaysBlack_ && !whiteToMove_) || (computerPlaysWhite_ && whiteToMove_);
    if (!computersTurn || !OnCalculateMove) return;
    Square oldSq = Square::None;
    Square newSq = Square::None;
    Fire(OnCalculateMove, this, oldSq, newSq);
    if (!engineStopped_ && !ExecuteMove(oldSq, newSq)) Fire(OnCalculationFailed, this, oldSq, newSq);
}

} // namespace zelkor

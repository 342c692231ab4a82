#include "chess/EngineLink.h"

#include <chrono>

#include "chess/ChessBoard.h"
#include "chess/ChessThread.h"
#include "platform/Application.h"

namespace zelkor {

namespace {
// How often the custom-engine check runs once the board has been painted.
constexpr int kCustomEngineInterval = 500;
} // namespace

TEngineLink::TEngineLink(TChessBoard& board) : board_(board) {
    TChessThread::Links links;
    links.DeliverMove = [this](Square oldSq, Square newSq, const EngineSnapshot& foundFor) {
        DeliverMove(oldSq, newSq, foundFor);
    };
    links.CycleDone = [this] { CycleDone(); };
    thread_ = std::make_unique<TChessThread>(std::move(links));
    thread_->SetPriority(board_.thinkingPriority_);
    timer_.OnTimer = [this](TObject*) {
        if (!board_.engineStopped_ && !board_.loading_) CustomEngineCheck();
    };
}

TEngineLink::~TEngineLink() {
    // The worker ends whether or not a custom engine is in use: it must
    // never run a move on a board that is going away. Its delivery is
    // skipped from here on, and a worker in the middle of a search stops.
    ending_ = true;
    timer_.SetEnabled(false);
    thread_->StopRequested = true;
    thread_->Terminate();
    thread_->Resume();
    thread_->WaitFor();
}

void TEngineLink::StartLoop() {
    Start();
    timer_.SetInterval(kCustomEngineInterval);
    timer_.SetEnabled(true);
}

bool TEngineLink::Thinking() const { return thread_->Thinking; }

uint64_t TEngineLink::Cycles() const { return thread_->Cycles.load(); }

void TEngineLink::SetPriority(TThreadPriority priority) { thread_->SetPriority(priority); }

void TEngineLink::Stop() {
    // Whatever the worker searches now was asked for before this stop. When
    // the wait below is skipped, Start may clear the stop request before the
    // worker has seen it, and the search then runs to its end.
    ++stops_;
    idle_ = false;  // a stopped worker waits for Start
    if (!board_.customEngine_ && !ending_) {
        thread_->StopRequested = true;
        // After a mate or draw, or while the worker waits for its own move to
        // be played, the worker cannot reach its park point until this call
        // returns: it parks at the end of its cycle instead.
        if (!board_.gameEnded_ && delivering_ == 0) {
            TApplication& app = TApplication::Instance();
            while (!thread_->Parked()) app.WaitAndProcess(std::chrono::milliseconds(20));
        }
    }
    board_.engineStopped_ = true;
}

void TEngineLink::Start() {
    if (board_.loading_ || ending_) return;
    if (board_.customEngine_) {
        CustomEngineCheck();
        return;
    }
    idle_ = false;
    thread_->StopRequested = false;
    Publish();
    thread_->Resume();
}

void TEngineLink::WakeIfIdle() {
    // A custom engine is asked only where Start is called for it.
    if (idle_ && !board_.customEngine_) Start();
}

void TEngineLink::Publish() {
    const TChessBoard& b = board_;
    EngineSnapshot s;
    s.Cells = b.board_;
    s.WhiteToMove = b.whiteToMove_;
    s.ComputerPlaysWhite = b.computerPlaysWhite_;
    s.ComputerPlaysBlack = b.computerPlaysBlack_;
    s.Castling = b.castlingAllowed_;
    s.EnPassant = b.enPassant_;
    s.SearchDepth = b.searchDepth_;
    s.Priority = b.thinkingPriority_;
    const bool computersTurn = (b.computerPlaysWhite_ && b.whiteToMove_) || (b.computerPlaysBlack_ && !b.whiteToMove_);
    s.HasLegalMove = !computersTurn || board_.HasLegalMoveCached();
    s.PositionVersion = b.positionVersion_;
    s.StopCount = stops_;
    thread_->Publish(s);
}

void TEngineLink::DeliverMove(Square oldSq, Square newSq, const EngineSnapshot& foundFor) {
    // A move is played only on the position it was found for, and only when
    // the engine has not been stopped since: a stop comes before every change
    // of the sides the engine plays.
    if (ending_ || thread_->StopRequested || foundFor.PositionVersion != board_.positionVersion_ ||
        foundFor.StopCount != stops_)
        return;
    ++delivering_;
    struct Leave {
        int& depth;
        ~Leave() { --depth; }
    } leave{delivering_};
    board_.ExecuteMove(oldSq, newSq);
}

bool TEngineLink::HasWork() {
    const TChessBoard& b = board_;
    const bool computersTurn = (b.computerPlaysWhite_ && b.whiteToMove_) || (b.computerPlaysBlack_ && !b.whiteToMove_);
    return computersTurn && board_.HasLegalMoveCached();
}

void TEngineLink::CycleDone() {
    thread_->Thinking = false;
    if (ending_ || thread_->Terminated()) return;  // let the worker end
    thread_->Park();
    if (thread_->StopRequested) return;
    // With nothing to search the worker stays parked, without a stop, until
    // something that can give it work happens (WakeIfIdle).
    if (HasWork())
        Start();
    else
        idle_ = true;
}

void TEngineLink::CustomEngineCheck() {
    TChessBoard& b = board_;
    if (!b.customEngine_ || b.engineStopped_ || b.loading_ || ending_) return;
    const bool computersTurn = (b.computerPlaysBlack_ && !b.whiteToMove_) || (b.computerPlaysWhite_ && b.whiteToMove_);
    if (!computersTurn || !b.OnCalculateMove) return;
    Square oldSq = Square::None;
    Square newSq = Square::None;
    Fire(b.OnCalculateMove, &b, oldSq, newSq);
    if (!b.engineStopped_ && !b.ExecuteMove(oldSq, newSq)) Fire(b.OnCalculationFailed, &b, oldSq, newSq);
}

} // namespace zelkor

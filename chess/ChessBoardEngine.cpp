// The board's engine properties and operations: each hands over to the
// engine link (TEngineLink), which runs the hand-off with the worker.

#include "chess/ChessBoard.h"
#include "chess/EngineLink.h"

namespace zelkor {

TChessBoard::~TChessBoard() {
    // The worker ends first: it must never run a move on a board that is
    // going away.
    engine_.reset();
}

bool TChessBoard::Thinking() const { return engine_ && engine_->Thinking(); }

uint64_t TChessBoard::EngineCycles() const { return engine_ ? engine_->Cycles() : 0; }

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
    if (engine_) engine_->SetPriority(value);
}

void TChessBoard::StopThinking() {
    if (engine_)
        engine_->Stop();
    else
        engineStopped_ = true;
}

void TChessBoard::StartThinking() {
    if (engine_) engine_->Start();
}

void TChessBoard::WakeIdleEngine() {
    if (engine_) engine_->WakeIfIdle();
}

bool TChessBoard::HasLegalMoveCached() {
    if (legalMoveVersion_ != positionVersion_) {
        legalMoveCache_ = HasLegalMove();
        legalMoveVersion_ = positionVersion_;
    }
    return legalMoveCache_;
}

} // namespace zelkor

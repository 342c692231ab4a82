#include "game/logic/GameFlow.h"

#include <cmath>
#include <cstdlib>

namespace zelkor::game {

namespace {

Square ToSquare(int n) { return n >= 1 && n <= 64 ? static_cast<Square>(n) : Square::None; }

} // namespace

TGameFlow::TGameFlow(TSceneState& state, TChessBoard& board, TWindowTimer& clock)
    : s_(state), board_(board), clock_(clock) {
    clock_.OnTimer = [this](TObject*) { Timer1Timer(); };
}

void TGameFlow::AttachBoardEvents() {
    board_.OnLegalMove = [this](TObject*, Square a, Square b) { ChessBoard1LegalMove(a, b); };
    board_.OnPromotion = [this](TObject*, Square a, Square b, char& piece) { ChessBoard1Promotion(a, b, piece); };
    board_.OnMate = [this](TObject*, Square, Square) { ChessBoard1Mate(); };
    board_.OnStaleMate = [this](TObject*, Square, Square) { ChessBoard1StaleMate(); };
    board_.OnNoMatingMaterial = [this](TObject*) { ChessBoard1NoMatingMaterial(); };
    board_.OnThreefoldPosition = [this](TObject*) { ChessBoard1ThreefoldPosition(); };
    board_.OnDraw = [this](TObject*) { ChessBoard1Draw(); };
    board_.OnCapture = [this](TObject*, Square, Square, char) { ChessBoard1Capture(); };
    board_.OnCheck = [this](TObject*, Square, Square) { ChessBoard1Check(); };
    // The scene moves the rook itself when the king arrives.
    board_.OnCastle = [](TObject*, Square, Square) {};
}

void TGameFlow::DetachBoardEvents() {
    board_.OnLegalMove = nullptr;
    board_.OnPromotion = nullptr;
    board_.OnMate = nullptr;
    board_.OnStaleMate = nullptr;
    board_.OnNoMatingMaterial = nullptr;
    board_.OnThreefoldPosition = nullptr;
    board_.OnDraw = nullptr;
    board_.OnCapture = nullptr;
    board_.OnCheck = nullptr;
    board_.OnCastle = nullptr;
}

void TGameFlow::PlaySound(int n) {
    if (OnPlaySound) OnPlaySound(n);
}

TScreenPoint TGameFlow::BoardOffset() const { return game::BoardOffset(s_.Record, s_.Options.Location); }

TScreenPoint TGameFlow::CenterOf(int square) const { return SquareCenter(ToSquare(square), BoardOffset()); }

// ---- The logic tick ----

void TGameFlow::TimerProcess() {
    AdvanceRing();
    AdvancePulse();
    if (s_.Screen == ScreenMode::Game) DecayZoom();
    if (s_.Move.Animating && GlideStep()) Arrive();
}

void TGameFlow::AdvanceRing() {
    s_.TitleAngle += s_.TitleStep;
    constexpr double kPi = 3.14159265358979323846;
    if (s_.TitleAngle < kPi) {
        s_.TitleStep = 0.01;
        s_.TitleAngle = kPi;
    }
    if (s_.TitleAngle > 2 * kPi) {
        s_.TitleStep = -0.01;
        s_.TitleAngle = 2 * kPi;
    }
    const double radius = s_.TitleAngle / 3 * 80;
    for (size_t i = 0; i < 12; ++i) {
        const double a = double(i) * 0.523 + s_.TitleAngle;
        s_.RingX[i] = RoundToEven(std::sin(a) * radius) + 222;
        s_.RingY[i] = RoundToEven(std::cos(a) * radius) + 419;
    }
}

void TGameFlow::AdvancePulse() {
    s_.Pulse += s_.PulseStep;
    if (s_.Pulse > 50) s_.PulseStep = -1;
    if (s_.Pulse <= 1) s_.PulseStep = 1;
}

void TGameFlow::DecayZoom() {
    if (s_.PreviewZoom > 1.0)
        s_.PreviewZoom -= 0.01 * s_.PreviewZoom * s_.PreviewZoom * s_.PreviewZoom;
    else
        s_.PreviewZoom = 1.0;
}

bool TGameFlow::GlideStep() {
    TMoveAnimation& m = s_.Move;
    m.PosX += TMoveAnimation::Speed * m.StepX;
    m.PosY += TMoveAnimation::Speed * m.StepY;
    m.DrawX = RoundToEven(m.PosX);
    m.DrawY = RoundToEven(m.PosY);
    if (s_.Options.ClassicBoard != 1) return true;  // the flat board shows no glide
    return std::abs(m.DrawX - m.ToX) <= TMoveAnimation::Speed && std::abs(m.DrawY - m.ToY) <= TMoveAnimation::Speed;
}

void TGameFlow::Arrive() {
    TGameRecord& r = s_.Record;
    s_.Move.Animating = false;
    // The clocks run again, unless this move ended the game (the engine's
    // last move glides in under the end-of-game window).
    if (s_.State != GameState::GameOver) clock_.SetEnabled(true);
    PlaySound(3);
    const int from = s_.MoveFromSquare, to = s_.TargetSquare;
    const PieceCode piece = s_.MovingPiece;
    // En passant: a pawn moving diagonally onto an empty square takes the pawn behind it.
    if (std::abs(piece) == 1 && (std::abs(from - to) == 7 || std::abs(from - to) == 9) && r.At(to) == 0)
        r.Put(r.SideToMove == 1 ? to + 8 : to - 8, 0);
    r.Put(to, piece);
    // Castling: the rook jumps over the king.
    if (piece == 6 && from == 61) {
        if (to == 59) r.Put(57, 0), r.Put(60, 4);
        if (to == 63) r.Put(64, 0), r.Put(62, 4);
    }
    if (piece == -6 && from == 5) {
        if (to == 3) r.Put(1, 0), r.Put(4, -4);
        if (to == 7) r.Put(8, 0), r.Put(6, -4);
    }
    if (std::abs(piece) == 1 && ((to >= 1 && to <= 8) || (to >= 57 && to <= 64))) {
        if (r.SideToMove == PlayerSide(s_.Options))
            s_.State = GameState::ChoosePromotion;
        else
            r.Put(to, r.SideToMove == -1 ? -5 : 5);
    }
    if (s_.State == GameState::GameOver || s_.State == GameState::ChoosePromotion) return;
    PassTurn();
}

void TGameFlow::PassTurn() {
    TGameRecord& r = s_.Record;
    if (r.SideToMove == PlayerSide(s_.Options)) {
        s_.State = GameState::ComputerThinking;
        // The board's events for this move arrive now, while SideToMove is
        // still the player's; the engine starts when it returns.
        board_.PlayMove(ToSquare(s_.MoveFromSquare), ToSquare(s_.TargetSquare));
    } else {
        s_.State = GameState::YourMove;
    }
    r.SideToMove = int8_t(-r.SideToMove);
}

void TGameFlow::Timer1Timer() {
    if (s_.Record.SideToMove == 1)
        ++s_.Record.WhiteSeconds;
    else
        ++s_.Record.BlackSeconds;
}

// ---- Moves ----

void TGameFlow::ResetGame() {
    TGameRecord& r = s_.Record;
    r.Squares = StartingSquares;
    r.SideToMove = int8_t(PlayerSide(s_.Options));
    board_.SetSearchDepth(r.EngineDepth);
    board_.NewGame();
    if (r.SideToMove == 1) {
        board_.SetComputerPlaysBlack(true);
        board_.SetComputerPlaysWhite(false);
    } else {
        board_.SetComputerPlaysBlack(false);
        board_.SetComputerPlaysWhite(true);
    }
    r.LocationOffsetX = {0, 13};
    r.LocationOffsetY = {0, 73};
    s_.SelectedSquare = 0;
    s_.SelectedPiece = 0;
    r.WhiteSeconds = 0;
    r.BlackSeconds = 0;
    // A piece still gliding belongs to the old game: it must not land on the new board.
    s_.Move.Animating = false;
    s_.State = GameState::YourMove;
    clock_.SetEnabled(true);
}

void TGameFlow::StartMoveAnimation() {
    TMoveAnimation& m = s_.Move;
    if (m.FromX != m.ToX && m.FromY != m.ToY) {
        const double dx = m.ToX - m.FromX, dy = m.ToY - m.FromY;
        if (std::fabs(dx) < std::fabs(dy)) {
            m.StepX = std::fabs(dx / dy);
            m.StepY = 1;
        } else {
            m.StepX = 1;
            m.StepY = std::fabs(dy / dx);
        }
    }
    if (m.FromX == m.ToX) {
        m.StepX = 0;
        m.StepY = 1;
    }
    if (m.FromY == m.ToY) {
        m.StepX = 1;
        m.StepY = 0;
    }
    if (m.ToX < m.FromX) m.StepX = -m.StepX;
    if (m.ToY < m.FromY) m.StepY = -m.StepY;
    m.PosX = m.FromX;
    m.PosY = m.FromY;
    m.DrawX = RoundToEven(m.PosX);
    m.DrawY = RoundToEven(m.PosY);
    clock_.SetEnabled(false);
    m.Animating = true;
}

void TGameFlow::StartPlayerMove(int from, int to) {
    if (!board_.IsLegalMove(ToSquare(from), ToSquare(to))) return;
    s_.TargetSquare = to;
    s_.MovingPiece = s_.SelectedPiece;
    LiftAndGlide(from, to);
}

void TGameFlow::LiftAndGlide(int from, int to) {
    s_.Record.Put(from, 0);
    const TScreenPoint a = CenterOf(from), b = CenterOf(to);
    s_.Move.FromX = a.X;
    s_.Move.FromY = a.Y;
    s_.Move.ToX = b.X;
    s_.Move.ToY = b.Y;
    StartMoveAnimation();
    s_.MoveFromSquare = from;
    s_.SelectedSquare = 0;
}

void TGameFlow::ChessBoard1LegalMove(Square oldSq, Square newSq) {
    TGameRecord& r = s_.Record;
    // When the player takes Black the engine opens for White while the
    // scene still has Black to move.
    if (board_.CurrentMove() == 1 && r.SideToMove == -1) r.SideToMove = 1;
    if (r.SideToMove == PlayerSide(s_.Options)) return;  // the player's own move, already shown
    const int from = SquareIndex(oldSq), to = SquareIndex(newSq);
    s_.TargetSquare = to;
    s_.MovingPiece = r.At(from);
    s_.SelectedPiece = s_.MovingPiece;
    LiftAndGlide(from, to);
}

void TGameFlow::ChessBoard1Promotion(Square, Square, char& newPiece) {
    newPiece = s_.Record.SideToMove == PlayerSide(s_.Options) ? s_.Record.PromotionLetter : 'q';
}

void TGameFlow::CompletePromotion(int choice) {
    if (choice < 2 || choice > 5) return;  // only knight, bishop, rook or queen
    PlaySound(5);
    TGameRecord& r = s_.Record;
    const int code = r.SideToMove * choice;
    static constexpr char kWhite[] = "NBRQ", kBlack[] = "nbrq";
    r.PromotionLetter = code > 0 ? kWhite[choice - 2] : kBlack[choice - 2];
    s_.HoverPromotion = 0;
    r.Put(s_.TargetSquare, PieceCode(code));
    PassTurn();
}

// ---- The end of a game ----

void TGameFlow::EndGame() {
    s_.State = GameState::GameOver;
    clock_.SetEnabled(false);
    s_.Window = OpenWindow::GameMenu;
}

void TGameFlow::ChessBoard1Mate() {
    PlaySound(7);
    s_.GameOverText = "Mate";
    EndGame();
}

void TGameFlow::ChessBoard1StaleMate() { s_.GameOverText = "StaleMate"; }
void TGameFlow::ChessBoard1NoMatingMaterial() { s_.GameOverText = "No Mating Material"; }
void TGameFlow::ChessBoard1ThreefoldPosition() { s_.GameOverText = "Threefold Position"; }
void TGameFlow::ChessBoard1Draw() { EndGame(); }
void TGameFlow::ChessBoard1Capture() { PlaySound(4); }
void TGameFlow::ChessBoard1Check() { PlaySound(7); }

} // namespace zelkor::game

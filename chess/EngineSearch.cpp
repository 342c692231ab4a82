// The search: iterative deepening over a fail-hard alpha-beta with a check
// extension, a capture search with check evasions below it, and move
// ordering by the principal variation, captures and history counters.

#include "chess/ChessEngine.h"

namespace zelkor {

using namespace engine;

namespace {
// No position yields more pseudo-legal moves than 27 per square plus the
// castlings and en-passant captures.
constexpr int kMaxMovesPerPosition = 64 * 27 + 6;
} // namespace

TChessEngine::TChessEngine() { Reset(); }

void TChessEngine::Reset() {
    for (auto& row : PvTable) row.fill(EngineMove{});
    PvLength.fill(0);
    HistoryScore = {};
    FollowPv = false;
    NodeCount = 0;
    Ply = 0;
    PlyFirst.fill(0);
    CheckState.fill(-1);
    PlyEnd.fill(0);
}

bool TChessEngine::AtArrayLimit() const {
    return Ply >= MaxPly - 1 || PlyFirst[Ply] > MoveStackSize - kMaxMovesPerPosition;
}

int TChessEngine::LeafScore(int alpha, int beta) const {
    const int x = EvaluatePosition();
    return x >= beta ? beta : (x > alpha ? x : alpha);
}

void TChessEngine::UpdatePv(EngineMove m) {
    PvTable[Ply][Ply] = m;
    for (int j = Ply + 1; j < PvLength[Ply + 1]; ++j) PvTable[Ply][j] = PvTable[Ply + 1][j];
    PvLength[Ply] = PvLength[Ply + 1];
}

TChessEngine::EngineMove TChessEngine::Think(int depth, const std::atomic<bool>* stop,
                                             const std::function<void(const SearchIteration&)>& onIteration) {
    StopRequested = stop;
    FiftyCount = 0;
    Ply = 0;
    CheckState[0] = -1;
    PlyFirst[0] = 0;
    NodeCount = 0;
    BuildPieceSquareTables();
    HistoryScore = {};
    for (int d = 1; d <= depth; ++d) {
        if (Stopped()) continue;
        FollowPv = true;
        const int score = SearchNode(-Infinity, Infinity, d);
        if (onIteration && !Stopped())
            onIteration(SearchIteration{d, score, NodeCount, PvTable[0].data(), PvLength[0]});
    }
    StopRequested = nullptr;
    return PvTable[0][0];
}

int TChessEngine::SearchNode(int alpha, int beta, int depth) {
    ++NodeCount;
    if (Stopped()) return 0;
    if (depth == 0) return SearchCaptures(alpha, beta);
    PvLength[Ply] = Ply;
    if (AtArrayLimit()) return LeafScore(alpha, beta);

    const bool inCheck = SideToMoveInCheck();
    if (inCheck) ++depth;

    GenerateMoves();
    if (FollowPv) PromotePvMove();

    bool anyLegal = false;
    for (int i = PlyFirst[Ply]; i < PlyEnd[Ply]; ++i) {
        if (Stopped()) break;
        PickBestMove(i);
        const EngineMove m = MoveStack[i].Move;
        if (!DoMove(m)) continue;
        anyLegal = true;
        const int x = -SearchNode(-beta, -alpha, depth - 1);
        UndoMove();
        if (x > alpha) {
            HistoryScore[m.From][m.To] += depth;
            if (x >= beta) return beta;
            alpha = x;
            UpdatePv(m);
        }
    }
    if (!anyLegal) return inCheck ? Ply - Infinity : 0;
    if (FiftyCount > 100) return 0;
    return alpha;
}

int TChessEngine::SearchCaptures(int alpha, int beta) {
    ++NodeCount;
    // A stopped search's result is thrown away; stopping here too keeps a
    // long capture sequence from holding up the stop.
    if (Stopped()) return 0;
    PvLength[Ply] = Ply;
    if (AtArrayLimit()) return LeafScore(alpha, beta);

    const bool inCheck = SideToMoveInCheck();
    if (inCheck) {
        GenerateMoves();
    } else {
        const int x = EvaluatePosition();
        if (x >= beta) return beta;
        if (x > alpha) alpha = x;
        GenerateCaptures();
    }
    if (FollowPv) PromotePvMove();

    bool anyLegal = false;
    for (int i = PlyFirst[Ply]; i < PlyEnd[Ply]; ++i) {
        PickBestMove(i);
        const EngineMove m = MoveStack[i].Move;
        if (!DoMove(m)) continue;
        anyLegal = true;
        const int x = -SearchCaptures(-beta, -alpha);
        UndoMove();
        if (x > alpha) {
            if (x >= beta) return beta;
            alpha = x;
            UpdatePv(m);
        }
    }
    if (inCheck && !anyLegal) return Ply - Infinity;
    return alpha;
}

void TChessEngine::PromotePvMove() {
    FollowPv = false;
    const EngineMove pv = PvTable[0][Ply];
    for (int i = PlyFirst[Ply]; i < PlyEnd[Ply]; ++i) {
        if (MoveStack[i].Move.From == pv.From && MoveStack[i].Move.To == pv.To) {
            MoveStack[i].Score += 10000000;
            FollowPv = true;
            return;
        }
    }
}

void TChessEngine::PickBestMove(int i) {
    ScoredMove* const list = MoveStack.data();
    const int end = PlyEnd[Ply];
    int best = i;
    int bestScore = list[i].Score;
    for (int j = i + 1; j < end; ++j) {
        const int score = list[j].Score;
        if (score > bestScore) {
            bestScore = score;
            best = j;
        }
    }
    if (best != i) std::swap(list[i], list[best]);
}

} // namespace zelkor

#pragma once
// TReferenceEngine: the computer opponent's board, move generator, evaluation
// and search. Single-threaded and allocation-free while it works; the
// engine thread, the UCI front end and the benchmark each own one.
//
// The same position, depth and engine state always give the same move and
// the same number of nodes (calls of SearchNode and SearchCaptures).

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>

#include "chess/Castling.h"
#include "chess/ChessEngine.h"
#include "chess/EngineTypes.h"
#include "chess/Square.h"

namespace zelkor {

class TReferenceEngine {
public:
    using EngineMove = engine::EngineMove;

    TReferenceEngine();

    // Back to the state of a newly made engine (every PvTable entry a8-a8).
    void Reset();

    // ---- Position -------------------------------------------------------
    // Fills the engine board from the board component's squares (indexed by
    // Square, cell 0 unused), side, rights and en-passant square. A castling
    // right whose king and rook are not both at home, and an en-passant
    // square that no enemy pawn has just passed, are left out: the board
    // would refuse any move made of them.
    void LoadPosition(const std::array<char, 65>& cells, bool whiteToMove, CastleSet castling, Square enPassant);

    int ColorAt(int s) const { return Colors[s]; }
    int PieceAt(int s) const { return Pieces[s]; }
    int Side() const { return SideToMove; }
    int CastlingRights() const { return CastleRights; }
    int EnPassantSquare() const { return EpSquare; }

    // ---- Move generation --------------------------------------------------
    bool SquareAttacked(int target, int by) const;
    bool KingInCheck(int color) const;
    void GenerateMoves();
    void GenerateCaptures();
    bool DoMove(EngineMove m);
    void UndoMove();

    // The list of the current ply.
    int ListBegin() const { return PlyFirst[Ply]; }
    int ListEnd() const { return PlyEnd[Ply]; }
    const engine::ScoredMove& ListEntry(int i) const { return MoveStack[i]; }
    int CurrentPly() const { return Ply; }

    // Leaf count of the legal move tree of the given depth, made with the
    // generator and DoMove.
    uint64_t Perft(int depth);

    // ---- Evaluation ------------------------------------------------------------
    void BuildPieceSquareTables();
    int EvaluatePosition() const;
    int PieceSquareValue(int color, int piece, int s) const { return PieceSquare[color][piece][s]; }

    // ---- Search ------------------------------------------------------------------
    // Iterative deepening from depth 1 to `depth` on the loaded position.
    // `stop`, when given, ends the search early once set. `onIteration` is
    // called after every iteration that ran. The result is the first move of
    // the principal variation (PvTable row 0, entry 0).
    EngineMove Think(int depth, const std::atomic<bool>* stop = nullptr,
                     const std::function<void(const SearchIteration&)>& onIteration = {});

    int SearchNode(int alpha, int beta, int depth);
    int SearchCaptures(int alpha, int beta);
    void PromotePvMove();
    void PickBestMove(int i);

    uint64_t Nodes() const { return NodeCount; }
    EngineMove BestMove() const { return PvTable[0][0]; }
    const EngineMove* PrincipalVariation() const { return PvTable[0].data(); }
    int PrincipalVariationLength() const { return PvLength[0]; }

private:
    void AddMove(int from, int to, uint8_t flags);
    void AddPromotions(int from, int to, uint8_t flags);
    bool Stopped() const { return StopRequested && StopRequested->load(std::memory_order_relaxed); }
    // A node at the end of the arrays is searched no deeper.
    bool AtArrayLimit() const;
    int LeafScore(int alpha, int beta) const;
    void UpdatePv(EngineMove m);

    struct UndoRecord {
        EngineMove Move;
        int32_t Captured = engine::Empty;
        int32_t CastleRights = 0;
        int32_t EpSquare = -1;
        int32_t FiftyCount = 0;
    };

    // Engine board.
    std::array<int32_t, 64> Colors{};
    std::array<int32_t, 64> Pieces{};
    int32_t SideToMove = engine::White;
    int32_t Opponent = engine::Black;
    int32_t CastleRights = 0;
    int32_t EpSquare = -1;
    int32_t FiftyCount = 0;
    int32_t Ply = 0;

    // Move lists and undo.
    std::array<engine::ScoredMove, engine::MoveStackSize> MoveStack{};
    std::array<int32_t, engine::MaxPly> PlyFirst{};
    std::array<int32_t, engine::MaxPly> PlyEnd{};
    std::array<UndoRecord, engine::MaxPly> UndoStack{};
    std::array<std::array<int32_t, 64>, 64> HistoryScore{};

    // Evaluation.
    std::array<std::array<std::array<int32_t, 64>, 6>, 2> PieceSquare{};

    // Search.
    std::array<std::array<EngineMove, engine::MaxPly>, engine::MaxPly> PvTable{};
    std::array<int32_t, engine::MaxPly> PvLength{};
    bool FollowPv = false;
    const std::atomic<bool>* StopRequested = nullptr;
    uint64_t NodeCount = 0;
};

} // namespace zelkor

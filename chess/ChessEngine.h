#pragma once
// TChessEngine: the computer opponent's board, move generator, evaluation
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
#include "chess/EngineGeometry.h"
#include "chess/EngineTables.h"
#include "chess/EngineTypes.h"
#include "chess/Square.h"

namespace zelkor {

// What the search reports after each finished iteration.
struct SearchIteration {
    int Depth = 0;
    int Score = 0;
    uint64_t Nodes = 0;  // since the search began
    const engine::EngineMove* Pv = nullptr;
    int PvLength = 0;
};

class TChessEngine {
public:
    using EngineMove = engine::EngineMove;

    TChessEngine();

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
    // Pawn moves, captures, castling and en passant, shared by both generators.
    template <bool CapturesOnly>
    void Generate();
    template <int Side, bool CapturesOnly>
    void GeneratePawn(int s);
    void GenerateEnPassant();
    bool SideToMoveInCheck() {
        int8_t& known = CheckState[Ply];
        if (known < 0) known = KingInCheck(SideToMove) ? 1 : 0;
        return known != 0;
    }
    bool Stopped() const { return StopRequested && StopRequested->load(std::memory_order_relaxed); }
    // A node at the end of the arrays is searched no deeper.
    bool AtArrayLimit() const;
    int LeafScore(int alpha, int beta) const;
    void UpdatePv(EngineMove m);

    // Square bookkeeping: every change of a square goes through these, which
    // keep the bitboards and the running piece-square sums in step.
    void Put(int s, int color, int piece) {
        const uint64_t bit = uint64_t{1} << s;
        Colors[s] = static_cast<int8_t>(color);
        Pieces[s] = static_cast<int8_t>(piece);
        ColorBB[color] |= bit;
        PieceBB[color][piece] |= bit;
        PstSum[color] += PieceSquare[color][piece][s];
        if (piece == engine::Pawn) ++PawnFiles[color][(s & 7) + 1];
    }
    void Clear(int s) {
        const int color = Colors[s];
        if (color == engine::Empty) return;
        const int piece = Pieces[s];
        const uint64_t bit = uint64_t{1} << s;
        ColorBB[color] &= ~bit;
        PieceBB[color][piece] &= ~bit;
        PstSum[color] -= PieceSquare[color][piece][s];
        if (piece == engine::Pawn) --PawnFiles[color][(s & 7) + 1];
        Colors[s] = engine::Empty;
        Pieces[s] = engine::Empty;
    }
    void RecountPieceSquareSums();

    struct UndoRecord {
        EngineMove Move;
        int32_t Captured = engine::Empty;
        int32_t CastleRights = 0;
        int32_t EpSquare = -1;
        int32_t FiftyCount = 0;
        int32_t PstSum[2] = {0, 0};
    };

    // Engine board: colour and piece per square, and the same as bitboards
    // (bit s for square s).
    std::array<int8_t, 64> Colors{};
    std::array<int8_t, 64> Pieces{};
    std::array<uint64_t, 2> ColorBB{};
    std::array<std::array<uint64_t, 6>, 2> PieceBB{};
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
    // Whether the side to move at each ply is in check: 1, 0, or -1 while
    // not yet known. Lets DoMove skip the check test of moves that cannot
    // expose their own king.
    std::array<int8_t, engine::MaxPly> CheckState{};
    std::array<std::array<int32_t, 64>, 64> HistoryScore{};

    // Evaluation: the tables of this search, and the sum of the entries of
    // every piece on the board per colour.
    std::array<std::array<std::array<int32_t, 64>, 6>, 2> PieceSquare{};
    std::array<int32_t, 2> PstSum{};
    // Pawns per file and colour, files a..h at 1..8 with an always-empty
    // file on either side.
    std::array<std::array<int32_t, 10>, 2> PawnFiles{};

    // The pawn-structure terms of recently seen pawn placements. They depend
    // on the pawns alone (and on this search's tables), so a hit gives the
    // same value as counting them again. Cleared when the tables are built.
    struct PawnEntry {
        uint64_t Pawns[2] = {~uint64_t{0}, ~uint64_t{0}};
        int32_t Score[2] = {0, 0};
    };
    static constexpr int PawnCacheSize = 4096;
    mutable std::array<PawnEntry, PawnCacheSize> PawnCache{};
    void PawnTerms(int score[2]) const;

    const engine::EngineTables& T = engine::Tables();
    const engine::EngineGeometry& G = engine::Geometry();

    // Search.
    std::array<std::array<EngineMove, engine::MaxPly>, engine::MaxPly> PvTable{};
    std::array<int32_t, engine::MaxPly> PvLength{};
    bool FollowPv = false;
    const std::atomic<bool>* StopRequested = nullptr;
    uint64_t NodeCount = 0;
};

} // namespace zelkor

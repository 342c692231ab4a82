// The board's rules and the engine's move generator are written apart;
// they must agree on every move of every position: the board's
// IsLegalMove over all 64 x 64 square pairs against the engine's legal
// moves (its generator, kept by DoMove), promotions counted once.

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <set>
#include <string>

#include "tests/chess/EngineFixture.h"

using namespace zelkor;
using namespace zelkor::testing_support;

namespace {

using MoveSet = std::set<std::pair<int, int>>;  // board squares 1..64

MoveSet BoardMoves(const TChessBoard& board) {
    MoveSet moves;
    for (int a = 1; a <= 64; ++a)
        for (int b = 1; b <= 64; ++b)
            if (board.IsLegalMove(static_cast<Square>(a), static_cast<Square>(b))) moves.emplace(a, b);
    return moves;
}

MoveSet EngineMoves(TChessEngine& engine, const TChessBoard& board) {
    engine.LoadPosition(board.Cells(), board.WhiteToMove(), board.CastlingAllowed(), board.EnPassant());
    engine.GenerateMoves();
    MoveSet moves;
    for (int i = engine.ListBegin(); i < engine.ListEnd(); ++i) {
        const engine::EngineMove m = engine.ListEntry(i).Move;
        if (!engine.DoMove(m)) continue;
        engine.UndoMove();
        moves.emplace(m.From + 1, m.To + 1);
    }
    return moves;
}

std::string Describe(const MoveSet& only) {
    std::string s;
    for (const auto& [a, b] : only) s += " " + SquareName(static_cast<Square>(a)) + SquareName(static_cast<Square>(b));
    return s.empty() ? " none" : s;
}

// Both directions of a difference, readable.
void ExpectSameMoves(const TChessBoard& board, TChessEngine& engine) {
    const MoveSet byBoard = BoardMoves(board), byEngine = EngineMoves(engine, board);
    if (byBoard == byEngine) return;
    MoveSet onlyBoard, onlyEngine;
    for (const auto& m : byBoard)
        if (!byEngine.count(m)) onlyBoard.insert(m);
    for (const auto& m : byEngine)
        if (!byBoard.count(m)) onlyEngine.insert(m);
    ADD_FAILURE() << BoardToFen(board) << "\n  only the board allows:" << Describe(onlyBoard)
                  << "\n  only the engine allows:" << Describe(onlyEngine);
}

} // namespace

TEST(GeneratorAgreement, OnThePerftPositions) {
    const char* const positions[] = {
        "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
        kKiwipete,
        "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1",
        "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1",
        "r2q1rk1/pP1p2pp/Q4n2/bbp1p3/Np6/1B3NBn/pPPP1PPP/R3K2R b KQ - 0 1",
        "rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8",
        "r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - - 0 10",
        // En passant that would leave the king open along the rank.
        "8/8/8/KPp4r/8/8/8/7k w - c6 0 1",
    };
    auto engine = std::make_unique<TChessEngine>();
    for (const char* fen : positions) {
        SCOPED_TRACE(fen);
        TChessBoard board;
        LoadBoard(board, fen);
        ExpectSameMoves(board, *engine);
    }
}

// Every position of random games, promotions to every piece included,
// until mate, stalemate or a repetition (after which the board refuses
// every move on purpose).
TEST(GeneratorAgreement, OnEveryPositionOfRandomGames) {
    std::mt19937 rng(23);
    auto engine = std::make_unique<TChessEngine>();
    int positions = 0;
    for (int game = 0; game < 12 && !HasFailure(); ++game) {
        TChessBoard board;
        for (int ply = 0; ply < 160 && !board.IsThreefoldRepetition(); ++ply) {
            ExpectSameMoves(board, *engine);
            ++positions;
            const MoveSet moves = BoardMoves(board);
            if (moves.empty()) break;
            auto it = moves.begin();
            std::advance(it, long(rng() % moves.size()));
            board.SetPromotionPiece("qrbn"[rng() % 4]);
            ASSERT_TRUE(board.ExecuteMove(static_cast<Square>(it->first), static_cast<Square>(it->second)));
        }
    }
    EXPECT_GT(positions, 800);
}

#include <gtest/gtest.h>

#include <memory>
#include <random>

#include "tests/chess/EngineFixture.h"
#include "tools/reference-engine/ReferenceEngine.h"

using namespace zelkor;
using namespace zelkor::testing_support;

// The game's engine against the engine as first written, on positions of
// random games: the same move, the same node count, the same move tree.
TEST(EngineEquivalence, SameMovesAndNodesAsTheReferenceOnRandomGames) {
    std::mt19937 rng(2026);
    int compared = 0;
    for (int game = 0; game < 12; ++game) {
        TChessBoard board;
        auto fast = std::make_unique<TChessEngine>();
        auto reference = std::make_unique<TReferenceEngine>();
        for (int ply = 0; ply < 80; ++ply) {
            std::vector<std::pair<Square, Square>> legal;
            for (int a = 1; a <= 64; ++a)
                for (int b = 1; b <= 64; ++b)
                    if (board.IsLegalMove(static_cast<Square>(a), static_cast<Square>(b)))
                        legal.emplace_back(static_cast<Square>(a), static_cast<Square>(b));
            if (legal.empty()) break;
            if (ply % 4 == 3) {
                // Both engines keep their state from one search to the next.
                fast->LoadPosition(board.Cells(), board.WhiteToMove(), board.CastlingAllowed(), board.EnPassant());
                reference->LoadPosition(board.Cells(), board.WhiteToMove(), board.CastlingAllowed(),
                                        board.EnPassant());
                const int depth = 1 + ply % 3;
                const auto a = fast->Think(depth);
                const auto b = reference->Think(depth);
                ASSERT_EQ(MoveText(a), MoveText(b)) << BoardToFen(board) << " depth " << depth;
                ASSERT_EQ(fast->Nodes(), reference->Nodes()) << BoardToFen(board) << " depth " << depth;
                fast->LoadPosition(board.Cells(), board.WhiteToMove(), board.CastlingAllowed(), board.EnPassant());
                reference->LoadPosition(board.Cells(), board.WhiteToMove(), board.CastlingAllowed(),
                                        board.EnPassant());
                ASSERT_EQ(fast->Perft(2), reference->Perft(2)) << BoardToFen(board);
                ++compared;
            }
            const auto& m = legal[rng() % legal.size()];
            board.SetPromotionPiece("qrbn"[rng() % 4]);
            ASSERT_TRUE(board.ExecuteMove(m.first, m.second));
        }
    }
    EXPECT_GT(compared, 100);
}

#include <gtest/gtest.h>

#include "tests/chess/EngineFixture.h"

using namespace zelkor;
using namespace zelkor::testing_support;

struct PerftCase {
    const char* name;
    const char* fen;
    int depth;
    uint64_t nodes;
};
std::ostream& operator<<(std::ostream& os, const PerftCase& c) { return os << c.name << " depth " << c.depth; }

class EnginePerft : public ::testing::TestWithParam<PerftCase> {};

// The published move-tree sizes of the standard perft positions.
TEST_P(EnginePerft, MatchesThePublishedCounts) {
    TChessEngine engine;
    LoadEngine(engine, GetParam().fen);
    EXPECT_EQ(engine.Perft(GetParam().depth), GetParam().nodes);
}

INSTANTIATE_TEST_SUITE_P(
    Standard, EnginePerft,
    ::testing::Values(PerftCase{"start", "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", 1, 20},
                      PerftCase{"start", "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", 3, 8902},
                      PerftCase{"start", "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", 5, 4865609},
                      PerftCase{"kiwipete", kKiwipete, 1, 48}, PerftCase{"kiwipete", kKiwipete, 3, 97862},
                      PerftCase{"kiwipete", kKiwipete, 4, 4085603},
                      PerftCase{"position 3", "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1", 5, 674624},
                      PerftCase{"position 4", "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1", 4,
                                422333},
                      PerftCase{"position 5", "rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8", 4,
                                2103487}),
    [](const ::testing::TestParamInfo<PerftCase>& p) {
        std::string name = std::string(p.param.name) + "_depth" + std::to_string(p.param.depth);
        for (char& c : name)
            if (c == ' ') c = '_';
        return name;
    });

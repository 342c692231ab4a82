#pragma once
// Constant tables of the engine: the bordered 10 x 12 board, the piece
// directions, the castling masks and the evaluation tables (as White sees
// the board, rank 8 first; Black reads them at s ^ 56).

#include <array>
#include <cstdint>

namespace zelkor::engine {

struct EngineTables {
    std::array<int8_t, 120> BorderIndex{};
    std::array<int8_t, 64> BoardToBorder{};
    std::array<int, 6> DirCount{};
    std::array<std::array<int, 8>, 6> DirOffsets{};
    std::array<bool, 6> Slides{};
    std::array<int, 64> CastleMask{};

    std::array<int, 6> PieceValue{};
    std::array<int, 64> PawnTable{};
    std::array<int, 64> MinorTable{};
    std::array<int, 64> KingMiddleTable{};
    std::array<int, 64> KingEndTable{};
    std::array<int, 64> KingSideShield{};
    std::array<int, 64> QueenSideShield{};
};

// Built once, on first use.
const EngineTables& Tables();

} // namespace zelkor::engine

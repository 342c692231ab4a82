#pragma once
// Square geometry derived once from the bordered board: the next square in
// each direction, and bitboards of the squares from which a piece attacks
// a square. They let the engine ask "is this square attacked" from the
// square outwards instead of walking every piece on the board.

#include <array>
#include <cstddef>
#include <cstdint>

namespace zelkor::engine {

// Direction indexes: 0..7 the king's and queen's steps (-11, -10, -9, -1,
// 1, 9, 10, 11 on the bordered board), 8..15 the knight's (-21, -19, -12,
// -8, 8, 12, 19, 21): the order of the direction tables.
inline constexpr int DirKnightFirst = 8;

struct EngineGeometry {
    // Next square from s in direction d, or -1 off the board.
    std::array<std::array<int8_t, 64>, 16> Next{};
    // Direction indexes of each piece, in table order, and how many.
    std::array<std::array<int8_t, 8>, 6> PieceDirs{};
    std::array<int8_t, 6> PieceDirCount{};
    // Squares a knight or king on s attacks (the same squares attack s).
    std::array<uint64_t, 64> KnightAttacks{};
    std::array<uint64_t, 64> KingAttacks{};
    // Squares from which a pawn of the colour attacks s.
    std::array<std::array<uint64_t, 64>, 2> PawnAttackers{};
    // Squares on the diagonals and on the lines through s (s excluded).
    std::array<uint64_t, 64> DiagonalMask{};
    std::array<uint64_t, 64> LineMask{};
    std::array<uint64_t, 8> FileMask{};
    // Squares from s outwards in direction d (0..7), and whether the square
    // numbers grow along it (the nearest square is then the lowest bit).
    std::array<std::array<uint64_t, 64>, 8> Ray{};
    std::array<bool, 8> RayRunsUp{};
};

const EngineGeometry& Geometry();

} // namespace zelkor::engine

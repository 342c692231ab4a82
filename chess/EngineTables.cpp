#include "chess/EngineTables.h"

#include <algorithm>

#include "chess/EngineTypes.h"

namespace zelkor::engine {

namespace {

EngineTables Build() {
    EngineTables t;
    t.BorderIndex.fill(-1);
    for (int r = 0; r < 8; ++r)
        for (int f = 0; f < 8; ++f) {
            t.BorderIndex[static_cast<size_t>(21 + 10 * r + f)] = static_cast<int8_t>(8 * r + f);
            t.BoardToBorder[static_cast<size_t>(8 * r + f)] = static_cast<int8_t>(21 + 10 * r + f);
        }

    t.DirCount = {0, 8, 4, 4, 8, 8};
    t.DirOffsets[Knight] = {-21, -19, -12, -8, 8, 12, 19, 21};
    t.DirOffsets[Bishop] = {-11, -9, 9, 11, 0, 0, 0, 0};
    t.DirOffsets[Rook] = {-10, -1, 1, 10, 0, 0, 0, 0};
    t.DirOffsets[Queen] = {-11, -10, -9, -1, 1, 9, 10, 11};
    t.DirOffsets[King] = {-11, -10, -9, -1, 1, 9, 10, 11};
    t.Slides = {false, false, true, true, true, false};

    t.CastleMask.fill(15);
    t.CastleMask[0] = 7;    // a8
    t.CastleMask[4] = 3;    // e8
    t.CastleMask[7] = 11;   // h8
    t.CastleMask[56] = 13;  // a1
    t.CastleMask[60] = 12;  // e1
    t.CastleMask[63] = 14;  // h1

    t.PieceValue = {100, 300, 300, 500, 900, 0};

    t.PawnTable = {
        0, 0,  0,  0,   0,   0,  0,  0,   //
        5, 10, 15, 20,  20,  15, 10, 5,   //
        4, 8,  12, 16,  16,  12, 8,  4,   //
        3, 6,  9,  12,  12,  9,  6,  3,   //
        2, 4,  6,  8,   8,   6,  4,  2,   //
        1, 2,  3,  4,   4,   3,  2,  1,   //
        0, 0,  0,  -20, -20, 0,  0,  0,   //
        0, 0,  0,  0,   0,   0,  0,  0,   //
    };
    t.MinorTable = {
        -10, -10, -10, -10, -10, -10, -10, -10,  //
        -10, 0,   0,   0,   0,   0,   0,   -10,  //
        -10, 0,   5,   5,   5,   5,   0,   -10,  //
        -10, 0,   5,   10,  10,  5,   0,   -10,  //
        -10, 0,   5,   10,  10,  5,   0,   -10,  //
        -10, 0,   5,   5,   5,   5,   0,   -10,  //
        -10, 0,   0,   0,   0,   0,   0,   -10,  //
        -20, -20, -20, -20, -20, -20, -20, -20,  //
    };
    for (int s = 0; s < 64; ++s) {
        const int row = RowOfSq(s);
        t.KingMiddleTable[static_cast<size_t>(s)] = row <= 5 ? -40 : (row == 6 ? -20 : 0);
    }
    const int rank1[8] = {-10, 0, 10, -20, 0, -20, 10, 0};
    for (int f = 0; f < 8; ++f) t.KingMiddleTable[static_cast<size_t>(56 + f)] = rank1[f];

    for (int s = 0; s < 64; ++s) {
        const int f = FileOfSq(s);
        const int r = RowOfSq(s);
        const int ring = std::min(std::min(f, 7 - f), std::min(r, 7 - r));  // 0 at the edge
        static constexpr int kRingValue[4] = {-5, 0, 5, 10};
        t.KingEndTable[static_cast<size_t>(s)] = kRingValue[ring];
    }

    // Shields, rows 6 (rank 2), 5 (rank 3), 4 (rank 4).
    for (int f = 0; f < 3; ++f) {
        t.QueenSideShield[static_cast<size_t>(48 + f)] = 20;
        t.QueenSideShield[static_cast<size_t>(40 + f)] = 10;
        t.QueenSideShield[static_cast<size_t>(32 + f)] = 5;
        t.KingSideShield[static_cast<size_t>(48 + 5 + f)] = 20;
        t.KingSideShield[static_cast<size_t>(40 + 5 + f)] = 10;
        t.KingSideShield[static_cast<size_t>(32 + 5 + f)] = 5;
    }
    return t;
}

} // namespace

const EngineTables& Tables() {
    static const EngineTables tables = Build();
    return tables;
}

} // namespace zelkor::engine

#include "chess/EngineGeometry.h"

#include "chess/EngineTables.h"
#include "chess/EngineTypes.h"

namespace zelkor::engine {

namespace {

constexpr int kOffsets[16] = {-11, -10, -9, -1, 1, 9, 10, 11, -21, -19, -12, -8, 8, 12, 19, 21};

int DirIndex(int offset) {
    for (int d = 0; d < 16; ++d)
        if (kOffsets[d] == offset) return d;
    return -1;
}

EngineGeometry Build() {
    const EngineTables& t = Tables();
    EngineGeometry g;
    for (int d = 0; d < 16; ++d)
        for (int s = 0; s < 64; ++s)
            g.Next[static_cast<size_t>(d)][static_cast<size_t>(s)] =
                t.BorderIndex[static_cast<size_t>(t.BoardToBorder[static_cast<size_t>(s)] + kOffsets[d])];

    for (int p = Knight; p <= King; ++p) {
        g.PieceDirCount[static_cast<size_t>(p)] = static_cast<int8_t>(t.DirCount[static_cast<size_t>(p)]);
        for (int i = 0; i < t.DirCount[static_cast<size_t>(p)]; ++i)
            g.PieceDirs[static_cast<size_t>(p)][static_cast<size_t>(i)] =
                static_cast<int8_t>(DirIndex(t.DirOffsets[static_cast<size_t>(p)][static_cast<size_t>(i)]));
    }

    for (int s = 0; s < 64; ++s) {
        const auto us = static_cast<size_t>(s);
        for (int d = 0; d < 8; ++d) {
            const int n = g.Next[static_cast<size_t>(d)][us];
            if (n >= 0) g.KingAttacks[us] |= uint64_t{1} << n;
            const bool diagonal = d == 0 || d == 2 || d == 5 || d == 7;
            for (int m = n; m >= 0; m = g.Next[static_cast<size_t>(d)][static_cast<size_t>(m)]) {
                (diagonal ? g.DiagonalMask[us] : g.LineMask[us]) |= uint64_t{1} << m;
                g.Ray[static_cast<size_t>(d)][us] |= uint64_t{1} << m;
            }
        }
        for (int d = DirKnightFirst; d < 16; ++d) {
            const int n = g.Next[static_cast<size_t>(d)][us];
            if (n >= 0) g.KnightAttacks[us] |= uint64_t{1} << n;
        }
        // A White pawn on p attacks p - 9 (p not on file a) and p - 7 (p not
        // on file h), and nothing from its last rank; Black mirrors it.
        for (int p = 0; p < 64; ++p) {
            const int file = p & 7;
            if (p >= 8 && ((file != 0 && p - 9 == s) || (file != 7 && p - 7 == s)))
                g.PawnAttackers[White][us] |= uint64_t{1} << p;
            if (p <= 55 && ((file != 0 && p + 7 == s) || (file != 7 && p + 9 == s)))
                g.PawnAttackers[Black][us] |= uint64_t{1} << p;
        }
    }
    for (int d = 0; d < 8; ++d) g.RayRunsUp[static_cast<size_t>(d)] = kOffsets[d] > 0;
    for (int f = 0; f < 8; ++f)
        for (int r = 0; r < 8; ++r) g.FileMask[static_cast<size_t>(f)] |= uint64_t{1} << (8 * r + f);
    return g;
}

} // namespace

const EngineGeometry& Geometry() {
    static const EngineGeometry geometry = Build();
    return geometry;
}

} // namespace zelkor::engine

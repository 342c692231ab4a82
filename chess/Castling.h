#pragma once
// Castling rights: one byte, bit values 1, 2, 4, 8 in the order below.

#include "platform/EnumSet.h"

namespace zelkor {

enum class CanStillCastle { WhiteKingSide, WhiteQueenSide, BlackKingSide, BlackQueenSide };

using CastleSet = EnumSet<CanStillCastle>;

inline constexpr CastleSet AllCastling{CanStillCastle::WhiteKingSide, CanStillCastle::WhiteQueenSide,
                                       CanStillCastle::BlackKingSide, CanStillCastle::BlackQueenSide};

} // namespace zelkor

#pragma once
// The positions reached in a game, one entry per move number and side to
// move (side 0: White to move, side 1: Black to move), read back by the
// repetition rule.
//
// Entries are never removed. A reset starts a new game: entries written
// before it stay in the table but no longer count. The table grows with the
// game, so a game of any length is recorded.

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "chess/Castling.h"
#include "chess/Square.h"

namespace zelkor {

struct MoveInfo {
    std::array<char, 64> PositionText{};  // the 64 square characters, A8..H1
    CastleSet Castling;
    Square FromSq = Square::None;  // the move then played (written when it is made)
    Square ToSq = Square::None;
    Square EnPassantSq = Square::None;

    std::string_view Text() const { return {PositionText.data(), PositionText.size()}; }
};

class TMoveHistory {
public:
    // Entries written before this call no longer count.
    void Reset() { ++game_; }

    // The entry for (moveNumber, side), created if needed and marked as
    // written in the current game; nullptr for a negative move number or a
    // side other than 0 and 1.
    MoveInfo* Record(int moveNumber, int side);

    // The entry for (moveNumber, side) if it was written since the last
    // reset, else nullptr.
    const MoveInfo* Find(int moveNumber, int side) const;

    // How many entries before (moveNumber, side), walking back one half-move
    // at a time down to move 1 with White to move, hold the same position
    // text as that entry. 0 when the entry itself was not written since the
    // last reset.
    int CountEarlierRepeats(int moveNumber, int side) const;

private:
    struct Slot {
        MoveInfo info;
        uint32_t game = 0;  // the game it was last written in; 0 never
    };
    std::vector<std::array<Slot, 2>> table_;
    uint32_t game_ = 1;
};

} // namespace zelkor

#pragma once
// Square numbering of the board: None = 0, then A8 = 1 ... H8 = 8,
// A7 = 9 ... H1 = 64, rank 8 first and files A to H within a rank.
//
// A value outside 0..64 (an integer cast into Square) is no square: every
// query below answers 0, false or None for it.

#include <cstdint>
#include <string>
#include <string_view>

namespace zelkor {

// clang-format off
enum class Square : uint8_t {
    None = 0,
    A8 = 1, B8, C8, D8, E8, F8, G8, H8,
    A7, B7, C7, D7, E7, F7, G7, H7,
    A6, B6, C6, D6, E6, F6, G6, H6,
    A5, B5, C5, D5, E5, F5, G5, H5,
    A4, B4, C4, D4, E4, F4, G4, H4,
    A3, B3, C3, D3, E3, F3, G3, H3,
    A2, B2, C2, D2, E2, F2, G2, H2,
    A1, B1, C1, D1, E1, F1, G1, H1,
};
// clang-format on

constexpr int SquareIndex(Square sq) { return static_cast<int>(sq); }

// True for A8..H1.
constexpr bool IsBoardSquare(Square sq) { return SquareIndex(sq) >= 1 && SquareIndex(sq) <= 64; }

// File f (1..8 for A..H) and rank r (1..8); None if either lies outside 1..8.
constexpr Square SquareAt(int f, int r) {
    if (f < 1 || f > 8 || r < 1 || r > 8) return Square::None;
    return static_cast<Square>((8 - r) * 8 + f);
}

// 1..8 for files A..H; 0 for no square.
constexpr int FileOf(Square sq) { return IsBoardSquare(sq) ? (SquareIndex(sq) - 1) % 8 + 1 : 0; }

// 1..8; 0 for no square.
constexpr int RankOf(Square sq) { return IsBoardSquare(sq) ? 8 - (SquareIndex(sq) - 1) / 8 : 0; }

// A8 and H1 are light, A1 and H8 dark; no square is not light.
constexpr bool IsLightSquare(Square sq) {
    if (!IsBoardSquare(sq)) return false;
    const int v = SquareIndex(sq);
    return ((v & 1) ^ (((v - 1) / 8) & 1)) == 1;
}

// "e4" style name; empty for no square.
std::string SquareName(Square sq);

// Parses "e4" or "E4"; None for anything else.
Square SquareFromName(std::string_view name);

} // namespace zelkor

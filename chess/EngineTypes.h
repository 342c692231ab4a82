#pragma once
// The engine's own vocabulary: squares 0 (a8) .. 63 (h1), piece and colour
// codes, and the four-byte move word.

#include <cstdint>

namespace zelkor::engine {

// Piece codes; Empty also serves as the colour of an empty square.
inline constexpr int Pawn = 0;
inline constexpr int Knight = 1;
inline constexpr int Bishop = 2;
inline constexpr int Rook = 3;
inline constexpr int Queen = 4;
inline constexpr int King = 5;
inline constexpr int Empty = 6;

// Colour codes.
inline constexpr int White = 0;
inline constexpr int Black = 1;

// Move flag bits.
inline constexpr uint8_t mfCapture = 1;
inline constexpr uint8_t mfCastle = 2;
inline constexpr uint8_t mfEnPassant = 4;
inline constexpr uint8_t mfDoubleStep = 8;
inline constexpr uint8_t mfPawnMove = 16;
inline constexpr uint8_t mfPromotion = 32;

// Castling right bits.
inline constexpr int crWhiteKingSide = 1;
inline constexpr int crWhiteQueenSide = 2;
inline constexpr int crBlackKingSide = 4;
inline constexpr int crBlackQueenSide = 8;

// Fixed sizes of the search's arrays.
inline constexpr int MaxPly = 64;
inline constexpr int MoveStackSize = 4096;

// Scores.
inline constexpr int Infinity = 10000;

struct EngineMove {
    uint8_t From = 0;
    uint8_t To = 0;
    uint8_t Promote = 0;  // 1 knight .. 4 queen, 0 none
    uint8_t Flags = 0;

    friend constexpr bool operator==(EngineMove a, EngineMove b) = default;
};

struct ScoredMove {
    EngineMove Move;
    int32_t Score = 0;
};

constexpr int FileOfSq(int s) { return s & 7; }
constexpr int RowOfSq(int s) { return s >> 3; }  // 0 = rank 8

} // namespace zelkor::engine

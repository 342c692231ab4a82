#pragma once
// Piece letters: "PNBRQK" White, "pnbrqk" Black, a blank for an empty square.

#include <string_view>

namespace zelkor {

inline constexpr std::string_view PieceAlphabet = " PNBRQKpnbrqk";
inline constexpr char Blank = ' ';

constexpr bool IsPieceAlphabet(char c) {
    return c != '\0' && PieceAlphabet.find(c) != std::string_view::npos;
}

// 1 for a white piece (a letter in "B".."R"), 0 for a black one ("b".."r"),
// -1 for a blank or any other character, which therefore counts as empty.
constexpr int ColorOfLetter(char c) {
    if (c >= 'B' && c <= 'R') return 1;
    if (c >= 'b' && c <= 'r') return 0;
    return -1;
}

constexpr char ToUpperLetter(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
constexpr char ToLowerLetter(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

} // namespace zelkor

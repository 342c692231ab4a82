#include "chess/Square.h"

namespace zelkor {

std::string SquareName(Square sq) {
    if (!IsBoardSquare(sq)) return {};
    return {static_cast<char>('a' + FileOf(sq) - 1), static_cast<char>('0' + RankOf(sq))};
}

Square SquareFromName(std::string_view name) {
    if (name.size() != 2) return Square::None;
    char f = name[0];
    if (f >= 'A' && f <= 'H') f = static_cast<char>(f - 'A' + 'a');
    if (f < 'a' || f > 'h' || name[1] < '1' || name[1] > '8') return Square::None;
    return SquareAt(f - 'a' + 1, name[1] - '0');
}

} // namespace zelkor

#include "chess/MoveHistory.h"

namespace zelkor {

MoveInfo* TMoveHistory::Record(int moveNumber, int side) {
    if (moveNumber < 0 || side < 0 || side > 1) return nullptr;
    const auto index = static_cast<size_t>(moveNumber);
    if (index >= table_.size()) table_.resize(index + 1);
    Slot& slot = table_[index][static_cast<size_t>(side)];
    slot.game = game_;
    return &slot.info;
}

const MoveInfo* TMoveHistory::Find(int moveNumber, int side) const {
    if (moveNumber < 0 || side < 0 || side > 1) return nullptr;
    const auto index = static_cast<size_t>(moveNumber);
    if (index >= table_.size()) return nullptr;
    const Slot& slot = table_[index][static_cast<size_t>(side)];
    return slot.game == game_ ? &slot.info : nullptr;
}

int TMoveHistory::CountEarlierRepeats(int moveNumber, int side) const {
    const MoveInfo* current = Find(moveNumber, side);
    if (!current) return 0;
    int count = 0;
    int move = moveNumber;
    int s = side;
    for (;;) {
        // One half-move back: side 1 -> side 0 of the same move, side 0 ->
        // side 1 of the move below; the walk ends after move 1, side 0.
        if (s == 1) {
            s = 0;
        } else {
            s = 1;
            --move;
        }
        if (move < 1) break;
        const MoveInfo* earlier = Find(move, s);
        if (earlier && earlier->PositionText == current->PositionText) ++count;
    }
    return count;
}

} // namespace zelkor

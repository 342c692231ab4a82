#include "game/logic/Records.h"

#include <cstdlib>

namespace zelkor::game {

namespace {

struct TPieceInfo {
    TPieceAnchor Anchor;
    std::string_view Name;
};

// By |code| - 1: Black then White.
const TPieceInfo kBlack[6] = {{{49, 169}, "Black Pawn"},   {{42, 174}, "Black Knight"}, {{39, 174}, "Black Bishop"},
                              {{27, 169}, "Black Rook"},   {{47, 173}, "Black Queen"},  {{54, 174}, "Black King"}};
const TPieceInfo kWhite[6] = {{{43, 171}, "White Pawn"},   {{34, 180}, "White Knight"}, {{28, 175}, "White Bishop"},
                              {{32, 173}, "White Rook"},   {{46, 188}, "White Queen"},  {{35, 173}, "White King"}};

const TPieceInfo* Info(PieceCode code) {
    if (code >= 1 && code <= 6) return &kWhite[code - 1];
    if (code <= -1 && code >= -6) return &kBlack[-code - 1];
    return nullptr;
}

} // namespace

void SetDefaultOptions(TSceneState& state) {
    state.Options = TGameOptions{1, 2, 0, 2, 1, 1, 1, 1, 2, 2, 2, 2};
    state.Record.EngineDepth = 3;
}

int PlayerSide(const TGameOptions& options) { return options.ArmyChoice == 1 ? 1 : -1; }

int PiecePattern(PieceCode code) { return code > 0 ? code - 1 : std::abs(code) + 5; }

TPieceAnchor PieceAnchor(PieceCode code) {
    const TPieceInfo* info = Info(code);
    return info ? info->Anchor : TPieceAnchor{0, 0};
}

std::string_view PieceName(PieceCode code) {
    const TPieceInfo* info = Info(code);
    return info ? info->Name : std::string_view();
}

std::string StatusText(const TSceneState& state) {
    switch (state.State) {
    case GameState::YourMove: return "Your move?";
    case GameState::ComputerThinking: return "Please wait. Thinking...";
    case GameState::GameOver: return state.GameOverText;
    case GameState::ChoosePromotion: return "Please select piece";
    }
    return {};
}

std::string FormatClock(int seconds) {
    const int h = seconds / 3600;
    const int m = (seconds - 3600 * h) / 60;
    const int s = seconds - 3600 * h - 60 * m;
    auto two = [](int v) { return (v >= 0 && v < 10 ? "0" : "") + std::to_string(v); };
    return two(h) + " : " + two(m) + " : " + two(s);
}

TScreenPoint BoardOffset(const TGameRecord& record, int location) {
    const size_t l = location == 2 ? 1 : 0;
    return {record.LocationOffsetX[l], record.LocationOffsetY[l]};
}

} // namespace zelkor::game

// Static evaluation: material folded into piece-square tables built once
// per search, pawn structure and rooks on open files.

#include "tools/reference-engine/ReferenceEngine.h"
#include "chess/EngineTables.h"

namespace zelkor {

using namespace engine;

void TReferenceEngine::BuildPieceSquareTables() {
    const EngineTables& t = Tables();
    for (int c = White; c <= Black; ++c) {
        auto& table = PieceSquare[c];
        for (int s = 0; s < 64; ++s) {
            const auto m = static_cast<size_t>(c == White ? s : s ^ 56);
            table[Pawn][s] = t.PawnTable[m] + 100;
            table[Knight][s] = t.MinorTable[m] + 300;
            table[Bishop][s] = t.MinorTable[m] + 300;
            table[Rook][s] = 500;
            table[Queen][s] = 900;
        }

        int opponentMaterial = 0;
        int kingSquare = -1;
        for (int s = 0; s < 64; ++s) {
            if (Colors[s] == 1 - c && Pieces[s] >= Knight && Pieces[s] <= Queen)
                opponentMaterial += t.PieceValue[static_cast<size_t>(Pieces[s])];
            if (kingSquare == -1 && Colors[s] == c && Pieces[s] == King) kingSquare = s;
        }

        const bool middleGame = opponentMaterial > 1400;
        for (int s = 0; s < 64; ++s) {
            const auto m = static_cast<size_t>(c == White ? s : s ^ 56);
            table[King][s] = middleGame ? t.KingMiddleTable[m] : t.KingEndTable[m];
        }
        if (middleGame && kingSquare != -1) {
            const int file = FileOfSq(kingSquare);
            const auto* shield = file >= 5 ? &t.KingSideShield : (file <= 2 ? &t.QueenSideShield : nullptr);
            if (shield)
                for (int s = 0; s < 64; ++s) table[Pawn][s] += (*shield)[static_cast<size_t>(c == White ? s : s ^ 56)];
        }
    }
}

int TReferenceEngine::EvaluatePosition() const {
    int pawnCount[2][10] = {};
    for (int s = 0; s < 64; ++s)
        if (Pieces[s] == Pawn) ++pawnCount[Colors[s]][FileOfSq(s) + 1];

    int score[2] = {0, 0};
    for (int s = 0; s < 64; ++s) {
        const int c = Colors[s];
        if (c == Empty) continue;
        const int piece = Pieces[s];
        score[c] += PieceSquare[c][piece][s];
        const int o = 1 - c;
        const int f = FileOfSq(s) + 1;
        if (piece == Pawn) {
            if (pawnCount[c][f] > 1) score[c] -= 5;
            if (pawnCount[c][f - 1] == 0 && pawnCount[c][f + 1] == 0) {
                score[c] -= 20;
                if (pawnCount[o][f] == 0) score[c] -= 10;
            }
            if (pawnCount[o][f - 1] == 0 && pawnCount[o][f] == 0 && pawnCount[o][f + 1] == 0)
                score[c] += 2 * PieceSquare[c][Pawn][s];
        } else if (piece == Rook) {
            if (pawnCount[c][f] == 0) {
                score[c] += 10;
                if (pawnCount[o][f] == 0) score[c] += 5;
            }
        }
    }
    return score[SideToMove] - score[1 - SideToMove];
}

} // namespace zelkor

// Static evaluation: material folded into piece-square tables built once
// per search, pawn structure and rooks on open files. The sum of the table
// entries of all pieces is kept up to date by the moves; the pawn and rook
// terms are counted here from the bitboards.

#include <bit>

#include "chess/ChessEngine.h"
#include "chess/EngineGeometry.h"
#include "chess/EngineTables.h"

namespace zelkor {

using namespace engine;

void TChessEngine::BuildPieceSquareTables() {
    const EngineTables& t = T;
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
        for (int piece = Knight; piece <= Queen; ++piece)
            opponentMaterial += std::popcount(PieceBB[1 - c][piece]) * t.PieceValue[static_cast<size_t>(piece)];
        const uint64_t kings = PieceBB[c][King];
        const int kingSquare = kings ? std::countr_zero(kings) : -1;

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
    RecountPieceSquareSums();
    PawnCache.fill(PawnEntry{});
}

void TChessEngine::RecountPieceSquareSums() {
    PstSum = {0, 0};
    for (int s = 0; s < 64; ++s)
        if (Colors[s] != Empty) PstSum[Colors[s]] += PieceSquare[Colors[s]][Pieces[s]][s];
}

void TChessEngine::PawnTerms(int score[2]) const {
    const auto& pawnCount = PawnFiles;
    for (int c = White; c <= Black; ++c) {
        const int o = 1 - c;
        for (uint64_t pawns = PieceBB[c][Pawn]; pawns; pawns &= pawns - 1) {
            const int s = std::countr_zero(pawns);
            const int f = (s & 7) + 1;
            if (pawnCount[c][f] > 1) score[c] -= 5;
            if (pawnCount[c][f - 1] == 0 && pawnCount[c][f + 1] == 0) {
                score[c] -= 20;
                if (pawnCount[o][f] == 0) score[c] -= 10;
            }
            if (pawnCount[o][f - 1] == 0 && pawnCount[o][f] == 0 && pawnCount[o][f + 1] == 0)
                score[c] += 2 * PieceSquare[c][Pawn][s];
        }
    }
}

int TChessEngine::EvaluatePosition() const {
    const uint64_t white = PieceBB[White][Pawn];
    const uint64_t black = PieceBB[Black][Pawn];
    PawnEntry& entry =
        PawnCache[((white * 0x9E3779B97F4A7C15ull) ^ (black * 0xC2B2AE3D27D4EB4Full)) >> 52 & (PawnCacheSize - 1)];
    if (entry.Pawns[White] != white || entry.Pawns[Black] != black) {
        int pawnScore[2] = {0, 0};
        PawnTerms(pawnScore);
        entry.Pawns[White] = white;
        entry.Pawns[Black] = black;
        entry.Score[White] = pawnScore[White];
        entry.Score[Black] = pawnScore[Black];
    }

    int score[2] = {PstSum[White] + entry.Score[White], PstSum[Black] + entry.Score[Black]};
    const auto& pawnCount = PawnFiles;
    for (int c = White; c <= Black; ++c) {
        const int o = 1 - c;
        for (uint64_t rooks = PieceBB[c][Rook]; rooks; rooks &= rooks - 1) {
            const int f = (std::countr_zero(rooks) & 7) + 1;
            if (pawnCount[c][f] == 0) {
                score[c] += 10;
                if (pawnCount[o][f] == 0) score[c] += 5;
            }
        }
    }
    return score[SideToMove] - score[1 - SideToMove];
}

} // namespace zelkor

#pragma once
// Engine positions from FEN for the engine tests.

#include <gtest/gtest.h>

#include <string>

#include "chess/ChessBoard.h"
#include "chess/ChessEngine.h"
#include "chess/Fen.h"

namespace zelkor::testing_support {

inline void LoadBoard(TChessBoard& board, const std::string& fen) {
    FenPosition p;
    std::string error;
    ASSERT_TRUE(ParseFen(fen, p, error)) << fen << ": " << error;
    ApplyFen(board, p);
}

inline void LoadEngine(TChessEngine& engine, const std::string& fen) {
    TChessBoard board;
    LoadBoard(board, fen);
    engine.LoadPosition(board.Cells(), board.WhiteToMove(), board.CastlingAllowed(), board.EnPassant());
}

inline std::string MoveText(engine::EngineMove m) {
    std::string s = SquareName(static_cast<Square>(m.From + 1)) + SquareName(static_cast<Square>(m.To + 1));
    if (m.Flags & engine::mfPromotion) s += "?nbrq"[m.Promote];
    return s;
}

inline const char* const kKiwipete = "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1";

} // namespace zelkor::testing_support

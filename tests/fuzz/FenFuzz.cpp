// Arbitrary FEN texts: a text is either refused with a reason or read into
// a board whose FEN reads back the same way.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "chess/ChessBoard.h"
#include "chess/Fen.h"

using namespace zelkor;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    FenPosition position;
    std::string error;
    if (!ParseFen(text, position, error)) {
        if (error.empty()) std::abort();  // a refusal always says why
        return 0;
    }
    TChessBoard board;
    ApplyFen(board, position);
    const std::string written = BoardToFen(board);
    FenPosition again;
    if (!ParseFen(written, again, error)) {
        std::fprintf(stderr, "cannot read back %s: %s\n", written.c_str(), error.c_str());
        std::abort();
    }
    if (again.Placement != position.Placement || again.WhiteToMove != position.WhiteToMove ||
        !(again.Castling == position.Castling) || again.EnPassant != position.EnPassant)
        std::abort();
    (void)board.HasLegalMove();
    return 0;
}

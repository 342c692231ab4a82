// Feeds the board arbitrary position texts, side, castling and en-passant
// values, promotion letters and moves with any square numbers, and checks
// that every answer stays consistent.

#include <cstdint>
#include <cstdlib>
#include <string>

#include "chess/ChessBoard.h"
#include "tests/fuzz/FuzzInput.h"

using namespace zelkor;

namespace {

#define FUZZ_CHECK(cond)                                                           \
    do {                                                                           \
        if (!(cond)) {                                                             \
            std::fprintf(stderr, "check failed: %s (%s:%d)\n", #cond, __FILE__, __LINE__); \
            std::abort();                                                          \
        }                                                                          \
    } while (0)

// Mostly board squares and None, sometimes a byte far outside 0..64.
Square AnySquare(fuzz::FuzzInput& in) {
    const uint8_t b = in.Byte();
    return static_cast<Square>(b < 224 ? b % 65 : b);
}

void CheckedMove(TChessBoard& board, Square a, Square b, bool play, const int& legalMoves) {
    const std::string before = board.Position();
    const bool white = board.WhiteToMove();
    const bool legal = board.IsLegalMove(a, b);
    const int eventsBefore = legalMoves;
    const bool done = play ? board.PlayMove(a, b) : board.ExecuteMove(a, b);
    FUZZ_CHECK(done == legal);
    if (!done) {
        FUZZ_CHECK(board.Position() == before);
        FUZZ_CHECK(board.WhiteToMove() == white);
        FUZZ_CHECK(legalMoves == eventsBefore);
    } else {
        FUZZ_CHECK(board.WhiteToMove() != white);
        FUZZ_CHECK(legalMoves == eventsBefore + 1);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::FuzzInput in(data, size);
    TChessBoard board;
    int legalMoves = 0;
    board.OnLegalMove = [&](TObject*, Square, Square) { ++legalMoves; };
    char handlerLetter = 0;
    board.OnPromotion = [&](TObject*, Square, Square, char& piece) {
        if (handlerLetter) piece = handlerLetter;
    };

    board.SetPosition(in.Bytes(64));
    board.SetWhiteToMove(in.Bool());
    board.SetCastlingAllowed(CastleSet::FromBits(in.Byte()));
    board.SetEnPassant(static_cast<Square>(in.Byte()));

    // The whole state the answers depend on; a step that leaves it as it was
    // (most moves tried are illegal) needs no second look.
    auto state = [&] {
        return board.Position() + char(board.WhiteToMove()) + char(board.CastlingAllowed().Bits()) +
               char(board.EnPassant()) + std::to_string(board.CurrentMove()) + '/' + std::to_string(legalMoves);
    };
    std::string checked;
    while (!in.Empty()) {
        switch (in.Byte() % 10) {
        case 0:
        case 1:
        case 2: {
            const Square a = AnySquare(in);
            const Square b = AnySquare(in);
            CheckedMove(board, a, b, false, legalMoves);
            break;
        }
        case 3: {
            const Square a = AnySquare(in);
            const Square b = AnySquare(in);
            CheckedMove(board, a, b, true, legalMoves);
            break;
        }
        case 4:
            board.SetPosition(in.Bytes(in.Byte() % 80));
            checked.clear();  // the move history starts again
            break;
        case 5: board.SetEnPassant(static_cast<Square>(in.Byte())); break;
        case 6: board.SetWhiteToMove(in.Bool()); break;
        case 7:
            handlerLetter = static_cast<char>(in.Byte());
            if (in.Bool()) board.SetPromotionPiece(static_cast<char>(in.Byte()));
            break;
        case 8: {
            const Square a = AnySquare(in);
            const Square b = AnySquare(in);
            (void)board.WhiteKingAttacked(a, b);
            (void)board.BlackKingAttacked(a, b);
            (void)board.PawnMoveOk(a, b);
            (void)board.KingMoveOk(a, b);
            (void)board.PieceColor(a);
            board.PromotePawn(a);
            break;
        }
        case 9:
            if (in.Bool()) {
                board.ResetBoard();
                checked.clear();
            } else board.SetCastlingAllowed(CastleSet::FromBits(in.Byte()));
            break;
        }
        FUZZ_CHECK(board.Position().size() == 64);
        FUZZ_CHECK(board.CurrentMove() >= 1);
        const std::string now = state();
        if (now == checked) continue;
        checked = now;
        // A side with a legal move is neither mated nor stalemated, and the
        // search for one agrees with asking square by square.
        bool any = false;
        const int side = board.WhiteToMove() ? 1 : 0;
        for (int from = 1; from <= 64 && !any; ++from) {
            if (board.PieceColor(static_cast<Square>(from)) != side) continue;
            for (int to = 1; to <= 64 && !any; ++to)
                any = board.IsLegalMove(static_cast<Square>(from), static_cast<Square>(to));
        }
        FUZZ_CHECK(any == board.HasLegalMove());
    }
    return 0;
}

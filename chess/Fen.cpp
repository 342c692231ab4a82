#include "chess/Fen.h"

#include <charconv>
#include <vector>

#include "chess/ChessBoard.h"

namespace zelkor {

namespace {

std::vector<std::string_view> SplitFields(std::string_view text) {
    std::vector<std::string_view> fields;
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
        const size_t start = i;
        while (i < text.size() && text[i] != ' ' && text[i] != '\t') ++i;
        if (i > start) fields.push_back(text.substr(start, i - start));
    }
    return fields;
}

bool ParseCount(std::string_view field, int& value) {
    if (field.empty() || field.size() > 6) return false;
    const auto result = std::from_chars(field.data(), field.data() + field.size(), value);
    return result.ec == std::errc() && result.ptr == field.data() + field.size() && value >= 0;
}

bool Fail(std::string& error, std::string message) {
    error = std::move(message);
    return false;
}

} // namespace

bool ParseFen(std::string_view fen, FenPosition& out, std::string& error) {
    const auto fields = SplitFields(fen);
    if (fields.size() < 4 || fields.size() > 6)
        return Fail(error, "a FEN has 4 to 6 fields, this one has " + std::to_string(fields.size()));

    FenPosition p;
    // Placement, rank 8 first.
    int rank = 0;
    int file = 0;
    for (char c : fields[0]) {
        if (c == '/') {
            if (file != 8) return Fail(error, "rank " + std::to_string(8 - rank) + " does not hold 8 squares");
            if (++rank > 7) return Fail(error, "more than 8 ranks");
            file = 0;
        } else if (c >= '1' && c <= '8') {
            file += c - '0';
            if (file > 8) return Fail(error, "rank " + std::to_string(8 - rank) + " holds more than 8 squares");
            p.Placement.append(static_cast<size_t>(c - '0'), ' ');
        } else if (IsPieceAlphabet(c) && c != ' ') {
            if (++file > 8) return Fail(error, "rank " + std::to_string(8 - rank) + " holds more than 8 squares");
            p.Placement += c;
        } else {
            return Fail(error, std::string("unexpected character '") + c + "' in the placement");
        }
    }
    if (rank != 7 || file != 8) return Fail(error, "the placement does not describe 8 ranks of 8 squares");

    if (fields[1] == "w")
        p.WhiteToMove = true;
    else if (fields[1] == "b")
        p.WhiteToMove = false;
    else
        return Fail(error, "the side to move must be 'w' or 'b'");

    if (fields[2] != "-") {
        for (char c : fields[2]) {
            CanStillCastle right;
            switch (c) {
            case 'K': right = CanStillCastle::WhiteKingSide; break;
            case 'Q': right = CanStillCastle::WhiteQueenSide; break;
            case 'k': right = CanStillCastle::BlackKingSide; break;
            case 'q': right = CanStillCastle::BlackQueenSide; break;
            default: return Fail(error, std::string("unexpected castling letter '") + c + "'");
            }
            if (p.Castling.Has(right)) return Fail(error, std::string("castling letter '") + c + "' given twice");
            p.Castling.Include(right);
        }
    }

    if (fields[3] != "-") {
        p.EnPassant = SquareFromName(fields[3]);
        if (p.EnPassant == Square::None) return Fail(error, "the en-passant field is not a square");
        if (RankOf(p.EnPassant) != (p.WhiteToMove ? 6 : 3))
            return Fail(error, "the en-passant square is on the wrong rank for the side to move");
    }

    if (fields.size() >= 5 && !ParseCount(fields[4], p.HalfMoveClock))
        return Fail(error, "the half-move clock is not a number");
    if (fields.size() >= 6 && (!ParseCount(fields[5], p.FullMoveNumber) || p.FullMoveNumber < 1))
        return Fail(error, "the move number is not a positive number");

    // What the rules and the engine can play from.
    int whiteKings = 0, blackKings = 0;
    for (size_t i = 0; i < 64; ++i) {
        const char c = p.Placement[i];
        whiteKings += c == 'K';
        blackKings += c == 'k';
        if ((c == 'P' || c == 'p') && (i < 8 || i >= 56)) return Fail(error, "a pawn stands on the first or last rank");
    }
    if (whiteKings != 1 || blackKings != 1) return Fail(error, "each side needs exactly one king");

    TChessBoard probe;
    probe.SetPosition(p.Placement);
    const bool notToMoveInCheck = p.WhiteToMove ? probe.BlackKingAttacked(Square::None, Square::None)
                                                : probe.WhiteKingAttacked(Square::None, Square::None);
    if (notToMoveInCheck) return Fail(error, "the side not to move is in check");

    auto at = [&](Square sq) { return p.Placement[static_cast<size_t>(SquareIndex(sq) - 1)]; };
    if (at(Square::E1) != 'K' || at(Square::H1) != 'R') p.Castling.Exclude(CanStillCastle::WhiteKingSide);
    if (at(Square::E1) != 'K' || at(Square::A1) != 'R') p.Castling.Exclude(CanStillCastle::WhiteQueenSide);
    if (at(Square::E8) != 'k' || at(Square::H8) != 'r') p.Castling.Exclude(CanStillCastle::BlackKingSide);
    if (at(Square::E8) != 'k' || at(Square::A8) != 'r') p.Castling.Exclude(CanStillCastle::BlackQueenSide);

    out = std::move(p);
    return true;
}

void ApplyFen(TChessBoard& board, const FenPosition& position) {
    board.ResetBoard();
    board.SetPosition(position.Placement);
    board.SetWhiteToMove(position.WhiteToMove);
    board.SetCastlingAllowed(position.Castling);
    board.SetEnPassant(position.EnPassant);
}

std::string BoardToFen(const TChessBoard& board) {
    std::string fen;
    for (int rank = 8; rank >= 1; --rank) {
        int empty = 0;
        for (int file = 1; file <= 8; ++file) {
            const char c = board.PieceAt(SquareAt(file, rank));
            if (board.PieceColor(SquareAt(file, rank)) == -1) {
                ++empty;
                continue;
            }
            if (empty) fen += static_cast<char>('0' + empty), empty = 0;
            fen += c;
        }
        if (empty) fen += static_cast<char>('0' + empty);
        if (rank > 1) fen += '/';
    }
    fen += board.WhiteToMove() ? " w " : " b ";
    const CastleSet rights = board.CastlingAllowed();
    std::string castling;
    if (rights.Has(CanStillCastle::WhiteKingSide)) castling += 'K';
    if (rights.Has(CanStillCastle::WhiteQueenSide)) castling += 'Q';
    if (rights.Has(CanStillCastle::BlackKingSide)) castling += 'k';
    if (rights.Has(CanStillCastle::BlackQueenSide)) castling += 'q';
    fen += castling.empty() ? "-" : castling;
    fen += ' ';
    fen += board.EnPassant() == Square::None ? "-" : SquareName(board.EnPassant());
    fen += " 0 " + std::to_string(board.CurrentMove());
    return fen;
}

} // namespace zelkor

#pragma once
// Helpers for the board tests: positions drawn as diagrams, moves written
// as "e2e4", and a log of every event the board fires.

#include <gtest/gtest.h>

#include <initializer_list>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "chess/ChessBoard.h"

namespace zelkor {

inline void PrintTo(Square sq, std::ostream* os) {
    *os << (IsBoardSquare(sq) ? SquareName(sq) : "sq" + std::to_string(SquareIndex(sq)));
}

namespace testing_support {

// Eight ranks from rank 8 down to rank 1, '.' for an empty square.
inline std::string Diagram(std::initializer_list<std::string_view> ranks) {
    std::string text;
    for (std::string_view rank : ranks)
        for (char c : rank) text += (c == '.') ? ' ' : c;
    EXPECT_EQ(text.size(), 64u) << "a diagram has 8 ranks of 8 squares";
    return text;
}

inline Square Sq(std::string_view name) { return SquareFromName(name); }

// "e2e4" -> (e2, e4).
inline std::pair<Square, Square> Mv(std::string_view move) {
    return {SquareFromName(move.substr(0, 2)), SquareFromName(move.substr(2, 2))};
}

inline bool Play(TChessBoard& board, std::string_view move) {
    auto [from, to] = Mv(move);
    return board.ExecuteMove(from, to);
}

// Sets up a position with its side to move, rights and en-passant square.
inline void SetUpBoard(TChessBoard& board, const std::string& position, bool whiteToMove,
                  CastleSet castling = CastleSet{}, Square enPassant = Square::None) {
    board.ResetBoard();
    board.SetPosition(position);
    board.SetWhiteToMove(whiteToMove);
    board.SetCastlingAllowed(castling);
    if (enPassant != Square::None) board.SetEnPassant(enPassant);
}

// Records every event as one line: "LegalMove e2e4", "Capture e5d6 p",
// "Promotion e7e8 q", "Draw", ...
class EventLog {
public:
    explicit EventLog(TChessBoard& board, bool withMateAndDraw = true) {
        board.OnLegalMove = [this](TObject*, Square a, Square b) { Add("LegalMove", a, b); };
        board.OnCapture = [this](TObject*, Square a, Square b, char c) { Add("Capture", a, b, c); };
        board.OnPromotion = [this](TObject*, Square a, Square b, char& p) { Add("Promotion", a, b, p); };
        board.OnCastle = [this](TObject*, Square a, Square b) { Add("Castle", a, b); };
        board.OnCheck = [this](TObject*, Square a, Square b) { Add("Check", a, b); };
        board.OnStaleMate = [this](TObject*, Square a, Square b) { Add("StaleMate", a, b); };
        board.OnNoMatingMaterial = [this](TObject*) { lines.push_back("NoMatingMaterial"); };
        board.OnThreefoldPosition = [this](TObject*) { lines.push_back("ThreefoldPosition"); };
        board.OnPaint = [this](TObject*) { lines.push_back("Paint"); };
        if (withMateAndDraw) {
            board.OnMate = [this](TObject*, Square a, Square b) { Add("Mate", a, b); };
            board.OnDraw = [this](TObject*) { lines.push_back("Draw"); };
        }
    }

    // The lines logged since the last call.
    std::vector<std::string> Take() {
        std::vector<std::string> out;
        out.swap(lines);
        return out;
    }

    std::vector<std::string> lines;

private:
    void Add(const char* name, Square a, Square b, char piece = 0) {
        std::string line = std::string(name) + " " + SquareName(a) + SquareName(b);
        if (piece) line += std::string(" ") + piece;
        lines.push_back(line);
    }
};

} // namespace testing_support
} // namespace zelkor

#include <gtest/gtest.h>

#include "tests/chess/BoardFixture.h"

using namespace zelkor;
using namespace zelkor::testing_support;

namespace {

constexpr CastleSet kAll = AllCastling;
constexpr CastleSet kNone{};
using C = CanStillCastle;

struct LegalCase {
    const char* name;
    std::string position;  // empty: the starting position
    bool whiteToMove;
    CastleSet castling;
    Square enPassant;
    const char* move;
    bool legal;
};

std::ostream& operator<<(std::ostream& os, const LegalCase& c) { return os << c.name; }

// Both castling wings free for both sides.
const std::string kCastlingBoard = Diagram({
    "r...k..r",
    "pppppppp",
    "........",
    "........",
    "........",
    "........",
    "PPPPPPPP",
    "R...K..R",
});

std::string With(std::string position, std::string_view square, char piece) {
    position[SquareIndex(SquareFromName(square)) - 1] = piece;
    return position;
}

const LegalCase kCases[] = {
    // From the starting position.
    {"pawn double step", "", true, kAll, Square::None, "e2e4", true},
    {"pawn single step", "", true, kAll, Square::None, "e2e3", true},
    {"pawn triple step", "", true, kAll, Square::None, "e2e5", false},
    {"pawn diagonal to empty", "", true, kAll, Square::None, "e2d3", false},
    {"knight onto own pawn", "", true, kAll, Square::None, "b1d2", false},
    {"knight jumps over pawns", "", true, kAll, Square::None, "g1f3", true},
    {"black piece while white to move", "", true, kAll, Square::None, "e7e5", false},
    {"black double step", "", false, kAll, Square::None, "e7e5", true},
    {"empty start square", "", true, kAll, Square::None, "e4e5", false},
    {"bishop blocked by own pawn", "", true, kAll, Square::None, "f1c4", false},
    {"same square", "", true, kAll, Square::None, "e2e2", false},

    // Pawn geometry.
    {"pawn backwards",
     Diagram({"....k...", "........", "........", "....P...", "........", "........", "........", "....K..."}), true,
     kNone, Square::None, "e5e4", false},
    {"pawn sideways",
     Diagram({"....k...", "........", "........", "....P...", "........", "........", "........", "....K..."}), true,
     kNone, Square::None, "e5d5", false},
    {"pawn step blocked",
     Diagram({"....k...", "........", "....n...", "....P...", "........", "........", "........", "....K..."}), true,
     kNone, Square::None, "e5e6", false},
    {"double step over a piece",
     Diagram({"....k...", "........", "........", "........", "........", "....n...", "....P...", "K......."}), true,
     kNone, Square::None, "e2e4", false},
    {"double step not from home",
     Diagram({"....k...", "........", "........", "........", "........", "....P...", "........", "K......."}), true,
     kNone, Square::None, "e3e5", false},
    {"black pawn captures diagonally",
     Diagram({"....k...", "........", "........", "....p...", "...P....", "........", "........", "K......."}), false,
     kNone, Square::None, "e5d4", true},

    // Sliders.
    {"rook along an open file",
     Diagram({"....k...", "........", "........", "........", "........", "........", "........", "R...K..."}), true,
     kNone, Square::None, "a1a8", true},
    {"rook through a piece",
     Diagram({"....k...", "........", "........", "n.......", "........", "........", "........", "R...K..."}), true,
     kNone, Square::None, "a1a8", false},
    {"rook takes the blocker",
     Diagram({"....k...", "........", "........", "n.......", "........", "........", "........", "R...K..."}), true,
     kNone, Square::None, "a1a5", true},
    {"queen diagonally",
     Diagram({"....k...", "........", "........", "........", "........", "........", "........", "Q...K..."}), true,
     kNone, Square::None, "a1g7", true},
    {"queen like a knight",
     Diagram({"....k...", "........", "........", "........", "........", "........", "........", "Q...K..."}), true,
     kNone, Square::None, "a1b3", false},

    // King safety.
    {"pinned knight leaves the line",
     Diagram({"....r..k", "........", "........", "........", "........", "........", "....N...", "....K..."}), true,
     kNone, Square::None, "e2c3", false},
    {"pinned rook moves along the pin",
     Diagram({"....r..k", "........", "........", "........", "........", "........", "....R...", "....K..."}), true,
     kNone, Square::None, "e2e5", true},
    {"king next to the enemy king",
     Diagram({"........", "........", "........", "....k...", "........", "....K...", "........", "........"}), true,
     kNone, Square::None, "e3e4", false},
    {"king steps away from the enemy king",
     Diagram({"........", "........", "........", "....k...", "........", "....K...", "........", "........"}), true,
     kNone, Square::None, "e3e2", true},
    {"king into a pawn's attack",
     Diagram({"....k...", "........", "........", "........", "...p....", "........", "....K...", "........"}), true,
     kNone, Square::None, "e2e3", false},
    {"king may leave a pawn's attack",
     Diagram({"....k...", "........", "........", "........", "........", "...p....", "....K...", "........"}), true,
     kNone, Square::None, "e2f2", true},
    {"in check, an unrelated move",
     Diagram({"....k...", "........", "........", "........", "....r...", "........", "P.......", "....K..."}), true,
     kNone, Square::None, "a2a3", false},

    // En passant.
    {"en passant capture",
     Diagram({"....k...", "........", "........", "...pP...", "........", "........", "........", "....K..."}), true,
     kNone, Square::D6, "e5d6", true},
    {"en passant exposing the king along the rank",
     Diagram({"....k...", "........", "........", "K..pP..r", "........", "........", "........", "........"}), true,
     kNone, Square::D6, "e5d6", false},
    {"black en passant",
     Diagram({"....k...", "........", "........", "........", "...Pp...", "........", "........", "....K..."}), false,
     kNone, Square::D3, "e4d3", true},
    {"no en passant square, no capture",
     Diagram({"....k...", "........", "........", "...pP...", "........", "........", "........", "....K..."}), true,
     kNone, Square::None, "e5d6", false},
    {"en passant square without a pawn that passed it",
     Diagram({"....k...", "........", "........", "....P...", "........", "........", "........", "....K..."}), true,
     kNone, Square::D6, "e5d6", false},
    {"en passant square of the mover's own side",
     Diagram({"....k...", "........", "........", "........", "....p...", "........", "...P....", "....K..."}), true,
     kNone, Square::E3, "d2e3", false},

    // Castling.
    {"white king side", kCastlingBoard, true, kAll, Square::None, "e1g1", true},
    {"white queen side", kCastlingBoard, true, kAll, Square::None, "e1c1", true},
    {"black king side", kCastlingBoard, false, kAll, Square::None, "e8g8", true},
    {"black queen side", kCastlingBoard, false, kAll, Square::None, "e8c8", true},
    {"king side without the right", kCastlingBoard, true, CastleSet{C::WhiteQueenSide}, Square::None, "e1g1", false},
    {"queen side without the right", kCastlingBoard, true, CastleSet{C::WhiteKingSide}, Square::None, "e1c1", false},
    {"f1 occupied", With(kCastlingBoard, "f1", 'B'), true, kAll, Square::None, "e1g1", false},
    {"g1 occupied", With(kCastlingBoard, "g1", 'N'), true, kAll, Square::None, "e1g1", false},
    {"b1 occupied", With(kCastlingBoard, "b1", 'N'), true, kAll, Square::None, "e1c1", false},
    {"no rook on h1", With(kCastlingBoard, "h1", ' '), true, kAll, Square::None, "e1g1", false},
    {"black rook on h1", With(kCastlingBoard, "h1", 'r'), true, kAll, Square::None, "e1g1", false},
    {"f1 attacked", With(With(kCastlingBoard, "f2", ' '), "f7", 'r'), true, kAll, Square::None, "e1g1", false},
    {"g1 attacked", With(With(kCastlingBoard, "g2", ' '), "g7", 'r'), true, kAll, Square::None, "e1g1", false},
    {"king in check", With(With(kCastlingBoard, "e2", ' '), "e7", 'r'), true, kAll, Square::None, "e1g1", false},
    {"d1 attacked", With(With(kCastlingBoard, "d2", ' '), "d7", 'r'), true, kAll, Square::None, "e1c1", false},
    {"b1 attacked but empty", With(With(kCastlingBoard, "b2", ' '), "b7", 'r'), true, kAll, Square::None, "e1c1",
     true},
    {"black king through an attacked f8", With(With(kCastlingBoard, "f7", ' '), "f2", 'R'), false, kAll, Square::None,
     "e8g8", false},
    {"a black king on e1 does not castle with white's rights",
     Diagram({"....K...", "........", "........", "........", "........", "........", "........", "....k..R"}), false,
     kAll, Square::None, "e1g1", false},

    // A missing king.
    {"no black king: every black move is refused",
     Diagram({"........", "p.......", "........", "........", "........", "........", "........", "....K..."}), false,
     kNone, Square::None, "a7a6", false},
    {"no white king: white moves are judged without it",
     Diagram({"....k...", "........", "........", "........", "........", "........", "P.......", "........"}), true,
     kNone, Square::None, "a2a3", true},
};

class Legality : public ::testing::TestWithParam<LegalCase> {};

TEST_P(Legality, JudgesTheMove) {
    const LegalCase& c = GetParam();
    TChessBoard board;
    SetUpBoard(board, c.position.empty() ? std::string(InitialPosition) : c.position, c.whiteToMove, c.castling,
          c.enPassant);
    auto [from, to] = Mv(c.move);
    EXPECT_EQ(board.IsLegalMove(from, to), c.legal);
    const std::string before = board.Position();
    EXPECT_EQ(board.ExecuteMove(from, to), c.legal);
    if (!c.legal) {
        EXPECT_EQ(board.Position(), before);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, Legality, ::testing::ValuesIn(kCases));

TEST(KingAttacked, JudgesOnACopyWithThePieceMoved) {
    TChessBoard board;
    SetUpBoard(board, Diagram({"....k...", "........", "........", "........", "........", "........", "....B...", "r...K..."}),
          true);
    EXPECT_TRUE(board.WhiteKingAttacked(Square::E1, Square::E1));   // the rook on a1 checks along the rank
    EXPECT_FALSE(board.WhiteKingAttacked(Square::E1, Square::E2));
    EXPECT_FALSE(board.WhiteKingAttacked(Square::E1, Square::F2));
    EXPECT_TRUE(board.BlackKingAttacked(Square::E2, Square::B5));   // the bishop from b5 would check e8
    EXPECT_EQ(board.PieceAt(Square::E2), 'B');                      // the board itself is untouched
}

TEST(KingAttacked, MissingKingsAreAsymmetric) {
    TChessBoard board;
    board.SetPosition(Diagram({"........", "........", "........", "........", "........", "........", "........",
                               "........"}));
    EXPECT_FALSE(board.WhiteKingAttacked(Square::E1, Square::E1));
    EXPECT_TRUE(board.BlackKingAttacked(Square::E1, Square::E1));
}

struct AttackerCase {
    const char* name;
    std::string position;
    bool whiteAttacked;
    bool blackAttacked;
};
std::ostream& operator<<(std::ostream& os, const AttackerCase& c) { return os << c.name; }

class Attackers : public ::testing::TestWithParam<AttackerCase> {};

TEST_P(Attackers, EachPieceAttacksAsItMoves) {
    TChessBoard board;
    board.SetPosition(GetParam().position);
    EXPECT_EQ(board.WhiteKingAttacked(Square::None, Square::None), GetParam().whiteAttacked);
    EXPECT_EQ(board.BlackKingAttacked(Square::None, Square::None), GetParam().blackAttacked);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Attackers,
    ::testing::Values(
        AttackerCase{"black pawn attacks downwards",
                     Diagram({"k.......", "........", "........", "........", "...p....", "....K...", "........",
                              "........"}),
                     true, false},
        AttackerCase{"black pawn does not attack upwards",
                     Diagram({"k.......", "........", "........", "........", "........", "....K...", "...p....",
                              "........"}),
                     false, false},
        AttackerCase{"white pawn attacks upwards",
                     Diagram({"........", "........", "....k...", ".....P..", "........", "........", "........",
                              "K......."}),
                     false, true},
        AttackerCase{"knight",
                     Diagram({"k.......", "........", "........", "........", "........", "......n.", "........",
                              ".....K.."}),
                     true, false},
        AttackerCase{"bishop blocked",
                     Diagram({"k.......", "........", "........", "b.......", ".P......", "........", "...K....",
                              "........"}),
                     false, false},
        AttackerCase{"rook on the file",
                     Diagram({"k...r...", "........", "........", "........", "........", "........", "........",
                              "....K..."}),
                     true, false},
        AttackerCase{"queen on the diagonal",
                     Diagram({"....k...", "........", "........", "........", "Q.......", "........", "........",
                              "K......."}),
                     false, true},
        AttackerCase{"adjacent kings attack each other",
                     Diagram({"........", "........", "........", "...kK...", "........", "........", "........",
                              "........"}),
                     true, true},
        AttackerCase{"a distant king attacks nothing",
                     Diagram({"........", "........", "........", "..k.K...", "........", "........", "........",
                              "........"}),
                     false, false},
        AttackerCase{"a foreign character in the text leaves the line open",
                     Diagram({"k...r...", "........", "....X...", "........", "........", "........", "........",
                              "....K..."}),
                     true, false}));

} // namespace

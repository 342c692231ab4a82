#include <gtest/gtest.h>

#include "chess/Fen.h"
#include "tests/chess/BoardFixture.h"

using namespace zelkor;
using namespace zelkor::testing_support;
using Lines = std::vector<std::string>;

namespace {

// Records what the board asks of its view.
struct RecordingView : TChessBoardView {
    std::vector<std::string>* log;
    explicit RecordingView(std::vector<std::string>* l) : log(l) {}
    void Paint() override { log->push_back("paint"); }
    void DrawSquare(Square sq, char piece) override { log->push_back("draw " + SquareName(sq) + piece); }
    void AnimateMove(Square a, Square b, int delay) override {
        log->push_back("animate " + SquareName(a) + SquareName(b) + " " + std::to_string(delay));
    }
};

} // namespace

TEST(ExecuteMove, MovesAdvanceTheSideTheMoveNumberAndTheEnPassantSquare) {
    TChessBoard board;
    ASSERT_TRUE(Play(board, "e2e4"));
    EXPECT_EQ(board.PieceAt(Square::E4), 'P');
    EXPECT_EQ(board.PieceAt(Square::E2), ' ');
    EXPECT_EQ(board.EnPassant(), Square::E3);
    EXPECT_FALSE(board.WhiteToMove());
    EXPECT_EQ(board.CurrentMove(), 1);
    ASSERT_TRUE(Play(board, "e7e5"));
    EXPECT_EQ(board.EnPassant(), Square::E6);
    EXPECT_EQ(board.CurrentMove(), 2);
    ASSERT_TRUE(Play(board, "g1f3"));
    EXPECT_EQ(board.EnPassant(), Square::None);
}

TEST(ExecuteMove, RecordsThePositionBeforeAndAfter) {
    TChessBoard board;
    ASSERT_TRUE(Play(board, "e2e4"));
    const MoveInfo* before = board.History(1, 0);
    ASSERT_NE(before, nullptr);
    EXPECT_EQ(before->Text(), InitialPosition);
    EXPECT_EQ(before->FromSq, Square::E2);
    EXPECT_EQ(before->ToSq, Square::E4);
    EXPECT_EQ(before->EnPassantSq, Square::None);
    EXPECT_EQ(before->Castling, AllCastling);
    const MoveInfo* after = board.History(1, 1);
    ASSERT_NE(after, nullptr);
    EXPECT_EQ(after->Text(), board.Position());
    EXPECT_EQ(after->EnPassantSq, Square::E3);
    EXPECT_EQ(board.History(2, 0), nullptr);
}

TEST(ExecuteMove, IllegalMovesFireNothingAndChangeNothingButGameEnded) {
    TChessBoard board;
    // Fool's mate, with a mate handler so that GameEnded gets set.
    EventLog log(board);
    for (const char* m : {"f2f3", "e7e5", "g2g4", "d8h4"}) ASSERT_TRUE(Play(board, m));
    ASSERT_TRUE(board.GameEnded());
    log.Take();
    const std::string position = board.Position();
    for (const char* m : {"e2e4", "d8h4", "e1f2"}) {
        EXPECT_FALSE(Play(board, m)) << m;
        EXPECT_FALSE(board.GameEnded());
    }
    EXPECT_FALSE(board.ExecuteMove(Square::None, Square::E4));
    EXPECT_TRUE(log.Take().empty());
    EXPECT_EQ(board.Position(), position);
    EXPECT_EQ(board.CurrentMove(), 3);
}

TEST(ExecuteMove, EnPassantRemovesThePassedPawnAndIsGoneAMoveLater) {
    TChessBoard board;
    for (const char* m : {"e2e4", "a7a6", "e4e5", "d7d5"}) ASSERT_TRUE(Play(board, m));
    EXPECT_EQ(board.EnPassant(), Square::D6);
    EventLog log(board);
    ASSERT_TRUE(Play(board, "e5d6"));
    EXPECT_EQ(log.Take(), (Lines{"LegalMove e5d6", "Capture e5d6 p", "Paint"}));
    EXPECT_EQ(board.PieceAt(Square::D5), ' ');
    EXPECT_EQ(board.PieceAt(Square::D6), 'P');
    EXPECT_EQ(board.EnPassant(), Square::None);

    // The chance passes when it is not taken at once.
    TChessBoard later;
    for (const char* m : {"e2e4", "a7a6", "e4e5", "d7d5", "h2h3", "h7h6"}) ASSERT_TRUE(Play(later, m));
    EXPECT_FALSE(Play(later, "e5d6"));
}

TEST(ExecuteMove, OnlyAPawnCapturesEnPassant) {
    TChessBoard board;
    SetUpBoard(board, Diagram({"....k...", "........", "........", "...p....", "........", "......B.", "........",
                          "....K..."}),
          true, CastleSet{}, Square::D6);
    EventLog log(board);
    ASSERT_TRUE(Play(board, "g3d6"));
    EXPECT_EQ(log.Take(), (Lines{"LegalMove g3d6", "Paint"}));
    EXPECT_EQ(board.PieceAt(Square::D5), 'p');
}

TEST(ExecuteMove, CastlingMovesTheRookAndFiresOnCastle) {
    struct Case {
        const char* move;
        bool white;
        Square rookFrom, rookTo;
    };
    const std::string position = Diagram({"r...k..r", "pppppppp", "........", "........", "........", "........",
                                          "PPPPPPPP", "R...K..R"});
    for (const Case& c : {Case{"e1g1", true, Square::H1, Square::F1}, Case{"e1c1", true, Square::A1, Square::D1},
                          Case{"e8g8", false, Square::H8, Square::F8}, Case{"e8c8", false, Square::A8, Square::D8}}) {
        TChessBoard board;
        SetUpBoard(board, position, c.white, AllCastling);
        EventLog log(board);
        ASSERT_TRUE(Play(board, c.move)) << c.move;
        EXPECT_EQ(log.Take(), (Lines{std::string("LegalMove ") + c.move, std::string("Castle ") + c.move, "Paint"}));
        EXPECT_EQ(board.PieceAt(c.rookFrom), ' ') << c.move;
        EXPECT_EQ(board.PieceAt(c.rookTo), c.white ? 'R' : 'r') << c.move;
        if (c.white) {
            EXPECT_EQ(board.CastlingAllowed().Bits(), 12) << c.move;
        } else {
            EXPECT_EQ(board.CastlingAllowed().Bits(), 3) << c.move;
        }
    }
}

TEST(ExecuteMove, RightsGoWithAMoveFromTheirSquareAndWithACaptureOnTheCorner) {
    TChessBoard board;
    SetUpBoard(board, Diagram({"r...k..r", "........", "........", "........", "........", "........", "........",
                          "R...K..R"}),
          true, AllCastling);
    // King out and back: both white rights are gone.
    for (const char* m : {"e1e2", "e8e7", "e2e1", "e7e8"}) ASSERT_TRUE(Play(board, m)) << m;
    EXPECT_EQ(board.CastlingAllowed(), CastleSet{});
    EXPECT_FALSE(board.IsLegalMove(Square::E1, Square::G1));

    // A rook taken on its corner takes its right with it.
    SetUpBoard(board, Diagram({"r...k..r", "p.......", "......N.", "........", "........", "........", "........",
                               "R...K..R"}),
               true, AllCastling);
    ASSERT_TRUE(Play(board, "g6h8"));
    EXPECT_EQ(board.CastlingAllowed(), (CastleSet{CanStillCastle::WhiteKingSide, CanStillCastle::WhiteQueenSide,
                                                  CanStillCastle::BlackQueenSide}));
    ASSERT_TRUE(Play(board, "a7a6"));
    ASSERT_TRUE(Play(board, "e1f1"));
    ASSERT_TRUE(Play(board, "a8a7"));
    EXPECT_EQ(board.CastlingAllowed(), CastleSet{});

    // Nor can another rook that takes the corner back castle.
    FenPosition fen;
    std::string error;
    ASSERT_TRUE(ParseFen("4k2r/8/8/8/7r/8/1B6/4K3 w k - 0 1", fen, error)) << error;
    ApplyFen(board, fen);
    for (const char* m : {"b2h8", "h4h8", "e1d1"}) ASSERT_TRUE(Play(board, m)) << m;
    EXPECT_FALSE(board.IsLegalMove(Square::E8, Square::G8)) << "castling with a rook that has moved";
    EXPECT_EQ(board.CastlingAllowed(), CastleSet{});
}

TEST(ExecuteMove, PromotionWithoutAHandlerMakesAQueenAndAHandlersLetterLasts) {
    const std::string position = Diagram({"........", "P......k", "........", "........", "........", "........",
                                          "p......K", "........"});
    TChessBoard board;
    SetUpBoard(board, position, true);
    EventLog log(board);
    ASSERT_TRUE(Play(board, "a7a8"));
    EXPECT_EQ(board.PieceAt(Square::A8), 'Q');
    EXPECT_EQ(log.Take(), (Lines{"LegalMove a7a8", "Promotion a7a8 q", "Paint"}));
    ASSERT_TRUE(Play(board, "a2a1"));
    EXPECT_EQ(board.PieceAt(Square::A1), 'q');

    board.OnPromotion = [](TObject*, Square, Square, char& piece) { piece = 'n'; };
    SetUpBoard(board, position, true);
    ASSERT_TRUE(Play(board, "a7a8"));
    EXPECT_EQ(board.PieceAt(Square::A8), 'N');
    EXPECT_EQ(board.PromotionPiece(), 'n');
    board.OnPromotion = nullptr;
    ASSERT_TRUE(Play(board, "a2a1"));
    EXPECT_EQ(board.PieceAt(Square::A1), 'n');
}

TEST(ExecuteMove, PromotionByCaptureFiresCaptureFirst) {
    TChessBoard board;
    SetUpBoard(board, Diagram({".r.....k", "P.......", "........", "........", "........", "........", "........",
                          ".......K"}),
          true);
    EventLog log(board);
    board.SetPromotionPiece('r');
    ASSERT_TRUE(Play(board, "a7b8"));
    EXPECT_EQ(log.Take(), (Lines{"LegalMove a7b8", "Capture a7b8 r", "Promotion a7b8 r", "Check a7b8", "Paint"}));
    EXPECT_EQ(board.PieceAt(Square::B8), 'R');
}

TEST(ExecuteMove, APromotionLetterOutsideTheSetIsNotCorrected) {
    TChessBoard board;
    SetUpBoard(board, Diagram({"........", "P......k", "........", "........", "........", "........", "........",
                          ".......K"}),
          true);
    board.OnPromotion = [](TObject*, Square, Square, char& piece) { piece = 'x'; };
    ASSERT_TRUE(Play(board, "a7a8"));
    EXPECT_EQ(board.PieceAt(Square::A8), 'X');
    EXPECT_EQ(board.PieceColor(Square::A8), -1);
}

TEST(ExecuteMove, PromotePawnUsesTheRankForTheCase) {
    TChessBoard board;
    board.SetPosition("");
    board.SetPromotionPiece('b');
    board.PromotePawn(Square::C8);
    board.PromotePawn(Square::C1);
    board.PromotePawn(Square::C4);
    EXPECT_EQ(board.PieceAt(Square::C8), 'B');
    EXPECT_EQ(board.PieceAt(Square::C1), 'b');
    EXPECT_EQ(board.PieceAt(Square::C4), ' ');
}

TEST(ExecuteMove, OnLegalMoveSeesTheMovedPieceButNotYetTheRookOrTheRights) {
    TChessBoard board;
    SetUpBoard(board, Diagram({"r...k..r", "........", "........", "........", "........", "........", "........",
                          "R...K..R"}),
          true, AllCastling);
    bool checked = false;
    board.OnLegalMove = [&](TObject* sender, Square, Square) {
        auto* b = static_cast<TChessBoard*>(sender);
        EXPECT_EQ(b->PieceAt(Square::G1), 'K');
        EXPECT_EQ(b->PieceAt(Square::H1), 'R');
        EXPECT_FALSE(b->WhiteToMove());
        EXPECT_EQ(b->CastlingAllowed(), AllCastling);
        EXPECT_EQ(b->History(1, 1), nullptr);
        checked = true;
    };
    ASSERT_TRUE(Play(board, "e1g1"));
    EXPECT_TRUE(checked);
}

TEST(ExecuteMove, AHandlerMayClearItsOwnEventWhileRunning) {
    TChessBoard board;
    int calls = 0;
    board.OnLegalMove = [&](TObject*, Square, Square) {
        board.OnLegalMove = nullptr;
        ++calls;
    };
    ASSERT_TRUE(Play(board, "e2e4"));
    ASSERT_TRUE(Play(board, "e7e5"));
    EXPECT_EQ(calls, 1);
}

TEST(ExecuteMove, AHandlerMayStartANewGame) {
    TChessBoard board;
    board.OnCheck = [&](TObject*, Square, Square) { board.NewGame(); };
    for (const char* m : {"e2e4", "f7f6", "d1h5"}) ASSERT_TRUE(Play(board, m)) << m;
    EXPECT_EQ(board.Position(), std::string(InitialPosition));
    EXPECT_TRUE(board.WhiteToMove());
    EXPECT_TRUE(Play(board, "d2d4"));
}

TEST(ExecuteMove, TellsTheViewWhatToRedrawAndAnimatesUnlessTheMoveWasDropped) {
    TChessBoard board;
    std::vector<std::string> log;
    board.SetView(std::make_unique<RecordingView>(&log));
    board.SetAnimationDelay(3);
    ASSERT_TRUE(Play(board, "e2e4"));
    EXPECT_EQ(log, (Lines{"draw e2 ", "animate e2e4 3", "draw e4P"}));
    log.clear();
    board.SetAnimateMoves(false);
    ASSERT_TRUE(Play(board, "e7e5"));
    EXPECT_EQ(log, (Lines{"draw e7 ", "draw e5p"}));
}

TEST(PlayMove, ClearsEngineStoppedAndReturnsTheResult) {
    TChessBoard board;
    board.StopThinking();
    EXPECT_TRUE(board.EngineStopped());
    EXPECT_FALSE(board.PlayMove(Square::E2, Square::E5));
    EXPECT_FALSE(board.EngineStopped());
    board.StopThinking();
    EXPECT_TRUE(board.PlayMove(Square::E2, Square::E4));
    EXPECT_FALSE(board.EngineStopped());
}

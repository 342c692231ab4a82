// The board component's own view, painted into its surface: geometry for
// both orientations, fitting to its size, the pixels of cells, border,
// coordinates and pieces, custom piece sets, drag and drop with synthetic
// mouse input, slides and resizing.

#include <gtest/gtest.h>

#include "chess/view/ChessBoardPainter.h"
#include "tests/chess/BoardFixture.h"

using namespace zelkor;
using namespace zelkor::testing_support;

namespace {

class BoardPainterTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto owned = std::make_unique<TChessBoardPainter>(board);
        view = owned.get();
        board.SetView(std::move(owned));
        board.NewGame();
    }
    void TearDown() override { board.StopThinking(); }

    uint32_t At(int x, int y) const { return view->Surface().Pixel(x, y); }
    // A point well inside a cell, near its top-left corner (clear of any piece).
    TPoint CornerOf(Square sq) const {
        const TPoint o = view->SquareOrigin(sq);
        return {o.X + 1, o.Y + 1};
    }
    // Press on `from`, move past the drag threshold to `to`, release there.
    void Drag(Square from, Square to) {
        const TPoint a = view->SquareOrigin(from), b = view->SquareOrigin(to);
        const int s = view->SizeOfSquare() / 2;
        view->MouseDown(a.X + s, a.Y + s, true);
        view->MouseMove(a.X + s + 8, a.Y + s, true);
        view->MouseMove(b.X + s, b.Y + s, true);
        view->MouseUp(b.X + s, b.Y + s, true);
    }

    TChessBoard board;
    TChessBoardPainter* view = nullptr;
};

} // namespace

TEST_F(BoardPainterTest, SquareFromPointAtTheBoardsCornersInBothOrientations) {
    const int s = view->SizeOfSquare(), l = view->BoardLeft(), t = view->BoardTop();
    struct Case {
        bool WhiteOnTop;
        int X, Y;
        Square Expected;
    } cases[] = {
        {false, l, t, Square::A8},
        {false, l + 8 * s - 1, t + 8 * s - 1, Square::H1},
        {false, l + 8 * s - 1, t, Square::H8},
        {false, l - 1, t, Square::None},
        {false, l, t + 8 * s, Square::None},
        {true, l, t, Square::H1},
        {true, l + 8 * s - 1, t + 8 * s - 1, Square::A8},
        {true, l, t + 8 * s - 1, Square::H8},
    };
    for (const Case& c : cases) {
        view->SetWhiteOnTop(c.WhiteOnTop);
        EXPECT_EQ(view->SquareFromPoint(c.X, c.Y), c.Expected) << c.WhiteOnTop << " " << c.X << "," << c.Y;
    }
    view->SetWhiteOnTop(true);
    EXPECT_EQ(view->SquareOrigin(Square::H1).X, l);
    EXPECT_EQ(view->SquareOrigin(Square::A8).Y, t + 7 * s);
}

TEST_F(BoardPainterTest, PaintSquaresTheComponentAndTheCellsFollowItsSize) {
    EXPECT_EQ(view->Width(), 368);
    EXPECT_EQ(view->SizeOfSquare(), 40);
    view->SetWidth(400);
    view->SetHeight(376);
    board.Paint();
    EXPECT_EQ(view->SizeOfSquare(), 42);
    EXPECT_EQ(view->Width(), 384);
    EXPECT_EQ(view->Height(), 384);
    EXPECT_EQ(view->Surface().Width(), 384);
    view->SetSizeOfSquare(30);
    EXPECT_EQ(view->Width(), 8 * 30 + 48);
}

TEST_F(BoardPainterTest, CellsBorderAndFramesAtTheirPixels) {
    view->SetBorderColor(0xFF0000);  // blue, as 0x00BBGGRR
    const int b = view->SizeOfBorder(), w = view->Width();
    EXPECT_EQ(At(5, 5), 0xFF0000FFu) << "border";
    EXPECT_EQ(At(0, 0), 0xFF000000u) << "outer frame";
    EXPECT_EQ(At(w - 1, w / 2), 0xFF000000u) << "outer frame";
    EXPECT_EQ(At(b - 1, b + 5), 0xFF000000u) << "inner frame";
    EXPECT_EQ(At(w - b, b + 5), 0xFF000000u) << "inner frame";
    const TPoint a8 = CornerOf(Square::A8), b8 = CornerOf(Square::B8), e4 = CornerOf(Square::E4);
    EXPECT_EQ(At(a8.X, a8.Y), 0xFFC0C0C0u) << "a8 is light";
    EXPECT_EQ(At(b8.X, b8.Y), 0xFF808080u) << "b8 is dark";
    EXPECT_EQ(At(e4.X, e4.Y), 0xFFC0C0C0u) << "e4 is light";
    // Turning the board keeps each cell's colour where it is.
    view->SetWhiteOnTop(true);
    EXPECT_EQ(At(a8.X, a8.Y), 0xFFC0C0C0u);
    // Tiled bitmaps replace the colours.
    view->SetSquareDark(TBitmap(3, 3, 0xFF00FF00u));
    EXPECT_EQ(At(b8.X, b8.Y), 0xFF00FF00u);
}

TEST_F(BoardPainterTest, GridLinesAndCoordinates) {
    const int b = view->SizeOfBorder(), s = view->SizeOfSquare();
    view->SetLineStyle(TPen{0x0000FF, 1});
    view->SetBoardLines(true);
    EXPECT_EQ(At(b + s, b + 3), 0xFFFF0000u) << "a vertical grid line";
    EXPECT_EQ(At(b + 3, b + 2 * s), 0xFFFF0000u) << "a horizontal grid line";
    auto whiteIn = [&](int x0, int y0, int x1, int y1) {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) n += (At(x, y) & 0xFF) > 100 && ((At(x, y) >> 16) & 0xFF) > 100;
        return n;
    };
    EXPECT_EQ(whiteIn(1, b, b - 1, b + 8 * s), 0) << "no coordinates yet";
    view->SetDisplayCoords(CoordSet{Coord::West, Coord::South});
    EXPECT_GT(whiteIn(1, b, b - 1, b + s), 3) << "the rank 8 label";
    EXPECT_GT(whiteIn(b, b + 8 * s + 1, b + s, view->Height() - 1), 3) << "the file a label";
    EXPECT_EQ(whiteIn(view->Width() - b + 1, b, view->Width() - 1, b + 8 * s), 0) << "nothing east";
}

TEST_F(BoardPainterTest, PiecesAreDrawnThroughTheirMasksCentredInTheirCells) {
    const int index = view->PieceImageIndex('K');
    ASSERT_GE(index, 0);
    const TBitmap& image = view->PieceImage(index);
    const TBitmap& mask = view->PieceMask(index);
    const TPoint o = view->SquareOrigin(Square::E1);
    const int d = (view->SizeOfSquare() - view->PieceSize()) / 2;
    int opaque = 0;
    for (int y = 0; y < mask.Height(); ++y)
        for (int x = 0; x < mask.Width(); ++x)
            if ((mask.Pixel(x, y) & 0xFF) < 128) {
                ++opaque;
                ASSERT_EQ(At(o.X + d + x, o.Y + d + y), 0xFF000000u | image.Pixel(x, y)) << x << "," << y;
            }
    EXPECT_GT(opaque, 100);
    EXPECT_EQ(view->PieceImageIndex('P'), 0);
    EXPECT_EQ(view->PieceImageIndex('k'), 11);
    EXPECT_EQ(view->PieceImageIndex('x'), -1);
    EXPECT_EQ(view->PieceImageIndex(' '), -1);
}

TEST_F(BoardPainterTest, CustomPieceSetsMustBeThreeByTwo) {
    EXPECT_EQ(view->PieceSize(), 40);
    const TBitmap good(300, 200, 0xFF00FF00u), square(300, 300);
    view->SetCustomPieceSet(&good);
    EXPECT_EQ(view->PieceSize(), 50);
    ASSERT_NE(view->CustomPieceSet(), nullptr);
    view->SetCustomPieceSet(&square);
    EXPECT_EQ(view->PieceSize(), 50) << "refused: the set stays";
    view->SetCustomPieceSet(nullptr);
    EXPECT_EQ(view->PieceSize(), 40) << "the built-in set again";
    EXPECT_EQ(view->CustomPieceSet(), nullptr);
}

TEST_F(BoardPainterTest, DragAndDropPlaysLegalMovesAndCancelsTheRest) {
    std::vector<Square> illegal;
    board.OnIllegalMove = [&](TObject*, Square sq) { illegal.push_back(sq); };
    board.SetAnimateMoves(true);
    Drag(Square::E2, Square::E2);
    EXPECT_TRUE(illegal.empty()) << "dropping back makes no move and fires nothing";
    EXPECT_EQ(board.PieceAt(Square::E2), 'P');
    Drag(Square::E2, Square::E5);
    EXPECT_EQ(illegal, std::vector<Square>{Square::E2});
    EXPECT_EQ(board.PieceAt(Square::E2), 'P');
    int frames = 0;
    view->OnInvalidate = [&] { ++frames; };
    Drag(Square::E2, Square::E4);
    EXPECT_EQ(board.PieceAt(Square::E4), 'P');
    EXPECT_EQ(board.PieceAt(Square::E2), Blank);
    EXPECT_LT(frames, 20) << "a dropped move does not slide";
    EXPECT_FALSE(view->DragImage().Visible);
    // A drag given up by the user.
    const TPoint d2 = view->SquareOrigin(Square::D2);
    view->MouseDown(d2.X + 20, d2.Y + 20, true);
    view->MouseMove(d2.X + 20, d2.Y - 30, true);
    ASSERT_TRUE(view->Dragging());
    EXPECT_TRUE(view->DragImage().Visible);
    view->CancelDrag();
    EXPECT_FALSE(view->DragImage().Visible);
    EXPECT_EQ(illegal.back(), Square::D2);
    EXPECT_EQ(board.PieceAt(Square::D2), 'P');
    view->MouseUp(d2.X + 20, d2.Y - 30, true);
    EXPECT_EQ(board.PieceAt(Square::D2), 'P') << "the release after a cancel makes no move";
    // A small wobble is no drag.
    const TPoint g8 = view->SquareOrigin(Square::G8);
    view->MouseDown(g8.X + 20, g8.Y + 20, true);
    view->MouseMove(g8.X + 22, g8.Y + 21, true);
    EXPECT_FALSE(view->Dragging());
    view->MouseUp(g8.X + 22, g8.Y + 21, true);
}

TEST_F(BoardPainterTest, SlidesOfAKnightAndOfABishop) {
    const auto knight = TChessBoardPainter::SlidePath(0, 0, 40, 80, true);
    ASSERT_EQ(knight.size(), 41u + 80u);
    EXPECT_EQ(knight[40].X, 40);
    EXPECT_EQ(knight[40].Y, 0) << "across first";
    EXPECT_EQ(knight.back().X, 40);
    EXPECT_EQ(knight.back().Y, 80);
    const auto bishop = TChessBoardPainter::SlidePath(80, 80, 0, 0, false);
    ASSERT_EQ(bishop.size(), 81u);
    for (size_t i = 0; i < bishop.size(); ++i) EXPECT_EQ(bishop[i].X, bishop[i].Y);
    const auto shallow = TChessBoardPainter::SlidePath(0, 0, 80, 40, false);
    ASSERT_EQ(shallow.size(), 81u);
    EXPECT_EQ(shallow[3].Y, 1) << "the shorter axis truncated";
    EXPECT_TRUE(TChessBoardPainter::SlidePath(5, 5, 5, 5, false).empty());

    // A move played with animation slides the piece image one pixel per step.
    board.SetAnimateMoves(true);
    int frames = 0;
    bool seen = false;
    view->OnInvalidate = [&] {
        ++frames;
        seen |= view->DragImage().Visible;
    };
    ASSERT_TRUE(board.PlayMove(Square::G1, Square::F3));
    EXPECT_TRUE(seen);
    EXPECT_GE(frames, 40 + 80);
    EXPECT_FALSE(view->DragImage().Visible);
}

TEST_F(BoardPainterTest, DraggingTheLowerRightCornerResizesWithinItsLimits) {
    view->SetResizable(true);
    const int w = view->Width();
    view->MouseMove(w - 5, w - 5, false);
    EXPECT_EQ(view->Cursor(), TChessBoardPainter::TCursor::SizeNWSE);
    view->MouseDown(w - 5, w - 5, true);
    view->MouseMove(450, 420, true);
    EXPECT_EQ(view->Width(), 408) << "squared at the paint that followed: (450 + 368) / 2, cells of 45";
    view->MouseMove(5000, 5000, true);
    EXPECT_EQ(view->Width(), 8 * ((1000 + 408) / 2 / 8 - 6) + 48);
    view->MouseUp(5000, 5000, true);
    EXPECT_FALSE(view->Resizing());
    view->MouseMove(50, 50, false);
    EXPECT_EQ(view->Cursor(), TChessBoardPainter::TCursor::Default);
}

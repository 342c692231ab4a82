#pragma once
// The board component's own view: the border with its coordinates, the 64
// cells in two colours or two tiled bitmaps, the pieces from a piece-set
// bitmap, painted in software into the component's surface. A host window
// shows the surface (OnInvalidate says when it changed) and passes on the
// mouse (drag and drop, resizing); moves slide across it when the board
// animates them.
//
// The rules and the engine (TChessBoard) need none of this: a board shows
// itself once it is given a painter with SetView.

#include <algorithm>
#include <array>
#include <functional>
#include <vector>

#include "chess/ChessBoard.h"
#include "chess/ChessBoardView.h"
#include "platform/Bitmap.h"
#include "platform/canvas/Canvas.h"
#include "platform/EnumSet.h"

namespace zelkor {

enum class Coord { West, North, East, South };
using CoordSet = EnumSet<Coord>;

class TChessBoardPainter : public TChessBoardView {
public:
    explicit TChessBoardPainter(TChessBoard& board);

    // ---- Size and place (component pixels; Left and Top in the parent) ----
    int Width() const { return width_; }
    void SetWidth(int value) { width_ = std::max(1, value); }
    int Height() const { return height_; }
    void SetHeight(int value) { height_ = std::max(1, value); }
    int Left() const { return left_; }
    void SetLeft(int value) { left_ = value; }
    int Top() const { return top_; }
    void SetTop(int value) { top_ = value; }

    // ---- View properties ----
    int SizeOfSquare() const { return sizeOfSquare_; }
    void SetSizeOfSquare(int value);
    int SizeOfBorder() const { return sizeOfBorder_; }
    void SetSizeOfBorder(int value);
    bool WhiteOnTop() const { return whiteOnTop_; }
    void SetWhiteOnTop(bool value);
    CoordSet DisplayCoords() const { return displayCoords_; }
    void SetDisplayCoords(CoordSet value);
    bool BoardLines() const { return boardLines_; }
    void SetBoardLines(bool value);
    const TPen& LineStyle() const { return lineStyle_; }
    void SetLineStyle(const TPen& value);
    TColor SquareColorLight() const { return squareColorLight_; }
    void SetSquareColorLight(TColor value);
    TColor SquareColorDark() const { return squareColorDark_; }
    void SetSquareColorDark(TColor value);
    TColor BorderColor() const { return borderColor_; }
    void SetBorderColor(TColor value);
    const TBitmap& SquareLight() const { return squareLight_; }
    void SetSquareLight(const TBitmap& value);
    const TBitmap& SquareDark() const { return squareDark_; }
    void SetSquareDark(const TBitmap& value);
    const TBitmap& BorderBitmap() const { return borderBitmap_; }
    void SetBorderBitmap(const TBitmap& value);
    // Null clears it (the built-in set again); a bitmap that is no piece
    // set is refused without a word and the current set stays.
    const TBitmap* CustomPieceSet() const { return customPieceSet_.Empty() ? nullptr : &customPieceSet_; }
    void SetCustomPieceSet(const TBitmap* value);
    const TFont& CoordFont() const { return coordFont_; }
    void SetCoordFont(const TFont& value);
    bool Resizable() const { return resizable_; }
    void SetResizable(bool value) { resizable_ = value; }
    int ResizeMinSize() const { return resizeMinSize_; }
    void SetResizeMinSize(int value) { resizeMinSize_ = std::min(value, resizeMaxSize_); }
    int ResizeMaxSize() const { return resizeMaxSize_; }
    void SetResizeMaxSize(int value) { resizeMaxSize_ = std::max(value, resizeMinSize_); }

    // ---- Geometry ----
    int BoardLeft() const { return sizeOfBorder_; }
    int BoardTop() const { return sizeOfBorder_; }
    // The square under a component point; None outside the 8 x 8 cells.
    Square SquareFromPoint(int x, int y) const;
    // The top-left pixel of the cell of `sq`.
    TPoint SquareOrigin(Square sq) const;

    // ---- Pieces ----
    void BuildPieceImages();
    // The image of a piece letter ("PNBRQKpnbrqk"); -1 for anything else.
    int PieceImageIndex(char letter) const;
    int PieceSize() const { return pieceSize_; }
    static bool IsUsableBitmap(const TBitmap* bitmap) { return bitmap && bitmap->Width() > 0 && bitmap->Height() > 0; }
    static bool IsPieceSetBitmap(const TBitmap* bitmap) {
        return IsUsableBitmap(bitmap) && bitmap->Width() * 2 == bitmap->Height() * 3;
    }

    // ---- Drawing ----
    void DrawBorder();
    void DrawSquares();
    void DrawGridLines();
    void DrawPieces();
    void DrawPiece(Square sq, char letter);
    void DrawEmptySquare(Square sq);

    // The component's pixels, Width x Height once painted.
    const TBitmap& Surface() const { return surface_; }
    // After anything was drawn: a host shows the surface again.
    std::function<void()> OnInvalidate;

    // TChessBoardView: the board's full repaint (after its OnPaint), a cell
    // drawn again, a piece sliding.
    void Paint() override;
    void DrawSquare(Square sq, char piece) override;
    void AnimateMove(Square oldSq, Square newSq, int delay) override;

    // The picture that moves over the parent window during a drag or a
    // slide: a piece image at (X, Y) in the parent's pixels.
    struct TDragImage {
        bool Visible = false;
        int X = 0, Y = 0;
        int Image = -1;  // index into the piece images
    };
    const TDragImage& DragImage() const { return drag_; }
    const TBitmap& PieceImage(int index) const { return pieceImages_.at(size_t(index)).Image; }
    const TBitmap& PieceMask(int index) const { return pieceImages_.at(size_t(index)).Mask; }

    // The top-left points of a slide from (x1, y1) to (x2, y2), one pixel
    // per step: a knight goes across first, then up or down; anything else
    // in a straight line along its longer axis. No points when they are equal.
    static std::vector<TPoint> SlidePath(int x1, int y1, int x2, int y2, bool knight);

    // ---- Mouse, in component pixels ----
    // Pixels the pointer must travel with the button held before a drag begins.
    static constexpr int kDragThreshold = 5;
    void MouseDown(int x, int y, bool left);
    void MouseMove(int x, int y, bool leftHeld);
    void MouseUp(int x, int y, bool left);
    // The user gives up a drag (Escape): the piece goes back, OnIllegalMove fires.
    void CancelDrag();
    bool Dragging() const { return dragging_; }
    bool Resizing() const { return resizing_; }
    // The pointer shape the host should show: the sizing one at the corner.
    enum class TCursor { Default, SizeNWSE };
    TCursor Cursor() const { return cursor_; }

private:
    struct TPieceImage {
        TBitmap Image, Mask;
    };
    void Repaint() { board_.Paint(); }
    void Invalidate() {
        if (OnInvalidate) OnInvalidate();
    }
    // Fills the clip with a usable bitmap tiled from (0, 0), else with the colour.
    void FillCells(TCanvas& canvas, const TBitmap& bitmap, TColor color);
    TPoint CellOf(Square sq) const;
    // Hides the drag image, draws the piece back and fires OnIllegalMove.
    void DragCancelled(Square source);

    TChessBoard& board_;
    TBitmap surface_;
    int width_ = 368, height_ = 368, left_ = 0, top_ = 0;
    int sizeOfSquare_ = 40, sizeOfBorder_ = 24;
    bool whiteOnTop_ = false;
    CoordSet displayCoords_;
    bool boardLines_ = false;
    TPen lineStyle_;
    TColor squareColorLight_ = clSilver, squareColorDark_ = clGray, borderColor_ = clBlack;
    TBitmap squareLight_, squareDark_, borderBitmap_, customPieceSet_, builtInSet_;
    TFont coordFont_;
    bool resizable_ = false;
    int resizeMinSize_ = 100, resizeMaxSize_ = 1000;
    std::vector<TPieceImage> pieceImages_;
    int pieceSize_ = 40;
    std::array<int, 12> imageIndex_{};
    bool built_ = false;
    TDragImage drag_;
    Square pressed_ = Square::None;
    int pressX_ = 0, pressY_ = 0;
    bool dragging_ = false, resizing_ = false;
    TCursor cursor_ = TCursor::Default;
};

} // namespace zelkor

#include "chess/view/ChessBoardPainter.h"

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <string_view>

#include "chess/view/BoardPieceSet.h"

namespace zelkor {

namespace {

constexpr std::string_view kPieceLetters = "PNBRQKpnbrqk";

} // namespace

TChessBoardPainter::TChessBoardPainter(TChessBoard& board) : board_(board) {
    for (const TEmbeddedFile& file : BoardPieceSet()) {
        std::string error;
        ParseBmp(file.Bytes.data(), file.Bytes.size(), builtInSet_, error);
    }
    imageIndex_.fill(-1);
    BuildPieceImages();
}

// ---- Properties ----

void TChessBoardPainter::SetSizeOfSquare(int value) {
    sizeOfSquare_ = value;
    SetWidth(8 * value + 2 * sizeOfBorder_);
}

void TChessBoardPainter::SetSizeOfBorder(int value) {
    sizeOfBorder_ = value;
    SetWidth(8 * sizeOfSquare_ + 2 * value);
}

void TChessBoardPainter::SetWhiteOnTop(bool value) {
    whiteOnTop_ = value;
    Repaint();
}

void TChessBoardPainter::SetDisplayCoords(CoordSet value) {
    displayCoords_ = value;
    Repaint();
}

void TChessBoardPainter::SetBoardLines(bool value) {
    boardLines_ = value;
    Repaint();
}

void TChessBoardPainter::SetLineStyle(const TPen& value) {
    lineStyle_ = value;
    Repaint();
}

void TChessBoardPainter::SetSquareColorLight(TColor value) {
    squareColorLight_ = value;
    Repaint();
}

void TChessBoardPainter::SetSquareColorDark(TColor value) {
    squareColorDark_ = value;
    Repaint();
}

void TChessBoardPainter::SetBorderColor(TColor value) {
    borderColor_ = value;
    Repaint();
}

void TChessBoardPainter::SetSquareLight(const TBitmap& value) {
    squareLight_ = value;
    Repaint();
}

void TChessBoardPainter::SetSquareDark(const TBitmap& value) {
    squareDark_ = value;
    Repaint();
}

void TChessBoardPainter::SetBorderBitmap(const TBitmap& value) {
    borderBitmap_ = value;
    Repaint();
}

void TChessBoardPainter::SetCustomPieceSet(const TBitmap* value) {
    if (value && !IsPieceSetBitmap(value)) return;
    customPieceSet_ = value ? *value : TBitmap();
    BuildPieceImages();
    Repaint();
}

void TChessBoardPainter::SetCoordFont(const TFont& value) {
    coordFont_ = value;
    Repaint();
}

// ---- Geometry ----

Square TChessBoardPainter::SquareFromPoint(int x, int y) const {
    const int s = sizeOfSquare_;
    const int px = x - BoardLeft(), py = y - BoardTop();
    if (s <= 0 || px < 0 || py < 0 || px >= 8 * s || py >= 8 * s) return Square::None;
    int c = std::min(px / s, 7), r = std::min(py / s, 7);
    if (whiteOnTop_) c = 7 - c, r = 7 - r;
    return static_cast<Square>(r * 8 + c + 1);
}

TPoint TChessBoardPainter::CellOf(Square sq) const {
    const int i = SquareIndex(sq) - 1;
    int c = i % 8, r = i / 8;
    if (whiteOnTop_) c = 7 - c, r = 7 - r;
    return {c, r};
}

TPoint TChessBoardPainter::SquareOrigin(Square sq) const {
    const TPoint cell = CellOf(sq);
    return {BoardLeft() + cell.X * sizeOfSquare_, BoardTop() + cell.Y * sizeOfSquare_};
}

// ---- Pieces ----

void TChessBoardPainter::BuildPieceImages() {
    const TBitmap& set = IsPieceSetBitmap(&customPieceSet_) ? customPieceSet_ : builtInSet_;
    pieceImages_.clear();
    imageIndex_.fill(-1);
    if (set.Empty()) return;
    pieceSize_ = set.Height() / 4;
    const int p = pieceSize_;
    for (int pair = 0; pair < 2; ++pair)
        for (int col = 0; col < 6; ++col) {
            pieceImages_.push_back({set.Crop(col * p, 2 * pair * p, p, p), set.Crop(col * p, (2 * pair + 1) * p, p, p)});
            imageIndex_[size_t(pair * 6 + col)] = int(pieceImages_.size()) - 1;
        }
}

int TChessBoardPainter::PieceImageIndex(char letter) const {
    const size_t at = kPieceLetters.find(letter);
    return letter != '\0' && at != std::string_view::npos ? imageIndex_[at] : -1;
}

// ---- Drawing ----

void TChessBoardPainter::FillCells(TCanvas& canvas, const TBitmap& bitmap, TColor color) {
    if (IsUsableBitmap(&bitmap))
        canvas.TileBitmap(bitmap, 0, 0);
    else
        canvas.FillClip(color);
}

void TChessBoardPainter::Paint() {
    if (!built_) {
        BuildPieceImages();
        built_ = true;
    }
    // The board is always square; its cells follow the component's size.
    const int s = ((width_ + height_) / 2 - 2 * sizeOfBorder_) / 8;
    sizeOfSquare_ = s;
    width_ = std::max(1, 8 * s + 2 * sizeOfBorder_);
    height_ = width_;
    if (surface_.Width() != width_ || surface_.Height() != height_) surface_ = TBitmap(width_, height_);
    DrawBorder();
    DrawSquares();
    DrawPieces();
    Invalidate();
}

void TChessBoardPainter::DrawBorder() {
    TCanvas canvas(surface_);
    const int b = sizeOfBorder_, w = width_, h = height_, s = sizeOfSquare_;
    canvas.ExcludeClipRect({b, b, w - b, h - b});
    FillCells(canvas, borderBitmap_, borderColor_);

    const int fs = coordFont_.PointSize();
    const int a = (b - fs) / 2 + 1, off = (s - fs) / 2, q = canvas.TextHeight("0", coordFont_) / 4;
    for (int i = 0; i < 8; ++i) {
        const std::string rank(1, char('0' + (whiteOnTop_ ? i + 1 : 8 - i)));
        const std::string file(1, (whiteOnTop_ ? "HGFEDCBA" : "ABCDEFGH")[i]);
        if (displayCoords_.Has(Coord::West)) canvas.TextOut(a, i * s + b + off, rank, coordFont_);
        if (displayCoords_.Has(Coord::East)) canvas.TextOut(w + a - b, i * s + b + off, rank, coordFont_);
        if (displayCoords_.Has(Coord::North)) canvas.TextOut(i * s + b + off, a - q, file, coordFont_);
        if (displayCoords_.Has(Coord::South)) canvas.TextOut(i * s + b + off, h + a - b - q, file, coordFont_);
    }
    const TPoint outer[] = {{0, 0}, {w - 1, 0}, {w - 1, w - 1}, {0, w - 1}, {0, 0}};
    canvas.Polyline(outer, lineStyle_);
    const TPoint inner[] = {{b - 1, b - 1}, {w - b, b - 1}, {w - b, w - b}, {b - 1, w - b}, {b - 1, b - 1}};
    canvas.Polyline(inner, lineStyle_);
}

void TChessBoardPainter::DrawSquares() {
    const int b = sizeOfBorder_, s = sizeOfSquare_;
    for (const bool light : {false, true}) {
        TCanvas canvas(surface_);
        canvas.IntersectClipRect({b, b, width_ - b, height_ - b});
        for (int r = 0; r < 8; ++r)
            for (int c = 0; c < 8; ++c)
                if (((c + r) % 2 == 0) != light) canvas.ExcludeClipRect({b + c * s, b + r * s, b + (c + 1) * s, b + (r + 1) * s});
        if (light)
            FillCells(canvas, squareLight_, squareColorLight_);
        else
            FillCells(canvas, squareDark_, squareColorDark_);
    }
    DrawGridLines();
}

void TChessBoardPainter::DrawGridLines() {
    if (!boardLines_) return;
    TCanvas canvas(surface_);
    const TPen pen{lineStyle_.Color, 1};
    const int b = sizeOfBorder_, s = sizeOfSquare_;
    for (int i = 1; i <= 7; ++i) {
        canvas.Line({b + i * s, b}, {b + i * s, height_ - b}, pen);
        canvas.Line({b, b + i * s}, {width_ - b, b + i * s}, pen);
    }
}

void TChessBoardPainter::DrawPieces() {
    for (int i = 1; i <= 64; ++i) {
        const Square sq = static_cast<Square>(i);
        if (board_.PieceAt(sq) != Blank) DrawPiece(sq, board_.PieceAt(sq));
    }
}

void TChessBoardPainter::DrawPiece(Square sq, char letter) {
    const int index = PieceImageIndex(letter);
    if (index < 0 || surface_.Empty()) return;
    const TPoint o = SquareOrigin(sq);
    const int d = (sizeOfSquare_ - pieceSize_) / 2;
    TCanvas canvas(surface_);
    canvas.DrawMasked(pieceImages_[size_t(index)].Image, pieceImages_[size_t(index)].Mask, o.X + d, o.Y + d);
}

void TChessBoardPainter::DrawEmptySquare(Square sq) {
    if (!IsBoardSquare(sq) || surface_.Empty()) return;
    TCanvas canvas(surface_);
    const TPoint o = SquareOrigin(sq);
    canvas.IntersectClipRect({o.X, o.Y, o.X + sizeOfSquare_, o.Y + sizeOfSquare_});
    if (IsLightSquare(sq))
        FillCells(canvas, squareLight_, squareColorLight_);
    else
        FillCells(canvas, squareDark_, squareColorDark_);
}

void TChessBoardPainter::DrawSquare(Square sq, char piece) {
    DrawEmptySquare(sq);
    DrawGridLines();
    if (piece != Blank) DrawPiece(sq, piece);
    Invalidate();
}

// ---- Slides ----

std::vector<TPoint> TChessBoardPainter::SlidePath(int x1, int y1, int x2, int y2, bool knight) {
    std::vector<TPoint> path;
    if (x1 == x2 && y1 == y2) return path;
    if (knight) {
        const int sx = x2 > x1 ? 1 : -1, sy = y2 > y1 ? 1 : -1;
        for (int x = x1; x1 != x2; x += sx) {
            path.push_back({x, y1});
            if (x == x2) break;
        }
        for (int y = x1 != x2 ? y1 + sy : y1; y1 != y2; y += sy) {
            path.push_back({x2, y});
            if (y == y2) break;
        }
        return path;
    }
    const int dx = x2 - x1, dy = y2 - y1;
    if (std::abs(dx) >= std::abs(dy)) {
        const int sx = dx > 0 ? 1 : -1;
        for (int x = x1;; x += sx) {
            path.push_back({x, y1 + int(double(dy) * (x - x1) / dx)});
            if (x == x2) break;
        }
    } else {
        const int sy = dy > 0 ? 1 : -1;
        for (int y = y1;; y += sy) {
            path.push_back({x1 + int(double(dx) * (y - y1) / dy), y});
            if (y == y2) break;
        }
    }
    return path;
}

void TChessBoardPainter::AnimateMove(Square oldSq, Square newSq, int delay) {
    if (drag_.Visible) {
        drag_.Visible = false;
        Invalidate();
        return;
    }
    const char piece = board_.PieceAt(oldSq);
    const TPoint a = SquareOrigin(oldSq), b = SquareOrigin(newSq);
    drag_ = {true, a.X + left_, a.Y + top_, PieceImageIndex(piece)};
    Invalidate();
    using Clock = std::chrono::steady_clock;
    for (const TPoint& p : SlidePath(a.X + left_, a.Y + top_, b.X + left_, b.Y + top_, piece == 'N' || piece == 'n')) {
        const auto began = Clock::now();
        drag_.X = p.X;
        drag_.Y = p.Y;
        Invalidate();
        // The main thread waits here without handling messages, as the board's slide always has.
        if (delay >= 1)
            while (Clock::now() - began <= std::chrono::milliseconds(delay)) {
            }
    }
    drag_.Visible = false;
    Invalidate();
}

// ---- Mouse ----

void TChessBoardPainter::MouseDown(int x, int y, bool left) {
    if (resizable_ && cursor_ == TCursor::SizeNWSE && left) {
        resizing_ = true;
        return;
    }
    const Square sq = SquareFromPoint(x, y);
    pressed_ = Square::None;
    if (sq != Square::None && board_.PieceAt(sq) != Blank) {
        pressed_ = sq;
        pressX_ = x;
        pressY_ = y;
    }
}

void TChessBoardPainter::MouseMove(int x, int y, bool leftHeld) {
    if (resizable_) {
        const bool corner = x >= width_ - 10 && x <= width_ && y >= height_ - 10 && y <= height_;
        if (corner) {
            cursor_ = TCursor::SizeNWSE;
            if (leftHeld && !dragging_) resizing_ = true;
        } else if (!resizing_) {
            cursor_ = TCursor::Default;
        }
        if (resizing_) {
            const int v = std::clamp(std::max(x, y), resizeMinSize_, resizeMaxSize_);
            if (v != width_) {
                width_ = v;
                Repaint();
            }
            return;
        }
    }
    if (pressed_ == Square::None || !leftHeld) return;
    if (!dragging_) {
        if (std::abs(x - pressX_) < kDragThreshold && std::abs(y - pressY_) < kDragThreshold) return;
        // The drag begins: the piece leaves its cell and follows the pointer.
        dragging_ = true;
        board_.SetDragSquares(pressed_, Square::None);
        DrawEmptySquare(pressed_);
        DrawGridLines();
        drag_.Image = PieceImageIndex(board_.PieceAt(pressed_));
        drag_.Visible = true;
    }
    drag_.X = x + left_ - sizeOfSquare_ / 2;
    drag_.Y = y + top_ - sizeOfSquare_ / 2;
    Invalidate();
}

void TChessBoardPainter::MouseUp(int x, int y, bool left) {
    if (resizing_) {
        resizing_ = false;
        return;
    }
    if (!left) return;
    const Square source = pressed_;
    pressed_ = Square::None;
    if (!dragging_) return;
    dragging_ = false;
    drag_.Visible = false;
    const Square target = SquareFromPoint(x, y);
    // A drop is taken when the engine is not thinking and the move is legal
    // (or the piece goes back where it was).
    const bool accepted =
        target != Square::None && !board_.Thinking() && (target == source || board_.IsLegalMove(source, target));
    if (!accepted) {
        DragCancelled(source);
        return;
    }
    board_.SetDragSquares(source, target);
    if (target == source) {
        DrawSquare(source, board_.PieceAt(source));
        return;
    }
    board_.PlayMove(source, target);
}

void TChessBoardPainter::CancelDrag() {
    if (!dragging_) return;
    const Square source = pressed_;
    pressed_ = Square::None;
    dragging_ = false;
    DragCancelled(source);
}

void TChessBoardPainter::DragCancelled(Square source) {
    drag_.Visible = false;
    DrawSquare(source, board_.PieceAt(source));
    board_.SetDragSquares(source, Square::None);
    if (board_.OnIllegalMove) board_.OnIllegalMove(&board_, source);
}

} // namespace zelkor

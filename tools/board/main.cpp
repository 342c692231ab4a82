// zelkor-board: the board component on its own, in a window. A person plays
// against the computer, or two people play, moving pieces with the mouse
// (drag and drop); the component's lower-right corner resizes it.
//   zelkor-board [--pieces FILE.bmp|FILE.png]
// Keys: W / B the computer plays White / Black (on or off), 1..8 its depth,
// T White on top, C coordinates, G grid lines, A animated moves, N a new
// game, Escape gives up a drag or quits.

#include <SDL2/SDL.h>

#include <cstdio>
#include <string>

#include "chess/view/ChessBoardPainter.h"
#include "platform/Application.h"
#include "platform/canvas/BitmapFile.h"
#include "platform/sdl/SdlEvents.h"

using namespace zelkor;

namespace {

constexpr int kMargin = 12;  // the window around the component

class TBoardWindow {
public:
    TBoardWindow() {
        auto owned = std::make_unique<TChessBoardPainter>(board_);
        view_ = owned.get();
        board_.SetView(std::move(owned));
        view_->SetLeft(kMargin);
        view_->SetTop(kMargin);
        view_->SetResizable(true);
        view_->SetDisplayCoords(CoordSet{Coord::West, Coord::South});
        view_->OnInvalidate = [this] { Present(); };
        board_.SetSearchDepth(3);
        board_.SetComputerPlaysBlack(true);
        board_.OnMate = [this](TObject*, Square, Square) { Title("mate"); };
        board_.OnDraw = [this](TObject*) { Title("a draw"); };
        board_.OnIllegalMove = [](TObject*, Square) {};
    }

    bool Open(std::string& error) {
        window_ = SDL_CreateWindow("Zelkor Board", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                   view_->Width() + 2 * kMargin, view_->Height() + 2 * kMargin, SDL_WINDOW_SHOWN);
        if (!window_) {
            error = SDL_GetError();
            return false;
        }
        sizing_ = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_SIZENWSE);
        arrow_ = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_ARROW);
        board_.NewGame();
        Title("");
        return true;
    }

    ~TBoardWindow() {
        board_.StopThinking();
        view_->OnInvalidate = nullptr;
        if (sizing_) SDL_FreeCursor(sizing_);
        if (arrow_) SDL_FreeCursor(arrow_);
        if (window_) SDL_DestroyWindow(window_);
    }

    bool SetPieces(const std::string& path, std::string& error) {
        TBitmap set;
        if (!ReadBitmapFile(path, set, error)) return false;
        if (!TChessBoardPainter::IsPieceSetBitmap(&set)) {
            error = path + ": a piece set is 3 : 2 (6 columns, 4 rows of square cells)";
            return false;
        }
        view_->SetCustomPieceSet(&set);
        return true;
    }

    bool HandleEvent(const SDL_Event& e) {
        switch (e.type) {
        case SDL_MOUSEBUTTONDOWN:
            view_->MouseDown(e.button.x - kMargin, e.button.y - kMargin, e.button.button == SDL_BUTTON_LEFT);
            return true;
        case SDL_MOUSEMOTION:
            view_->MouseMove(e.motion.x - kMargin, e.motion.y - kMargin, (e.motion.state & SDL_BUTTON_LMASK) != 0);
            SDL_SetCursor(view_->Cursor() == TChessBoardPainter::TCursor::SizeNWSE ? sizing_ : arrow_);
            return true;
        case SDL_MOUSEBUTTONUP:
            view_->MouseUp(e.button.x - kMargin, e.button.y - kMargin, e.button.button == SDL_BUTTON_LEFT);
            return true;
        case SDL_KEYDOWN: Key(e.key.keysym.sym); return true;
        case SDL_WINDOWEVENT:
            if (e.window.event == SDL_WINDOWEVENT_EXPOSED) Present();
            return true;
        default: return false;
        }
    }

private:
    void Key(SDL_Keycode k) {
        if (k == SDLK_ESCAPE) {
            // Escape gives up a drag first; otherwise it quits.
            if (view_->Dragging())
                view_->CancelDrag();
            else
                TApplication::Instance().Terminate();
            return;
        }
        if (k == SDLK_w) board_.SetComputerPlaysWhite(!board_.ComputerPlaysWhite());
        if (k == SDLK_b) board_.SetComputerPlaysBlack(!board_.ComputerPlaysBlack());
        if (k >= SDLK_1 && k <= SDLK_8) board_.SetSearchDepth(int(k - SDLK_0));
        if (k == SDLK_t) view_->SetWhiteOnTop(!view_->WhiteOnTop());
        if (k == SDLK_c)
            view_->SetDisplayCoords(view_->DisplayCoords().Empty() ? CoordSet{Coord::West, Coord::South} : CoordSet{});
        if (k == SDLK_g) view_->SetBoardLines(!view_->BoardLines());
        if (k == SDLK_a) board_.SetAnimateMoves(!board_.AnimateMoves());
        if (k == SDLK_n) board_.NewGame();
        board_.StartThinking();
        Title("");
    }

    void Title(const std::string& news) {
        if (!window_) return;
        std::string t = "Zelkor Board - computer: ";
        t += board_.ComputerPlaysWhite() ? (board_.ComputerPlaysBlack() ? "both" : "White") : (board_.ComputerPlaysBlack() ? "Black" : "none");
        t += ", depth " + std::to_string(board_.SearchDepth());
        if (!news.empty()) t += " - " + news;
        SDL_SetWindowTitle(window_, t.c_str());
    }

    // The window: the component's surface inside a margin, the moving piece over it.
    void Present() {
        if (!window_) return;
        int w = 0, h = 0;
        SDL_GetWindowSize(window_, &w, &h);
        if (w != view_->Width() + 2 * kMargin || h != view_->Height() + 2 * kMargin) {
            SDL_SetWindowSize(window_, view_->Width() + 2 * kMargin, view_->Height() + 2 * kMargin);
            SDL_GetWindowSize(window_, &w, &h);
        }
        SDL_Surface* screen = SDL_GetWindowSurface(window_);
        if (!screen) return;
        TBitmap frame(screen->w, screen->h, 0xFF3A3F46u);
        TCanvas canvas(frame);
        canvas.Draw(view_->Surface(), view_->Left(), view_->Top());
        const auto& drag = view_->DragImage();
        if (drag.Visible && drag.Image >= 0)
            canvas.DrawMasked(view_->PieceImage(drag.Image), view_->PieceMask(drag.Image), drag.X, drag.Y);
        SDL_Surface* source = SDL_CreateRGBSurfaceWithFormatFrom(frame.Pixels().data(), frame.Width(), frame.Height(), 32,
                                                                 frame.Width() * 4, SDL_PIXELFORMAT_ARGB8888);
        if (source) {
            SDL_BlitSurface(source, nullptr, screen, nullptr);
            SDL_FreeSurface(source);
        }
        SDL_UpdateWindowSurface(window_);
    }

    TChessBoard board_;
    TChessBoardPainter* view_ = nullptr;
    SDL_Window* window_ = nullptr;
    SDL_Cursor* sizing_ = nullptr;
    SDL_Cursor* arrow_ = nullptr;
};

} // namespace

int main(int argc, char** argv) {
    std::string pieces;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--pieces" && i + 1 < argc) {
            pieces = argv[++i];
        } else {
            std::fprintf(stderr, "usage: zelkor-board [--pieces FILE.bmp|FILE.png]\n");
            return 2;
        }
    }
    TSdlEventSource events;
    if (!events.Ok()) {
        std::fprintf(stderr, "zelkor-board: %s\n", events.Error().c_str());
        return 1;
    }
    TBoardWindow window;
    std::string error;
    if (!pieces.empty() && !window.SetPieces(pieces, error)) {
        std::fprintf(stderr, "zelkor-board: %s\n", error.c_str());
        return 1;
    }
    if (!window.Open(error)) {
        std::fprintf(stderr, "zelkor-board: cannot open a window: %s\n", error.c_str());
        return 1;
    }
    events.OnEvent = [&](const SDL_Event& e) { return window.HandleEvent(e); };
    TApplication::Instance().Run();
    events.OnEvent = nullptr;
    return 0;
}

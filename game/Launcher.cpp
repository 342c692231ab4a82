#include "game/Launcher.h"

#include <chrono>

#include "assets/ImageRecord.h"
#include "game/embedded/EmbeddedFiles.h"
#include "platform/Application.h"
#include "platform/sdl/JpegDecoder.h"
#include "platform/PixelFormats.h"

namespace zelkor::game {

namespace {

// An image record of one X8R8G8B8 or A8R8G8B8 picture, the whole picture one pattern.
std::vector<uint8_t> PictureRecord(const TRgbPicture& picture, TColorFormat format) {
    TMemoryStream s;
    TImageRecordHeader h;
    h.Format = format;
    h.PatternWidth = h.VisibleWidth = h.TextureWidth = picture.Width;
    h.PatternHeight = h.VisibleHeight = h.TextureHeight = picture.Height;
    h.PatternCount = 1;
    h.TextureCount = 1;
    WriteImageRecordHeader(s, h);
    std::vector<uint8_t> row(size_t(picture.Width) * 4);
    for (int y = 0; y < picture.Height; ++y) {
        NarrowRow(format, &picture.Pixels[size_t(y) * size_t(picture.Width)], row.data(), picture.Width);
        s.Write(row.data(), row.size());
    }
    return s.Data();
}

// Canvas colours are 0xAABBGGRR.
constexpr uint32_t Rgb(uint32_t rgb) { return 0xFF000000u | (rgb & 0xFF) << 16 | (rgb & 0xFF00) | (rgb >> 16 & 0xFF); }

} // namespace

TMainForm::TMainForm(TSdlEventSource* events) : events_(events) {}

TMainForm::~TMainForm() { Close(); }

bool TMainForm::Open() {
    device_.SetWidth(Width);
    device_.SetHeight(Height);
    device_.SetWindowed(true);
    device_.SetVSync(true);
    device_.SetTitle("Zelkor Chess");
    canvas_.SetPublisher(&device_);
    images_.SetPublisher(&device_);
    fonts_.SetPublisher(&device_);
    fonts_.SetCanvas(&canvas_);
    canvas_.SetAlphaTesting(false);
    if (!device_.Initialize()) {
        error_ = device_.LastError();
        return false;
    }
    // The splash picture and the font travel inside the program.
    const std::span<const TEmbeddedFile> splash = SplashPicture();
    TRgbPicture picture;
    std::string error;
    if (!splash.empty() && DecodeJpeg(splash[0].Bytes.data(), splash[0].Bytes.size(), picture, error)) {
        TMemoryStream record(PictureRecord(picture, TColorFormat::X8R8G8B8));
        splash_ = images_.Add();
        if (!splash_->LoadFromStream(record)) splash_ = nullptr;
    }
    TRgbPicture white{4, 4, std::vector<uint32_t>(16, 0xFFFFFFFFu)};
    TMemoryStream whiteRecord(PictureRecord(white, TColorFormat::A8R8G8B8));
    white_ = images_.Add();
    if (!white_->LoadFromStream(whiteRecord)) white_ = nullptr;
    const std::span<const TEmbeddedFile> font = LauncherFont();
    if (!font.empty()) {
        TMemoryStream record(std::vector<uint8_t>(font[0].Bytes.begin(), font[0].Bytes.end()));
        fonts_.Add()->LoadFromStream(record);
    }
    hand_ = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_HAND);
    arrow_ = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_ARROW);
    if (SDL_Window* window = device_.Device().Window()) SDL_RaiseWindow(window);
    return true;
}

void TMainForm::Close() {
    if (hand_) SDL_FreeCursor(hand_);
    if (arrow_) SDL_FreeCursor(arrow_);
    hand_ = arrow_ = nullptr;
    splash_ = white_ = nullptr;
    device_.Finalize();
}

bool TMainForm::ShowModal() {
    closed_ = false;
    if (!events_ || !Open()) {
        Close();
        closed_ = true;
        return false;
    }
    TApplication& app = TApplication::Instance();
    auto previous = events_->OnEvent;
    events_->OnEvent = [this](const SDL_Event& e) { return HandleEvent(e); };
    while (!closed_ && !app.Terminated()) {
        if (dirty_) Paint();
        app.WaitAndProcess(std::chrono::milliseconds(50));
    }
    events_->OnEvent = previous;
    if (SDL_Cursor* cursor = SDL_GetDefaultCursor()) SDL_SetCursor(cursor);
    Close();
    return true;
}

void TMainForm::UpdateCursor(int x, int y) {
    const bool button = Button1.Contains(x, y), box = CheckBox1.Contains(x, y);
    if (button != hoverButton_ || box != hoverBox_) dirty_ = true;
    hoverButton_ = button;
    hoverBox_ = box;
    if (SDL_Cursor* c = (button || box) ? hand_ : arrow_) SDL_SetCursor(c);
}

bool TMainForm::HandleEvent(const SDL_Event& e) {
    const uint32_t window = device_.Device().WindowId();
    switch (e.type) {
    case SDL_WINDOWEVENT:
        if (e.window.windowID != window) return false;
        if (e.window.event == SDL_WINDOWEVENT_CLOSE) closed_ = true;
        dirty_ = true;
        return true;
    case SDL_MOUSEMOTION:
        if (e.motion.windowID != window) return false;
        UpdateCursor(e.motion.x, e.motion.y);
        return true;
    case SDL_MOUSEBUTTONDOWN:
        if (e.button.windowID != window || e.button.button != SDL_BUTTON_LEFT) return e.button.windowID == window;
        UpdateCursor(e.button.x, e.button.y);
        if (hoverButton_) {
            pressed_ = true;
            focus_ = 0;
        }
        if (hoverBox_) {
            checked_ = !checked_;
            focus_ = 1;
        }
        dirty_ = true;
        return true;
    case SDL_MOUSEBUTTONUP:
        if (e.button.windowID != window || e.button.button != SDL_BUTTON_LEFT) return e.button.windowID == window;
        UpdateCursor(e.button.x, e.button.y);
        // A click is a press and a release on the button.
        if (pressed_ && hoverButton_) Button1Click();
        pressed_ = false;
        dirty_ = true;
        return true;
    case SDL_KEYDOWN:
        if (e.key.windowID != window) return false;
        switch (e.key.keysym.sym) {
        case SDLK_RETURN:
        case SDLK_KP_ENTER:
        case SDLK_ESCAPE: closed_ = true; break;
        case SDLK_TAB: focus_ = 1 - focus_; break;
        case SDLK_SPACE:
            if (focus_ == 0)
                Button1Click();
            else
                checked_ = !checked_;
            break;
        default: break;
        }
        dirty_ = true;
        return true;
    default: return false;
    }
}

void TMainForm::Gradient(const TRect& r, uint32_t top, uint32_t bottom) {
    if (!white_) {
        canvas_.FillRect(r.X, r.Y, r.W, r.H, top, fxBlend);
        return;
    }
    const float l = float(r.X), t = float(r.Y), rr = float(r.X + r.W), b = float(r.Y + r.H);
    const float corners[4][2] = {{l, t}, {rr, t}, {rr, b}, {l, b}};
    const uint32_t colors[4] = {top, top, bottom, bottom};
    canvas_.DrawQuad(white_, 0, corners, colors, fxBlend);
}

void TMainForm::Frame(const TRect& r, uint32_t light, uint32_t dark) {
    canvas_.FillRect(r.X, r.Y, r.W, 1, light, fxBlend);
    canvas_.FillRect(r.X, r.Y, 1, r.H, light, fxBlend);
    canvas_.FillRect(r.X, r.Y + r.H - 1, r.W, 1, dark, fxBlend);
    canvas_.FillRect(r.X + r.W - 1, r.Y, 1, r.H, dark, fxBlend);
}

void TMainForm::Label(const std::string& text, int x, int y, uint32_t color) {
    if (TGfxFont* font = fonts_.Font(0)) font->TextOut(text, x, y, color, color, fxBlend);
}

void TMainForm::Paint() {
    dirty_ = false;
    device_.OnRender = [this](TObject*) {
        if (splash_) canvas_.Draw(splash_, 0, 0, 0, fxCopy);
        // The silver panel, lit from above, with a thin bevel.
        Gradient(Panel1, Rgb(0xD4D4D8), Rgb(0xA8A8AE));
        Frame(Panel1, Rgb(0xF2F2F4), Rgb(0x6E6E74));
        // The start button: raised, lighter under the mouse, sunken while pressed.
        const bool down = pressed_ && hoverButton_;
        const uint32_t top = down ? Rgb(0xB8C4D8) : hoverButton_ ? Rgb(0xFAFCFF) : Rgb(0xF0F0F2);
        const uint32_t bottom = down ? Rgb(0xD8E0EE) : hoverButton_ ? Rgb(0xCFDDF2) : Rgb(0xD0D0D6);
        Gradient(Button1, top, bottom);
        Frame(Button1, down ? Rgb(0x50565E) : Rgb(0x7A8088), down ? Rgb(0xE8ECF2) : Rgb(0x50565E));
        TGfxFont* font = fonts_.Font(0);
        const std::string caption = "Start Zelkor Chess";
        const double width = font ? font->TextWidth(caption) : 0;
        const int textY = Button1.Y + (Button1.H - (font && font->GlyphImage() ? font->GlyphImage()->VisibleHeight() : 14)) / 2;
        Label(caption, Button1.X + int((Button1.W - width) / 2) + (down ? 1 : 0), textY + (down ? 1 : 0), Rgb(0x101418));
        // The check box: a white square with a dark tick, and its caption.
        const TRect box{CheckBox1.X, CheckBox1.Y + 2, 13, 13};
        Gradient(box, hoverBox_ ? Rgb(0xE8F0FC) : Rgb(0xFFFFFF), Rgb(0xE4E4E8));
        Frame(box, Rgb(0x50565E), Rgb(0x50565E));
        if (checked_) {
            // A tick of two strokes.
            for (int i = 0; i < 3; ++i) canvas_.FillRect(box.X + 3 + i, box.Y + 6 + i, 1, 2, Rgb(0x1A2A40), fxBlend);
            for (int i = 0; i < 5; ++i) canvas_.FillRect(box.X + 6 + i, box.Y + 8 - i, 1, 2, Rgb(0x1A2A40), fxBlend);
        }
        Label(" Run in fullscreen mode", CheckBox1.X + 15, CheckBox1.Y, Rgb(0x101418));
        // The focused control wears a dotted frame.
        const TRect focus = focus_ == 0 ? TRect{Button1.X + 3, Button1.Y + 3, Button1.W - 6, Button1.H - 6}
                                        : TRect{CheckBox1.X + 16, CheckBox1.Y, CheckBox1.W - 16, CheckBox1.H};
        for (int x = focus.X; x < focus.X + focus.W; x += 2) {
            canvas_.FillRect(x, focus.Y, 1, 1, Rgb(0x404448), fxBlend);
            canvas_.FillRect(x, focus.Y + focus.H - 1, 1, 1, Rgb(0x404448), fxBlend);
        }
        for (int y = focus.Y; y < focus.Y + focus.H; y += 2) {
            canvas_.FillRect(focus.X, y, 1, 1, Rgb(0x404448), fxBlend);
            canvas_.FillRect(focus.X + focus.W - 1, y, 1, 1, Rgb(0x404448), fxBlend);
        }
    };
    if (device_.Render(0xFF000000, true)) device_.Flip();
}

} // namespace zelkor::game

#include "tools/xdrive/XDriver.h"

#include <X11/Xlib.h>

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <algorithm>
#include <cstdlib>
#include <thread>

#include "tools/xdrive/MachineLoad.h"

namespace zelkor::xdrive {

namespace {

// Ignores the errors of windows that vanish while being looked at.
int IgnoreErrors(Display*, XErrorEvent*) { return 0; }

// The window's title, whether it was stored as Latin-1 or as UTF-8 (the
// bytes as they are: the titles looked for are plain ASCII).
std::string TitleOf(Display* display, Window w) {
    std::string title;
    XTextProperty property{};
    if (XGetWMName(display, w, &property) && property.value) {
        title.assign(reinterpret_cast<const char*>(property.value), property.nitems);
        XFree(property.value);
    }
    return title;
}

} // namespace

TXDriver::TXDriver(const char* name) {
    // A display busy with a program that has just ended may turn a new
    // connection away for a moment.
    for (int attempt = 0; attempt < 50 && !display_; ++attempt) {
        display_ = XOpenDisplay(name);
        if (!display_ && !name && !std::getenv("DISPLAY")) break;
        if (!display_) std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    if (!display_) return;
    XSetErrorHandler(IgnoreErrors);
    int event = 0, error = 0, major = 0, minor = 0;
    xtest_ = XTestQueryExtension(display_, &event, &error, &major, &minor);
}

TXDriver::~TXDriver() {
    if (display_) XCloseDisplay(display_);
}

void TXDriver::Collect(unsigned long parent, const std::string& title, int width, int height, std::vector<TWindowInfo>& out) {
    Window root = 0, parentOut = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display_, parent, &root, &parentOut, &children, &count)) return;
    for (unsigned i = 0; i < count; ++i) {
        TWindowInfo info;
        info.Id = children[i];
        if (TitleOf(display_, children[i]) == title && Refresh(info) && info.Viewable &&
            (width == 0 || info.Width == width) && (height == 0 || info.Height == height))
            out.push_back(info);
        Collect(children[i], title, width, height, out);
    }
    if (children) XFree(children);
}

std::vector<TXDriver::TWindowInfo> TXDriver::FindWindows(const std::string& title, int width, int height) {
    std::vector<TWindowInfo> found;
    if (!display_) return found;
    XSync(display_, False);
    Collect(DefaultRootWindow(display_), title, width, height, found);
    return found;
}

TXDriver::TWindowInfo TXDriver::WaitForWindow(const std::string& title, int width, int height,
                                              std::chrono::milliseconds limit) {
    TWindowInfo result;
    WaitUntil(
        [&] {
            const auto found = FindWindows(title, width, height);
            if (found.empty()) return false;
            result = found.front();
            return true;
        },
        limit);
    return result;
}

bool TXDriver::Refresh(TWindowInfo& window) {
    XWindowAttributes attributes;
    if (!display_ || !XGetWindowAttributes(display_, window.Id, &attributes)) return false;
    Window child = 0;
    int x = 0, y = 0;
    XTranslateCoordinates(display_, window.Id, DefaultRootWindow(display_), 0, 0, &x, &y, &child);
    window.X = x;
    window.Y = y;
    window.Width = attributes.width;
    window.Height = attributes.height;
    window.Viewable = attributes.map_state == IsViewable;
    return true;
}

void TXDriver::MoveTo(const TWindowInfo& window, int x, int y) {
    if (!Ok()) return;
    XTestFakeMotionEvent(display_, -1, window.X + x, window.Y + y, CurrentTime);
    XSync(display_, False);
}

void TXDriver::Click(const TWindowInfo& window, int x, int y) {
    if (!Ok()) return;
    MoveTo(window, x, y);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    XTestFakeButtonEvent(display_, 1, True, CurrentTime);
    XSync(display_, False);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    XTestFakeButtonEvent(display_, 1, False, CurrentTime);
    XSync(display_, False);
}

void TXDriver::Drag(const TWindowInfo& window, int x1, int y1, int x2, int y2) {
    if (!Ok()) return;
    MoveTo(window, x1, y1);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    XTestFakeButtonEvent(display_, 1, True, CurrentTime);
    XSync(display_, False);
    for (int i = 1; i <= 10; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(15));
        MoveTo(window, x1 + (x2 - x1) * i / 10, y1 + (y2 - y1) * i / 10);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    XTestFakeButtonEvent(display_, 1, False, CurrentTime);
    XSync(display_, False);
}

void TXDriver::Key(const TWindowInfo& window, const std::string& name) {
    if (!Ok()) return;
    XSetInputFocus(display_, window.Id, RevertToPointerRoot, CurrentTime);
    const KeySym sym = XStringToKeysym(name.c_str());
    const KeyCode code = XKeysymToKeycode(display_, sym);
    if (code == 0) return;
    XTestFakeKeyEvent(display_, code, True, CurrentTime);
    XSync(display_, False);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    XTestFakeKeyEvent(display_, code, False, CurrentTime);
    XSync(display_, False);
}

void TXDriver::SetIconic(unsigned long window, bool iconic) {
    // ICCCM's WM_STATE (state, icon window) and EWMH's hidden state, as a
    // window manager sets them.
    const Atom wmState = XInternAtom(display_, "WM_STATE", False);
    const long state[2] = {iconic ? IconicState : NormalState, 0};
    XChangeProperty(display_, window, wmState, wmState, 32, PropModeReplace, reinterpret_cast<const unsigned char*>(state), 2);
    const Atom netState = XInternAtom(display_, "_NET_WM_STATE", False);
    const Atom hidden = XInternAtom(display_, "_NET_WM_STATE_HIDDEN", False);
    XChangeProperty(display_, window, netState, XA_ATOM, 32, PropModeReplace, reinterpret_cast<const unsigned char*>(&hidden),
                    iconic ? 1 : 0);
}

bool TXDriver::WindowManagerRuns() {
    // A window manager following EWMH names its check window on the root.
    const Atom check = XInternAtom(display_, "_NET_SUPPORTING_WM_CHECK", False);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    const bool found = XGetWindowProperty(display_, DefaultRootWindow(display_), check, 0, 1, False, XA_WINDOW, &type,
                                          &format, &count, &after, &data) == Success &&
                       count == 1;
    if (data) XFree(data);
    return found;
}

void TXDriver::Minimize(const TWindowInfo& window) {
    if (!display_) return;
    if (WindowManagerRuns()) {
        XIconifyWindow(display_, window.Id, DefaultScreen(display_));
        XSync(display_, False);
        TWindowInfo now = window;
        if (WaitUntil([&] { return Refresh(now) && !now.Viewable; }, std::chrono::seconds(2))) return;
    }
    SetIconic(window.Id, true);
    XUnmapWindow(display_, window.Id);
    XSync(display_, False);
}

void TXDriver::Restore(const TWindowInfo& window) {
    if (!display_) return;
    SetIconic(window.Id, false);
    XMapRaised(display_, window.Id);
    XSync(display_, False);
}

std::vector<uint32_t> TXDriver::Capture(const TWindowInfo& window) {
    return CaptureRegion(window, 0, 0, window.Width, window.Height);
}

std::vector<uint32_t> TXDriver::CaptureRegion(const TWindowInfo& window, int x0, int y0, int width, int height) {
    std::vector<uint32_t> pixels;
    if (!display_ || width <= 0 || height <= 0) return pixels;
    XImage* image = XGetImage(display_, window.Id, x0, y0, unsigned(width), unsigned(height), AllPlanes, ZPixmap);
    if (!image) return pixels;
    pixels.resize(size_t(width) * size_t(height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels[size_t(y) * size_t(width) + size_t(x)] = 0xFF000000u | (uint32_t(XGetPixel(image, x, y)) & 0xFFFFFF);
    XDestroyImage(image);
    return pixels;
}

uint32_t TXDriver::Pixel(const TWindowInfo& window, int x, int y) {
    if (!display_) return 0xFFFFFFFFu;
    XImage* image = XGetImage(display_, window.Id, x, y, 1, 1, AllPlanes, ZPixmap);
    if (!image) return 0xFFFFFFFFu;
    const uint32_t value = uint32_t(XGetPixel(image, 0, 0)) & 0xFFFFFF;
    XDestroyImage(image);
    return value;
}

bool TXDriver::WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    TLoadDeadline deadline(limit);
    for (;;) {
        if (done()) return true;
        if (deadline.Passed()) return done();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

int ColorDistance(uint32_t a, uint32_t b) {
    int d = 0;
    for (int shift : {0, 8, 16}) d = std::max(d, std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)));
    return d;
}

} // namespace zelkor::xdrive

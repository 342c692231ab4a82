#pragma once
// Drives real programs on an X display as a person would: finds their
// windows, moves the pointer, clicks and types through the XTEST
// extension, and reads back what the windows show.

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Kept free of the X headers, whose macros clash with ordinary names.
struct _XDisplay;

namespace zelkor::xdrive {

class TXDriver {
public:
    // The display named (":3"), or that of $DISPLAY.
    explicit TXDriver(const char* display = nullptr);
    ~TXDriver();
    TXDriver(const TXDriver&) = delete;
    TXDriver& operator=(const TXDriver&) = delete;

    bool Ok() const { return display_ != nullptr && xtest_; }

    struct TWindowInfo {
        unsigned long Id = 0;  // the X window
        int X = 0, Y = 0;  // client area on the screen
        int Width = 0, Height = 0;
        bool Viewable = false;
    };
    // Viewable top-level windows titled `title` (any size when 0).
    std::vector<TWindowInfo> FindWindows(const std::string& title, int width = 0, int height = 0);
    // Waits for such a window; Id 0 when none came within `limit`.
    TWindowInfo WaitForWindow(const std::string& title, int width, int height, std::chrono::milliseconds limit);
    // Refreshes position and size; false when the window is gone.
    bool Refresh(TWindowInfo& window);

    // Pointer and buttons, in the window's client pixels.
    void MoveTo(const TWindowInfo& window, int x, int y);
    void Click(const TWindowInfo& window, int x, int y);
    // Presses the left button at the first point, moves to the second in
    // small steps and releases it there.
    void Drag(const TWindowInfo& window, int x1, int y1, int x2, int y2);
    // A key by its X name ("Return", "Escape", "0", "e", ...), pressed and
    // released in `window`, which first gets the keyboard focus (as a
    // window manager would give it; the test display has none).
    void Key(const TWindowInfo& window, const std::string& name);

    // Minimises the window as the user would through a window manager. On
    // a display without one (or one that does not answer the request), the
    // driver does the manager's part itself: it marks the window iconic and
    // hidden and unmaps it.
    void Minimize(const TWindowInfo& window);
    // Shows a minimised window again.
    void Restore(const TWindowInfo& window);

    // The window's client area, 0xAARRGGBB row by row; empty when it cannot be read.
    std::vector<uint32_t> Capture(const TWindowInfo& window);
    // A part of the client area, 0xFFRRGGBB row by row; empty when it cannot be read.
    std::vector<uint32_t> CaptureRegion(const TWindowInfo& window, int x, int y, int width, int height);
    // One pixel as 0xRRGGBB; 0xFFFFFFFF when it cannot be read.
    uint32_t Pixel(const TWindowInfo& window, int x, int y);

    // Polls `done` every 20 ms until it holds or `limit` passes (in the
    // time of an idle machine: longer while the machine is busy).
    static bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit);

private:
    void SetIconic(unsigned long window, bool iconic);
    bool WindowManagerRuns();
    void Collect(unsigned long parent, const std::string& title, int width, int height, std::vector<TWindowInfo>& out);
    _XDisplay* display_ = nullptr;
    bool xtest_ = false;
};

// Channel-wise distance of two 0xRRGGBB colours: the largest of the three.
int ColorDistance(uint32_t a, uint32_t b);

} // namespace zelkor::xdrive

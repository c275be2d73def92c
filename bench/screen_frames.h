#pragma once
// Reading a window off the screen for the start-up benchmark: the points that show
// each of its parts, whole frames of the screen, and whether a frame showed the
// window half painted.

#include <windows.h>

#include <functional>
#include <memory>
#include <vector>

#include "platform/form_layout.h"

namespace kestrum::bench {

// Milliseconds on the performance counter.
double Now();
// Polls until the condition holds; false after 30 s.
bool WaitFor(const std::function<bool()>& condition);

// Points of a window's client area, in pixels, that show each of its parts once it is
// painted: the corners and the centre and, for each control shown, a point just inside
// its top-left corner (a border or the background) and one near its right end, halfway
// down (the inside, away from centred or left-aligned text and the caret).
std::vector<POINT> ProbePoints(HWND window, const platform::FormDef* layout);

// The colours the screen shows at the window's client points.
std::vector<COLORREF> OnScreen(HWND window, const std::vector<POINT>& points);

// An area of the screen read at once: a frame as it was, never parts of two.
class ScreenArea {
public:
    explicit ScreenArea(RECT area) : area_(area) {
        const LONG width = area.right - area.left, height = area.bottom - area.top;
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        HDC screen = ::GetDC(nullptr), copy = ::CreateCompatibleDC(screen);
        void* bits = nullptr;
        bitmap_ = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (bitmap_) {
            HGDIOBJ original = ::SelectObject(copy, bitmap_);
            ::BitBlt(copy, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
            ::GdiFlush();
            ::SelectObject(copy, original);
            pixels_ = static_cast<const DWORD*>(bits);
        }
        ::DeleteDC(copy);
        ::ReleaseDC(nullptr, screen);
    }
    ScreenArea(const ScreenArea&) = delete;
    ScreenArea& operator=(const ScreenArea&) = delete;
    ~ScreenArea() {
        if (bitmap_) ::DeleteObject(bitmap_);
    }
    // The colour at a point of the screen; CLR_INVALID outside the area.
    COLORREF at(POINT p) const {
        if (!pixels_ || !::PtInRect(&area_, p)) return CLR_INVALID;
        const DWORD pixel = pixels_[(p.y - area_.top) * (area_.right - area_.left) + (p.x - area_.left)];
        return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
    }
    static RECT WholeScreen() { return {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)}; }

private:
    RECT area_;
    HBITMAP bitmap_ = nullptr;
    const DWORD* pixels_ = nullptr;
};

// Starts in which the screen showed a window half painted: some of it as it will look,
// some of it still what was there before or black (nothing drawn yet). Read from whole
// frames, which load the display too much to time by.
struct Frames {
    std::unique_ptr<ScreenArea> before;  // the screen just before the window was asked for
    int starts = 0, halfPainted = 0;
};

// What a window looks like once painted, learnt from a first run that waits until
// everything has settled.
struct Look {
    const platform::FormDef* layout = nullptr;
    std::vector<COLORREF> colours;
};

void Learn(Look& look, HWND window);

// Reads the window's client area as whole frames until it shows the learnt look, and
// notes whether any frame showed it half painted.
void WatchFrames(HWND window, const std::vector<POINT>& points, const Look& look, Frames& frames);

}  // namespace kestrum::bench

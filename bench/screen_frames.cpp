#include "bench/screen_frames.h"

namespace kestrum::bench {

double Now() {
    LARGE_INTEGER frequency, now;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

bool WaitFor(const std::function<bool()>& condition) {
    const double start = Now();
    while (!condition()) {
        if (Now() - start > 30000) return false;
        ::Sleep(1);
    }
    return true;
}

std::vector<POINT> ProbePoints(HWND window, const platform::FormDef* layout) {
    RECT client;
    ::GetClientRect(window, &client);
    const LONG w = client.right, h = client.bottom;
    std::vector<POINT> points = {{1, 1}, {w - 2, 1}, {1, h - 2}, {w - 2, h - 2}, {w / 2, h / 2}};
    if (!layout) return points;
    const auto px = [](int twips) { return platform::TwipsToPixels(twips, 96); };
    for (const platform::ControlDef& c : layout->controls) {
        if (!c.visible) continue;
        POINT at{px(c.left), px(c.top)};
        if (const platform::ControlDef* box = c.container ? platform::FindControl(*layout, c.container) : nullptr)
            at = {at.x + px(box->left), at.y + px(box->top)};
        points.push_back({at.x + 1, at.y + 1});
        points.push_back({at.x + px(c.width) - 4, at.y + px(c.height) / 2});
    }
    return points;
}

std::vector<COLORREF> OnScreen(HWND window, const std::vector<POINT>& points) {
    HDC screen = ::GetDC(nullptr);
    std::vector<COLORREF> colours;
    for (POINT p : points) {
        ::ClientToScreen(window, &p);
        colours.push_back(::GetPixel(screen, p.x, p.y));
    }
    ::ReleaseDC(nullptr, screen);
    return colours;
}

void Learn(Look& look, HWND window) {
    ::Sleep(1500);
    look.colours = OnScreen(window, ProbePoints(window, look.layout));
}

namespace {

// Whether one frame shows the window half painted; points in screen coordinates. A
// point whose painted colour is also black or what was there before tells nothing.
bool HalfPainted(const ScreenArea& now, const ScreenArea& before, const std::vector<POINT>& points,
                 const std::vector<COLORREF>& painted) {
    bool some = false, rest = false;
    for (size_t i = 0; i < points.size(); ++i) {
        const COLORREF seen = now.at(points[i]), was = before.at(points[i]);
        if (painted[i] == was || painted[i] == RGB(0, 0, 0)) continue;
        some = some || seen == painted[i];
        rest = rest || seen == was || seen == RGB(0, 0, 0);
    }
    return some && rest;
}

}  // namespace

void WatchFrames(HWND window, const std::vector<POINT>& points, const Look& look, Frames& frames) {
    std::vector<POINT> onScreen = points;
    for (POINT& p : onScreen) ::ClientToScreen(window, &p);
    RECT client;
    ::GetClientRect(window, &client);
    ::MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    bool half = false;
    WaitFor([&] {
        const ScreenArea now(client);
        half = half || HalfPainted(now, *frames.before, onScreen, look.colours);
        for (size_t i = 0; i < onScreen.size(); ++i)
            if (now.at(onScreen[i]) != look.colours[i]) return false;
        return true;
    });
    ++frames.starts;
    frames.halfPainted += half;
}

}  // namespace kestrum::bench

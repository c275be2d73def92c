#pragma once
// Shared steps of the tests of the Help menu's windows: opening them, waiting for
// them to go, and where their controls should be.

#include <windows.h>

#include <cmath>
#include <functional>
#include <string>

#include "tests/e2e/kestrum_process.h"

namespace kestrum::e2e {

inline const wchar_t kAboutCaption[] = L"About Kestrum 1.2";
inline const wchar_t kHowToCaption[] = L"HOW TO...";
inline const wchar_t kTrying[] = L"Try to connecting...";

// Twips to pixels at the window's dots per inch, worked out here on their own.
inline int Px(double twips, HWND window) {
    return static_cast<int>(std::lround(twips * ::GetDpiForWindow(window) / 1440.0));
}
inline double Twips(int pixels, HWND window) { return pixels * 1440.0 / ::GetDpiForWindow(window); }

inline bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    do {
        if (done()) return true;
        ::Sleep(50);
    } while (::GetTickCount64() < deadline);
    return done();
}

// The menu entry chosen as a click on it would: its command reaches the window.
inline void ChooseMenu(HWND window, int id) { ::PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

// Closed, and the main window usable and in front again.
inline bool BackToMainWindow(HWND closed, HWND main) {
    return WaitUntil([&] {
        return !::IsWindow(closed) && ::IsWindowEnabled(main) && ::GetForegroundWindow() == main;
    }, 10000);
}

// The colour the screen shows at a point of a window's client area, 0x00BBGGRR.
inline COLORREF ScreenPixel(HWND window, int x, int y) {
    POINT at{x, y};
    ::ClientToScreen(window, &at);
    HDC screen = ::GetDC(nullptr);
    const COLORREF colour = ::GetPixel(screen, at.x, at.y);
    ::ReleaseDC(nullptr, screen);
    return colour;
}

}  // namespace kestrum::e2e

#pragma once
// Finding a window's controls and where they sit, for the tests that look at
// windows of this process or of the program.

#include <windows.h>

#include <utility>

namespace kestrum::testsupport {

// The child window of the given control identifier anywhere below parent.
inline HWND FindControl(HWND parent, int id) {
    std::pair<int, HWND> search{id, nullptr};
    ::EnumChildWindows(parent, [](HWND child, LPARAM found) CALLBACK -> BOOL {
        auto& [wanted, window] = *reinterpret_cast<std::pair<int, HWND>*>(found);
        if (::GetDlgCtrlID(child) == wanted) window = child;
        return window == nullptr;
    }, reinterpret_cast<LPARAM>(&search));
    return search.second;
}

// The window's rectangle in its parent's client coordinates.
inline RECT RectInParent(HWND hwnd) {
    RECT rect;
    ::GetWindowRect(hwnd, &rect);
    ::MapWindowPoints(HWND_DESKTOP, ::GetParent(hwnd), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

}  // namespace kestrum::testsupport

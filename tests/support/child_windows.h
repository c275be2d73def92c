#pragma once
// Finding a window's controls and where they sit, for the tests that look at
// windows of this process or of the program.

#include <windows.h>

namespace kestrum::testsupport {

// The child window of the given control identifier anywhere below parent.
inline HWND FindControl(HWND parent, int id) {
    for (HWND child = ::GetWindow(parent, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (::GetDlgCtrlID(child) == id) return child;
        if (HWND below = FindControl(child, id)) return below;
    }
    return nullptr;
}

// The window's rectangle in its parent's client coordinates.
inline RECT RectInParent(HWND hwnd) {
    RECT rect;
    ::GetWindowRect(hwnd, &rect);
    ::MapWindowPoints(HWND_DESKTOP, ::GetParent(hwnd), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

}  // namespace kestrum::testsupport

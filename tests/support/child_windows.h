#pragma once
// Finding a window's controls and where they sit, for the tests that look at
// windows of this process or of the program.

#include <windows.h>

namespace kestrum::testsupport {

namespace detail {
struct ControlSearch {
    int id;
    HWND found;
};
inline BOOL CALLBACK MatchControl(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<ControlSearch*>(param);
    if (::GetDlgCtrlID(hwnd) != search->id) return TRUE;
    search->found = hwnd;
    return FALSE;
}
}  // namespace detail

// The child window of the given control identifier anywhere below parent.
inline HWND FindControl(HWND parent, int id) {
    detail::ControlSearch search{id, nullptr};
    ::EnumChildWindows(parent, detail::MatchControl, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The window's rectangle in its parent's client coordinates.
inline RECT RectInParent(HWND hwnd) {
    RECT rect;
    ::GetWindowRect(hwnd, &rect);
    ::MapWindowPoints(HWND_DESKTOP, ::GetParent(hwnd), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

}  // namespace kestrum::testsupport

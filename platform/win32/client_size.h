#pragma once
// A window's client area as its table gives it, in twips: the window sized so
// that they fall where they should at its dpi, and kept unrounded, so that moves
// between monitors of different dpi never drift.

#include <windows.h>

#include <array>

namespace kestrum::win32 {

class ClientSize {
public:
    // Sizes the window so its client area is the given twips at the dpi; at the
    // given place, or where it is.
    void set(HWND window, int dpi, float widthTwips, float heightTwips, const POINT* at = nullptr);
    // The window was given a size of width by height pixels: kept in twips, unless
    // it is the one set.
    void sized(int width, int height, int dpi);
    // The window moved to a monitor of the dpi; suggested is the place the system
    // proposes. The client area keeps its twips.
    void moveToDpi(HWND window, int dpi, const RECT& suggested);
    // The window is sizing itself: the logic hears of it once, at the end.
    bool sizing() const { return sizing_; }

private:
    std::array<float, 2> twips_{};  // the width and height, unrounded
    bool sizing_ = false;
};

}  // namespace kestrum::win32

#pragma once
// The image a window keeps of its client area, and each of its picture boxes of
// theirs: what they show beneath their controls, kept across covering and
// uncovering. Drawing into it and then refreshing the window shows the result.

#include <windows.h>

#include <cstdint>
#include <map>
#include <memory>
#include <span>

#include "platform/form_layout.h"
#include "platform/win32/unique_handle.h"

namespace kestrum::win32 {

class WindowImage {
public:
    // The image of the window (the form or a picture box), to draw into.
    HDC drawInto(HWND window);
    // Copies the window's image onto its client area.
    void paint(HWND window, HDC dc);
    // Shows the window's image afresh, its children's and their images too.
    static void refresh(HWND window);
    // Lines lie on top of whatever was painted beneath them, so they go into the
    // image last, each time it is shown afresh; where their twips fall at the dpi.
    void drawLines(HWND window, std::span<const platform::LineDef> lines, int dpi);
    // The picture box shows the top-left part of the window's image, unscaled.
    void copyTopLeft(HWND from, HWND pictureBox);
    // Readies a transparent label in its colour, paints into it the part of its
    // parent's image that lies under it, and gives the (hollow) brush it fills with.
    HBRUSH paintLabelBackground(HWND label, HDC dc, COLORREF color);
    // Which picture the window's image holds (see platform::PaintTarget).
    std::uint64_t version(HWND window) const;
    // The windows are gone: their images go too.
    void clear() { surfaces_.clear(); }

private:
    struct Surface {
        UniqueMemoryDc dc;
        UniqueHbitmap bitmap;
        HGDIOBJ originalBitmap = nullptr;
        std::uint64_t version = NextVersion();
        ~Surface();
    };
    Surface& surfaceFor(HWND window);
    // Shared by every image of the program, so that no version ever comes back.
    static std::uint64_t NextVersion() {
        static std::uint64_t last = 0;
        return ++last;
    }

    std::map<HWND, std::unique_ptr<Surface>> surfaces_;
};

}  // namespace kestrum::win32

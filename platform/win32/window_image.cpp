#include "platform/win32/window_image.h"

#include <algorithm>

#include "platform/win32/window_control.h"

namespace kestrum::win32 {

WindowImage::Surface::~Surface() {
    if (dc && originalBitmap) ::SelectObject(dc.get(), originalBitmap);
}

// Made on first use at the window's client size, filled with the dialog colour.
WindowImage::Surface& WindowImage::surfaceFor(HWND window) {
    auto& slot = surfaces_[window];
    RECT client;
    ::GetClientRect(window, &client);
    if (slot) {
        BITMAP bitmap{};
        ::GetObjectW(slot->bitmap.get(), sizeof bitmap, &bitmap);
        if (bitmap.bmWidth == client.right && bitmap.bmHeight == client.bottom) return *slot;
    }
    slot = std::make_unique<Surface>();
    WindowDc screen(window);
    slot->dc.reset(::CreateCompatibleDC(screen.get()));
    slot->bitmap.reset(
        ::CreateCompatibleBitmap(screen.get(), std::max<LONG>(client.right, 1), std::max<LONG>(client.bottom, 1)));
    slot->originalBitmap = ::SelectObject(slot->dc.get(), slot->bitmap.get());
    ::FillRect(slot->dc.get(), &client, ::GetSysColorBrush(COLOR_BTNFACE));
    return *slot;
}

HDC WindowImage::drawInto(HWND window) {
    Surface& surface = surfaceFor(window);
    surface.version = NextVersion();
    return surface.dc.get();
}

std::uint64_t WindowImage::version(HWND window) const {
    const auto found = surfaces_.find(window);
    if (found == surfaces_.end() || !found->second) return 0;
    // Made at another size, the image is made anew before anyone draws into it.
    RECT client;
    ::GetClientRect(window, &client);
    BITMAP bitmap{};
    ::GetObjectW(found->second->bitmap.get(), sizeof bitmap, &bitmap);
    if (bitmap.bmWidth != client.right || bitmap.bmHeight != client.bottom) return 0;
    return found->second->version;
}

void WindowImage::paint(HWND window, HDC dc) {
    const Surface& surface = surfaceFor(window);
    RECT client;
    ::GetClientRect(window, &client);
    ::BitBlt(dc, 0, 0, client.right, client.bottom, surface.dc.get(), 0, 0, SRCCOPY);
}

void WindowImage::refresh(HWND window) {
    ::RedrawWindow(window, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void WindowImage::drawLines(HWND window, std::span<const platform::LineDef> lines, int dpi) {
    if (lines.empty() || !window) return;
    HDC image = drawInto(window);
    const auto px = [dpi](int twips) { return platform::TwipsToPixels(twips, dpi); };
    for (const platform::LineDef& line : lines) {
        UniqueHpen pen(::CreatePen(PS_SOLID, line.widthPixels, line.color));
        SelectionRestorer selected(image, pen.get());
        ::MoveToEx(image, px(line.x1), px(line.y1), nullptr);
        ::LineTo(image, px(line.x2), px(line.y2));
    }
}

void WindowImage::copyTopLeft(HWND from, HWND pictureBox) {
    RECT box;
    ::GetClientRect(pictureBox, &box);
    HDC image = surfaceFor(from).dc.get();
    ::BitBlt(drawInto(pictureBox), 0, 0, box.right, box.bottom, image, 0, 0, SRCCOPY);
}

HBRUSH WindowImage::paintLabelBackground(HWND label, HDC dc, COLORREF color) {
    ::SetTextColor(dc, color);
    ::SetBkMode(dc, TRANSPARENT);
    // Copied straight from the image: a pattern brush of it would copy the whole
    // image first, each time it changes.
    const RECT place = RectInParent(label);
    const Surface& surface = surfaceFor(::GetParent(label));
    ::BitBlt(dc, 0, 0, place.right - place.left, place.bottom - place.top, surface.dc.get(), place.left, place.top,
             SRCCOPY);
    return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
}

}  // namespace kestrum::win32

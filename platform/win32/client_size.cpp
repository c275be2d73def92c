#include "platform/win32/client_size.h"

#include "platform/form_layout.h"

namespace kestrum::win32 {

void ClientSize::set(HWND window, int dpi, float widthTwips, float heightTwips, const POINT* at) {
    const DWORD style = static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_STYLE));
    const DWORD exStyle = static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_EXSTYLE));
    const int clientWidth = platform::TwipsToPixels(widthTwips, dpi);
    const int clientHeight = platform::TwipsToPixels(heightTwips, dpi);
    RECT rect{0, 0, clientWidth, clientHeight};
    ::AdjustWindowRectExForDpi(&rect, style, ::GetMenu(window) != nullptr, exStyle, static_cast<UINT>(dpi));
    const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | (at ? 0 : SWP_NOMOVE);
    sizing_ = true;
    const int x = at ? at->x : 0, y = at ? at->y : 0;
    RECT now{};
    ::GetWindowRect(window, &now);
    // Already right (made at this size): a move costs Wine a trip to the X server.
    if (at || now.right - now.left != rect.right - rect.left || now.bottom - now.top != rect.bottom - rect.top)
        ::SetWindowPos(window, nullptr, x, y, rect.right - rect.left, rect.bottom - rect.top, flags);
    // A menu bar that wraps onto a second line, or a frame that differs from the
    // one foreseen, takes or gives client area: make up the difference.
    RECT client;
    ::GetClientRect(window, &client);
    const int wider = clientWidth - client.right, taller = clientHeight - client.bottom;
    if (wider || taller)
        ::SetWindowPos(window, nullptr, x, y, rect.right - rect.left + wider, rect.bottom - rect.top + taller, flags);
    sizing_ = false;
    twips_ = {widthTwips, heightTwips};
}

// A size the user gave the window, in twips; one it gave itself is already kept
// unrounded.
void ClientSize::sized(int width, int height, int dpi) {
    if (sizing_ ||
        (width == platform::TwipsToPixels(twips_[0], dpi) && height == platform::TwipsToPixels(twips_[1], dpi)))
        return;
    twips_ = {platform::PixelsToTwips(width, dpi), platform::PixelsToTwips(height, dpi)};
}

void ClientSize::moveToDpi(HWND window, int dpi, const RECT& suggested) {
    if (::IsZoomed(window) || ::IsIconic(window)) {
        // Its size is the system's: it takes the suggested one as it is.
        sizing_ = true;
        ::SetWindowPos(window, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                       suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
        sizing_ = false;
    } else {
        const POINT at{suggested.left, suggested.top};
        set(window, dpi, twips_[0], twips_[1], &at);
    }
}

}  // namespace kestrum::win32

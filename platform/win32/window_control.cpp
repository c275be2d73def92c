#include "platform/win32/window_control.h"

#include "platform/win32/text.h"

namespace kestrum::win32 {

using platform::ControlKind;

RECT RectInParent(HWND hwnd) {
    RECT rect;
    ::GetWindowRect(hwnd, &rect);
    ::MapWindowPoints(HWND_DESKTOP, ::GetParent(hwnd), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

WindowControl::WindowControl(const platform::ControlDef& controlDef, HWND hwnd, ControlOwner& owner)
    : controlDef_(controlDef),
      hwnd_(hwnd),
      owner_(owner),
      color_(controlDef.foreColor),
      place_{static_cast<float>(controlDef.left), static_cast<float>(controlDef.top),
             static_cast<float>(controlDef.width), static_cast<float>(controlDef.height)} {}

bool WindowControl::canFocus() const {
    const ControlKind kind = controlDef_.kind;
    return (kind == ControlKind::TextBox || kind == ControlKind::Button || kind == ControlKind::RichText) &&
           ::IsWindowVisible(hwnd_) && ::IsWindowEnabled(hwnd_);
}

void WindowControl::placeAtDpi() {
    const int dpi = owner_.dpi();
    ::SetWindowPos(hwnd_, nullptr, platform::TwipsToPixels(place_[0], dpi), platform::TwipsToPixels(place_[1], dpi),
                   platform::TwipsToPixels(place_[2], dpi), platform::TwipsToPixels(place_[3], dpi),
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

std::string WindowControl::text() const {
    const int length = ::GetWindowTextLengthW(hwnd_);
    std::wstring value(static_cast<size_t>(length) + 1, L'\0');
    value.resize(static_cast<size_t>(::GetWindowTextW(hwnd_, value.data(), length + 1)));
    return Narrow(value);
}

void WindowControl::setText(const std::string& value) {
    ::SetWindowTextW(hwnd_, Widen(value).c_str());
    if (controlDef_.kind != ControlKind::Label) return;
    repaintBackground();
    // A label's new text (the status line's, say) is read out by screen readers.
    ::NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, hwnd_, OBJID_CLIENT, CHILDID_SELF);
    ::NotifyWinEvent(EVENT_OBJECT_LIVEREGIONCHANGED, hwnd_, OBJID_CLIENT, CHILDID_SELF);
}

bool WindowControl::visible() const { return (::GetWindowLongPtrW(hwnd_, GWL_STYLE) & WS_VISIBLE) != 0; }

bool WindowControl::hasFocus() const {
    const HWND focus = ::GetFocus();
    return focus && (focus == hwnd_ || ::IsChild(hwnd_, focus));
}

void WindowControl::setVisible(bool value) {
    // Hidden, a control that has the focus (or holds the one that has it) would
    // leave it on its parent, where no key reaches anything.
    const bool losesFocus = !value && hasFocus();
    ::ShowWindow(hwnd_, value ? SW_SHOWNA : SW_HIDE);
    if (losesFocus) owner_.focusNextAfter(controlDef_.id);
}

bool WindowControl::enabled() const { return ::IsWindowEnabled(hwnd_) != FALSE; }

void WindowControl::setEnabled(bool value) {
    // Disabled, it would drop the focus to nothing (a button that disables itself
    // when clicked, say), and no key would reach the window.
    const bool losesFocus = !value && hasFocus();
    ::EnableWindow(hwnd_, value);
    if (losesFocus) owner_.focusNextAfter(controlDef_.id);
}

std::uint32_t WindowControl::foreColor() const { return color_.value_or(::GetSysColor(COLOR_WINDOWTEXT)); }

void WindowControl::setForeColor(std::uint32_t value) {
    color_ = value;
    if (controlDef_.kind == ControlKind::Label) repaintBackground();
    else ::InvalidateRect(hwnd_, nullptr, TRUE);
}

// Left, top, width and height in pixels within the parent.
std::array<int, 4> WindowControl::bounds() const {
    const RECT r = RectInParent(hwnd_);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

float WindowControl::edge(int which) const {
    return platform::PixelsToTwips(bounds()[static_cast<size_t>(which)], owner_.dpi());
}

void WindowControl::setEdge(int which, float twips) {
    place_[static_cast<size_t>(which)] = twips;
    auto b = bounds();
    b[static_cast<size_t>(which)] = platform::TwipsToPixels(twips, owner_.dpi());
    ::SetWindowPos(hwnd_, nullptr, b[0], b[1], b[2], b[3], SWP_NOZORDER | SWP_NOACTIVATE);
}

// A transparent label shows what lies under it: that must be painted afresh or
// the old text stays visible behind the new one.
void WindowControl::repaintBackground() {
    const RECT rect = RectInParent(hwnd_);
    ::InvalidateRect(::GetParent(hwnd_), &rect, TRUE);
    ::InvalidateRect(hwnd_, nullptr, TRUE);
}

}  // namespace kestrum::win32

#include "platform/win32/form_host.h"

#include "platform/win32/text.h"

namespace kestrum::win32 {

using platform::ControlDef;
using platform::ControlKind;

namespace {

constexpr wchar_t kFormClass[] = L"KestrumForm";

// The top-left corner that centres the window in the area.
POINT CentredIn(const RECT& area, const RECT& window) {
    const LONG width = window.right - window.left, height = window.bottom - window.top;
    return {area.left + (area.right - area.left - width) / 2, area.top + (area.bottom - area.top - height) / 2};
}

}  // namespace

FormWindow::FormWindow(const platform::FormDef& formDef, int iconResource)
    : formDef_(formDef), parts_(formDef, iconResource, *this) {}

FormWindow::~FormWindow() {
    enableOthers();
    if (hwnd_) ::DestroyWindow(hwnd_);
}

ATOM FormWindow::RegisterClasses() {
    static const ATOM atom = [] {
        WNDCLASSEXW form{};
        form.cbSize = sizeof form;
        form.lpfnWndProc = WindowProc;
        form.hInstance = ::GetModuleHandleW(nullptr);
        form.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        form.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        form.lpszClassName = kFormClass;
        WNDCLASSEXW pictureBox = form;
        pictureBox.lpfnWndProc = PictureBoxProc;
        pictureBox.lpszClassName = kPictureBoxClass;
        const ATOM registered = ::RegisterClassExW(&form);
        return registered && ::RegisterClassExW(&pictureBox) ? registered : ATOM{0};
    }();
    return atom;
}

FormWindow* FormWindow::FromHandle(HWND hwnd) {
    if (!hwnd || ::GetClassLongPtrW(hwnd, GCW_ATOM) != RegisterClasses()) return nullptr;
    return reinterpret_cast<FormWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

std::vector<FormWindow*> FormWindow::OfThisThread() {
    std::vector<FormWindow*> forms;
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND hwnd, LPARAM found) CALLBACK -> BOOL {
            if (FormWindow* form = FromHandle(hwnd))
                reinterpret_cast<std::vector<FormWindow*>*>(found)->push_back(form);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&forms));
    return forms;
}

bool FormWindow::create(HWND owner) {
    if (!RegisterClasses()) return false;
    DWORD style = WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    DWORD exStyle = WS_EX_CONTROLPARENT;
    switch (formDef_.border) {
        case platform::Border::FixedDialog: break;
        case platform::Border::FixedToolWindow: exStyle |= WS_EX_TOOLWINDOW; break;
        case platform::Border::Sizable: style |= WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX; break;
    }
    // Made at its size and centred on the primary monitor at once, as far as can be
    // foreseen: each later move costs Wine a trip to the X server before the first
    // frame. clientSize_ and show() correct whatever was not foreseen.
    const RECT place = CentredOnPrimary(style, exStyle);
    hwnd_ = ::CreateWindowExW(exStyle, kFormClass, Widen(formDef_.caption).c_str(), style, place.left, place.top,
                              place.right - place.left, place.bottom - place.top, owner, nullptr,
                              ::GetModuleHandleW(nullptr), this);
    if (!hwnd_) return false;
    mailbox_ = std::make_shared<WindowMailbox>(hwnd_);
    dpi_ = static_cast<int>(::GetDpiForWindow(hwnd_));
    if (dpi_ <= 0) dpi_ = 96;
    if (!parts_.build(hwnd_)) return false;
    clientSize_.set(hwnd_, dpi_, static_cast<float>(formDef_.clientWidth), static_cast<float>(formDef_.clientHeight));
    // A window opened while the program is busy shows the hourglass too.
    for (const FormWindow* other : OfThisThread()) busy_ = busy_ || other->busy_;
    return true;
}

RECT FormWindow::CentredOnPrimary(DWORD style, DWORD exStyle) const {
    const auto systemDpi = ::GetDpiForSystem();
    RECT rect{0, 0, platform::TwipsToPixels(formDef_.clientWidth, static_cast<int>(systemDpi)),
              platform::TwipsToPixels(formDef_.clientHeight, static_cast<int>(systemDpi))};
    ::AdjustWindowRectExForDpi(&rect, style, !formDef_.menus.empty(), exStyle, systemDpi);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoW(::MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const POINT at = CentredIn(monitor.rcWork, rect);
    ::OffsetRect(&rect, at.x - rect.left, at.y - rect.top);
    return rect;
}

bool FormWindow::createModal() {
    modal_ = true;
    return create(nullptr);
}

void FormWindow::show() {
    if (events_) {
        events_->onLoad();
        events_->onResize();
    }
    // Centred on the work area of the monitor the window is on.
    RECT window;
    ::GetWindowRect(hwnd_, &window);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoW(::MonitorFromWindow(hwnd_, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const POINT centred = CentredIn(monitor.rcWork, window);
    if (centred.x != window.left || centred.y != window.top)
        ::SetWindowPos(hwnd_, nullptr, centred.x, centred.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    RECT client;
    ::GetClientRect(hwnd_, &client);
    shownSize_ = {client.right, client.bottom};
    shown_ = true;
    ::ShowWindow(hwnd_, SW_SHOW);
    // The focus starts where the table says, else on the first control in tab
    // order that can take it.
    int first = formDef_.firstFocus;
    if (!first || !canFocus(first))
        first = platform::NextTabStop(formDef_, 0, false, [this](int id) { return canFocus(id); });
    if (first) ::SetFocus(parts_.control(first).hwnd());
    ::UpdateWindow(hwnd_);
    // Activation runs from the message loop, once the window is painted.
    ::PostMessageW(hwnd_, kActivateMessage, 0, 0);
}

void FormWindow::runModal() {
    for (const FormWindow* other : OfThisThread()) {
        if (other == this || !::IsWindowEnabled(other->hwnd_)) continue;
        ::EnableWindow(other->hwnd_, FALSE);
        disabledOthers_.push_back(other->hwnd_);
    }
    show();
    // Until the window is gone; a WM_QUIT met here is put back for the main loop.
    if (const LoopEnd end = DispatchWhile([this] { return hwnd_ != nullptr; }); end.quit)
        ::PostQuitMessage(end.exitCode);
    enableOthers();
}

void FormWindow::enableOthers() {
    for (HWND other : disabledOthers_)
        if (::IsWindow(other)) ::EnableWindow(other, TRUE);
    disabledOthers_.clear();
}

void FormWindow::unload() {
    // The others come back first: destroyed while they are disabled, a modal
    // window would hand the activation to some other program.
    enableOthers();
    if (hwnd_) ::DestroyWindow(hwnd_);
}

HWND FormWindow::windowOf(int containerId) { return containerId ? parts_.control(containerId).hwnd() : hwnd_; }

HDC FormWindow::imageDc(int containerId) { return image_.drawInto(windowOf(containerId)); }

void FormWindow::refresh(int containerId) {
    if (!containerId) image_.drawLines(hwnd_, formDef_.lines, dpi_);
    WindowImage::refresh(windowOf(containerId));
}

void FormWindow::setPictureFromForm(int pictureBoxId) {
    image_.copyTopLeft(hwnd_, windowOf(pictureBoxId));
    refresh(pictureBoxId);
}

// The main window is the one form window of the thread that is not shown modally.
void FormWindow::setPictureToMainWindowIcon(int pictureBoxId) {
    for (const FormWindow* form : OfThisThread()) {
        if (form->modal_) continue;
        if (const auto icon = reinterpret_cast<HICON>(::SendMessageW(form->hwnd_, WM_GETICON, ICON_BIG, 0)))
            ::DrawIconEx(imageDc(pictureBoxId), 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL);
        break;
    }
    refresh(pictureBoxId);
}

void FormWindow::setCaption(const std::string& caption) { ::SetWindowTextW(hwnd_, Widen(caption).c_str()); }

float FormWindow::scaleWidth() const {
    RECT client{};
    ::GetClientRect(hwnd_, &client);
    return platform::PixelsToTwips(client.right, dpi_);
}

float FormWindow::scaleHeight() const {
    RECT client{};
    ::GetClientRect(hwnd_, &client);
    return platform::PixelsToTwips(client.bottom, dpi_);
}

const ControlDef* FormWindow::buttonFor(bool cancel) const {
    for (const ControlDef& c : formDef_.controls)
        if (cancel ? c.cancelButton : c.defaultButton) return &c;
    return nullptr;
}

// Tab follows the table's tab order across the picture boxes, which the
// platform's own dialog navigation (z-order within each parent) cannot.
void FormWindow::focusNext(int fromId, bool backwards) {
    const int next = platform::NextTabStop(formDef_, fromId, backwards, [this](int id) { return canFocus(id); });
    if (!next) return;
    const WindowControl& target = parts_.control(next);
    ::SetFocus(target.hwnd());
    if (target.controlDef().kind == ControlKind::TextBox) ::SendMessageW(target.hwnd(), EM_SETSEL, 0, -1);
}

void FormWindow::focusNextAfter(int id) { focusNext(id, false); }

bool FormWindow::preTranslate(MSG& msg) {
    if (!hwnd_ || (msg.hwnd != hwnd_ && !::IsChild(hwnd_, msg.hwnd))) return false;
    if (parts_.shortcuts() && ::TranslateAcceleratorW(hwnd_, parts_.shortcuts(), &msg)) return true;
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_TAB && !(::GetKeyState(VK_CONTROL) & 0x8000)) {
        const WindowControl* current = parts_.controlOf(::GetFocus());
        focusNext(current ? current->controlDef().id : 0, (::GetKeyState(VK_SHIFT) & 0x8000) != 0);
        return true;
    }
    // Esc is the cancel button's, wherever the focus is (a rich-text box would
    // otherwise keep it for itself). Sent as the button's click, so that it
    // reaches the logic through the window procedure like any other.
    const ControlDef* cancel = buttonFor(true);
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE && cancel) {
        const WindowControl& button = parts_.control(cancel->id);
        if (button.visible() && button.enabled())
            ::SendMessageW(hwnd_, WM_COMMAND, MAKEWPARAM(cancel->id, BN_CLICKED),
                           reinterpret_cast<LPARAM>(button.hwnd()));
        return true;
    }
    return ::IsDialogMessageW(hwnd_, &msg) != FALSE;
}

}  // namespace kestrum::win32

// The window procedure of the form host's windows and of their picture boxes:
// each message unpacked once and handed to a handler of its own, and nothing
// thrown let through to the system.

#include <exception>

#include "platform/win32/form_host.h"
#include "platform/win32/message_box.h"
#include "platform/win32/text.h"

namespace kestrum::win32 {

using platform::ControlDef;

namespace {

// The program's own hand (shared, never destroyed), or the system's.
HCURSOR HandPointer() {
    static const HCURSOR hand = [] {
        auto own = static_cast<HCURSOR>(
            ::LoadImageW(::GetModuleHandleW(nullptr), L"HANDPOINTER", IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
        return own ? own : ::LoadCursorW(nullptr, IDC_HAND);
    }();
    return hand;
}

// BeginPaint and EndPaint, paired even when the painting fails.
class PaintDc {
public:
    explicit PaintDc(HWND hwnd) : hwnd_(hwnd), dc_(::BeginPaint(hwnd, &paint_)) {}
    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;
    ~PaintDc() { ::EndPaint(hwnd_, &paint_); }
    HDC get() const { return dc_; }

private:
    HWND hwnd_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

}  // namespace

LRESULT CALLBACK FormWindow::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<FormWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<FormWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return ::DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->onNcDestroy();
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }
    return Guarded(self, hwnd, message, wParam, lParam);
}

LRESULT CALLBACK FormWindow::PictureBoxProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    FormWindow* form = FromHandle(::GetAncestor(hwnd, GA_ROOT));
    return form ? Guarded(form, hwnd, message, wParam, lParam) : ::DefWindowProcW(hwnd, message, wParam, lParam);
}

// An exception unwinding through the system's code that called the window
// procedure ends a 32-bit program on the spot: it stops here, is told of, and
// the program goes on.
LRESULT FormWindow::Guarded(FormWindow* self, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        return self->handleMessage(hwnd, message, wParam, lParam);
    } catch (...) {
        self->reportFailure(std::current_exception());
    }
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

void FormWindow::reportFailure(const std::exception_ptr& failure) noexcept {
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception& e) {
        reportFailure(e.what());
    } catch (...) {
        reportFailure("Unknown failure");
    }
}

void FormWindow::reportFailure(const char* what) noexcept {
    try {
        ::OutputDebugStringW((L"Kestrum: " + Widen(what) + L"\n").c_str());
    } catch (...) {
    }
    // A failure that comes again while its box is up (in painting, say) would
    // stack boxes without end: that one is only logged.
    if (reporting_) return;
    reporting_ = true;
    try {
        ShowMessageBox(::IsWindow(hwnd_) ? hwnd_ : nullptr, what, MB_ICONEXCLAMATION, std::string(formDef_.caption));
    } catch (...) {
        ::OutputDebugStringW(L"Kestrum: the failure could not be shown\n");
    }
    reporting_ = false;
}

LRESULT FormWindow::handleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: {
            const PaintDc dc(hwnd);
            paint(hwnd, dc.get());
            return 0;
        }
        case WM_PRINTCLIENT: paint(hwnd, reinterpret_cast<HDC>(wParam)); return 0;
        case WM_ERASEBKGND: return TRUE;  // paint() covers the whole client area
        case WM_SETCURSOR:
            if (onSetCursor(reinterpret_cast<HWND>(wParam), LOWORD(lParam))) return TRUE;
            break;
        case WM_CTLCOLORSTATIC:
            if (HBRUSH brush = onCtlColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)))
                return reinterpret_cast<LRESULT>(brush);
            break;
        case WM_COMMAND: {
            int id = LOWORD(wParam);
            // Esc as the dialog keys report it to the window: the cancel button's click.
            if (id == IDCANCEL && hwnd == hwnd_) {
                const ControlDef* cancel = buttonFor(true);
                id = cancel ? cancel->id : 0;
            }
            if (id && onCommand(id, HIWORD(wParam), reinterpret_cast<HWND>(lParam))) return 0;
            break;
        }
        default: break;
    }
    if (hwnd != hwnd_) return ::DefWindowProcW(hwnd, message, wParam, lParam);
    switch (message) {
        case kActivateMessage: onActivate(); return 0;
        case WindowMailbox::kMessage: onWorkDone(); return 0;
        case DM_GETDEFID:  // asked by the dialog keys: Enter clicks the default button
            if (const ControlDef* button = buttonFor(false)) return MAKELRESULT(button->id, DC_HASDEFID);
            return 0;
        case WM_SIZE: onSize(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam)); return 0;
        case WM_DPICHANGED: onDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam)); return 0;
        case WM_CLOSE: unload(); return 0;
        case WM_DESTROY: onDestroy(); return 0;
        default: return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

// One painting for the screen and for a capture (PrintWindow): the kept image.
void FormWindow::paint(HWND hwnd, HDC dc) { image_.paint(hwnd, dc); }

bool FormWindow::onSetCursor(HWND under, int hitTest) {
    const WindowControl* pointed = parts_.controlOf(under);
    const bool hand = pointed && pointed->controlDef().pointer == platform::Pointer::Hand && hitTest == HTCLIENT;
    if (!busy_ && !hand) return false;
    ::SetCursor(busy_ ? ::LoadCursorW(nullptr, IDC_WAIT) : HandPointer());
    return true;
}

HBRUSH FormWindow::onCtlColorStatic(HDC dc, HWND control) {
    const WindowControl* label = parts_.controlOf(control);
    if (!label || label->controlDef().kind != platform::ControlKind::Label) return nullptr;
    return image_.paintLabelBackground(control, dc, label->foreColor());
}

bool FormWindow::onCommand(int id, int code, HWND control) {
    if (!events_) return false;
    if (!control || code == BN_CLICKED) {  // a menu entry or shortcut (no control), or a button
        events_->onClick(id);
    } else if (code == EN_CHANGE) {
        events_->onChange(id);
    } else {
        return false;
    }
    return true;
}

// Work that failed is told of, and its completion still runs, with worked false;
// a completion that fails keeps none of the others from running. A window left
// waiting for its work would stay busy for good.
void FormWindow::onWorkDone() {
    for (WindowMailbox::Delivery& delivery : mailbox_->take()) {
        if (!hwnd_) return;  // a completion unloaded the window
        if (delivery.failure) reportFailure(delivery.failure);
        try {
            delivery.done(!delivery.failure);
        } catch (...) {
            reportFailure(std::current_exception());
        }
    }
}

void FormWindow::onActivate() {
    if (events_) events_->onActivate();
}

void FormWindow::onSize(UINT kind, int width, int height) {
    if (kind != SIZE_MINIMIZED) clientSize_.sized(width, height, dpi_);
    // Every later change of size reaches the logic; show() reports the first.
    if (events_ && shown_ && !clientSize_.sizing() && std::pair{width, height} != shownSize_) {
        shownSize_ = {width, height};
        events_->onResize();
    }
}

// Moved to a monitor of another dpi: the controls keep their places and fonts in
// twips and points, the client area its size in twips, and the logic paints the
// window's images afresh at the new size.
void FormWindow::onDpiChanged(int dpi, const RECT& suggested) {
    dpi_ = dpi;
    // The image was drawn at the old dpi: a new version, so that it is painted afresh.
    image_.drawInto(hwnd_);
    parts_.rescale();
    clientSize_.moveToDpi(hwnd_, dpi, suggested);
    RECT client;
    ::GetClientRect(hwnd_, &client);
    shownSize_ = {client.right, client.bottom};
    if (events_ && shown_) events_->onResize();
    ::RedrawWindow(hwnd_, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_FRAME);
}

void FormWindow::onDestroy() {
    // The main window's end is the program's end.
    if (!modal_ && !::GetWindow(hwnd_, GW_OWNER)) ::PostQuitMessage(0);
}

void FormWindow::onNcDestroy() {
    hwnd_ = nullptr;
    if (mailbox_) mailbox_->close();
    parts_.windowGone();
    image_.clear();
}

}  // namespace kestrum::win32

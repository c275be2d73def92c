#include "platform/win32/message_loop.h"

#include "platform/win32/form_host.h"

namespace kestrum::win32 {

namespace {

// A key goes to the form whose window it is in (its own or one of its controls).
void Dispatch(MSG& msg) {
    if (FormWindow* form = msg.hwnd ? FormWindow::FromHandle(::GetAncestor(msg.hwnd, GA_ROOT)) : nullptr)
        if (form->preTranslate(msg)) return;
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
}

}  // namespace

int RunMessageLoop() {
    MSG msg;
    for (;;) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) return static_cast<int>(msg.wParam);
        if (got == -1) return 1;
        Dispatch(msg);
    }
}

void RunModalLoop(const FormWindow& form) {
    MSG msg;
    while (form.hwnd()) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == -1) return;
        if (got == 0) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        Dispatch(msg);
    }
}

void PumpPendingMessages() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        Dispatch(msg);
    }
}

}  // namespace kestrum::win32

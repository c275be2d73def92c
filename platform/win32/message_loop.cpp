#include "platform/win32/message_loop.h"

#include "platform/win32/form_host.h"

namespace kestrum::win32 {

void FormWindow::Dispatch(MSG& msg) {
    if (FormWindow* form = msg.hwnd ? FromHandle(::GetAncestor(msg.hwnd, GA_ROOT)) : nullptr)
        if (form->preTranslate(msg)) return;
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
}

FormWindow::LoopEnd FormWindow::DispatchWhile(const std::function<bool()>& running) {
    MSG msg;
    while (running()) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) return {true, static_cast<int>(msg.wParam)};
        if (got == -1) return {};
        Dispatch(msg);
    }
    return {};
}

int RunMessageLoop() {
    return FormWindow::DispatchWhile([] { return true; }).exitCode;
}

void PumpPendingMessages() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        FormWindow::Dispatch(msg);
    }
}

}  // namespace kestrum::win32

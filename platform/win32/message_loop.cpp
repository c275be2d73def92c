#include "platform/win32/message_loop.h"

#include "platform/win32/form_host.h"

namespace kestrum::win32 {

int RunMessageLoop() {
    MSG msg;
    for (;;) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) return static_cast<int>(msg.wParam);
        if (got == -1) return 1;
        FormWindow::Dispatch(msg);
    }
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

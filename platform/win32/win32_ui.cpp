#include "platform/win32/win32_ui.h"

#include <windows.h>

#include "platform/win32/message_loop.h"
#include "platform/win32/text.h"

namespace kestrum::win32 {

namespace {
bool g_busy = false;  // one user-interface thread: no locking
}

bool Win32Ui::Busy() { return g_busy; }

void Win32Ui::messageBox(const std::string& text, unsigned style, const std::string& title) {
    // Owned by the active window of this thread, so it stays on top of it and the
    // window takes no input until the box is dismissed.
    ::MessageBoxW(::GetActiveWindow(), Widen(text).c_str(), Widen(title).c_str(),
                  style | MB_APPLMODAL | MB_SETFOREGROUND);
}

void Win32Ui::setBusyPointer(bool busy) {
    g_busy = busy;
    ::SetCursor(::LoadCursorW(nullptr, busy ? IDC_WAIT : IDC_ARROW));
}

void Win32Ui::doEvents() { PumpPendingMessages(); }

}  // namespace kestrum::win32

#include "platform/win32/ui.h"

#include <windows.h>

#include "platform/win32/form_host.h"
#include "platform/win32/message_box.h"
#include "platform/win32/message_loop.h"

namespace kestrum::win32 {

void Win32Ui::messageBox(const std::string& text, unsigned style, const std::string& title) {
    // Owned by the active window of this thread, so it stays on top of it and the
    // window takes no input until the box is dismissed.
    ShowMessageBox(::GetActiveWindow(), text, style, title);
}

bool Win32Ui::confirm(const std::string& text, unsigned style, const std::string& title) {
    return ShowMessageBox(::GetActiveWindow(), text, style | MB_OKCANCEL, title) == IDOK;
}

// Each of the program's windows shows it while the mouse is over it.
void Win32Ui::setBusyPointer(bool busy) {
    for (FormWindow* form : FormWindow::OfThisThread()) form->setBusy(busy);
    ::SetCursor(::LoadCursorW(nullptr, busy ? IDC_WAIT : IDC_ARROW));
}

void Win32Ui::doEvents() { PumpPendingMessages(); }

}  // namespace kestrum::win32

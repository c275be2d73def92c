#include "platform/win32/ui.h"

#include <windows.h>

#include <cstring>

#include "platform/win32/form_host.h"
#include "platform/win32/message_box.h"
#include "platform/win32/message_loop.h"
#include "platform/win32/text.h"
#include "platform/win32/unique_handle.h"

namespace kestrum::win32 {

void Win32Ui::messageBox(const std::string& text, unsigned style, const std::string& title) {
    // Owned by the active window of this thread, so it stays on top of it and the
    // window takes no input until the box is dismissed.
    ShowMessageBox(::GetActiveWindow(), text, style, title);
}

bool Win32Ui::confirm(const std::string& text, unsigned style, const std::string& title) {
    return ShowMessageBox(::GetActiveWindow(), text, style | MB_YESNO, title) == IDYES;
}

bool Win32Ui::copyText(const std::string& text) {
    const std::wstring wide = Widen(text);
    const std::size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
    // The clipboard owns the memory once it has taken it; until then it is ours.
    UniqueNullHandle<HGLOBAL, ::GlobalFree> memory(::GlobalAlloc(GMEM_MOVEABLE, bytes));
    if (!memory) return false;
    void* locked = ::GlobalLock(memory.get());
    if (!locked) return false;
    std::memcpy(locked, wide.c_str(), bytes);
    ::GlobalUnlock(memory.get());
    if (!::OpenClipboard(::GetActiveWindow())) return false;
    const bool taken = ::EmptyClipboard() && ::SetClipboardData(CF_UNICODETEXT, memory.get());
    if (taken) memory.release();
    ::CloseClipboard();
    return taken;
}

// Each of the program's windows shows it while the mouse is over it.
void Win32Ui::setBusyPointer(bool busy) {
    for (FormWindow* form : FormWindow::OfThisThread()) form->setBusy(busy);
    ::SetCursor(::LoadCursorW(nullptr, busy ? IDC_WAIT : IDC_ARROW));
}

void Win32Ui::doEvents() { PumpPendingMessages(); }

}  // namespace kestrum::win32

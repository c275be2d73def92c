#include "platform/win32/message_box.h"

#include "platform/win32/text.h"

namespace kestrum::win32 {

int ShowMessageBox(HWND owner, const std::string& text, unsigned style, const std::string& title) {
    return ::MessageBoxW(owner, Widen(text).c_str(), Widen(title).c_str(), style);
}

}  // namespace kestrum::win32

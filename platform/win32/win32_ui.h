#pragma once

#include "platform/ui.h"

namespace kestrum::win32 {

class Win32Ui : public platform::Ui {
public:
    void messageBox(const std::string& text, unsigned style, const std::string& title) override;
    void setBusyPointer(bool busy) override;
    void doEvents() override;

    // Whether the program's windows show the hourglass (asked on WM_SETCURSOR).
    static bool Busy();
};

}  // namespace kestrum::win32

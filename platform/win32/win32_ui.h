#pragma once

#include <windows.h>

#include <string>

#include "platform/ui.h"

namespace kestrum::win32 {

class Win32Ui : public platform::Ui {
public:
    void messageBox(const std::string& text, unsigned style, const std::string& title) override;
    bool confirm(const std::string& text, unsigned style, const std::string& title) override;
    void setBusyPointer(bool busy) override;
    void doEvents() override;
};

// A message box owned by the window (none: by no window), in exactly the style
// asked for; returns once it is dismissed.
// Its answer: the number of the button chosen.
int ShowMessageBox(HWND owner, const std::string& text, unsigned style, const std::string& title);

}  // namespace kestrum::win32

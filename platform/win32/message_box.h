#pragma once
// The platform's message box, for the Ui adapter, the form host's failure report
// and IP.EXE alike, none of which needs the others for it.

#include <windows.h>

#include <string>

namespace kestrum::win32 {

// A message box owned by the window (none: by no window), in exactly the style
// asked for; returns once it is dismissed.
// Its answer: the number of the button chosen.
int ShowMessageBox(HWND owner, const std::string& text, unsigned style, const std::string& title);

}  // namespace kestrum::win32

#pragma once
// Finding a window's controls, for the tests that look at windows of this process or
// of the program.

#include <windows.h>

#include <string>
#include <utility>

#include "platform/win32/program_file.h"
#include "platform/win32/text.h"

namespace kestrum::testsupport {

// The child window of the given control identifier anywhere below parent.
inline HWND FindControl(HWND parent, int id) {
    std::pair<int, HWND> search{id, nullptr};
    const WNDENUMPROC match = [](HWND child, LPARAM found) CALLBACK -> BOOL {
        auto& [wanted, window] = *reinterpret_cast<std::pair<int, HWND>*>(found);
        if (::GetDlgCtrlID(child) == wanted) window = child;
        return window == nullptr;
    };
    ::EnumChildWindows(parent, match, reinterpret_cast<LPARAM>(&search));
    return search.second;
}

// The folder that holds the test program, the programs under test and the stand-ins.
inline std::wstring ThisFolder() {
    const std::wstring exe = win32::Widen(win32::ProgramFile());
    return exe.substr(0, exe.find_last_of(L'\\'));
}

}  // namespace kestrum::testsupport

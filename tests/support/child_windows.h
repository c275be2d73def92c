#pragma once
// Finding a window's controls, for the tests that look at windows of this process or
// of the program.

#include <windows.h>

#include <string>
#include <utility>

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
    wchar_t path[MAX_PATH * 4] = {};
    const std::wstring exe(path, ::GetModuleFileNameW(nullptr, path, MAX_PATH * 4));
    return exe.substr(0, exe.find_last_of(L'\\'));
}

}  // namespace kestrum::testsupport

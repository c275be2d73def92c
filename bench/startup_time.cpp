// How long a program takes from its start until its main window is on screen:
// kestrum.exe against a minimal window program. Prints the figures; asserts nothing.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/identity.h"

namespace {

struct Search {
    DWORD processId;
    const wchar_t* caption;
    bool found;
};

BOOL CALLBACK Match(HWND hwnd, LPARAM param) {
    auto* s = reinterpret_cast<Search*>(param);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(hwnd, &owner);
    wchar_t text[64] = {};
    ::GetWindowTextW(hwnd, text, 64);
    if (owner == s->processId && ::IsWindowVisible(hwnd) && wcscmp(text, s->caption) == 0) {
        s->found = true;
        return FALSE;
    }
    return TRUE;
}

// Milliseconds from CreateProcess to a visible window with the caption, or -1.
double TimeToWindow(const std::wstring& exe, const wchar_t* caption) {
    LARGE_INTEGER frequency, start, now;
    ::QueryPerformanceFrequency(&frequency);
    std::wstring commandLine = L"\"" + exe + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    ::QueryPerformanceCounter(&start);
    if (!::CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &info))
        return -1;
    double elapsed = -1;
    for (;;) {
        Search search{info.dwProcessId, caption, false};
        ::EnumWindows(Match, reinterpret_cast<LPARAM>(&search));
        ::QueryPerformanceCounter(&now);
        const double ms = 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) /
                          static_cast<double>(frequency.QuadPart);
        if (search.found) {
            elapsed = ms;
            break;
        }
        if (ms > 30000) break;
        ::Sleep(1);
    }
    ::TerminateProcess(info.hProcess, 0);
    ::WaitForSingleObject(info.hProcess, 5000);
    ::CloseHandle(info.hProcess);
    ::CloseHandle(info.hThread);
    return elapsed;
}

void Report(const wchar_t* name, const std::wstring& exe, const wchar_t* caption, int runs) {
    std::vector<double> times;
    times.reserve(static_cast<std::size_t>(runs));
    for (int i = 0; i < runs; ++i) times.push_back(TimeToWindow(exe, caption));
    std::sort(times.begin(), times.end());
    std::wprintf(L"%-18ls start to window: median %.0f ms, min %.0f ms, max %.0f ms (%d runs)\n", name,
                 times[times.size() / 2], times.front(), times.back(), runs);
}

}  // namespace

int wmain() {
    wchar_t path[MAX_PATH * 2] = {};
    std::wstring folder(path, ::GetModuleFileNameW(nullptr, path, MAX_PATH * 2));
    if (const auto slash = folder.find_last_of(L'\\'); slash != std::wstring::npos) folder.resize(slash);
    Report(L"minimal window", folder + L"\\minimal_window.exe", L"Minimal Window", 7);
    const std::string title = kestrum::platform::kAppTitle;  // ASCII
    Report(L"kestrum.exe", folder + L"\\kestrum.exe", std::wstring(title.begin(), title.end()).c_str(), 7);
    return 0;
}

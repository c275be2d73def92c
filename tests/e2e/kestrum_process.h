#pragma once
// Drives the real kestrum.exe as a person would: starts it, finds its windows,
// presses keys through the input queue, saves what the screen shows.
// Every wait is bounded; the caller says what it waited for when one runs out.

#include <windows.h>

#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/win32/text.h"
#include "platform/win32/window_control.h"
#include "tests/support/child_windows.h"
#include "tests/support/outside.h"

namespace kestrum::e2e {

using testsupport::FindControl;
using testsupport::ThisFolder;

// The main window's caption, and its status when the Internet refuses.
inline const wchar_t kCaption[] = L"Kestrum 1.2";
inline const wchar_t kOffline[] = L"My Computer is offline. (Check Internet or try it again)";

inline bool Exists(const std::wstring& file) { return ::GetFileAttributesW(file.c_str()) != ~DWORD(0); }

// Looks every 50 ms until done() holds; false when timeoutMs passed first.
inline bool WaitUntil(DWORD timeoutMs, const std::function<bool()>& done) {
    for (const ULONGLONG deadline = ::GetTickCount64() + timeoutMs; !done(); ::Sleep(50))
        if (::GetTickCount64() > deadline) return false;
    return true;
}

// A window's text as the system keeps it (a caption, a label), read even while the program is busy.
inline std::wstring Caption(HWND hwnd) {
    wchar_t text[512] = {};
    return std::wstring(text, ::GetWindowTextW(hwnd, text, 512));
}

// The text a control holds, asked of the control (a text box, whose text the system does not keep).
inline std::wstring WindowText(HWND hwnd) {
    DWORD_PTR length = 0, copied = 0;
    if (!::SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length)) return L"?";
    std::wstring text(length + 1, L'\0');
    ::SendMessageTimeoutW(hwnd, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG, 5000,
                          &copied);
    text.resize(copied);
    return text;
}

// Waits for a label to show the text; the text it showed last either way.
inline std::wstring WaitForText(HWND label, const std::wstring& wanted, DWORD timeoutMs) {
    std::wstring text;
    WaitUntil(timeoutMs, [&] { return (text = Caption(label)) == wanted; });
    return text;
}

// A visible top-level window of the process, of the class and with the caption (none: any).
inline HWND FindTopLevel(DWORD processId, const wchar_t* className, const wchar_t* caption) {
    for (HWND window = nullptr; (window = ::FindWindowExW(nullptr, window, className, caption));) {
        DWORD owner = 0;
        ::GetWindowThreadProcessId(window, &owner);
        if (owner == processId && ::IsWindowVisible(window)) return window;
    }
    return nullptr;
}

// A program started from its own folder, with this process's environment; ended
// with the object if it still runs.
class Process {
public:
    explicit Process(const std::wstring& exe, const std::wstring& arguments = L"") {
        std::wstring commandLine = L"\"" + exe + L"\" " + arguments;
        STARTUPINFOW startup{sizeof startup};
        const std::wstring folder = exe.substr(0, exe.find_last_of(L'\\'));
        if (::CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                             &startup, &info_))
            ::CloseHandle(info_.hThread);
    }
    ~Process() {
        if (running() && ::TerminateProcess(info_.hProcess, 99))
            ::WaitForSingleObject(info_.hProcess, 5000);  // its files free again
        if (info_.hProcess) ::CloseHandle(info_.hProcess);
    }
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    DWORD id() const { return info_.dwProcessId; }
    bool running() const { return info_.hProcess && ::WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT; }
    bool waitForExit(DWORD timeoutMs, DWORD* exitCode) const {
        return info_.hProcess && ::WaitForSingleObject(info_.hProcess, timeoutMs) == WAIT_OBJECT_0 &&
               ::GetExitCodeProcess(info_.hProcess, exitCode);
    }
    HWND waitForWindow(const std::wstring& caption, DWORD timeoutMs = 30000) const {
        HWND found = nullptr;
        WaitUntil(timeoutMs, [&] { return (found = FindTopLevel(id(), nullptr, caption.c_str())) != nullptr; });
        return found;
    }

private:
    PROCESS_INFORMATION info_{};
};

// The stand-ins for the programs Kestrum starts (tests/doubles) first on the path,
// each telling what it received in the log.
inline void UseStandIns(const std::wstring& log) {
    ::SetEnvironmentVariableW(L"KESTRUM_STAND_IN_LOG", log.c_str());
    std::wstring path(32767, L'\0');
    path.resize(::GetEnvironmentVariableW(L"PATH", path.data(), 32767));
    if (!path.starts_with(ThisFolder() + L"\\doubles;"))
        ::SetEnvironmentVariableW(L"PATH", (ThisFolder() + L"\\doubles;" + path).c_str());
}

// Brings the window to the front and presses the keys together (virtual-key codes);
// false when the window never came to the front.
inline bool Press(HWND window, const std::vector<WORD>& keys) {
    ::SetForegroundWindow(window);
    if (!WaitUntil(5000, [&] { return ::GetForegroundWindow() == window; })) return false;
    std::vector<INPUT> events(keys.size() * 2, INPUT{INPUT_KEYBOARD, {}});
    for (size_t i = 0, last = events.size() - 1; i < keys.size(); ++i) {
        events[i].ki.wVk = events[last - i].ki.wVk = keys[i];
        events[last - i].ki.dwFlags = KEYEVENTF_KEYUP;
    }
    return ::SendInput(static_cast<UINT>(events.size()), events.data(), sizeof(INPUT)) == events.size();
}

// The id of the control that has the keyboard focus in the window's thread, 0 when none.
inline int FocusedId(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info) || !info.hwndFocus) return 0;
    return ::GetDlgCtrlID(info.hwndFocus);
}

// A string value under HKEY_CURRENT_USER, none when missing.
inline std::optional<std::wstring> UserString(const wchar_t* key, const wchar_t* value) {
    std::wstring text(32768, L'\0');
    DWORD bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    if (::RegGetValueW(HKEY_CURRENT_USER, key, value, RRF_RT_REG_SZ, nullptr, text.data(), &bytes)) return {};
    text.resize(wcslen(text.c_str()));
    return text;
}

// Saves what the screen shows of the window as NAME.png among the test group's
// screenshots, for a person to look at.
inline void SaveScreenshot(HWND window, const std::wstring& name) {
    RECT r{};
    ::GetWindowRect(window, &r);
    std::ostringstream command;
    command << "import -window root -crop " << r.right - r.left << 'x' << r.bottom - r.top << '+' << r.left << '+'
            << r.top << " $KESTRUM_GROUP_DIR/screenshots/" << win32::Narrow(name) << ".png";
    testsupport::Shell(command.str());
}

}  // namespace kestrum::e2e

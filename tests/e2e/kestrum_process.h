#pragma once
// Starts the real kestrum.exe, finds its windows and ends it, for tests that use
// the program as a person would.

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "tests/support/child_windows.h"

namespace kestrum::e2e {

// The folder that holds this test program (and kestrum.exe beside it).
std::wstring ThisFolder();

class KestrumProcess {
public:
    // environment: "NAME=value" entries replacing the inherited block, or none.
    explicit KestrumProcess(const std::wstring& exePath,
                            std::optional<std::vector<std::wstring>> environment = std::nullopt);
    ~KestrumProcess();
    KestrumProcess(const KestrumProcess&) = delete;
    KestrumProcess& operator=(const KestrumProcess&) = delete;

    bool started() const { return process_ != nullptr; }
    // The first visible top-level window of the process with this caption.
    HWND waitForWindow(const std::wstring& caption, DWORD timeoutMs = 30000) const;
    // True when the process ended within the time; its exit code in exitCode.
    bool waitForExit(DWORD timeoutMs, DWORD* exitCode = nullptr) const;
    DWORD id() const { return processId_; }

private:
    HANDLE process_ = nullptr;
    DWORD processId_ = 0;
};

using testsupport::FindControl;
using testsupport::RectInParent;
std::wstring WindowText(HWND hwnd);
std::wstring ClassName(HWND hwnd);

// Waits until the control's text is one of the given texts; returns the text seen
// last either way.
std::wstring WaitForText(HWND control, const std::vector<std::wstring>& texts, DWORD timeoutMs);

// A message box of the process: its title, its text, and a way to press OK.
struct MessageBoxSeen {
    HWND hwnd = nullptr;
    std::wstring title;
    std::wstring text;
    bool hasIcon = false;
};
std::optional<MessageBoxSeen> WaitForMessageBox(DWORD processId, DWORD timeoutMs);
void PressOk(const MessageBoxSeen& box);

// Types text into an edit control as a paste would (the control reports a change).
void TypeText(HWND edit, const std::wstring& text);
// Clicks a button and returns at once (the program may block in its handler).
void Click(HWND button);

// Brings the window to the front and presses Ctrl and the key, as a person would.
void PressCtrlShortcut(HWND window, char key);
// Brings the window to the front and presses one key (a virtual-key code), as a
// person would: through the input queue, so the dialog keys see it.
void PressKey(HWND window, WORD virtualKey);
// Whether the mouse pointer is the hourglass now.
bool HourglassShown();

// Saves what the window shows on screen as a 24-bit BMP; false on failure.
bool SaveScreenshot(HWND hwnd, const std::wstring& path);
// Where screenshots go: %KESTRUM_SCREENSHOTS% or a folder beside the tests.
std::wstring ScreenshotFolder();

// Reads a string value from HKEY_CURRENT_USER; none when missing.
std::optional<std::wstring> ReadUserString(const std::wstring& key, const std::wstring& value);

}  // namespace kestrum::e2e

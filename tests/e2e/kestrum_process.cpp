#include "tests/e2e/kestrum_process.h"

#include <cstdio>

namespace kestrum::e2e {

std::wstring ThisFolder() {
    wchar_t path[MAX_PATH * 4] = {};
    const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH * 4);
    std::wstring folder(path, length);
    return folder.substr(0, folder.find_last_of(L'\\'));
}

KestrumProcess::KestrumProcess(const std::wstring& exePath, std::optional<std::vector<std::wstring>> environment) {
    std::wstring block;
    if (environment) {
        for (const std::wstring& entry : *environment) block += entry + L'\0';
        block += L'\0';
    }
    std::wstring commandLine = L"\"" + exePath + L"\"";
    const std::wstring folder = exePath.substr(0, exePath.find_last_of(L'\\'));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (::CreateProcessW(exePath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT,
                         environment ? block.data() : nullptr, folder.c_str(), &startup, &info)) {
        ::CloseHandle(info.hThread);
        process_ = info.hProcess;
        processId_ = info.dwProcessId;
    }
}

KestrumProcess::~KestrumProcess() {
    if (!process_) return;
    if (::WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
        ::TerminateProcess(process_, 99);
        ::WaitForSingleObject(process_, 5000);
    }
    ::CloseHandle(process_);
}

namespace {

struct WindowSearch {
    DWORD processId;
    const std::wstring* caption;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND hwnd, LPARAM param) {
    auto* s = reinterpret_cast<WindowSearch*>(param);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(hwnd, &owner);
    if (owner == s->processId && ::IsWindowVisible(hwnd) && WindowText(hwnd) == *s->caption) {
        s->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

HWND KestrumProcess::waitForWindow(const std::wstring& caption, DWORD timeoutMs) const {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    do {
        WindowSearch search{processId_, &caption, nullptr};
        ::EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found) return search.found;
        ::Sleep(50);
    } while (::GetTickCount64() < deadline);
    return nullptr;
}

bool KestrumProcess::waitForExit(DWORD timeoutMs, DWORD* exitCode) const {
    if (!process_ || ::WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0) return false;
    if (exitCode) ::GetExitCodeProcess(process_, exitCode);
    return true;
}

std::wstring WindowText(HWND hwnd) {
    // GetWindowText on another process's window reads only the caption the system
    // keeps, which an edit control does not update: ask the control itself. The
    // program may be busy (it blocks while it waits), hence the time limit.
    DWORD_PTR length = 0;
    if (::SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length)) {
        std::wstring text(length + 1, L'\0');
        DWORD_PTR copied = 0;
        if (::SendMessageTimeoutW(hwnd, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data()),
                                  SMTO_ABORTIFHUNG, 2000, &copied)) {
            text.resize(copied);
            return text;
        }
    }
    const int fallback = ::GetWindowTextLengthW(hwnd);
    std::wstring text(static_cast<size_t>(fallback) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(hwnd, text.data(), fallback + 1)));
    return text;
}

std::wstring ClassName(HWND hwnd) {
    wchar_t name[256] = {};
    return std::wstring(name, static_cast<size_t>(::GetClassNameW(hwnd, name, 256)));
}

std::wstring WaitForText(HWND control, const std::vector<std::wstring>& texts, DWORD timeoutMs) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    std::wstring text;
    do {
        text = WindowText(control);
        for (const std::wstring& wanted : texts)
            if (text == wanted) return text;
        ::Sleep(50);
    } while (::GetTickCount64() < deadline);
    return text;
}

namespace {

struct BoxSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK MatchBox(HWND hwnd, LPARAM param) {
    auto* s = reinterpret_cast<BoxSearch*>(param);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(hwnd, &owner);
    if (owner == s->processId && ::IsWindowVisible(hwnd) && ClassName(hwnd) == L"#32770") {
        s->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK CollectText(HWND hwnd, LPARAM param) {
    auto* box = reinterpret_cast<MessageBoxSeen*>(param);
    if (_wcsicmp(ClassName(hwnd).c_str(), L"Static") != 0) return TRUE;
    if (::GetWindowLongPtrW(hwnd, GWL_STYLE) & SS_ICON) {
        // A box without an icon may still keep the icon control, empty.
        box->hasIcon = box->hasIcon || (::SendMessageW(hwnd, STM_GETICON, 0, 0) != 0 && ::IsWindowVisible(hwnd));
        return TRUE;
    }
    const std::wstring text = WindowText(hwnd);
    if (!text.empty()) box->text += text;
    return TRUE;
}

}  // namespace

std::optional<MessageBoxSeen> WaitForMessageBox(DWORD processId, DWORD timeoutMs) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    do {
        BoxSearch search{processId, nullptr};
        ::EnumWindows(MatchBox, reinterpret_cast<LPARAM>(&search));
        if (search.found) {
            ::Sleep(100);  // let it finish laying out its text
            MessageBoxSeen box;
            box.hwnd = search.found;
            box.title = WindowText(search.found);
            ::EnumChildWindows(search.found, CollectText, reinterpret_cast<LPARAM>(&box));
            return box;
        }
        ::Sleep(50);
    } while (::GetTickCount64() < deadline);
    return std::nullopt;
}

void PressOk(const MessageBoxSeen& box) {
    ::PostMessageW(box.hwnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    for (int i = 0; i < 100 && ::IsWindow(box.hwnd); ++i) ::Sleep(50);
}

void TypeText(HWND edit, const std::wstring& text) {
    ::SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void Click(HWND button) { ::PostMessageW(button, BM_CLICK, 0, 0); }

void PressCtrlShortcut(HWND window, char key) {
    ::SetForegroundWindow(window);
    ::Sleep(200);
    INPUT keys[4] = {};
    const WORD codes[4] = {VK_CONTROL, static_cast<WORD>(key), static_cast<WORD>(key), VK_CONTROL};
    for (int i = 0; i < 4; ++i) {
        keys[i].type = INPUT_KEYBOARD;
        keys[i].ki.wVk = codes[i];
        keys[i].ki.dwFlags = i >= 2 ? KEYEVENTF_KEYUP : 0;
    }
    ::SendInput(4, keys, sizeof(INPUT));
}

void PressKey(HWND window, WORD virtualKey) {
    ::SetForegroundWindow(window);
    ::Sleep(200);
    INPUT keys[2] = {};
    for (int i = 0; i < 2; ++i) {
        keys[i].type = INPUT_KEYBOARD;
        keys[i].ki.wVk = virtualKey;
        keys[i].ki.dwFlags = i == 1 ? KEYEVENTF_KEYUP : 0;
    }
    ::SendInput(2, keys, sizeof(INPUT));
}

bool HourglassShown() {
    CURSORINFO info{};
    info.cbSize = sizeof info;
    return ::GetCursorInfo(&info) && info.hCursor == ::LoadCursorW(nullptr, IDC_WAIT);
}

bool SaveScreenshot(HWND hwnd, const std::wstring& path) {
    RECT rect;
    if (!::GetWindowRect(hwnd, &rect)) return false;
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // bottom-up, as BMP files store rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool ok = false;
    if (bitmap) {
        HGDIOBJ old = ::SelectObject(memory, bitmap);
        ok = ::BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY) != FALSE;
        ::GdiFlush();
        ::SelectObject(memory, old);
        const DWORD stride = ((static_cast<DWORD>(width) * 3 + 3) & ~3u);
        const DWORD imageSize = stride * static_cast<DWORD>(height);
        BITMAPFILEHEADER file{};
        file.bfType = 0x4D42;
        file.bfOffBits = sizeof file + sizeof info.bmiHeader;
        file.bfSize = file.bfOffBits + imageSize;
        info.bmiHeader.biSizeImage = imageSize;
        FILE* out = ok ? _wfopen(path.c_str(), L"wb") : nullptr;
        ok = out && fwrite(&file, sizeof file, 1, out) == 1 &&
             fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, out) == 1 && fwrite(bits, imageSize, 1, out) == 1;
        if (out) fclose(out);
        ::DeleteObject(bitmap);
    }
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    return ok;
}

std::wstring ScreenshotFolder() {
    wchar_t folder[MAX_PATH * 2] = {};
    std::wstring result;
    if (::GetEnvironmentVariableW(L"KESTRUM_SCREENSHOTS", folder, MAX_PATH * 2) > 0) result = folder;
    else result = ThisFolder() + L"\\screenshots";
    ::CreateDirectoryW(result.c_str(), nullptr);
    return result;
}

std::optional<std::wstring> ReadUserString(const std::wstring& key, const std::wstring& value) {
    DWORD bytes = 0;
    if (::RegGetValueW(HKEY_CURRENT_USER, key.c_str(), value.c_str(), RRF_RT_REG_SZ, nullptr, nullptr, &bytes) !=
        ERROR_SUCCESS)
        return std::nullopt;
    std::wstring text(bytes / sizeof(wchar_t) + 1, L'\0');
    if (::RegGetValueW(HKEY_CURRENT_USER, key.c_str(), value.c_str(), RRF_RT_REG_SZ, nullptr, text.data(),
                       &bytes) != ERROR_SUCCESS)
        return std::nullopt;
    text.resize(wcslen(text.c_str()));
    return text;
}

}  // namespace kestrum::e2e

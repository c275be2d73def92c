#include "platform/win32/system.h"

#include <windows.h>

#include "platform/win32/program_file.h"
#include "platform/win32/text.h"
#include "platform/win32/unique_handle.h"

namespace kestrum::win32 {

std::string Win32System::programFile() { return ProgramFile(); }

platform::SystemDirectoryAnswer Win32System::systemDirectory(unsigned bufferChars) {
    std::wstring buffer(bufferChars, L'\0');
    const UINT length = ::GetSystemDirectoryW(buffer.data(), bufferChars);
    return {Narrow(buffer), length};
}

std::optional<std::string> Win32System::environmentVariable(const std::string& name) {
    const std::wstring wideName = Widen(name);
    const DWORD needed = ::GetEnvironmentVariableW(wideName.c_str(), nullptr, 0);
    if (needed == 0) {
        // Set but empty also answers 0; only a missing variable sets this error.
        if (::GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
        return std::string();
    }
    std::wstring value(needed, L'\0');
    const DWORD length = ::GetEnvironmentVariableW(wideName.c_str(), value.data(), needed);
    if (length >= needed) return std::string();  // changed between the calls
    value.resize(length);
    return Narrow(value);
}

void Win32System::sleep(unsigned milliseconds) { ::Sleep(milliseconds); }

std::string Win32System::decimalSeparator() {
    wchar_t separator[8] = {};
    if (::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, separator, 8) == 0) return ".";
    return Narrow(separator);
}

}  // namespace kestrum::win32

namespace kestrum::win32 {

bool Win32System::startProgram(const std::string& path) {
    // The application is named and the command line quoted, so a folder with a
    // blank in its name (C:\Program Files\...) can never start C:\Program.exe.
    const std::wstring application = Widen(path);
    std::wstring commandLine = L"\"" + application + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(application.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &info))
        return false;
    UniqueKernelHandle process(info.hProcess), thread(info.hThread);
    return true;
}

}  // namespace kestrum::win32

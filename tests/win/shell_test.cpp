// The shell adapter really starting a program found on the search path.

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cwctype>
#include <string>

#include "platform/win32/text.h"
#include "platform/win32/win32_shell.h"
#include "remote/launch_errors.h"

namespace kestrum::win32 {
namespace {

std::wstring BuildFolder() {
    wchar_t path[MAX_PATH * 2] = {};
    std::wstring folder(path, ::GetModuleFileNameW(nullptr, path, MAX_PATH * 2));
    return folder.substr(0, folder.find_last_of(L'\\'));
}

std::wstring ReadLog(const std::wstring& path, DWORD timeoutMs) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    do {
        if (FILE* in = _wfopen(path.c_str(), L"rb")) {
            std::wstring text;
            wchar_t c;
            while (fread(&c, sizeof c, 1, in) == 1) text += c;
            fclose(in);
            if (!text.empty()) return text;
        }
        ::Sleep(50);
    } while (::GetTickCount64() < deadline);
    return {};
}

TEST(ShellOnWine, StartsTheRemoteDesktopClientWithExactlyTheParameters) {
    // Our stand-in client is found first on the search path, as the real one would be.
    const std::wstring doubles = BuildFolder() + L"\\doubles";
    wchar_t path[32767] = {};
    ::GetEnvironmentVariableW(L"PATH", path, 32767);
    ::SetEnvironmentVariableW(L"PATH", (doubles + L";" + path).c_str());
    const std::wstring log = doubles + L"\\mstsc-command-line.txt";
    ::DeleteFileW(log.c_str());
    ::SetEnvironmentVariableW(L"KESTRUM_MSTSC_LOG", log.c_str());

    const std::string parameters = "/v:1.2.3.4 /admin /edit:\"C:\\Program Files\\Kestrüm\\Default.rdp\"";
    Win32Shell shell;
    const std::intptr_t result = shell.execute(0, "open", "MSTSC", parameters, std::nullopt, 3);
    EXPECT_GT(result, 32);
    EXPECT_EQ(remote::LaunchErrorText(result), "");

    // The client sees its own name, then the parameter text unchanged.
    const std::wstring commandLine = ReadLog(log, 10000);
    ASSERT_FALSE(commandLine.empty()) << "the stand-in client did not run";
    const std::wstring wanted = Widen(parameters);
    ASSERT_GE(commandLine.size(), wanted.size());
    EXPECT_EQ(commandLine.substr(commandLine.size() - wanted.size()), wanted) << Narrow(commandLine);
    std::wstring lower = commandLine;
    for (wchar_t& c : lower) c = static_cast<wchar_t>(towlower(c));
    EXPECT_NE(lower.find(L"mstsc"), std::wstring::npos) << Narrow(commandLine);
    ::SetEnvironmentVariableW(L"PATH", path);
}

TEST(ShellOnWine, AProgramThatCannotBeFoundIsTheFileNotFoundMessage) {
    Win32Shell shell;
    const std::intptr_t result =
        shell.execute(0, "open", "KESTRUM-NO-SUCH-CLIENT", std::string("/v:1.2.3.4"), std::nullopt, 3);
    EXPECT_EQ(remote::LaunchErrorText(result), "The specified file was not found.") << result;
}

}  // namespace
}  // namespace kestrum::win32

// The per-user installer as a user or an administrator runs it: silent install,
// the program started from where it was installed, and a clean uninstall.

#include <gtest/gtest.h>

#include <windows.h>

#include <shlobj.h>

#include "tests/e2e/kestrum_process.h"

namespace kestrum::e2e {
namespace {

const wchar_t kUninstallKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kestrum";

std::wstring KnownFolder(REFKNOWNFOLDERID id) {
    PWSTR path = nullptr;
    std::wstring result;
    if (SUCCEEDED(::SHGetKnownFolderPath(id, 0, nullptr, &path))) result = path;
    ::CoTaskMemFree(path);
    return result;
}

bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Runs a program with arguments and waits for it; its exit code, or -1.
long RunAndWait(const std::wstring& exe, const std::wstring& arguments, DWORD timeoutMs) {
    std::wstring commandLine = L"\"" + exe + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &info))
        return -1;
    DWORD code = static_cast<DWORD>(-1);
    if (::WaitForSingleObject(info.hProcess, timeoutMs) == WAIT_OBJECT_0) ::GetExitCodeProcess(info.hProcess, &code);
    ::CloseHandle(info.hThread);
    ::CloseHandle(info.hProcess);
    return static_cast<long>(code);
}

bool WaitUntilGone(const std::wstring& path, DWORD timeoutMs) {
    for (DWORD waited = 0; waited < timeoutMs; waited += 100) {
        if (!Exists(path)) return true;
        ::Sleep(100);
    }
    return !Exists(path);
}

TEST(Installer, InstallsForTheUserRunsFromThereAndUninstallsCleanly) {
    const std::wstring setup = ThisFolder() + L"\\Kestrum-1.2.0-setup.exe";
    ASSERT_TRUE(Exists(setup)) << "no installer beside the tests";
    const std::wstring folder = KnownFolder(FOLDERID_LocalAppData) + L"\\Programs\\Kestrum";
    const std::wstring shortcut = KnownFolder(FOLDERID_Programs) + L"\\Kestrum.lnk";
    ASSERT_FALSE(KnownFolder(FOLDERID_LocalAppData).empty());

    ASSERT_EQ(RunAndWait(setup, L"/S", 120000), 0);
    for (const wchar_t* file : {L"kestrum.exe", L"IP.EXE", L"Info.doc", L"uninstall.exe"})
        EXPECT_TRUE(Exists(folder + L"\\" + file)) << file;
    EXPECT_TRUE(Exists(shortcut));
    EXPECT_EQ(ReadUserString(kUninstallKey, L"DisplayName"), L"Kestrum");
    EXPECT_EQ(ReadUserString(kUninstallKey, L"DisplayVersion"), L"1.2.0");
    EXPECT_EQ(ReadUserString(kUninstallKey, L"DisplayIcon"), folder + L"\\kestrum.exe,0");
    EXPECT_EQ(ReadUserString(kUninstallKey, L"UninstallString"), L"\"" + folder + L"\\uninstall.exe\"");

    {
        // Started from the installed place, the program records that folder.
        KestrumProcess kestrum(folder + L"\\kestrum.exe");
        HWND window = kestrum.waitForWindow(L"Kestrum 1.2");
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(ReadUserString(L"Software\\VB and VBA Program Settings\\KESTRUM\\1.2", L"AppPath"), folder);
        ::PostMessageW(window, WM_CLOSE, 0, 0);
        EXPECT_TRUE(kestrum.waitForExit(20000));
    }

    // The uninstaller hands its work to a copy of itself and returns at once.
    ASSERT_EQ(RunAndWait(folder + L"\\uninstall.exe", L"/S", 60000), 0);
    EXPECT_TRUE(WaitUntilGone(folder, 60000)) << "the program folder is still there";
    EXPECT_FALSE(Exists(shortcut));
    EXPECT_EQ(ReadUserString(kUninstallKey, L"DisplayName"), std::nullopt);
    // The settings the program wrote are the user's and stay.
    EXPECT_TRUE(ReadUserString(L"Software\\VB and VBA Program Settings\\KESTRUM\\1.2", L"AppPath").has_value());
}

}  // namespace
}  // namespace kestrum::e2e

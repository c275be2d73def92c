// The per-user installer as a user or an administrator runs it: a silent install
// of everything the program needs, and a clean uninstall.

#include <gtest/gtest.h>

#include <windows.h>

#include "platform/win32/unique_handle.h"
#include "tests/e2e/kestrum_process.h"

namespace kestrum::e2e {
namespace {

const wchar_t kSettingsKey[] = L"Software\\VB and VBA Program Settings\\KESTRUM\\1.2";
const wchar_t kUninstallKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kestrum";

// Runs the program with the arguments: its exit code, or -1 when it did not end within a minute.
long RunToEnd(const std::wstring& exe, const std::wstring& arguments) {
    DWORD code = 0;
    return Process(exe, arguments).waitForExit(60000, &code) ? static_cast<long>(code) : -1;
}

TEST(Installer, InstallsEverythingForTheUserAndUninstallsCleanly) {
    WIN32_FIND_DATAW found;
    const win32::UniqueFindHandle search(::FindFirstFileW((ThisFolder() + L"\\Kestrum-*-setup.exe").c_str(), &found));
    ASSERT_TRUE(search) << "no installer beside the tests";
    const std::wstring setup = ThisFolder() + L"\\" + found.cFileName;
    ASSERT_TRUE(_wgetenv(L"LOCALAPPDATA") && _wgetenv(L"APPDATA"));
    const std::wstring folder = _wgetenv(L"LOCALAPPDATA") + std::wstring(L"\\Programs\\Kestrum");
    const std::wstring shortcut =
        _wgetenv(L"APPDATA") + std::wstring(L"\\Microsoft\\Windows\\Start Menu\\Programs\\Kestrum.lnk");

    ASSERT_EQ(RunToEnd(setup, L"/S"), 0) << "the silent install failed or took over a minute";
    for (const wchar_t* file : {L"kestrum.exe", L"IP.EXE", L"Info.doc", L"uninstall.exe"})
        EXPECT_TRUE(Exists(folder + L"\\" + file)) << testing::PrintToString(std::wstring(file));
    EXPECT_TRUE(Exists(shortcut));
    EXPECT_EQ(UserString(kUninstallKey, L"DisplayName"), L"Kestrum");
    EXPECT_EQ(UserString(kUninstallKey, L"UninstallString"), L"\"" + folder + L"\\uninstall.exe\"");
    // What the program records is the user's and stays.
    ASSERT_EQ(::RegSetKeyValueW(HKEY_CURRENT_USER, kSettingsKey, L"Kept", REG_SZ, L"x", 4), ERROR_SUCCESS);

    // The uninstaller hands its work to a copy of itself and returns at once.
    ASSERT_EQ(RunToEnd(folder + L"\\uninstall.exe", L"/S"), 0);
    EXPECT_TRUE(WaitUntil(60000, [&] { return !Exists(folder) && !UserString(kUninstallKey, L"DisplayName"); }))
        << "the program folder or its uninstall entry stayed for 60 s";
    EXPECT_FALSE(Exists(shortcut));
    EXPECT_EQ(UserString(kSettingsKey, L"Kept"), L"x");
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kSettingsKey, L"Kept");
}

}  // namespace
}  // namespace kestrum::e2e

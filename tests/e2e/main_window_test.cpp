// The main window as a user meets it: started for real, looked at, and closed.

#include <gtest/gtest.h>

#include <cmath>

#include "app/frmKestrum_layout.h"
#include "tests/e2e/kestrum_process.h"

namespace kestrum::e2e {
namespace {

const wchar_t kCaption[] = L"Kestrum 1.2";
const wchar_t kStartupKey[] = L"Software\\VB and VBA Program Settings\\KESTRUM\\1.2";

std::wstring KestrumExe() { return ThisFolder() + L"\\kestrum.exe"; }

int Scale(int twips, int dpi) { return static_cast<int>(std::lround(twips * dpi / 1440.0)); }

struct ExpectedControl {
    int id;
    const wchar_t* windowClass;
    int container;  // 0: the window itself
    const wchar_t* text;
    int left, top, width, height;  // twips
    bool visible, enabled;
};

// What the window shows once its first discovery has found no Internet (the state
// before it, which lasts half a second, is checked in-process by the host's
// tests), written out independently of the program's own layout table.
const ExpectedControl kExpected[] = {
    {app::lblConnection, L"Static", 0, L"My Computer is offline. (Check Internet or try it again)", 120, 240, 10035,
     675, true, true},
    {app::cmdTRY, L"Button", 0, L"&Try Again", 8520, 960, 1575, 495, true, true},
    {app::Label2_0, L"Static", 0, L"Local Computer", 240, 1080, 2250, 345, true, true},
    {app::Label2_3, L"Static", 0, L"Remote Computer", 5280, 1080, 2580, 345, true, true},
    {app::picLocal, L"KestrumPictureBox", 0, L"", 240, 1560, 4815, 3255, true, true},
    {app::picRemote, L"KestrumPictureBox", 0, L"", 5280, 1560, 4815, 3255, true, true},
    {app::Label2_1, L"Static", app::picLocal, L"Local ID", 240, 360, 1200, 345, true, true},
    {app::txtLocalIP, L"Edit", app::picLocal, nullptr, 1200, 960, 3135, 495, true, true},
    {app::Label2_4, L"Static", app::picLocal, L"Alternate ID", 240, 1800, 1740, 345, true, true},
    {app::txtAlternateID, L"Edit", app::picLocal, nullptr, 1200, 2400, 3135, 495, true, true},
    {app::Label2_2, L"Static", app::picRemote, L"Enter ID of Remote Computer", 240, 360, 4275, 345, true, true},
    {app::txtRemoteIP, L"Edit", app::picRemote, L"", 1200, 960, 3135, 495, true, true},
    {app::cmdCreateSession, L"Button", app::picRemote, L"&Remote Desktop", 1920, 1680, 2415, 375, true, false},
    {app::cmdBrowse, L"Button", app::picRemote, L"&Browse Shared Folder", 1920, 2160, 2415, 375, true, false},
    {app::cmdGETIP, L"Button", app::picRemote, L"&Get ID for VPN", 1920, 2640, 2415, 375, true, false},
};

class MainWindow : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(kestrum_.started()) << "kestrum.exe did not start";
        window_ = kestrum_.waitForWindow(kCaption);
        ASSERT_NE(window_, nullptr) << "no window captioned Kestrum 1.2";
    }
    KestrumProcess kestrum_{KestrumExe()};
    HWND window_ = nullptr;
};

TEST_F(MainWindow, ShowsEveryControlOfItsLayout) {
    ASSERT_EQ(WaitForText(FindControl(window_, app::lblConnection),
                          {L"My Computer is offline. (Check Internet or try it again)"}, 60000),
              L"My Computer is offline. (Check Internet or try it again)");
    const int dpi = static_cast<int>(::GetDpiForWindow(window_));
    RECT client;
    ::GetClientRect(window_, &client);
    EXPECT_EQ(client.right, Scale(10365, dpi));
    EXPECT_EQ(client.bottom, Scale(6000, dpi));

    // Fixed dialog border: no sizing frame, no minimise or maximise box.
    const LONG_PTR style = ::GetWindowLongPtrW(window_, GWL_STYLE);
    EXPECT_FALSE(style & WS_THICKFRAME);
    EXPECT_FALSE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_TRUE(style & WS_SYSMENU);

    // Centred on the screen's work area.
    RECT frame, work;
    ::GetWindowRect(window_, &frame);
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_LE(std::abs((frame.left + frame.right) - (work.left + work.right)), 2);
    EXPECT_LE(std::abs((frame.top + frame.bottom) - (work.top + work.bottom)), 2);

    for (const ExpectedControl& e : kExpected) {
        SCOPED_TRACE(testing::Message() << "control id " << e.id);
        HWND control = FindControl(window_, e.id);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(::GetParent(control), e.container ? FindControl(window_, e.container) : window_);
        EXPECT_EQ(_wcsicmp(ClassName(control).c_str(), e.windowClass), 0) << ClassName(control).c_str();
        // The ID boxes are written by discovery, which may already have run.
        if (e.text) {
            EXPECT_EQ(WindowText(control), e.text);
        }
        const RECT rect = RectInParent(control);
        EXPECT_EQ(rect.left, Scale(e.left, dpi));
        EXPECT_EQ(rect.top, Scale(e.top, dpi));
        EXPECT_EQ(rect.right - rect.left, Scale(e.width, dpi));
        EXPECT_EQ(rect.bottom - rect.top, Scale(e.height, dpi));
        EXPECT_EQ((::GetWindowLongPtrW(control, GWL_STYLE) & WS_VISIBLE) != 0, e.visible);
        EXPECT_EQ(::IsWindowEnabled(control) != FALSE, e.enabled);
    }

    // The remote ID box takes text of any length.
    HWND remote = FindControl(window_, app::txtRemoteIP);
    EXPECT_GE(static_cast<unsigned long>(::SendMessageW(remote, EM_GETLIMITTEXT, 0, 0)), 0x7FFFFFFEul);

    EXPECT_TRUE(SaveScreenshot(window_, ScreenshotFolder() + L"\\main_window.bmp"));
}

TEST_F(MainWindow, RecordsItsFoldersAtStart) {
    const std::wstring exe = KestrumExe();
    EXPECT_EQ(ReadUserString(kStartupKey, L"AppPath"), exe.substr(0, exe.find_last_of(L'\\')));
    wchar_t system[MAX_PATH] = {};
    ::GetSystemDirectoryW(system, MAX_PATH);
    EXPECT_EQ(ReadUserString(kStartupKey, L"SysPath"), std::wstring(system));
    wchar_t appData[MAX_PATH * 2] = {};
    ::GetEnvironmentVariableW(L"APPDATA", appData, MAX_PATH * 2);
    EXPECT_EQ(ReadUserString(kStartupKey, L"AppData"), std::wstring(appData));
}

TEST_F(MainWindow, ExitEndsTheProgram) {
    ::PostMessageW(window_, WM_COMMAND, MAKEWPARAM(app::mnuExit, 0), 0);
    DWORD code = 1;
    ASSERT_TRUE(kestrum_.waitForExit(15000, &code));
    EXPECT_EQ(code, 0u);
}

TEST_F(MainWindow, CloseBoxEndsTheProgram) {
    ::PostMessageW(window_, WM_SYSCOMMAND, SC_CLOSE, 0);
    DWORD code = 1;
    ASSERT_TRUE(kestrum_.waitForExit(15000, &code));
    EXPECT_EQ(code, 0u);
}

TEST(Startup, RecordsAnEmptyAppDataWhenItIsUnset) {
    // A copy of this process's environment without APPDATA.
    std::vector<std::wstring> environment;
    wchar_t* block = ::GetEnvironmentStringsW();
    for (const wchar_t* entry = block; *entry; entry += wcslen(entry) + 1)
        if (_wcsnicmp(entry, L"APPDATA=", 8) != 0) environment.emplace_back(entry);
    ::FreeEnvironmentStringsW(block);

    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kStartupKey, L"AppData");
    KestrumProcess kestrum(KestrumExe(), environment);
    ASSERT_NE(kestrum.waitForWindow(kCaption), nullptr);
    EXPECT_EQ(ReadUserString(kStartupKey, L"AppData"), std::wstring());
    EXPECT_TRUE(ReadUserString(kStartupKey, L"AppPath").has_value());
    EXPECT_TRUE(ReadUserString(kStartupKey, L"SysPath").has_value());
}

}  // namespace
}  // namespace kestrum::e2e

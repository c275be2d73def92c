// The About box as a user meets it: opened from the Help menu and with Ctrl+A,
// looked at, closed with Esc and Enter, and its System Info button.

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <optional>
#include <vector>

#include "app/frmKestrum_layout.h"
#include "info/frmAbout_layout.h"
#include "tests/e2e/help_windows.h"
#include "tests/e2e/running_kestrum.h"
#include "tests/support/loopback_http.h"

namespace kestrum::e2e {
namespace {

const wchar_t kMsinfoKey[] = L"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";

class AboutBox : public RunningKestrum {
protected:
    HWND OpenAbout(HWND main) {
        ChooseMenu(main, app::mnuAbout);
        return kestrum_->waitForWindow(kAboutCaption, 15000);
    }
};

TEST_F(AboutBox, OpensFromTheMenuShowsTitleAndVersionAndEscClosesIt) {
    HWND main = StartOffline();
    ASSERT_NE(main, nullptr);
    HWND about = OpenAbout(main);
    ASSERT_NE(about, nullptr) << "no window captioned About Kestrum 1.2";
    EXPECT_FALSE(::IsWindowEnabled(main)) << "the main window takes input while the box is open";

    EXPECT_EQ(WindowText(FindControl(about, info::lblTitle)), L"Kestrum 1.2");
    EXPECT_EQ(WindowText(FindControl(about, info::lblVersion)), L"Version 1.2.0");
    EXPECT_EQ(WindowText(FindControl(about, info::cmdOK)), L"OK");
    EXPECT_EQ(WindowText(FindControl(about, info::cmdSysInfo)), L"&System Info...");
    EXPECT_FALSE(WindowText(FindControl(about, info::lblDisclaimer)).empty());

    // A fixed tool window of 5730 by 3555 twips, centred.
    EXPECT_TRUE(::GetWindowLongPtrW(about, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_FALSE(::GetWindowLongPtrW(about, GWL_STYLE) & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    RECT client, frame, work;
    ::GetClientRect(about, &client);
    EXPECT_EQ(client.right, Px(5730, about));
    EXPECT_EQ(client.bottom, Px(3555, about));
    ::GetWindowRect(about, &frame);
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_LE(std::abs((frame.left + frame.right) - (work.left + work.right)), 2);
    EXPECT_LE(std::abs((frame.top + frame.bottom) - (work.top + work.bottom)), 2);

    // Where the table puts the controls.
    struct Place {
        int id, left, top, width, height;
    };
    for (const Place& p : {Place{info::cmdOK, 4365, 2625, 1260, 345}, Place{info::picIcon, 240, 1200, 540, 540},
                           Place{info::cmdSysInfo, 4380, 3075, 1245, 345},
                           Place{info::lblTitle, 1050, 1200, 3885, 480}}) {
        SCOPED_TRACE(p.id);
        const RECT r = RectInParent(FindControl(about, p.id));
        EXPECT_EQ(r.left, Px(p.left, about));
        EXPECT_EQ(r.top, Px(p.top, about));
        EXPECT_EQ(r.right - r.left, Px(p.width, about));
        EXPECT_EQ(r.bottom - r.top, Px(p.height, about));
    }

    // The etched separator on screen: grey over white, on the gradient.
    const int x = Px(2800, about);
    ASSERT_TRUE(WaitUntil([&] { return ScreenPixel(about, x, Px(2445, about)) == 0x808080; }, 5000));
    EXPECT_EQ(ScreenPixel(about, x, Px(2460, about)), 0xFFFFFFu);
    EXPECT_TRUE(SaveScreenshot(about, ScreenshotFolder() + L"\\about_box.bmp"));

    PressKey(about, VK_ESCAPE);
    EXPECT_TRUE(BackToMainWindow(about, main)) << "the box did not close, or the main window is not active again";
}

TEST_F(AboutBox, CtrlAOpensItAgainWithTheSameTextsAndEnterClosesIt) {
    HWND main = StartOffline();
    ASSERT_NE(main, nullptr);
    for (int time = 0; time < 2; ++time) {
        SCOPED_TRACE(time);
        PressCtrlShortcut(main, 'A');
        HWND about = kestrum_->waitForWindow(kAboutCaption, 15000);
        ASSERT_NE(about, nullptr);
        EXPECT_EQ(WindowText(FindControl(about, info::lblTitle)), L"Kestrum 1.2");
        EXPECT_EQ(WindowText(FindControl(about, info::lblVersion)), L"Version 1.2.0");
        EXPECT_FALSE(::IsWindowEnabled(main));
        PressKey(about, VK_RETURN);
        ASSERT_TRUE(BackToMainWindow(about, main));
        // The Local ID is empty, so discovery ran again on the way back.
        EXPECT_EQ(WaitForStatus(main, 60000), kOffline);
    }
}

// Sets one value of the machine for a test, and puts back what was there.
class MachineValue {
public:
    MachineValue(const wchar_t* key, const wchar_t* name) : key_(key), name_(name) {
        DWORD bytes = sizeof saved_;
        had_ = ::RegGetValueW(HKEY_LOCAL_MACHINE, key, name, RRF_RT_REG_SZ, nullptr, saved_, &bytes) == ERROR_SUCCESS;
        ::RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, key, name);
    }
    ~MachineValue() {
        ::RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, key_, name_);
        if (had_) Set(saved_);
    }
    bool Set(const std::wstring& text) {
        return ::RegSetKeyValueW(HKEY_LOCAL_MACHINE, key_, name_, REG_SZ, text.c_str(),
                                 static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
    }

private:
    const wchar_t* key_;
    const wchar_t* name_;
    bool had_ = false;
    wchar_t saved_[1024] = {};
};

TEST_F(AboutBox, SystemInfoStartsTheRegisteredProgramOrSaysItIsUnavailable) {
    MachineValue path(kMsinfoKey, L"PATH");
    MachineValue folder(L"SOFTWARE\\Microsoft\\Shared Tools Location", L"MSINFO");
    const std::wstring log = ThisFolder() + L"\\doubles\\msinfo-e2e-log.txt";
    ::DeleteFileW(log.c_str());
    ::SetEnvironmentVariableW(L"KESTRUM_MSINFO_LOG", log.c_str());  // kestrum.exe passes it on

    HWND main = StartOffline();
    ASSERT_NE(main, nullptr);
    HWND about = OpenAbout(main);
    ASSERT_NE(about, nullptr);

    // Nothing registered: the one message, with no icon and the program's title.
    Click(FindControl(about, info::cmdSysInfo));
    auto box = WaitForMessageBox(kestrum_->id(), 10000);
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->text, L"System Information Is Unavailable At This Time");
    EXPECT_EQ(box->title, L"Kestrum 1.2");
    EXPECT_FALSE(box->hasIcon);
    PressOk(*box);
    EXPECT_TRUE(::IsWindow(about));

    // Registered: the stand-in runs and the box stays open.
    const std::wstring program = ThisFolder() + L"\\doubles\\MSINFO32.EXE";
    ASSERT_TRUE(path.Set(program));
    Click(FindControl(about, info::cmdSysInfo));
    const bool ran = WaitUntil([&] { return ::GetFileAttributesW(log.c_str()) != INVALID_FILE_ATTRIBUTES; }, 10000);
    EXPECT_TRUE(ran) << "the stand-in for System Information did not run";
    EXPECT_FALSE(WaitForMessageBox(kestrum_->id(), 500).has_value());
    EXPECT_TRUE(::IsWindow(about));
    PressKey(about, VK_ESCAPE);
    EXPECT_TRUE(BackToMainWindow(about, main));
}

// Activation after the box closes: discovery runs only while the Local ID is empty.
TEST_F(AboutBox, ClosingItWithALocalIdShownDoesNotRunDiscoveryAgain) {
    testsupport::LoopbackHttpServer web(
        [](const testsupport::HttpRequest&) { return testsupport::HttpResponse{200, "203.0.113.7\n"}; });
    testsupport::UseLoopbackProxy(web.port());
    HWND main = Start();
    ASSERT_NE(main, nullptr);
    ASSERT_EQ(WaitForStatus(main, 60000), kOnline);
    const std::wstring localId = WindowText(FindControl(main, app::txtLocalIP));
    ASSERT_FALSE(localId.empty());
    const auto requests = web.requests();
    ASSERT_FALSE(requests.empty());
    const std::string probe = requests.front().target;  // the online probe came first
    auto probes = [&] {
        int count = 0;
        for (const auto& r : web.requests()) count += r.target == probe;
        return count;
    };
    const int before = probes();

    HWND about = OpenAbout(main);
    ASSERT_NE(about, nullptr);
    PressKey(about, VK_ESCAPE);
    ASSERT_TRUE(BackToMainWindow(about, main));
    // Three seconds to show "Try to connecting..." if it were going to.
    EXPECT_EQ(WaitForText(FindControl(main, app::lblConnection), {kTrying}, 3000), kOnline);
    EXPECT_EQ(probes(), before) << "a new online probe was made";
    EXPECT_EQ(WindowText(FindControl(main, app::txtLocalIP)), localId);
    EXPECT_TRUE(::IsWindowVisible(FindControl(main, app::cmdGETIP)));
}

TEST_F(AboutBox, ClosingItWithTheLocalIdEmptyRunsDiscoveryAgain) {
    HWND main = StartOffline();
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(WindowText(FindControl(main, app::txtLocalIP)), L"");

    testsupport::LoopbackHttpServer web(
        [](const testsupport::HttpRequest&) { return testsupport::HttpResponse{200, "203.0.113.7\n"}; });
    testsupport::UseLoopbackProxy(web.port());
    HWND about = OpenAbout(main);
    ASSERT_NE(about, nullptr);
    ::Sleep(1000);
    EXPECT_TRUE(web.requests().empty()) << "discovery ran while the box was open";
    PressKey(about, VK_ESCAPE);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(about); }, 10000));
    EXPECT_EQ(WaitForStatus(main, 60000), kOnline);
    EXPECT_FALSE(web.requests().empty()) << "no new online probe";
    EXPECT_EQ(WindowText(FindControl(main, app::txtLocalIP)), L"216-25-149-24");
}

}  // namespace
}  // namespace kestrum::e2e

// The Connection Check of the real kestrum.exe behind a gateway without UPnP and behind Debian's
// router daemon (scripts/router-namespace.sh), whose list Debian's upnpc reads from outside.

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "app/frm_kestrum_layout.h"
#include "platform/win32/text.h"
#include "reach/frm_connection_check_layout.h"
#include "tests/e2e/kestrum_process.h"
#include "tests/support/loopback_http.h"
#include "tests/support/outside.h"

namespace kestrum::e2e {
namespace {

const std::string kRouter = std::getenv("KESTRUM_ROUTER") ? std::getenv("KESTRUM_ROUTER") : "";

class RouterCheck : public testing::Test {
protected:
    void SetUp() override { testsupport::UseLoopbackProxy(testsupport::ClosedLoopbackPort()); }  // offline at once
    void Start() { kestrum_ = std::make_unique<Process>(ThisFolder() + L"\\kestrum.exe"); }
    // The Connection Check opened with Ctrl+K (the program started first if it does not
    // run) and done: the ms its findings took, all shown together.
    ULONGLONG Open() {
        if (!kestrum_ || !kestrum_->running()) Start();
        main_ = kestrum_->waitForWindow(kCaption);
        WaitForText(FindControl(main_, platform::Id(app::KestrumId::lblConnection)), kOffline, 30000);
        const ULONGLONG start = ::GetTickCount64();
        if (!Press(main_, {VK_CONTROL, 'K'}) || !(check_ = kestrum_->waitForWindow(L"Connection Check", 15000)))
            return ~0ull;
        // Busy with its probes, and answering all the same.
        answered_ = ::IsWindowVisible(Row(platform::Id(reach::CheckId::lblProgress))) &&
                    ::SendMessageTimeoutW(check_, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 250, nullptr);
        WaitUntil(15000, [&] { return !::IsWindowVisible(Row(platform::Id(reach::CheckId::lblProgress))); });
        return ::GetTickCount64() - start;
    }
    HWND Row(int first, int row = 0) const { return FindControl(check_, first + row); }
    // Clicks the port's button, answering OK to the warning before it opens, and waits for its next caption.
    void Port(bool opening) {
        ::PostMessageW(Row(platform::Id(reach::CheckId::cmdPort)), BM_CLICK, 0, 0);
        HWND warning = nullptr;
        if (opening) {
            EXPECT_TRUE(WaitUntil(5000, [&] { return (warning = FindTopLevel(kestrum_->id(), L"#32770", nullptr)); }));
            ::PostMessageW(FindControl(warning, IDOK), BM_CLICK, 0, 0);
        }
        const std::wstring then = opening ? L"Close port 3389" : L"Open port 3389 on the router";
        EXPECT_EQ(WaitForText(Row(platform::Id(reach::CheckId::cmdPort)), then, 15000), then);
    }

    std::unique_ptr<Process> kestrum_;
    HWND main_ = nullptr, check_ = nullptr;
    bool answered_ = false;
};

TEST_F(RouterCheck, WithoutARouterTheCheckSaysSoWithinFiveSecondsWhileTheWindowAnswers) {
    if (kRouter != "none") GTEST_SKIP() << "not behind a gateway without UPnP";
    const ULONGLONG took = Open();
    std::printf("[ FIGURE   ] Connection Check without a router: its findings after %llu ms\n", took);
    EXPECT_LT(took, 5000u);
    EXPECT_TRUE(answered_);
    EXPECT_TRUE(Caption(Row(platform::Id(reach::CheckId::lblFinding0), 1)).starts_with(L"No router answered"));
}

// Opened, then ended by the window's button, by Exit, or by a crash and the next start;
// meanwhile another program may have put its own mapping on the port: ours goes, theirs stays.
TEST_F(RouterCheck, ThePortOpenedToThisComputerIsClosedHoweverTheProgramEndsAndAnotherProgramsStays) {
    if (kRouter != "public") GTEST_SKIP() << "no router daemon in this run";
    std::printf("[ FIGURE   ] Connection Check behind a router: its findings after %llu ms\n", Open());
    EXPECT_EQ(Caption(Row(platform::Id(reach::CheckId::lblState0), 1)), L"Good");
    EXPECT_NE(Caption(Row(platform::Id(reach::CheckId::lblFinding0), 3)).find(L" closed"), std::wstring::npos);
    EXPECT_TRUE(SaveScreenshot(check_, L"connection_check_router"));
    const std::string lan = std::getenv("KESTRUM_LAN_ADDRESS");
    const auto entry = [](const std::string& to, const std::string& description) {
        return "TCP  3389->" + to + ":3389  '" + description + "'";
    };
    enum End { Button, Exit, Crash };
    const struct {
        End end;
        std::string otherTo, otherDescription;  // another program's mapping, if any
    } cases[] = {
        // clang-format off
        {Button, "", ""}, {Exit, "", ""}, {Crash, "", ""},
        {Button, lan, "Other"}, {Exit, "192.168.77.3", "Kestrum"}, {Crash, "192.168.77.3", "Kestrum"},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "end " << c.end << ", other " << entry(c.otherTo, c.otherDescription));
        Open();
        Port(true);
        EXPECT_NE(testsupport::Upnpc("-l").find(entry(lan, "Kestrum")), std::string::npos);
        EXPECT_NE(Caption(Row(platform::Id(reach::CheckId::lblFinding0), 3)).find(win32::Widen(lan)),
                  std::wstring::npos);
        if (!c.otherTo.empty()) {
            testsupport::Upnpc("-d 3389 TCP");
            testsupport::Upnpc("-e " + c.otherDescription + " -a " + c.otherTo + " 3389 3389 TCP");
        }
        if (c.end == Button) Port(false);
        ASSERT_TRUE(Press(check_, {VK_ESCAPE}) && WaitUntil(5000, [&] { return !::IsWindow(check_); }));
        DWORD code = 1;
        if (c.end == Exit) {
            EXPECT_TRUE(Press(main_, {VK_CONTROL, 'Q'}) && kestrum_->waitForExit(15000, &code) && code == 0);
        }
        if (c.end == Crash) {
            kestrum_.reset();  // terminated
            Start();
            // The start forgets the port once it has dealt with it, in the background.
            EXPECT_TRUE(WaitUntil(15000, [] {
                return UserString(L"Software\\VB and VBA Program Settings\\KESTRUM\\ROUTER", L"Mapping") == L"";
            }));
        }
        const std::string left = testsupport::Upnpc("-l");
        EXPECT_NE(left.find("GetGenericPortMapping"), std::string::npos) << left;  // the list was read
        const std::string kept = c.otherTo.empty() ? "3389->" : entry(c.otherTo, c.otherDescription);
        EXPECT_EQ(left.find(kept) != std::string::npos, !c.otherTo.empty()) << left;
        testsupport::Upnpc("-d 3389 TCP");
    }
}

}  // namespace
}  // namespace kestrum::e2e

// The Connection Check of the real kestrum.exe behind a gateway without UPnP and behind Debian's
// router daemon (scripts/router-namespace.sh), whose list Debian's upnpc reads from outside.
// Each test runs behind its own kind of router (cmake/wine_tests.cmake).

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

class RouterCheck : public testing::Test {
protected:
    void SetUp() override { testsupport::UseLoopbackProxy(testsupport::ClosedLoopbackPort()); }  // offline at once
    // Started with the stand-in Remote Desktop client first on the path.
    void Start() {
        UseStandIns(ThisFolder() + L"\\stand-in.log");
        kestrum_ = std::make_unique<Process>(ThisFolder() + L"\\kestrum.exe");
    }
    // The Connection Check opened with Ctrl+K (the program started first if it does not
    // run) and done: the ms its findings took, all shown together.
    ULONGLONG Open() {
        if (!kestrum_ || !kestrum_->running()) Start();
        main_ = kestrum_->waitForWindow(kCaption);
        WaitForText(FindControl(main_, platform::Id(app::KestrumId::lblConnection)), kOffline, 30000);
        const ULONGLONG start = ::GetTickCount64();
        if (!Press(main_, {VK_CONTROL, 'K'}) || !(check_ = kestrum_->waitForWindow(L"Connection Check", 15000)))
            return ~0ull;
        // Answering while its probes run (or already done).
        answered_ = ::SendMessageTimeoutW(check_, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 250, nullptr);
        WaitUntil(15000, [&] { return !::IsWindowVisible(Row(reach::CheckId::lblProgress)); });
        return ::GetTickCount64() - start;
    }
    HWND Row(reach::CheckId first, int row = 0) const { return FindControl(check_, platform::Id(first) + row); }
    // Clicks a door's button, answering Yes to the question before it opens, and waits for its next caption.
    void Port(bool opening, reach::CheckId button = reach::CheckId::cmdPort, const std::wstring& then = L"") {
        ::PostMessageW(Row(button), BM_CLICK, 0, 0);
        HWND box = nullptr;
        EXPECT_TRUE(!opening ||
                    WaitUntil(5000, [&] { return (box = FindTopLevel(kestrum_->id(), L"#32770", nullptr)); }));
        if (opening) ::PostMessageW(FindControl(box, IDYES), BM_CLICK, 0, 0);
        const std::wstring next = !then.empty() ? then : opening ? L"Close port 3389" : L"Open port 3389 on the router";
        EXPECT_EQ(WaitForText(Row(button), next, 15000), next);
    }

    enum End { Button, Exit, Crash };
    // The check closed, then the program ended by Exit, or by a crash and the next start,
    // which forgets the door it recorded once it has dealt with it, in the background.
    void EndWith(End end, const wchar_t* record) {
        ASSERT_TRUE(Press(check_, {VK_ESCAPE}) && WaitUntil(5000, [&] { return !::IsWindow(check_); }));
        DWORD code = 1;
        if (end == Exit) {
            EXPECT_TRUE(Press(main_, {VK_CONTROL, 'Q'}) && kestrum_->waitForExit(15000, &code) && code == 0);
        } else if (end == Crash) {
            kestrum_.reset();  // terminated
            Start();
            EXPECT_TRUE(WaitUntil(15000, [&] {
                return UserString(L"Software\\VB and VBA Program Settings\\KESTRUM\\ROUTER", record) == L"";
            }));
        }
    }

    std::unique_ptr<Process> kestrum_;
    HWND main_ = nullptr, check_ = nullptr;
    bool answered_ = false;
};

TEST_F(RouterCheck, WithoutARouterTheCheckSaysSoWithinFiveSecondsWhileTheWindowAnswers) {
    const ULONGLONG took = Open();
    std::printf("[ FIGURE   ] Connection Check without a router: its findings after %llu ms\n", took);
    EXPECT_LT(took, 5000u) << "ms before the findings";
    EXPECT_TRUE(answered_);
    EXPECT_TRUE(Caption(Row(reach::CheckId::lblFinding0, 1)).starts_with(L"No router answered"));
}

// Opened, then ended by the window's button, by Exit, or by a crash and the next start:
// the port goes with it. (That only our own mapping is ever removed is the unit tier's.)
TEST_F(RouterCheck, ThePortOpenedToThisComputerIsClosedHoweverTheProgramEnds) {
    std::printf("[ FIGURE   ] Connection Check behind a router: its findings after %llu ms\n", Open());
    EXPECT_EQ(Caption(Row(reach::CheckId::lblState0, 1)), L"Good");
    EXPECT_NE(Caption(Row(reach::CheckId::lblFinding0, 3)).find(L" closed"), std::wstring::npos);
    SaveScreenshot(check_, L"connection_check_router");
    const std::string lan = std::getenv("KESTRUM_LAN_ADDRESS");
    for (const End end : {Button, Exit, Crash}) {
        SCOPED_TRACE(testing::Message() << "end " << end);
        Open();
        Port(true);
        EXPECT_NE(Caption(Row(reach::CheckId::lblFinding0, 3)).find(win32::Widen(lan)), std::wstring::npos);
        if (end == Button) Port(false);
        EndWith(end, L"Mapping");
        const std::string left = testsupport::Upnpc("-l");  // read, and without the port
        EXPECT_TRUE(left.find("exPort->inAddr:inPort") != std::string::npos && left.find("3389->") == std::string::npos)
            << left;
    }
}

// A home whose provider shares one IPv4 address among many, and whose computer has a
// global IPv6 address. The check names the shared address and points to the IPv6 ID;
// the IPv6 door lets the Internet host in only while it is open, however the program
// ends; and the Internet host's own IPv6 ID, typed in, reaches its Remote Desktop with
// the address in brackets.
TEST_F(RouterCheck, BehindASharedAddressTheIpv6DoorLetsTheInternetInOnlyWhileItIsOpen) {
    const std::string self = std::getenv("KESTRUM_LAN_ADDRESS6"), outside = std::getenv("KESTRUM_OUTSIDE_HOST6");
    unsigned short port = 3389;
    const SOCKET remoteDesktop = testsupport::Listen("::", port);  // this computer's, as the Internet sees it
    ASSERT_NE(remoteDesktop, INVALID_SOCKET);
    EXPECT_FALSE(testsupport::OutsideReaches(self, 3389)) << "in before the door was opened";
    std::printf("[ FIGURE   ] Connection Check behind a shared address: its findings after %llu ms\n", Open());
    EXPECT_EQ(WindowText(Row(reach::CheckId::txtIpv6Id)), L"2001-db8-77--2");
    for (const int row : {2, 3}) {
        EXPECT_EQ(Caption(Row(reach::CheckId::lblState0, row)), L"Problem") << row;
        EXPECT_NE(Caption(Row(reach::CheckId::lblFinding0, row)).find(L"your IPv6 ID (2001-db8-77--2)"),
                  std::wstring::npos)
            << row;
    }
    SaveScreenshot(check_, L"connection_check_shared");
    for (const End end : {Button, Exit, Crash}) {
        SCOPED_TRACE(testing::Message() << "end " << end);
        Open();
        Port(true, reach::CheckId::cmdPort6, L"Close port 3389 for IPv6");
        EXPECT_TRUE(testsupport::OutsideReaches(self, 3389));
        EXPECT_EQ(Caption(Row(reach::CheckId::lblState0, 4)), L"Good");
        if (end == Button) Port(false, reach::CheckId::cmdPort6, L"Open port 3389 for IPv6");
        EndWith(end, L"Pinhole");
        EXPECT_FALSE(testsupport::OutsideReaches(self, 3389));
    }
    ::closesocket(remoteDesktop);

    // The other side's IPv6 ID: its port answers through the router, its address reaches the client.
    Start();
    main_ = kestrum_->waitForWindow(kCaption);
    const std::wstring id = L"2001-DB8-FF--2";  // typed in capitals
    ::SendMessageW(FindControl(main_, platform::Id(app::KestrumId::txtRemoteIP)), WM_SETTEXT, 0, LPARAM(id.c_str()));
    ::PostMessageW(FindControl(main_, platform::Id(app::KestrumId::cmdCreateSession)), BM_CLICK, 0, 0);
    const std::wstring run = testsupport::RunOf(ThisFolder() + L"\\stand-in.log");
    EXPECT_TRUE(
        run.ends_with(L" /v:[" + win32::Widen(outside) + L"] /admin /edit:\"" + ThisFolder() + L"\\Default.rdp\""))
        << win32::Narrow(run);
}

}  // namespace
}  // namespace kestrum::e2e

// Discovery and the remote ID box as a user meets them: the real program, with the
// Internet played by an HTTP server of the test's own on loopback.

#include <winsock2.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#include "app/frmKestrum_layout.h"
#include "tests/e2e/kestrum_process.h"
#include "tests/support/loopback_http.h"

namespace kestrum::e2e {
namespace {

using testsupport::HttpResponse;
using testsupport::LoopbackHttpServer;
using testsupport::UseLoopbackProxy;

const wchar_t kOnline[] = L"My Computer is online.";
const wchar_t kOffline[] = L"My Computer is offline. (Check Internet or try it again)";
const wchar_t kPublicKey[] = L"Software\\VB and VBA Program Settings\\KESTRUM\\PROPERTIES";

// The Alternate ID the program should show: this host's first address, encoded.
std::wstring ExpectedAlternateId() {
    WSADATA data;
    ::WSAStartup(MAKEWORD(1, 1), &data);
    char name[256] = {};
    ::gethostname(name, sizeof name);
    const hostent* host = ::gethostbyname(name);
    std::wstring id;
    if (host && host->h_addr_list[0]) {
        const auto* b = reinterpret_cast<const unsigned char*>(host->h_addr_list[0]);
        id = std::to_wstring(b[0] + 13) + L"-" + std::to_wstring(b[1] + 25) + L"-" + std::to_wstring(b[2] + 36) +
             L"-" + std::to_wstring(b[3] + 17);
    }
    ::WSACleanup();
    return id;
}

class Discovery : public testing::Test {
protected:
    void SetUp() override { ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kPublicKey, L"IP"); }
    void TearDown() override { UseLoopbackProxy(0); }

    HWND Start() {
        kestrum_ = std::make_unique<KestrumProcess>(ThisFolder() + L"\\kestrum.exe");
        HWND window = kestrum_->waitForWindow(L"Kestrum 1.2");
        EXPECT_NE(window, nullptr);
        return window;
    }
    // Waits for discovery to end; a message box on the way is a failure.
    std::wstring WaitForStatus(HWND window, DWORD timeoutMs) {
        const std::wstring status =
            WaitForText(FindControl(window, app::lblConnection), {kOnline, kOffline}, timeoutMs);
        if (auto box = WaitForMessageBox(kestrum_->id(), 0)) {
            ADD_FAILURE() << "unexpected message box: " << testing::PrintToString(box->text);
            PressOk(*box);
        }
        return status;
    }
    std::unique_ptr<KestrumProcess> kestrum_;
};

TEST_F(Discovery, OfflineStartShowsTheRedStatusAndTryAgain) {
    UseLoopbackProxy(0);
    HWND window = Start();
    ASSERT_NE(window, nullptr);
    const ULONGLONG start = ::GetTickCount64();
    EXPECT_EQ(WaitForStatus(window, 60000), kOffline);
    std::printf("offline discovery ended %llu ms after the window showed\n", ::GetTickCount64() - start);
    EXPECT_EQ(WindowText(FindControl(window, app::txtLocalIP)), L"");
    EXPECT_EQ(WindowText(FindControl(window, app::txtAlternateID)), L"");
    EXPECT_TRUE(::IsWindowVisible(FindControl(window, app::cmdTRY)));
    SaveScreenshot(window, ScreenshotFolder() + L"\\main_window_offline.bmp");
}

TEST_F(Discovery, OnlineStartShowsBothIdsInGreen) {
    LoopbackHttpServer web([](const testsupport::HttpRequest&) { return HttpResponse{200, "203.0.113.7\n"}; });
    UseLoopbackProxy(web.port());
    HWND window = Start();
    ASSERT_NE(window, nullptr);
    const ULONGLONG start = ::GetTickCount64();
    EXPECT_EQ(WaitForStatus(window, 60000), kOnline);
    std::printf("online discovery ended %llu ms after the window showed\n", ::GetTickCount64() - start);
    EXPECT_EQ(WindowText(FindControl(window, app::txtLocalIP)), L"216-25-149-24");
    EXPECT_EQ(WindowText(FindControl(window, app::txtAlternateID)), ExpectedAlternateId());
    EXPECT_FALSE(::IsWindowVisible(FindControl(window, app::cmdTRY)));
    // The online probe went through the proxy, with the program's name as agent.
    const auto requests = web.requests();
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests.front().target.rfind("http://", 0), 0u);
    EXPECT_NE(requests.front().headers.find("User-Agent: Kestrum 1.2"), std::string::npos);
    SaveScreenshot(window, ScreenshotFolder() + L"\\main_window_online.bmp");
}

TEST_F(Discovery, TryAgainMovesFromOfflineToOnline) {
    UseLoopbackProxy(testsupport::ClosedLoopbackPort());
    HWND window = Start();
    ASSERT_NE(window, nullptr);
    ASSERT_EQ(WaitForStatus(window, 60000), kOffline);

    LoopbackHttpServer web([](const testsupport::HttpRequest&) { return HttpResponse{200, "203.0.113.7"}; });
    UseLoopbackProxy(web.port());
    Click(FindControl(window, app::cmdTRY));
    EXPECT_EQ(WaitForText(FindControl(window, app::lblConnection), {L"Try to connecting..."}, 5000),
              L"Try to connecting...");
    EXPECT_EQ(WaitForStatus(window, 60000), kOnline);
    EXPECT_EQ(WindowText(FindControl(window, app::txtLocalIP)), L"216-25-149-24");
    EXPECT_FALSE(::IsWindowVisible(FindControl(window, app::cmdTRY)));
}

class RemoteBox : public Discovery {
protected:
    void SetUp() override {
        Discovery::SetUp();
        UseLoopbackProxy(testsupport::ClosedLoopbackPort());  // offline: a quick start
        window_ = Start();
        ASSERT_NE(window_, nullptr);
        ASSERT_EQ(WaitForStatus(window_, 60000), kOffline);
        remote_ = FindControl(window_, app::txtRemoteIP);
    }
    bool CommandsEnabled() {
        const bool rd = ::IsWindowEnabled(FindControl(window_, app::cmdCreateSession));
        const bool browse = ::IsWindowEnabled(FindControl(window_, app::cmdBrowse));
        const bool getIp = ::IsWindowEnabled(FindControl(window_, app::cmdGETIP));
        EXPECT_EQ(rd, browse);
        EXPECT_EQ(rd, getIp);
        return rd;
    }
    HWND window_ = nullptr;
    HWND remote_ = nullptr;
};

TEST_F(RemoteBox, TypingEnablesAndClearingDisablesTheCommands) {
    EXPECT_FALSE(CommandsEnabled());
    TypeText(remote_, L"1");
    EXPECT_TRUE(CommandsEnabled());
    TypeText(remote_, L"   ");
    EXPECT_FALSE(CommandsEnabled());
    TypeText(remote_, L"14-27-39-21");
    EXPECT_TRUE(CommandsEnabled());
    TypeText(remote_, L"");
    EXPECT_FALSE(CommandsEnabled());
}

TEST_F(RemoteBox, GetIdForVpnChecksTheId) {
    // Three parts: "Wrong ID" and nothing after it.
    TypeText(remote_, L"14-27-39");
    Click(FindControl(window_, app::cmdGETIP));
    auto box = WaitForMessageBox(kestrum_->id(), 10000);
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->title, L"Kestrum 1.2");
    EXPECT_EQ(box->text, L"Wrong ID");
    EXPECT_TRUE(box->hasIcon);
    SaveScreenshot(box->hwnd, ScreenshotFolder() + L"\\message_wrong_id.bmp");
    PressOk(*box);
    EXPECT_FALSE(WaitForMessageBox(kestrum_->id(), 2500).has_value());

    // Four parts: probed, and no computer answers here.
    TypeText(remote_, L"14-27-39-21");
    Click(FindControl(window_, app::cmdGETIP));
    box = WaitForMessageBox(kestrum_->id(), 60000);
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->text, L"This Remote ID [14-27-39-21] is not available on Internet");
    PressOk(*box);
    EXPECT_FALSE(WaitForMessageBox(kestrum_->id(), 2500).has_value());

    // No "-": nothing at all.
    TypeText(remote_, L"14.27.39.21");
    Click(FindControl(window_, app::cmdGETIP));
    EXPECT_FALSE(WaitForMessageBox(kestrum_->id(), 3000).has_value());
}

}  // namespace
}  // namespace kestrum::e2e

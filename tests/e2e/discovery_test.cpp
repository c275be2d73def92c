// Discovery and the remote ID box as a user meets them: the real program, with the
// Internet played by an HTTP server of the test's own on loopback.

#include <winsock2.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#include "app/frmKestrum_layout.h"
#include "tests/e2e/kestrum_process.h"
#include "tests/e2e/running_kestrum.h"
#include "tests/support/loopback_http.h"

namespace kestrum::e2e {
namespace {

using DiscoveryRun = RunningKestrum;
using testsupport::HttpResponse;
using testsupport::LoopbackHttpServer;
using testsupport::UseLoopbackProxy;


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

TEST_F(DiscoveryRun, OfflineStartShowsTheRedStatusAndTryAgain) {
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

TEST_F(DiscoveryRun, OnlineStartShowsBothIdsInGreen) {
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

TEST_F(DiscoveryRun, TryAgainMovesFromOfflineToOnline) {
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

}  // namespace
}  // namespace kestrum::e2e

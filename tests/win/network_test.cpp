// The network adapters against the real platform under Wine.

#include <gtest/gtest.h>

#include <cstdio>

#include "tests/support/recording_ui.h"
#include "net/Winsock2.h"
#include "net/probes.h"
#include "platform/win32/win32_network.h"
#include "tests/support/loopback_http.h"

namespace kestrum::win32 {
namespace {

using testsupport::HttpResponse;
using testsupport::LoopbackHttpServer;
using testsupport::UseLoopbackProxy;

using testsupport::RecordingUi;

class OnlineProbe : public testing::Test {
protected:
    void TearDown() override { UseLoopbackProxy(0); }
    WinInet internet;
};

TEST_F(OnlineProbe, AnErrorPageThroughTheProxyStillCountsAsOnline) {
    LoopbackHttpServer proxy([](const testsupport::HttpRequest&) { return HttpResponse{503, "busy"}; });
    UseLoopbackProxy(proxy.port());
    EXPECT_TRUE(net::IsOnline(internet));
    const auto requests = proxy.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].method, "GET");
    // The proxy is asked for the probe page (Wine spells out the default port).
    EXPECT_EQ(requests[0].target.rfind("http://www.msftconnecttest.com", 0), 0u) << requests[0].target;
    EXPECT_TRUE(requests[0].target.ends_with("/connecttest.txt")) << requests[0].target;
    EXPECT_NE(requests[0].headers.find("User-Agent: Kestrum 1.2"), std::string::npos);
}

TEST_F(OnlineProbe, ARefusingProxyIsOffline) {
    UseLoopbackProxy(testsupport::ClosedLoopbackPort());
    EXPECT_FALSE(net::IsOnline(internet));
}

TEST(HostLookupOnWine, GivesAnAddressTextWithoutMessages) {
    Win32Sockets sockets;
    RecordingUi ui;
    net::Winsock2 winsock(sockets, ui);
    const std::string address = winsock.GetHostIP();
    EXPECT_TRUE(ui.messages.empty()) << (ui.messages.empty() ? "" : ui.messages[0]);
    int a = -1, b = -1, c = -1, d = -1;
    char tail = 0;
    ASSERT_EQ(std::sscanf(address.c_str(), "%d.%d.%d.%d%c", &a, &b, &c, &d, &tail), 4) << address;
    for (int part : {a, b, c, d}) EXPECT_TRUE(part >= 0 && part <= 255) << address;
    // A second call starts and releases sockets again and gives the same.
    EXPECT_EQ(winsock.GetHostIP(), address);
}

TEST(HopProbeOnWine, ParsesAddressesLikeThePlatform) {
    IpHelperHopProbe probe;
    EXPECT_EQ(probe.inetAddr("1.2.3.4"), 0x04030201u);
    EXPECT_EQ(probe.inetAddr("-13.-25.-36.-17"), 0xFFFFFFFFu);
}

}  // namespace
}  // namespace kestrum::win32

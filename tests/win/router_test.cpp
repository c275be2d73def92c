// The router's UPnP gateway over the Winsock link, against a router daemon in a namespace
// of scripts/router-namespace.sh: without UPnP (none), with a public outside address
// (public), behind a provider's shared address (shared). The link's bounds on loopback.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>

#include "platform/win32/router_link.h"
#include "tests/support/loopback_http.h"
#include "upnp/gateway.h"

namespace kestrum::win32 {
namespace {

using namespace std::chrono_literals;
using upnp::Family;
using upnp::Gateway;
using upnp::Reply;
using Clock = std::chrono::steady_clock;

std::string Env(const char* name) { return std::getenv(name) ? std::getenv(name) : ""; }

long long MsSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

TEST(WinsockLink, AnExchangeEndsWhenThePeerClosesAtMaxBytesOrAtTheBound) {
    const std::string body(5000, 'x');
    testsupport::LoopbackHttpServer server([&](const testsupport::HttpRequest& request) {
        return testsupport::HttpResponse{200, body, request.target == "/hang"};
    });
    const struct {
        const char *what, *target;
        std::size_t maxBytes;
        bool answered;  // the whole answer, or its first maxBytes
    } kCases[] = {
        {"whole", "/", 1 << 20, true},
        {"cut at maxBytes", "/", 100, true},
        {"peer never answers", "/hang", 1 << 20, false},
    };
    WinsockRouterLink link;
    for (const auto& c : kCases) {
        const auto start = Clock::now();
        const std::string request = "GET " + std::string(c.target) + " HTTP/1.0\r\n\r\n";
        const auto answer = link.exchange("127.0.0.1", "127.0.0.1", server.port(), request, c.maxBytes, 700ms);
        EXPECT_LT(MsSince(start), 1500) << c.what;
        ASSERT_EQ(answer.has_value(), c.answered) << c.what;
        if (!answer) continue;
        EXPECT_TRUE(c.maxBytes < body.size() ? answer->size() == c.maxBytes : answer->ends_with(body)) << c.what;
    }
}

// Without a router daemon nothing answers a search, and the search waits out its bound
// (sooner would mean nothing was sent) and no more.
TEST(Router, WithoutADaemonNoGatewayIsFoundForEitherFamilyWithinTheBound) {
    WinsockRouterLink link;
    for (const auto& [family, source] :
         {std::pair{Family::Ipv4, Env("KESTRUM_LAN_ADDRESS")}, std::pair{Family::Ipv6, Env("KESTRUM_LAN_ADDRESS6")}}) {
        const auto start = Clock::now();
        EXPECT_FALSE(Gateway::Find(link, source, family)) << source;
        const long long ms = MsSince(start);
        EXPECT_GE(ms, upnp::kSearchWait.count() - 100) << source;
        EXPECT_LT(ms, 5000) << source;
    }
}

// A mapping for 3389 is on the router with its client, description and lease until
// deleted; behind a shared outside address the router has no address to tell and
// refuses the mapping.
TEST(Router, APortMappingIsOnTheRouterUntilDeletedUnlessTheOutsideIsShared) {
    const bool open = Env("KESTRUM_ROUTER") == "public";
    const std::string lan4 = Env("KESTRUM_LAN_ADDRESS");
    WinsockRouterLink link;
    const auto gateway = Gateway::Find(link, lan4, Family::Ipv4);
    ASSERT_TRUE(gateway);
    const Reply told = GetExternalIPAddress(*gateway);
    EXPECT_TRUE(told.done());
    // Behind a shared address a router tells none, or (newer daemons) the shared one.
    const std::string outside = told.value("NewExternalIPAddress");
    EXPECT_TRUE(outside == Env("KESTRUM_ROUTER_OUTSIDE") || (!open && outside.empty())) << outside;
    const Reply added = AddPortMapping(*gateway, 3389, "TCP", lan4, "Kestrum", 3600);
    if (!open) {
        EXPECT_EQ(added.status, Reply::Status::Fault);
        return;
    }
    ASSERT_TRUE(added.done()) << added.faultCode << " " << added.faultText;
    const Reply entry = GetSpecificPortMappingEntry(*gateway, 3389, "TCP");
    EXPECT_EQ(entry.value("NewInternalClient"), lan4);
    EXPECT_EQ(entry.value("NewInternalPort"), "3389");
    EXPECT_TRUE(DeletePortMapping(*gateway, 3389, "TCP").done());
    EXPECT_EQ(GetSpecificPortMappingEntry(*gateway, 3389, "TCP").faultCode, 714);  // no such entry
}

// A pinhole for this computer's own address opens on a firewall that allows them, is
// updated and deleted, and then the router knows it no more, whatever the IPv4 outside.
TEST(Router, AnIpv6PinholeIsOpenedUpdatedAndDeleted) {
    WinsockRouterLink link;
    const auto gateway = Gateway::Find(link, Env("KESTRUM_LAN_ADDRESS6"), Family::Ipv6);
    ASSERT_TRUE(gateway);
    EXPECT_EQ(gateway->service().type, "urn:schemas-upnp-org:service:WANIPv6FirewallControl:1");
    const Reply added = AddPinhole(*gateway, Env("KESTRUM_LAN_ADDRESS6"), 3389, 3600);
    const std::string id = added.value("UniqueID");
    ASSERT_TRUE(added.done() && !id.empty()) << added.faultCode << " " << added.faultText;
    EXPECT_TRUE(UpdatePinhole(*gateway, id, 7200).done());
    EXPECT_TRUE(DeletePinhole(*gateway, id).done());
    EXPECT_EQ(UpdatePinhole(*gateway, id, 7200).faultCode, 704);
}

}  // namespace
}  // namespace kestrum::win32

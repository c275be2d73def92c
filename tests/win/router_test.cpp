// The router adapter against the system's UPnP NAT service, with no router and with
// Debian's router daemon in a namespace of the test script's (scripts/router-namespace.sh).

#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <cstdlib>

#include "platform/win32/local_addresses.h"
#include "platform/win32/router.h"
#include "platform/win32/text.h"
#include "tests/support/outside.h"

namespace kestrum::win32 {
namespace {

using Mappings = std::optional<std::vector<platform::PortMapping>>;
const Mappings kEmptyList(std::in_place);
std::string Env(const char* name) { return std::getenv(name) ? std::getenv(name) : ""; }

TEST(Router, WithoutARouterThereIsNoListWithinTheBoundAndTheLocalAddressIsOnTheLan) {
    if (Env("KESTRUM_ROUTER") == "public" || Env("KESTRUM_ROUTER") == "shared") GTEST_SKIP() << "a router answers";
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(UpnpRouter().mappings(), std::nullopt);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_EQ(UpnpRouter().localAddress(), Env("KESTRUM_LAN_ADDRESS"));  // "" with no LAN at all
    EXPECT_EQ(SystemLocalAddresses().gatewayLinkIpv4(), Env("KESTRUM_LAN_ADDRESS"));
}

TEST(Router, APortOpenedToThisComputerIsOnTheRouterUntilClosedUnlessTheOutsideIsShared) {
    const bool open = Env("KESTRUM_ROUTER") == "public";
    if (!open && Env("KESTRUM_ROUTER") != "shared") GTEST_SKIP() << "no router daemon in this run";
    UpnpRouter router;
    const platform::PortMapping door{3389, "TCP", 3389, router.localAddress(), true, "Kestrum", ""};
    EXPECT_EQ(router.mappings(), kEmptyList);
    EXPECT_EQ(router.add(door), open);  // a router with a shared outside address refuses
    Mappings opened = router.mappings();
    ASSERT_TRUE(opened);
    ASSERT_EQ(opened->size(), open ? 1u : 0u);
    if (!open) return;
    // Windows tells the router's outside address on a mapping; Wine leaves it empty.
    platform::PortMapping& seen = opened->at(0);
    EXPECT_TRUE(seen.externalAddress.empty() || seen.externalAddress == Env("KESTRUM_ROUTER_OUTSIDE"));
    seen.externalAddress.clear();
    EXPECT_EQ(seen, door);
    const std::string listed = testsupport::Upnpc("-l");
    const std::string entry = "TCP  3389->" + door.internalClient + ":3389  'Kestrum'";
    EXPECT_NE(listed.find(entry), std::string::npos) << listed;
    EXPECT_TRUE(router.remove(3389, "TCP"));
    EXPECT_EQ(router.mappings(), kEmptyList);
    const std::string closed = testsupport::Upnpc("-l");  // read, and without the door
    EXPECT_TRUE(closed.find("GetGenericPortMapping") != std::string::npos && closed.find("3389->") == std::string::npos)
        << closed;
}

}  // namespace
}  // namespace kestrum::win32

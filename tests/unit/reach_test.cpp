// What the Connection Check finds and says, and the doors Kestrum opens on the
// router and closes again: port 3389 over IPv4 and its pinhole over IPv6.

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "reach/findings.h"
#include "reach/frm_connection_check.h"
#include "reach/lease_keeper.h"
#include "reach/pinhole.h"
#include "reach/router_port_mapping.h"
#include "tests/support/fake_router.h"
#include "tests/support/fakes.h"

namespace kestrum::reach {
namespace {

using enum State;
using enum CheckId;
using platform::Id;
using Mapping = testing::FakeRouter::Mapping;

const platform::LocalIpv6 kStable{{0x20, 0x01, 0x0d, 0xb8, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 7}};

TEST(Findings, EachCombinationGivesItsStatesAndWords) {
    // clang-format off
    const Observations good{true, true, std::vector{PortMapping{3389, "TCP", 3389, "192.168.1.7", true, "Kestrum"}},
                            "5.6.7.8", "5.6.7.8", "192.168.1.7", "2001-db8-1--7", FirewallStatus{true, true}, true};
    // clang-format on
    struct Row {
        std::function<void(Observations&)> change;
        std::array<State, 5> states;
        std::string saying;  // in one of the texts
    } const rows[] = {
        // clang-format off
        {[](Observations&) {}, {Good, Good, Good, Good, Good}, "leads to this computer (192.168.1.7)"},
        {[](Observations& o) { o.mappings.reset(); }, {Good, Problem, Unknown, Unknown, Good}, "No router answered"},
        {[](Observations& o) { o.editionAccepts = false; }, {Problem, Good, Good, Good, Good}, "cannot accept"},
        {[](Observations& o) { o.remoteDesktopOn = false; }, {Problem, Good, Good, Good, Good}, "turned off"},
        {[](Observations& o) { o.remoteDesktopOn.reset(); }, {Unknown, Good, Good, Good, Good}, "Could not read"},
        {[](Observations& o) { o.routerOutside = "100.64.0.9"; o.publicAddress = ""; o.ipv6Id = ""; },
         {Good, Good, Problem, Good, Unknown}, "100.64.0.9 is not the public address: your provider"},
        {[](Observations& o) { o.publicAddress = "5.6.7.9"; o.ipv6Id = ""; },
         {Good, Good, Problem, Good, Unknown}, "Use a VPN and give the other side your Alternate ID."},
        {[](Observations& o) { o.publicAddress = ""; }, {Good, Good, Unknown, Good, Good}, "not known yet"},
        {[](Observations& o) { o.routerOutside.reset(); }, {Good, Good, Unknown, Good, Good},
         "did not tell its outside address"},
        // Behind a provider's shared address: no door on this router helps, the IPv6 ID does.
        {[](Observations& o) { o.routerOutside = ""; o.mappings->clear(); o.pinholeOpen = false; },
         {Good, Good, Problem, Problem, Problem},
         "your IPv6 ID (2001-db8-1--7) instead.\nPort 3389 on the router is closed, and opening it cannot"},
        {[](Observations& o) { o.mappings->front().internalClient = "192.168.1.9"; }, {Good, Good, Good, Problem, Good},
         "leads to 192.168.1.9, not to this computer (192.168.1.7)"},
        {[](Observations& o) { o.mappings->clear(); }, {Good, Good, Good, Problem, Good}, "Open it below while"},
        {[](Observations& o) { o.localAddress = ""; }, {Good, Good, Good, Unknown, Good}, "not known"},
        {[](Observations& o) { o.pinholeOpen = false; }, {Good, Good, Good, Good, Problem}, "closed for IPv6"},
        {[](Observations& o) { o.pinholeOpen = false; o.firewall->pinholesAllowed = false; },
         {Good, Good, Good, Good, Problem}, "does not let programs open a port"},
        {[](Observations& o) { o.pinholeOpen = false; o.firewall->enabled = false; },
         {Good, Good, Good, Good, Good}, "firewall is off"},
        {[](Observations& o) { o.pinholeOpen = false; o.firewall.reset(); },
         {Good, Good, Good, Good, Unknown}, "Your IPv6 ID is 2001-db8-1--7. The router's IPv6 firewall did not answer"},
        {[](Observations& o) { o.ipv6Id = ""; o.pinholeOpen = false; }, {Good, Good, Good, Good, Unknown},
         "no global IPv6 address"},
        // clang-format on
    };
    for (const Row& row : rows) {
        Observations seen = good;
        row.change(seen);
        const std::vector<Finding> found = Findings(seen);
        std::string all;
        for (std::size_t i = 0; i < found.size(); ++i) {
            EXPECT_EQ(found[i].state, row.states[i]) << row.saying << ": " << found[i].text;
            all += found[i].text + "\n";
        }
        EXPECT_NE(all.find(row.saying), std::string::npos) << all;
    }
}

TEST(Findings, PrivateAndSharedRangesEndAtTheirEdges) {
    for (const char* in : {"10.0.0.0", "172.16.0.1", "172.31.255.255", "192.168.0.1", "100.64.0.0", "100.127.255.255"})
        EXPECT_TRUE(IsPrivateOrShared(in)) << in;
    for (const char* out :
         {"9.255.255.255", "172.15.255.255", "172.32.0.0", "192.169.0.0", "100.63.255.255", "100.128.0.0", "5.6.7.8",
          "", "10.0.0", "10.0.0.256", "10.0.0.1.2", "10..0.1", "1000.1.1.1"})
        EXPECT_FALSE(IsPrivateOrShared(out)) << out;
}

struct Home : testing::FakePlatform {
    testing::FakeRouter router;
    RouterServices services{router, *this, *this};
    std::string& record4 = settings["KESTRUM/ROUTER/Mapping"];
    std::string& record6 = settings["KESTRUM/ROUTER/Pinhole"];
    Home() { ipv6Addresses = {kStable}; }
};

TEST(RouterPortMapping, OpensToThisComputerForAnHourAndRemovesOnlyWhatIsOurs) {
    Home p;
    testing::FakeRouter& router = p.router;
    std::string& record = p.record4;
    RouterPortMapping mapping(p.services);
    ASSERT_TRUE(mapping.Open().done);
    EXPECT_EQ(router.mappings["3389 TCP"], (Mapping{"192.168.1.7", "Kestrum", "3600"}));
    EXPECT_EQ(std::tuple(record, mapping.IsOpen(), router.asked.back()),
              std::tuple("192.168.1.7", true, "AddPortMapping from 192.168.1.7"));
    router.mappings["3389 TCP"].lease = "5";
    EXPECT_TRUE(mapping.Renew());
    EXPECT_EQ(router.mappings["3389 TCP"].lease, "3600");
    ASSERT_TRUE(mapping.Close());
    EXPECT_EQ(std::tuple(router.mappings.size(), record, mapping.IsOpen(), mapping.Renew()),
              std::tuple(0u, "", false, false));

    // Another program's mapping on the same port, or one to another computer, stays.
    for (const Mapping& theirs : {Mapping{"192.168.1.7", "Game", "0"}, Mapping{"192.168.1.9", "Kestrum", "0"}}) {
        router.mappings = {{"3389 TCP", theirs}};
        record = "192.168.1.7";
        mapping.CloseLeftBehind();
        EXPECT_EQ(std::tuple(router.mappings.size(), record), std::tuple(1u, "")) << theirs.description;
    }
    // Left behind by a crash: removed at the next start, unless this computer's
    // address has changed since (the old one may be another computer's now).
    for (const auto& [now, left] : {std::pair("192.168.1.7", 0u), std::pair("192.168.1.8", 1u)}) {
        router.mappings = {{"3389 TCP", {"192.168.1.7", "Kestrum", "0"}}};
        p.lanAddress = now;
        record = "192.168.1.7";
        mapping.CloseLeftBehind();
        EXPECT_EQ(std::tuple(router.mappings.size(), record), std::tuple(left, "")) << now;
    }
    // No router now: the record waits for a start that finds it.
    router.answers = false;
    p.lanAddress = record = "192.168.1.7";
    mapping.CloseLeftBehind();
    EXPECT_EQ(record, "192.168.1.7");
}

TEST(RouterPortMapping, ARefusalSaysWhyAndLeavesNothingOpen) {
    const struct {
        int fault;
        std::string outside, why;
        bool providerInFront;
        long asked;  // a router that takes only mappings without an end is asked again for one
    } cases[] = {
        {501, "", "Your provider shares one public address", true, 1},
        {718, "5.6.7.8", "Another computer already has port 3389", false, 1},
        {606, "5.6.7.8", "does not let programs open its ports", false, 1},
        {725, "5.6.7.8", "The router refused (error 725: Refused).", false, 2},
    };
    for (const auto& c : cases) {
        Home home;
        home.router.refuse["AddPortMapping"] = c.fault;
        home.router.outside = c.outside;
        RouterPortMapping mapping(home.services);
        const DoorChange change = mapping.Open();
        const auto asked =
            std::count(home.router.asked.begin(), home.router.asked.end(), "AddPortMapping from 192.168.1.7");
        EXPECT_EQ(std::tuple(change.done, change.why.find(c.why) != std::string::npos, change.providerInFront,
                             home.record4, mapping.IsOpen(), asked),
                  std::tuple(false, true, c.providerInFront, "", false, c.asked))
            << change.why;
    }
}

TEST(Pinhole, OpensFromTheStableAddressRenewsAndIsDeletedHoweverTheProgramEnds) {
    Home p;
    testing::FakeRouter& router = p.router;
    std::string& record = p.record6;
    platform::LocalIpv6 temporary = kStable;
    temporary.address[15] = 9;
    temporary.temporary = true;
    p.ipv6Addresses = {temporary, kStable};
    Pinhole pinhole(p.services, 60);
    ASSERT_TRUE(pinhole.Open().done);
    EXPECT_EQ(std::tuple(router.pinholes, record, router.asked.back()),
              std::tuple(std::map<std::string, std::string>{{"1", "2001:db8:1::7 60"}}, "2001:db8:1::7 1",
                         "AddPinhole from 2001:db8:1::7"));
    router.pinholes["1"] = "2001:db8:1::7 5";
    EXPECT_TRUE(pinhole.Renew());
    EXPECT_EQ(router.pinholes["1"], "2001:db8:1::7 60");
    ASSERT_TRUE(pinhole.Close());
    EXPECT_EQ(std::tuple(router.pinholes.size(), record, pinhole.IsOpen()), std::tuple(0u, "", false));

    // Left by a crash: deleted at the next start from the address it leads to; kept
    // while the router does not answer; forgotten when that address is gone (its
    // lease ends it) or the router never told its ID.
    const struct {
        std::string recorded;
        bool answers, addressStays;
        std::size_t left;
        std::string recordAfter;
    } crashes[] = {
        {"2001:db8:1::7 1", true, true, 0, ""},
        {"2001:db8:1::7 1", false, true, 1, "2001:db8:1::7 1"},
        {"2001:db8:1::7 1", true, false, 1, ""},
        {"2001:db8:1::7", true, true, 1, ""},
    };
    for (const auto& c : crashes) {
        router.pinholes = {{"1", "2001:db8:1::7 3600"}};
        router.answers = c.answers;
        p.ipv6Addresses = c.addressStays ? std::vector{kStable} : std::vector{temporary};
        record = c.recorded;
        pinhole.CloseLeftBehind();
        EXPECT_EQ(std::tuple(router.pinholes.size(), record), std::tuple(c.left, c.recordAfter)) << c.recorded;
    }
    // Refused: why, and nothing recorded.
    router.answers = true;
    p.ipv6Addresses = {kStable};
    router.refuse["AddPinhole"] = 606;
    EXPECT_EQ(std::tuple(pinhole.Open().why.find("(error 606)") != std::string::npos, record), std::tuple(true, ""));
}

TEST(LeaseKeeper, RenewsEveryPeriodUntilItGoes) {
    std::atomic<int> renewed = 0;
    auto keeper = std::make_unique<LeaseKeeper>(std::chrono::milliseconds(5), [&] { ++renewed; });
    for (int wait = 0; wait < 2000 && renewed < 3; ++wait) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    keeper.reset();
    const int atEnd = renewed;
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_EQ(std::pair(atEnd >= 3, renewed.load()), std::pair(true, atEnd));
}

TEST(ConnectionCheck, ShowsTheFindingsOpensEachDoorOnlyAfterItsQuestionAndOutlivesFailedWork) {
    Home p;
    testing::FakeRouter& router = p.router;
    testing::FakePlatform window(&ConnectionCheckLayout(), &p.log);
    RouterPortMapping mapping(p.services);
    Pinhole pinhole(p.services);
    paint::GradientState gradient(p, p);
    frmConnectionCheck check(window, CheckServices{p, gradient, ObserveServices{p, p, router, p, pinhole}, mapping});
    check.onLoad();
    const auto row = [&](CheckId first, int n) { return window.fake(Id(first) + n).text(); };
    EXPECT_EQ(
        std::tuple(row(lblState0, 3), row(lblFinding0, 3).substr(0, 33), row(lblState0, 4),
                   window.fake(Id(txtIpv6Id)).text(), window.fake(Id(lblProgress)).visible(),
                   window.fake(Id(cmdPort)).enabled(), window.fake(Id(cmdPort6)).enabled()),
        std::tuple("Problem", "Port 3389 on the router is closed", "Problem", "2001-db8-1--7", false, true, true));
    check.cmdCopy_Click();
    EXPECT_EQ(p.clipboard, "2001-db8-1--7");
    for (const auto& [button, question] : {std::pair(cmdPort, "Open port 3389 on the router?"),
                                           std::pair(cmdPort6, "Open port 3389 for IPv6 in the router's firewall?")}) {
        p.confirmed = false;
        check.onClick(Id(button));
        EXPECT_TRUE(p.log.back().ends_with(question)) << p.log.back();
        EXPECT_EQ(router.mappings.size() + router.pinholes.size(), 0u);
    }
    p.confirmed = true;
    check.cmdPort_Click();
    check.cmdPort6_Click();
    EXPECT_EQ(std::tuple(router.mappings.size(), router.pinholes.size(), row(lblState0, 3), row(lblState0, 4),
                         window.fake(Id(cmdPort)).text(), window.fake(Id(cmdPort6)).text()),
              std::tuple(1u, 1u, "Good", "Good", "Close port 3389", "Close port 3389 for IPv6"));
    check.cmdPort_Click();  // closing asks nothing
    check.cmdPort6_Click();
    EXPECT_EQ(std::tuple(router.mappings.size(), router.pinholes.size(), window.fake(Id(cmdPort6)).text()),
              std::tuple(0u, 0u, "Open port 3389 for IPv6"));
    // Failed work, the opening's and the check's: not a word of the router, and the window ready to try again.
    window.failAt = {"work"};
    check.cmdPort_Click();
    EXPECT_EQ(testing::Log(p.log.end() - 9, p.log.end()),
              (testing::Log{"cmdPort6.disabled", "cmdPort.disabled", "cmdPort6.disabled", "lblProgress.shown",
                            "lblProgress.hidden", "cmdPort.text=Open port 3389 on the router", "cmdPort.enabled",
                            "cmdPort6.text=Open port 3389 for IPv6", "cmdPort6.enabled"}));
}

}  // namespace
}  // namespace kestrum::reach

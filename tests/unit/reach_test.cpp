// What the Connection Check finds and says, and which router mappings Kestrum
// adds and removes.

#include <gtest/gtest.h>

#include "reach/door.h"
#include "reach/findings.h"
#include "reach/frm_connection_check.h"
#include "tests/support/fakes.h"

namespace kestrum::reach {
namespace {

using platform::PortMapping;
using enum State;
using enum CheckId;
using platform::Id;

PortMapping Mapping(std::string client, std::string description = "Kestrum", int port = 3389) {
    return {port, "TCP", port, std::move(client), true, std::move(description), "5.6.7.8"};
}

TEST(Findings, EachCombinationGivesItsStatesAndWords) {
    const Observations good{true, true, std::vector{Mapping("192.168.1.7")}, "", "5.6.7.8", "192.168.1.7"};
    struct Row {
        std::function<void(Observations&)> change;
        std::array<State, 4> states;
        std::string saying;  // in one of the texts
    } const rows[] = {
        // clang-format off
        {[](Observations&) {}, {Good, Good, Good, Good}, "leads to this computer (192.168.1.7)"},
        {[](Observations& o) { o.mappings.reset(); }, {Good, Problem, Unknown, Unknown}, "No router answered"},
        {[](Observations& o) { o.editionAccepts = false; }, {Problem, Good, Good, Good}, "cannot accept"},
        {[](Observations& o) { o.remoteDesktopOn = false; }, {Problem, Good, Good, Good}, "turned off"},
        {[](Observations& o) { o.remoteDesktopOn.reset(); }, {Unknown, Good, Good, Good}, "Could not read"},
        {[](Observations& o) { o.routerOutside = "100.64.0.9"; o.publicAddress = ""; },
         {Good, Good, Problem, Good}, "100.64.0.9 is not the public address:"},
        {[](Observations& o) { o.publicAddress = "5.6.7.9"; },
         {Good, Good, Problem, Good}, "5.6.7.8 is not the public address 5.6.7.9"},
        {[](Observations& o) { o.publicAddress = ""; }, {Good, Good, Unknown, Good}, "not known yet"},
        {[](Observations& o) { (*o.mappings)[0].externalAddress = ""; }, {Good, Good, Unknown, Good},
         "did not tell its outside address"},
        {[](Observations& o) { (*o.mappings)[0].internalClient = "192.168.1.9"; }, {Good, Good, Good, Problem},
         "leads to 192.168.1.9, not to this computer (192.168.1.7)"},
        {[](Observations& o) { o.mappings->clear(); o.routerOutside = "5.6.7.8"; }, {Good, Good, Good, Problem},
         "Port 3389 on the router is closed"},
        {[](Observations& o) { o.localAddress = ""; }, {Good, Good, Good, Unknown}, "not known"},
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

TEST(Door, OpensToThisComputerAndRemovesOnlyWhatIsOurs) {
    testing::FakePlatform p;
    auto& router = p.router;
    auto& record = p.settings["KESTRUM/ROUTER/Mapping"];
    Door door(p, p);
    ASSERT_TRUE(door.Open());
    PortMapping added = Mapping("192.168.1.7");
    added.externalAddress = "";
    EXPECT_EQ(router, std::vector{added});
    EXPECT_EQ(record, "192.168.1.7");
    ASSERT_TRUE(door.Close());
    EXPECT_EQ(std::tuple(router->size(), record, door.IsOpen()), std::tuple(0u, "", false));

    // Another program's mapping on the same port, or one to another computer, stays.
    for (const PortMapping& theirs : {Mapping("192.168.1.7", "Game"), Mapping("192.168.1.9")}) {
        router = std::vector{theirs};
        record = "192.168.1.7";
        door.CloseLeftBehind();
        EXPECT_EQ(router->size(), 1u) << theirs.description << theirs.internalClient;
    }
    // Left behind by a crash: removed at the next start, unless this computer's
    // address has changed since (the old one may be another computer's now).
    for (const auto& [now, left] : {std::pair("192.168.1.7", 0u), std::pair("192.168.1.8", 1u)}) {
        router = std::vector{Mapping("192.168.1.7")};
        p.lanAddress = now;
        record = "192.168.1.7";
        door.CloseLeftBehind();
        EXPECT_EQ(std::tuple(router->size(), record), std::tuple(left, "")) << now;
    }
    // No router now: the record waits for a start that finds it.
    router.reset();
    p.lanAddress = "192.168.1.7";
    record = "192.168.1.7";
    door.CloseLeftBehind();
    EXPECT_EQ(record, "192.168.1.7");
    // A router that refuses: nothing recorded, nothing open.
    router.emplace();
    p.refuseMapping = true;
    EXPECT_FALSE(door.Open());
    EXPECT_EQ(std::tuple(record, door.IsOpen()), std::tuple("", false));
}

TEST(ConnectionCheck, ShowsTheFindingsAndOpensTheDoorOnlyAfterTheWarning) {
    testing::FakePlatform p;
    testing::FakePlatform window(&ConnectionCheckLayout(), &p.log);
    Door door(p, p);
    frmConnectionCheck check(window, CheckServices{p, p, p, p, p, door});
    check.onLoad();
    EXPECT_EQ(std::tuple(window.fake(Id(lblState0) + 3).text(), window.fake(Id(lblFinding0) + 3).text().substr(0, 33),
                         window.fake(Id(lblProgress)).visible(), window.fake(Id(cmdPort)).enabled()),
              std::tuple("Problem", "Port 3389 on the router is closed", false, true));
    p.confirmed = false;
    check.cmdPort_Click();
    EXPECT_EQ(std::tuple(p.router->size(), p.log.back().substr(0, 21)), std::tuple(0u, "confirm Anyone on the"));
    p.confirmed = true;
    check.cmdPort_Click();
    EXPECT_EQ(std::tuple(p.router->size(), window.fake(Id(lblState0) + 3).text(), window.fake(Id(cmdPort)).text()),
              std::tuple(1u, "Good", "Close port 3389"));
    check.cmdPort_Click();  // closing asks nothing
    EXPECT_EQ(std::tuple(p.router->size(), window.fake(Id(cmdPort)).text()),
              std::tuple(0u, "Open port 3389 on the router"));
}

}  // namespace
}  // namespace kestrum::reach

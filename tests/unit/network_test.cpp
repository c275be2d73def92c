// The host address lookup's messages and clean-up, and the two probes.

#include <gtest/gtest.h>

#include <algorithm>

#include "net/Winsock2.h"
#include "net/probes.h"
#include "tests/unit/fakes.h"

namespace kestrum::net {
namespace {

using kestrum::testing::FakeHopProbe;
using kestrum::testing::FakeInternet;
using kestrum::testing::FakeSockets;
using kestrum::testing::FakeUi;
using kestrum::testing::Journal;

class HostLookup : public ::testing::Test {
protected:
    Journal journal;
    FakeSockets sockets{&journal};
    FakeUi ui{&journal};
    Winsock2 winsock{sockets, ui};

    void ExpectOneMessage(const std::string& text) {
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].text, text);
        EXPECT_EQ(ui.messages[0].style, 0u);
        EXPECT_EQ(ui.messages[0].title, "Kestrum 1.2");
    }
};

TEST_F(HostLookup, ReturnsTheFirstAddressAndReleasesSockets) {
    EXPECT_EQ(winsock.GetHostIP(), "10.0.0.5");
    EXPECT_EQ(journal, (Journal{"startup 257", "gethostname 256", "gethostbyname pc1", "cleanup"}));
    EXPECT_TRUE(ui.messages.empty());

    // Loopback is not filtered; zero bytes are written as 0; two calls behave alike.
    sockets.record = platform::HostRecord{4, {{127, 0, 0, 1}}};
    EXPECT_EQ(winsock.GetHostIP(), "127.0.0.1");
    EXPECT_EQ(sockets.activeStarts, 0);
}

TEST_F(HostLookup, AFailedStartupShowsOneMessageAndReleasesNothing) {
    sockets.startupResult = 10091;
    EXPECT_EQ(winsock.GetHostIP(), "");
    ExpectOneMessage("The 32-bit Windows Socket is not responding.");
    EXPECT_EQ(journal.back(), "message The 32-bit Windows Socket is not responding.");
    EXPECT_EQ(std::count(journal.begin(), journal.end(), "cleanup"), 0);
}

TEST_F(HostLookup, ARejectedLibraryIsReleasedAfterItsMessage) {
    sockets.wsaData = {0x0101, 0};
    EXPECT_EQ(winsock.GetHostIP(), "");
    ExpectOneMessage("This application requires a minimum of 1 supported sockets.");
    EXPECT_EQ(journal, (Journal{"startup 257", "message This application requires a minimum of 1 supported sockets.",
                                "cleanup"}));

    // The socket count is tested before the version.
    journal.clear();
    ui.messages.clear();
    sockets.wsaData = {0x0001, -5};
    EXPECT_EQ(winsock.GetHostIP(), "");
    ExpectOneMessage("This application requires a minimum of 1 supported sockets.");

    for (auto [version, text] : std::vector<std::pair<std::uint16_t, std::string>>{
             {0x0001, "Sockets version 1.0 is not supported by 32-bit Windows Sockets."},
             {0x0300, "Sockets version 0.3 is not supported by 32-bit Windows Sockets."}}) {
        journal.clear();
        ui.messages.clear();
        sockets.wsaData = {version, 10};
        EXPECT_EQ(winsock.GetHostIP(), "");
        ExpectOneMessage(text);
        EXPECT_EQ(journal.back(), "cleanup");
    }
    // 1.1 and anything later is accepted.
    sockets.wsaData = {0x0202, 10};
    EXPECT_EQ(winsock.GetHostIP(), "10.0.0.5");
    EXPECT_EQ(sockets.activeStarts, 0);
}

TEST_F(HostLookup, AHostNameFailureShowsTheErrorNumberAfterTwoBlanks) {
    sockets.hostNameResult = -1;
    EXPECT_EQ(winsock.GetHostIP(), "");
    ExpectOneMessage("Windows Sockets error  10093 has occurred. Unable to successfully get Host Name.");
    EXPECT_EQ(journal, (Journal{"startup 257", "gethostname 256",
                                "message Windows Sockets error  10093 has occurred. Unable to successfully get Host "
                                "Name.",
                                "cleanup"}));

    ui.messages.clear();
    sockets.error = -7;
    EXPECT_EQ(winsock.GetHostIP(), "");
    ExpectOneMessage("Windows Sockets error -7 has occurred. Unable to successfully get Host Name.");
    EXPECT_EQ(sockets.activeStarts, 0);
}

TEST_F(HostLookup, NoRecordAnEmptyListOrZeroLengthAreAllNoRecord) {
    const std::string text = "Windows Sockets are not responding. Unable to successfully get Host Name.";
    for (const std::optional<platform::HostRecord>& record :
         {std::optional<platform::HostRecord>{}, std::optional(platform::HostRecord{4, {}}),
          std::optional(platform::HostRecord{0, {{}}})}) {
        journal.clear();
        ui.messages.clear();
        sockets.record = record;
        EXPECT_EQ(winsock.GetHostIP(), "");
        ExpectOneMessage(text);
        EXPECT_EQ(journal.back(), "cleanup");
    }
    EXPECT_EQ(sockets.activeStarts, 0);
}

TEST_F(HostLookup, AFailedReleaseIsToldAndTheAddressStillReturned) {
    sockets.cleanupResult = 10093;
    EXPECT_EQ(winsock.GetHostIP(), "10.0.0.5");
    ExpectOneMessage("Socket error occurred in Cleanup.");

    // Two messages in a row: the lookup's, then the release's.
    ui.messages.clear();
    sockets.record.reset();
    EXPECT_EQ(winsock.GetHostIP(), "");
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[1].text, "Socket error occurred in Cleanup.");
}

TEST(VersionBytes, LowIsTheMajorAndHighTheMinor) {
    EXPECT_EQ(LowByte(0x0101), 1);
    EXPECT_EQ(HighByte(0x0101), 1);
    EXPECT_EQ(LowByte(0x0202), 2);
    EXPECT_EQ(HighByte(0x0302), 3);
    EXPECT_EQ(HighByte(0x7FFF), 0x7F);
    // Above 0x7FFF the word is read as negative and the quotient truncated.
    EXPECT_EQ(HighByte(0xFF00), 0xFF);
    EXPECT_EQ(HighByte(0x8001), (-32767 / 256) & 0xFF);
}

TEST(IsOnline, AnyAnswerIsOnlineAndEveryHandleIsClosed) {
    FakeInternet internet;
    EXPECT_TRUE(IsOnline(internet));
    ASSERT_EQ(internet.opens.size(), 1u);
    EXPECT_EQ(internet.opens[0].text, "Kestrum 1.2");
    EXPECT_EQ(internet.opens[0].a, 0u);  // the system's proxy settings
    EXPECT_EQ(internet.opens[0].b, 0u);
    ASSERT_EQ(internet.urls.size(), 1u);
    EXPECT_EQ(internet.urls[0].text.rfind("http://", 0), 0u);
    EXPECT_EQ(internet.urls[0].b, 0x84400000u);
    // The request first, then the session.
    EXPECT_EQ(internet.closed, (std::vector<platform::InternetHandle>{2, 1}));
    EXPECT_EQ(internet.openHandles, 0);
}

TEST(IsOnline, NoAnswerOrNoSessionIsOffline) {
    FakeInternet noAnswer;
    noAnswer.answers = false;
    EXPECT_FALSE(IsOnline(noAnswer));
    EXPECT_EQ(noAnswer.openHandles, 0);

    FakeInternet noSession;
    noSession.sessionOpens = false;
    EXPECT_FALSE(IsOnline(noSession));
    EXPECT_TRUE(noSession.urls.empty());
    EXPECT_TRUE(noSession.closed.empty());
}

TEST(IsReachable, ProbesTheParsedAddressWithin20Hops) {
    FakeHopProbe probe;
    EXPECT_TRUE(IsReachable(probe, "1.2.3.4"));
    EXPECT_EQ(probe.probed, (std::vector<std::uint32_t>{0x04030201u}));
    EXPECT_EQ(probe.lastMaxHops, 20u);

    // Text that is no address goes to the probe as the all-ones address.
    probe.reachable = false;
    EXPECT_FALSE(IsReachable(probe, "-13.-25.-36.-17"));
    EXPECT_EQ(probe.probed.back(), 0xFFFFFFFFu);
}

}  // namespace
}  // namespace kestrum::net

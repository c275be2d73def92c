// Local ID discovery, the remote-address command, remote ID entry and the check,
// driven through the main window's logic with recording fakes.

#include <gtest/gtest.h>

#include <algorithm>

#include "app/frmKestrum.h"
#include "tests/unit/main_window_harness.h"

namespace kestrum::app {
namespace {

using namespace kestrum::testing;

class MainWindowFixture : public ::testing::Test, protected MainWindowHarness {
protected:
    MainWindowFixture() {
        system.programPath = "C:\\Program Files\\Kestrum\\kestrum.exe";
        view.fake(cmdTRY).visible_ = false;
        for (int id : {cmdCreateSession, cmdBrowse, cmdGETIP, mnuRD, mnuBrowse, mnuGetIP})
            view.fake(id).enabled_ = false;
        sockets.journal = nullptr;
    }
    void SetPublicAddress(const std::string& value) { settings.values[{"KESTRUM", "PROPERTIES", "IP"}] = value; }
    bool AllSix(bool enabled) {
        return std::all_of(kSix.begin(), kSix.end(), [&](int id) { return view.fake(id).enabled_ == enabled; });
    }
    static constexpr std::array<int, 6> kSix = {cmdCreateSession, cmdBrowse, cmdGETIP, mnuRD, mnuBrowse, mnuGetIP};

};

using Discovery = MainWindowFixture;

TEST_F(Discovery, OnlineRunStartsIpExeWaitsAndShowsBothIds) {
    SetPublicAddress("1.2.3.4");
    form.GetIP();
    const std::string lbl = std::to_string(lblConnection), tryAgain = std::to_string(cmdTRY);
    const std::string local = std::to_string(txtLocalIP), alternate = std::to_string(txtAlternateID);
    EXPECT_EQ(journal, (Journal{"hourglass", lbl + ".text=Try to connecting...", lbl + ".color=16711680", "events",
                                "sleep 500", tryAgain + ".hidden",
                                "start C:\\Program Files\\Kestrum\\IP.EXE", "sleep 10000",
                                local + ".text=14-27-39-21", alternate + ".text=23-25-36-22",
                                lbl + ".color=65280", lbl + ".text=My Computer is online.", "default pointer"}));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(Discovery, OfflineRunEmptiesBothIdsAndOffersTryAgain) {
    view.fake(txtLocalIP).text_ = "14-27-39-21";
    view.fake(txtAlternateID).text_ = "23-25-36-22";
    internet.answers = false;
    form.GetIP();
    EXPECT_EQ(view.fake(lblConnection).text_, "My Computer is offline. (Check Internet or try it again)");
    EXPECT_EQ(view.fake(lblConnection).color_, 0x0000FFu);
    EXPECT_EQ(view.fake(txtLocalIP).text_, "");
    EXPECT_EQ(view.fake(txtAlternateID).text_, "");
    EXPECT_TRUE(view.fake(cmdTRY).visible_);
    EXPECT_TRUE(system.started.empty());
    EXPECT_EQ(system.sleeps, (std::vector<unsigned>{500}));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(ui.pointerChanges, (std::vector<bool>{true, false}));

    // Try Again after the network came back.
    internet.answers = true;
    SetPublicAddress("1.2.3.4");
    form.onClick(cmdTRY);
    EXPECT_EQ(view.fake(lblConnection).text_, "My Computer is online.");
    EXPECT_EQ(view.fake(txtLocalIP).text_, "14-27-39-21");
    EXPECT_FALSE(view.fake(cmdTRY).visible_);
}

TEST_F(Discovery, TheValueLosesLineFeedsOnly) {
    SetPublicAddress("1.2.3.4\r\n");
    form.GetIP();
    EXPECT_EQ(view.fake(txtLocalIP).text_, "14-27-39-21");
    SetPublicAddress("\n1.\n2.3.4\n");
    form.GetIP();
    EXPECT_EQ(view.fake(txtLocalIP).text_, "14-27-39-21");
}

TEST_F(Discovery, NoPublicAddressMeansAnEmptyLocalIdWhileOnline) {
    form.GetIP();  // nothing stored, IP.EXE wrote nothing
    EXPECT_EQ(view.fake(txtLocalIP).text_, "");
    EXPECT_EQ(view.fake(txtAlternateID).text_, "23-25-36-22");
    EXPECT_EQ(view.fake(lblConnection).text_, "My Computer is online.");

    // A value that is no address gives no made-up ID either.
    SetPublicAddress("<html>error</html>");
    form.GetIP();
    EXPECT_EQ(view.fake(txtLocalIP).text_, "");
}

TEST_F(Discovery, TheNoAddressIdIsReplacedByTheAlternateId) {
    SetPublicAddress("0.0.0.0");
    form.GetIP();
    EXPECT_EQ(view.fake(txtLocalIP).text_, "23-25-36-22");
    EXPECT_EQ(view.fake(txtAlternateID).text_, "23-25-36-22");

    // With the LAN lookup failing too, both are empty; its message comes from the lookup.
    sockets.record.reset();
    form.GetIP();
    EXPECT_EQ(view.fake(txtLocalIP).text_, "");
    EXPECT_EQ(view.fake(txtAlternateID).text_, "");
    EXPECT_EQ(Messages(), (std::vector<std::string>{
                              "Windows Sockets are not responding. Unable to successfully get Host Name."}));
}

TEST_F(Discovery, IpExeIsFoundInTheProgramFolderReadAfresh) {
    system.programPath = "E:\\kestrum.exe";
    form.GetIP();
    EXPECT_EQ(system.started, (std::vector<std::string>{"E:\\IP.EXE"}));

    // Missing or not startable: discovery goes on, silently, with an earlier value.
    system.canStart = false;
    system.programPath = "C:\\Tools\\Grüße ñ\\kestrum.exe";
    SetPublicAddress("5.6.7.8");
    form.GetIP();
    EXPECT_EQ(system.started.back(), "C:\\Tools\\Grüße ñ\\IP.EXE");
    EXPECT_EQ(view.fake(txtLocalIP).text_, "18-31-43-25");
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(Discovery, ActivationRunsDiscoveryOnlyWhileTheLocalIdIsBlank) {
    internet.answers = false;
    form.Form_Activate();
    EXPECT_EQ(internet.urls.size(), 1u);
    form.Form_Activate();  // still offline, still empty
    EXPECT_EQ(internet.urls.size(), 2u);

    view.fake(txtLocalIP).text_ = "   ";
    form.Form_Activate();
    EXPECT_EQ(internet.urls.size(), 3u);

    internet.answers = true;
    SetPublicAddress("1.2.3.4");
    form.Form_Activate();
    EXPECT_EQ(view.fake(txtLocalIP).text_, "14-27-39-21");
    form.Form_Activate();
    EXPECT_EQ(internet.urls.size(), 4u);
}

using RemoteEntry = MainWindowFixture;

TEST_F(RemoteEntry, EnablesTheSixCommandsForAnythingButOurOwnIds) {
    view.fake(txtRemoteIP).text_ = "x";
    form.onChange(txtRemoteIP);
    EXPECT_TRUE(AllSix(true));
    // In the order of the table.
    Journal order(journal.end() - 6, journal.end());
    Journal expected;
    for (int id : kSix) expected.push_back(std::to_string(id) + ".enabled");
    EXPECT_EQ(order, expected);

    for (const char* blank : {"", "   "}) {
        view.fake(txtRemoteIP).text_ = blank;
        form.txtRemoteIP_Change();
        EXPECT_TRUE(AllSix(false)) << "[" << blank << "]";
    }

    view.fake(txtLocalIP).text_ = "14-27-39-21";
    view.fake(txtAlternateID).text_ = " 23-25-36-22 ";
    for (const char* own : {"14-27-39-21", "  14-27-39-21 ", "23-25-36-22"}) {
        view.fake(txtRemoteIP).text_ = own;
        form.txtRemoteIP_Change();
        EXPECT_TRUE(AllSix(false)) << own;
    }
    // Exact comparison: letter case and inner differences count.
    for (const char* other : {"14-27-39-2", "a.b.c", "14-27-39-21x"}) {
        view.fake(txtRemoteIP).text_ = other;
        form.txtRemoteIP_Change();
        EXPECT_TRUE(AllSix(true)) << other;
    }
}

using Check = MainWindowFixture;

TEST_F(Check, BadShapesAreWrongIdWithoutAProbe) {
    for (const char* id : {"14-27-39", "14-27-39-21-30", "14.27.39.21", "-", ""}) {
        ui.messages.clear();
        EXPECT_FALSE(form.CheckRemoteID(id)) << id;
        ASSERT_EQ(ui.messages.size(), 1u) << id;
        EXPECT_EQ(ui.messages[0].text, "Wrong ID");
        EXPECT_EQ(ui.messages[0].style, 64u);
        EXPECT_EQ(ui.messages[0].title, "Kestrum 1.2");
    }
    EXPECT_TRUE(hops.probed.empty());
}

TEST_F(Check, FourPartsAreDecodedAndProbed) {
    EXPECT_TRUE(form.CheckRemoteID("  14-27-39-21 "));
    EXPECT_EQ(hops.parsed, (std::vector<std::string>{"1.2.3.4"}));
    EXPECT_TRUE(ui.messages.empty());

    hops.reachable = false;
    EXPECT_FALSE(form.CheckRemoteID("  14-27-39-21 "));
    EXPECT_EQ(Messages(), (std::vector<std::string>{"This Remote ID [  14-27-39-21 ] is not available on Internet"}));

    // Empty parts read as 0; letters make an address that does not parse.
    EXPECT_FALSE(form.CheckRemoteID("14--39-21"));
    EXPECT_EQ(hops.parsed.back(), "1.-25.3.4");
    EXPECT_FALSE(form.CheckRemoteID("a-b-c-d"));
    EXPECT_EQ(hops.parsed.back(), "-13.-25.-36.-17");
    EXPECT_EQ(ui.messages.size(), 3u);
}

using GetIdForVpn = MainWindowFixture;

TEST_F(GetIdForVpn, NothingAtAllForABlankIdOrOneWithoutADash) {
    for (const char* id : {"", "   ", "14.27.39.21"}) {
        view.fake(txtRemoteIP).text_ = id;
        form.cmdGETIP_Click();
    }
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(ui.pointerChanges.empty());
    EXPECT_TRUE(hops.probed.empty());
}

TEST_F(GetIdForVpn, ShowsTheAddressAfterTwoSeconds) {
    view.fake(txtRemoteIP).text_ = "14-27-39-21";
    view.fake(mnuGetIP).enabled_ = true;
    form.onClick(mnuGetIP);  // the menu entry is the button
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Remote IP is : 1.2.3.4");
    EXPECT_EQ(ui.messages[0].style, 0u);
    EXPECT_EQ(ui.messages[0].title, "Kestrum 1.2");
    const Journal tail(journal.end() - 3, journal.end());
    EXPECT_EQ(tail, (Journal{"sleep 2000", "default pointer", "message Remote IP is : 1.2.3.4"}));
}

TEST_F(GetIdForVpn, AFailedCheckShowsOnlyItsOwnMessage) {
    view.fake(txtRemoteIP).text_ = "14-27-39";
    form.cmdGETIP_Click();
    EXPECT_EQ(Messages(), (std::vector<std::string>{"Wrong ID"}));
    EXPECT_EQ(ui.pointerChanges, (std::vector<bool>{true, false}));
    EXPECT_TRUE(system.sleeps.empty());
}

TEST_F(GetIdForVpn, ADecimalCommaLocaleWritesFractionsWithAComma) {
    system.separator = ",";
    view.fake(txtRemoteIP).text_ = "14.5-27-39-21";
    form.cmdGETIP_Click();
    EXPECT_EQ(Messages(), (std::vector<std::string>{"Remote IP is : 1,5.2.3.4"}));
}

}  // namespace
}  // namespace kestrum::app

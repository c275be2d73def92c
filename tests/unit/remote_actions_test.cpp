// The Remote Desktop and shared-folder actions, and the launch error table.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <regex>

#include "app/frmKestrum.h"
#include "remote/launch_errors.h"
#include "tests/unit/main_window_harness.h"

namespace kestrum::app {
namespace {

using namespace kestrum::testing;

TEST(LaunchErrorText, NamesEachFailureAndTreatsEverythingElseAsSuccess) {
    EXPECT_EQ(remote::LaunchErrorText(0), "The operating system is out of memory or resources.");
    EXPECT_EQ(remote::LaunchErrorText(2), "The specified file was not found.");
    EXPECT_EQ(remote::LaunchErrorText(3), "The specified path was not found.");
    EXPECT_EQ(remote::LaunchErrorText(5), "The operating system denied access to the specified file.");
    EXPECT_EQ(remote::LaunchErrorText(8), "There was not enough memory to complete the operation.");
    EXPECT_EQ(remote::LaunchErrorText(11), "The .exe file is invalid (non-Win32 .exe or error in .exe image).");
    EXPECT_EQ(remote::LaunchErrorText(26), "A sharing violation occurred.");
    EXPECT_EQ(remote::LaunchErrorText(27), "The file name association is incomplete or invalid.");
    EXPECT_EQ(remote::LaunchErrorText(28),
              "The DDE transaction could not be completed because the request timed out.");
    EXPECT_EQ(remote::LaunchErrorText(29), "The DDE transaction failed.");
    EXPECT_EQ(remote::LaunchErrorText(30),
              "The DDE transaction could not be completed because other DDE transactions were being processed.");
    EXPECT_EQ(remote::LaunchErrorText(31),
              "There is no application associated with the given file name extension. This error will also be "
              "returned if you attempt to print a file that is not printable.");
    EXPECT_EQ(remote::LaunchErrorText(32), "The specified DLL was not found.");
    const std::set<int> failures = {0, 2, 3, 5, 8, 11, 26, 27, 28, 29, 30, 31, 32};
    for (int code = -5; code <= 300; ++code) {
        if (!failures.count(code)) {
            EXPECT_EQ(remote::LaunchErrorText(code), "") << code;
        }
    }
}

class RemoteActions : public ::testing::Test, protected MainWindowHarness {
protected:
    RemoteActions() {
        main.AppPath = "C:\\Tools";
        view.fake(txtRemoteIP).text_ = "14-27-39-21";
    }
};

TEST_F(RemoteActions, RemoteDesktopOpensTheClientOnTheDecodedAddress) {
    view.fake(mnuRD).enabled_ = true;
    form.onClick(mnuRD);  // the menu entry is the button
    ASSERT_EQ(shell.calls.size(), 1u);
    const FakeShell::Call& call = shell.calls[0];
    EXPECT_EQ(call.owner, 0x1234u);
    EXPECT_EQ(call.verb, "open");
    EXPECT_EQ(call.file, "MSTSC");
    EXPECT_EQ(call.parameters, "/v:1.2.3.4 /admin /edit:\"C:\\Tools\\Default.rdp\"");
    EXPECT_EQ(call.folder, std::nullopt);
    EXPECT_EQ(call.show, 3);
    EXPECT_FALSE(view.fake(cmdCreateSession).enabled_);
    EXPECT_FALSE(view.fake(mnuRD).enabled_);
    EXPECT_TRUE(view.fake(cmdBrowse).enabled_);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(ui.pointerChanges, (std::vector<bool>{true, false}));
}

TEST_F(RemoteActions, TheSettingsFilePathFollowsTheProgramFolder) {
    const struct Case {
        std::string appPath, separator, id, parameters;
    } cases[] = {
        {"E:\\", ".", "14-27-39-21", "/v:1.2.3.4 /admin /edit:\"E:\\Default.rdp\""},
        {"C:\\Program Files\\Kestrüm ñ", ".", "14-27-39-21",
         "/v:1.2.3.4 /admin /edit:\"C:\\Program Files\\Kestrüm ñ\\Default.rdp\""},
        {"C:\\Tools", ",", "14.5-27-39-21", "/v:1,5.2.3.4 /admin /edit:\"C:\\Tools\\Default.rdp\""},
        // Blanks around the ID pass the check and are dropped for the launch.
        {"C:\\Tools", ".", "  14-27-39-21  ", "/v:1.2.3.4 /admin /edit:\"C:\\Tools\\Default.rdp\""},
    };
    for (const Case& c : cases) {
        main.AppPath = c.appPath;
        system.separator = c.separator;
        view.fake(txtRemoteIP).text_ = c.id;
        form.cmdCreateSession_Click();
        ASSERT_FALSE(shell.calls.empty());
        EXPECT_EQ(shell.calls.back().parameters, c.parameters);
    }
    EXPECT_EQ(hops.parsed.back(), "1.2.3.4");
}

TEST_F(RemoteActions, RemoteDesktopIgnoresABlankIdOrOneWithoutADash) {
    for (const char* id : {"", "    ", "14.27.39.21"}) {
        view.fake(txtRemoteIP).text_ = id;
        form.cmdCreateSession_Click();
    }
    EXPECT_TRUE(shell.calls.empty());
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(ui.pointerChanges.empty());
}

TEST_F(RemoteActions, ARefusedCheckOrLaunchLeavesTheCommandsEnabled) {
    hops.reachable = false;
    form.cmdCreateSession_Click();
    EXPECT_EQ(Messages(), (std::vector<std::string>{"This Remote ID [14-27-39-21] is not available on Internet"}));
    EXPECT_TRUE(shell.calls.empty());

    hops.reachable = true;
    for (std::intptr_t code : {2, 31, 0}) {
        ui.messages.clear();
        shell.result = code;
        form.cmdCreateSession_Click();
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].text, remote::LaunchErrorText(code));
        EXPECT_EQ(ui.messages[0].style, 64u);
        EXPECT_EQ(ui.messages[0].title, "Kestrum 1.2");
        EXPECT_TRUE(view.fake(cmdCreateSession).enabled_);
        EXPECT_TRUE(view.fake(mnuRD).enabled_);
    }
    // Values of the table's gaps are successes.
    ui.messages.clear();
    shell.result = 4;
    form.cmdCreateSession_Click();
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_FALSE(view.fake(cmdCreateSession).enabled_);
    // The pointer went back every time it was set.
    EXPECT_EQ(std::count(ui.pointerChanges.begin(), ui.pointerChanges.end(), true),
              std::count(ui.pointerChanges.begin(), ui.pointerChanges.end(), false));
    EXPECT_FALSE(ui.busy);
}

TEST_F(RemoteActions, BrowseExploresTheNetworkNameThenPausesAndDisables) {
    view.fake(txtRemoteIP).text_ = " 14-27-39-21 ";
    view.fake(mnuBrowse).enabled_ = true;
    form.onClick(mnuBrowse);
    ASSERT_EQ(shell.calls.size(), 1u);
    const FakeShell::Call& call = shell.calls[0];
    EXPECT_EQ(call.owner, 0u);
    EXPECT_EQ(call.verb, "explore");
    EXPECT_EQ(call.file, "\\\\1.2.3.4");
    EXPECT_EQ(call.parameters, std::nullopt);
    EXPECT_EQ(call.folder, std::nullopt);
    EXPECT_EQ(call.show, 3);
    // Events once, the pause, then both disabled, then the default pointer.
    const Journal tail(journal.end() - 6, journal.end());
    EXPECT_EQ(tail, (Journal{"shell explore \\\\1.2.3.4", "events", "sleep 10000",
                             std::to_string(cmdBrowse) + ".disabled", std::to_string(mnuBrowse) + ".disabled",
                             "default pointer"}));
    EXPECT_FALSE(view.fake(cmdBrowse).enabled_);
    EXPECT_FALSE(view.fake(mnuBrowse).enabled_);
    EXPECT_TRUE(view.fake(cmdCreateSession).enabled_);
}

TEST_F(RemoteActions, BrowseSendsAnIdWithoutADashToTheCheck) {
    view.fake(txtRemoteIP).text_ = "14.27.39.21";
    form.cmdBrowse_Click();
    EXPECT_EQ(Messages(), (std::vector<std::string>{"Wrong ID"}));
    EXPECT_TRUE(shell.calls.empty());

    ui.messages.clear();
    ui.pointerChanges.clear();
    view.fake(txtRemoteIP).text_ = "   ";
    form.cmdBrowse_Click();
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(ui.pointerChanges.empty());
}

TEST_F(RemoteActions, AFailedBrowseShowsItsMessageAtOnceWithoutAPause) {
    shell.result = 2;
    form.cmdBrowse_Click();
    EXPECT_EQ(Messages(), (std::vector<std::string>{"The specified file was not found."}));
    EXPECT_TRUE(system.sleeps.empty());
    EXPECT_EQ(ui.eventRounds, 0);
    EXPECT_TRUE(view.fake(cmdBrowse).enabled_);
    EXPECT_FALSE(ui.busy);
}

// Whatever is typed into the remote ID box, the client's command line holds only
// an address made of number characters and the program's own settings file.
TEST_F(RemoteActions, NothingTypedCanReachTheCommandLine) {
    const std::regex safe(R"(/v:[0-9.,E+\-]+ /admin /edit:"C:\\Tools\\Default\.rdp")");
    const std::string alphabet = "0123456789-----.. \t\"'/\\:&HhOoEeDd+,;|<>%^!x";
    std::mt19937 random(20261206);
    std::vector<std::string> ids = {"\"-\" /admin /v:evil -a-b", "1-2-3-4\" /restricted", "&HFF-&O17-1E3-1D2",
                                    "9e99999-1-1-1", "-1-2-3", "1-2-3-4 /f", "--\"--"};
    for (int i = 0; i < 3000; ++i) {
        std::string id;
        const int length = 1 + static_cast<int>(random() % 40);
        for (int k = 0; k < length; ++k) id += alphabet[random() % alphabet.size()];
        ids.push_back(id);
    }
    for (const std::string& separator : {std::string("."), std::string(",")}) {
        system.separator = separator;
        for (const std::string& id : ids) {
            view.fake(txtRemoteIP).text_ = id;
            shell.calls.clear();
            form.cmdCreateSession_Click();
            if (shell.calls.empty()) continue;
            const std::string& parameters = *shell.calls[0].parameters;
            EXPECT_TRUE(std::regex_match(parameters, safe)) << id << " gave " << parameters;
        }
    }
}

}  // namespace
}  // namespace kestrum::app

// The Help menu of the main window: each window shown modally, then the main
// window's activation rules run again.

#include <gtest/gtest.h>

#include <algorithm>

#include "app/frmKestrum.h"
#include "info/frmAbout_layout.h"
#include "info/frmHowTo_layout.h"
#include "paint/ApplyGradient.h"
#include "paint/clsGradient.h"
#include "tests/unit/main_window_harness.h"

namespace kestrum::app {
namespace {

using namespace kestrum::testing;

class HelpMenu : public ::testing::Test, protected MainWindowHarness {
protected:
    void SetUp() override { Reset(); }
    void TearDown() override { Reset(); }
    static void Reset() {
        paint::clsGradient::ResetSettingsForTesting();
        paint::ResetSharedPainterForTesting();
    }
    bool DiscoveryRan() const {
        return std::count(journal.begin(), journal.end(),
                          std::to_string(lblConnection) + ".text=Try to connecting...") > 0;
    }
    // Where in the journal an entry first appears.
    std::ptrdiff_t At(const std::string& entry) const {
        return std::find(journal.begin(), journal.end(), entry) - journal.begin();
    }
};

TEST_F(HelpMenu, AboutIsShownModallyAndALocalIdShownKeepsDiscoveryFromRunning) {
    view.fake(txtLocalIP).text_ = "14-27-39-21";
    view.fake(cmdGETIP).visible_ = false;
    form.onClick(mnuAbout);
    EXPECT_EQ(forms.shown, (std::vector<std::string>{"frmAbout"}));
    EXPECT_LT(At("closed frmAbout"), At(std::to_string(cmdGETIP) + ".visible"));  // activation after closing
    EXPECT_TRUE(view.fake(cmdGETIP).visible_);
    EXPECT_FALSE(DiscoveryRan());
    EXPECT_TRUE(system.sleeps.empty());
}

TEST_F(HelpMenu, ClosingAboutWithTheLocalIdEmptyRunsDiscoveryAgain) {
    internet.answers = false;
    form.onClick(mnuAbout);
    ASSERT_TRUE(DiscoveryRan());
    EXPECT_LT(At("closed frmAbout"), At(std::to_string(lblConnection) + ".text=Try to connecting..."));
    EXPECT_EQ(view.fake(lblConnection).text_, "My Computer is offline. (Check Internet or try it again)");
}

TEST_F(HelpMenu, TheAboutBoxShowsTheMainWindowsIconAndReachesSystemInformation) {
    view.fake(txtLocalIP).text_ = "14-27-39-21";
    registry.keys["SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"]["PATH"] = FakeRegistry::Text("C:\\M\\msinfo32.exe");
    forms.whileShown = [](FakeView& box, platform::FormEvents& logic) {
        EXPECT_EQ(box.caption, "About Kestrum 1.2");
        logic.onClick(info::cmdSysInfo);
        logic.onClick(info::cmdOK);
        EXPECT_EQ(box.unloads, 1);
    };
    form.onClick(mnuAbout);
    EXPECT_EQ(system.started, (std::vector<std::string>{"C:\\M\\msinfo32.exe"}));
    EXPECT_NE(std::find(forms.windowJournal.begin(), forms.windowJournal.end(),
                        "icon " + std::to_string(info::picIcon) + " of " + std::to_string(view.windowHandle())),
              forms.windowJournal.end());
}

TEST_F(HelpMenu, HowToIsShownModallyAndItsLinkUsesTheProgramsFolder) {
    view.fake(txtLocalIP).text_ = "14-27-39-21";
    main.AppPath = "D:\\";
    forms.whileShown = [](FakeView&, platform::FormEvents& logic) { logic.onClick(info::Label1); };
    form.onClick(mnuHowTO);
    EXPECT_EQ(forms.shown, (std::vector<std::string>{"frmHowTo"}));
    ASSERT_EQ(shell.calls.size(), 1u);
    EXPECT_EQ(shell.calls[0].file, "D:\\Info.doc");
    EXPECT_TRUE(view.fake(cmdGETIP).visible_);
    EXPECT_FALSE(DiscoveryRan());
}

TEST_F(HelpMenu, ClosingHowToWithTheLocalIdEmptyRunsDiscoveryAgain) {
    internet.answers = false;
    form.onClick(mnuHowTO);
    EXPECT_TRUE(DiscoveryRan());
    EXPECT_LT(At("closed frmHowTo"), At(std::to_string(lblConnection) + ".text=Try to connecting..."));
}

TEST_F(HelpMenu, EachShowingLoadsTheWindowAnew) {
    view.fake(txtLocalIP).text_ = "14-27-39-21";
    int loads = 0;
    forms.whileShown = [&](FakeView& box, platform::FormEvents&) {
        ++loads;
        EXPECT_EQ(box.caption, "About Kestrum 1.2");  // a fresh view each time
    };
    form.onClick(mnuAbout);
    form.onClick(mnuAbout);
    EXPECT_EQ(loads, 2);
    EXPECT_EQ(forms.shown.size(), 2u);
}

}  // namespace
}  // namespace kestrum::app

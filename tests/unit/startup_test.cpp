// Start-up: what is recorded, in which order, and the main window's own events.

#include <gtest/gtest.h>

#include "app/frmKestrum.h"
#include "app/modMain.h"
#include "tests/unit/main_window_harness.h"

namespace kestrum::app {
namespace {

using kestrum::testing::FakeSettings;
using kestrum::testing::FakeSystem;

TEST(FolderOfFile, DropsTheFileNameAndKeepsTheRootBackslashOnly) {
    EXPECT_EQ(FolderOfFile("C:\\Program Files\\Kestrum\\kestrum.exe"), "C:\\Program Files\\Kestrum");
    EXPECT_EQ(FolderOfFile("C:\\kestrum.exe"), "C:\\");
    EXPECT_EQ(FolderOfFile("D:\\Tools\\Übung ñ\\kestrum.exe"), "D:\\Tools\\Übung ñ");
    EXPECT_EQ(FolderOfFile("\\\\server\\share\\kestrum.exe"), "\\\\server\\share");
}

TEST(GetSystemPath, StripsNulsAndBlanks) {
    FakeSystem system;
    system.systemFolder = "  C:\\WINDOWS\\system32 ";
    EXPECT_EQ(GetSystemPath(system), "C:\\WINDOWS\\system32");
    EXPECT_EQ(system.lastBufferChars, 255u);
    EXPECT_EQ(system.systemDirectoryCalls, 1);
}

TEST(GetSystemPath, RetriesAFailingRequestAFewTimesOnly) {
    FakeSystem system;
    system.failuresBeforeAnswer = 2;
    EXPECT_EQ(GetSystemPath(system), "C:\\Windows\\system32");
    EXPECT_EQ(system.systemDirectoryCalls, 3);

    // A system that never answers must not hang start-up.
    FakeSystem refusing;
    refusing.failuresBeforeAnswer = 1000000;
    EXPECT_EQ(GetSystemPath(refusing), "");
    EXPECT_LE(refusing.systemDirectoryCalls, 10);
    EXPECT_GT(refusing.systemDirectoryCalls, 1);
}

TEST(GetSystemPath, AFolderThatDoesNotFitTheBufferGivesTheEmptyText) {
    FakeSystem system;
    system.systemFolder = "C:\\" + std::string(260, 'x');
    EXPECT_EQ(GetSystemPath(system), "");
}

TEST(Main, WritesTheThreeFoldersInOrderThenShowsTheWindow) {
    FakeSystem system;
    system.environment["APPDATA"] = "  C:\\Users\\ann\\AppData\\Roaming ";
    FakeSettings settings;
    modMain main(system, settings);
    size_t writesBeforeShow = 0;
    main.Main([&] { writesBeforeShow = settings.writes.size(); });

    const std::vector<FakeSettings::Key> expected = {
        {"KESTRUM", "1.2", "AppPath"}, {"KESTRUM", "1.2", "SysPath"}, {"KESTRUM", "1.2", "AppData"}};
    EXPECT_EQ(settings.writes, expected);
    EXPECT_EQ(writesBeforeShow, 3u);
    EXPECT_EQ(main.AppPath, "C:\\Program Files\\Kestrum");
    EXPECT_EQ(main.SysPath, "C:\\Windows\\system32");
    EXPECT_EQ((settings.values[{"KESTRUM", "1.2", "AppPath"}]), "C:\\Program Files\\Kestrum");
    EXPECT_EQ((settings.values[{"KESTRUM", "1.2", "SysPath"}]), "C:\\Windows\\system32");
    // APPDATA is recorded exactly as it is, blanks included.
    EXPECT_EQ((settings.values[{"KESTRUM", "1.2", "AppData"}]), "  C:\\Users\\ann\\AppData\\Roaming ");
}

TEST(Main, UnsetAppDataIsRecordedAsTheEmptyText) {
    FakeSystem system;
    FakeSettings settings;
    modMain main(system, settings);
    main.Main([] {});
    EXPECT_EQ((settings.values.at({"KESTRUM", "1.2", "AppData"})), "");
    EXPECT_EQ((settings.values.count({"KESTRUM", "1.2", "AppPath"})), 1u);
    EXPECT_EQ((settings.values.count({"KESTRUM", "1.2", "SysPath"})), 1u);
}

TEST(Main, AStoreThatRefusesWritesStillShowsTheWindow) {
    FakeSystem system;
    FakeSettings settings;
    settings.refuseWrites = true;
    modMain main(system, settings);
    bool shown = false;
    main.Main([&] { shown = true; });
    EXPECT_TRUE(shown);
    EXPECT_EQ(settings.writes.size(), 3u);
}

TEST(Main, AProgramAtADriveRootKeepsItsBackslash) {
    FakeSystem system;
    system.programPath = "E:\\kestrum.exe";
    FakeSettings settings;
    modMain main(system, settings);
    main.Main([] {});
    EXPECT_EQ(main.AppPath, "E:\\");
}

class MainWindowLogic : public ::testing::Test, protected kestrum::testing::MainWindowHarness {
protected:
    MainWindowLogic() {
        view.fake(mnuGetIP).visible_ = false;
        view.fake(mnuGetIP).enabled_ = false;
        view.fake(cmdGETIP).enabled_ = false;
    }
};

TEST_F(MainWindowLogic, EveryActivationShowsGetIdButLeavesItDisabled) {
    view.fake(txtLocalIP).text_ = "14-27-39-21";  // no discovery this time
    form.Form_Activate();
    EXPECT_TRUE(view.fake(cmdGETIP).visible_);
    EXPECT_TRUE(view.fake(mnuGetIP).visible_);
    EXPECT_FALSE(view.fake(cmdGETIP).enabled_);
    EXPECT_FALSE(view.fake(mnuGetIP).enabled_);

    view.fake(cmdGETIP).visible_ = false;
    form.Form_Activate();
    EXPECT_TRUE(view.fake(cmdGETIP).visible_);
}

TEST_F(MainWindowLogic, ExitUnloadsTheWindow) {
    form.onClick(mnuExit);
    EXPECT_EQ(view.unloads, 1);
}

TEST_F(MainWindowLogic, AHiddenOrDisabledMenuEntryIgnoresItsShortcut) {
    view.fake(mnuExit).enabled_ = false;
    form.onClick(mnuExit);
    view.fake(mnuExit).enabled_ = true;
    view.fake(mnuExit).visible_ = false;
    form.onClick(mnuExit);
    EXPECT_EQ(view.unloads, 0);
}

}  // namespace
}  // namespace kestrum::app

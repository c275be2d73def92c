// The remote ID box and the commands beside it, used as a person would: typing,
// clicking and the Ctrl shortcuts. No computer answers the hop-count probe here.

#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "tests/e2e/running_kestrum.h"

namespace kestrum::e2e {
namespace {

class RemoteBox : public RunningKestrum {
protected:
    void SetUp() override {
        RunningKestrum::SetUp();
        window_ = StartOffline();
        ASSERT_NE(window_, nullptr);
        remote_ = FindControl(window_, app::txtRemoteIP);
    }
    bool CommandsEnabled() {
        const bool rd = ::IsWindowEnabled(FindControl(window_, app::cmdCreateSession));
        const bool browse = ::IsWindowEnabled(FindControl(window_, app::cmdBrowse));
        const bool getIp = ::IsWindowEnabled(FindControl(window_, app::cmdGETIP));
        EXPECT_EQ(rd, browse);
        EXPECT_EQ(rd, getIp);
        return rd;
    }
    HWND window_ = nullptr;
    HWND remote_ = nullptr;
};

TEST_F(RemoteBox, TypingEnablesAndClearingDisablesTheCommands) {
    EXPECT_FALSE(CommandsEnabled());
    TypeText(remote_, L"1");
    EXPECT_TRUE(CommandsEnabled());
    TypeText(remote_, L"   ");
    EXPECT_FALSE(CommandsEnabled());
    TypeText(remote_, L"14-27-39-21");
    EXPECT_TRUE(CommandsEnabled());
    TypeText(remote_, L"");
    EXPECT_FALSE(CommandsEnabled());
}

TEST_F(RemoteBox, GetIdForVpnChecksTheId) {
    // Three parts: "Wrong ID" and nothing after it.
    TypeText(remote_, L"14-27-39");
    Click(FindControl(window_, app::cmdGETIP));
    auto box = WaitForMessageBox(kestrum_->id(), 10000);
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->title, L"Kestrum 1.2");
    EXPECT_EQ(box->text, L"Wrong ID");
    EXPECT_TRUE(box->hasIcon);
    SaveScreenshot(box->hwnd, ScreenshotFolder() + L"\\message_wrong_id.bmp");
    PressOk(*box);
    EXPECT_FALSE(WaitForMessageBox(kestrum_->id(), 2500).has_value());

    // Four parts: probed, and no computer answers here.
    TypeText(remote_, L"14-27-39-21");
    Click(FindControl(window_, app::cmdGETIP));
    box = WaitForMessageBox(kestrum_->id(), 60000);
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->text, L"This Remote ID [14-27-39-21] is not available on Internet");
    PressOk(*box);
    EXPECT_FALSE(WaitForMessageBox(kestrum_->id(), 2500).has_value());

    // No "-": nothing at all.
    TypeText(remote_, L"14.27.39.21");
    Click(FindControl(window_, app::cmdGETIP));
    EXPECT_FALSE(WaitForMessageBox(kestrum_->id(), 3000).has_value());
}

class RemoteActionsByHand : public RemoteBox {
protected:
    // Runs one way of using a command and returns the message it showed, if any;
    // afterwards the commands are as before and the pointer is back to normal.
    std::optional<std::wstring> Use(const std::function<void()>& action, DWORD waitMs) {
        const bool enabledBefore = CommandsEnabled();
        action();
        std::optional<std::wstring> text;
        if (auto box = WaitForMessageBox(kestrum_->id(), waitMs)) {
            EXPECT_EQ(box->title, L"Kestrum 1.2");
            EXPECT_TRUE(box->hasIcon);
            text = box->text;
            PressOk(*box);
        }
        ::Sleep(300);
        EXPECT_EQ(CommandsEnabled(), enabledBefore);
        EXPECT_FALSE(HourglassShown());
        return text;
    }
    void ClickRemoteDesktop() { Click(FindControl(window_, app::cmdCreateSession)); }
    void ClickBrowse() { Click(FindControl(window_, app::cmdBrowse)); }
};

TEST_F(RemoteActionsByHand, ABlankIdDoesNothing) {
    TypeText(remote_, L"    ");
    EXPECT_FALSE(CommandsEnabled());
    EXPECT_EQ(Use([&] { ClickRemoteDesktop(); }, 2000), std::nullopt);
    EXPECT_EQ(Use([&] { PressCtrlShortcut(window_, 'R'); }, 2000), std::nullopt);
    EXPECT_EQ(Use([&] { ClickBrowse(); }, 2000), std::nullopt);
    EXPECT_EQ(Use([&] { PressCtrlShortcut(window_, 'B'); }, 2000), std::nullopt);
}

TEST_F(RemoteActionsByHand, AnIdWithoutADashIsIgnoredByRemoteDesktopAndWrongForBrowse) {
    TypeText(remote_, L"14.27.39.21");
    ASSERT_TRUE(CommandsEnabled());
    EXPECT_EQ(Use([&] { ClickRemoteDesktop(); }, 3000), std::nullopt);
    EXPECT_EQ(Use([&] { PressCtrlShortcut(window_, 'R'); }, 3000), std::nullopt);
    EXPECT_EQ(Use([&] { ClickBrowse(); }, 10000), L"Wrong ID");
    EXPECT_EQ(Use([&] { PressCtrlShortcut(window_, 'B'); }, 10000), L"Wrong ID");
}

TEST_F(RemoteActionsByHand, AWellFormedIdThatNoComputerAnswersIsNotAvailable) {
    TypeText(remote_, L"14-27-39-21");
    ASSERT_TRUE(CommandsEnabled());
    const std::wstring notAvailable = L"This Remote ID [14-27-39-21] is not available on Internet";
    EXPECT_EQ(Use([&] { ClickRemoteDesktop(); }, 60000), notAvailable);
    EXPECT_EQ(Use([&] { PressCtrlShortcut(window_, 'R'); }, 60000), notAvailable);
    EXPECT_EQ(Use([&] { ClickBrowse(); }, 60000), notAvailable);
    EXPECT_EQ(Use([&] { PressCtrlShortcut(window_, 'B'); }, 60000), notAvailable);
}

}  // namespace
}  // namespace kestrum::e2e

// Layout arithmetic shared by every window: twips, points, menu positions, Tab.

#include <gtest/gtest.h>

#include <set>

#include "app/frmKestrum_layout.h"
#include "platform/form_layout.h"

namespace kestrum::platform {
namespace {

TEST(TwipsToPixels, FifteenTwipsAPixelAt96DpiAndRoundedToTheNearest) {
    EXPECT_EQ(TwipsToPixels(10365, 96), 691);
    EXPECT_EQ(TwipsToPixels(6000, 96), 400);
    EXPECT_EQ(TwipsToPixels(7, 96), 0);
    EXPECT_EQ(TwipsToPixels(8, 96), 1);
    EXPECT_EQ(TwipsToPixels(10365, 144), 1037);  // 1036.5 rounds up
    EXPECT_EQ(TwipsToPixels(10365, 192), 1382);
    EXPECT_EQ(TwipsToPixels(-15, 96), -1);
}

TEST(PointsToPixels, ScalesWithTheDpi) {
    EXPECT_EQ(PointsToPixels(14.25, 96), 19);
    EXPECT_EQ(PointsToPixels(9.75, 96), 13);
    EXPECT_EQ(PointsToPixels(15.75, 192), 42);
}

TEST(MainWindowTable, IdentifiersAndTabIndexesAreUnique) {
    const FormSpec& form = app::KestrumLayout();
    std::set<int> ids, tabs;
    for (const ControlSpec& c : form.controls) {
        EXPECT_TRUE(ids.insert(c.id).second) << c.name;
        EXPECT_TRUE(tabs.insert(c.tabIndex).second) << c.name;
        if (c.container) {
            EXPECT_EQ(FindControl(form, c.container)->kind, ControlKind::PictureBox) << c.name;
        }
    }
    for (const MenuSpec& m : form.menus) EXPECT_TRUE(ids.insert(m.id).second) << m.name;
    EXPECT_EQ(tabs.size(), 15u);
    EXPECT_EQ(*tabs.rbegin(), 14);
}

TEST(MenuText, AddsTheShortcut) {
    EXPECT_EQ(MenuText(*FindMenu(app::KestrumLayout(), app::mnuRD)), "&Remote Desktop\tCtrl+R");
    EXPECT_EQ(MenuText(*FindMenu(app::KestrumLayout(), app::mnuAction)), "&Action");
}

TEST(MenuPosition, CountsOnlyTheVisibleEarlierSiblings) {
    const FormSpec& form = app::KestrumLayout();
    std::set<int> hidden = {app::mnuGetIP};
    auto visible = [&](int id) { return !hidden.count(id); };
    EXPECT_EQ(MenuPosition(form, app::mnuRD, visible), 0);
    EXPECT_EQ(MenuPosition(form, app::mnuGetIP, visible), 2);
    EXPECT_EQ(MenuPosition(form, app::mnuExit, visible), 3);
    hidden.clear();
    EXPECT_EQ(MenuPosition(form, app::mnuExit, visible), 4);
    EXPECT_EQ(MenuPosition(form, app::mnuAbout, visible), 1);
    EXPECT_EQ(MenuPosition(form, app::mnuHelp, visible), 1);
}

TEST(NextTabStop, FollowsTheTabIndexesAcrossContainersAndWraps) {
    const FormSpec& form = app::KestrumLayout();
    // Text boxes and buttons that are shown and enabled take the focus.
    std::set<int> focusable = {app::txtLocalIP, app::txtRemoteIP, app::txtAlternateID, app::cmdCreateSession};
    auto canFocus = [&](int id) { return focusable.count(id) > 0; };
    EXPECT_EQ(NextTabStop(form, app::txtLocalIP, false, canFocus), app::txtRemoteIP);
    EXPECT_EQ(NextTabStop(form, app::txtRemoteIP, false, canFocus), app::cmdCreateSession);
    EXPECT_EQ(NextTabStop(form, app::cmdCreateSession, false, canFocus), app::txtAlternateID);
    EXPECT_EQ(NextTabStop(form, app::txtAlternateID, false, canFocus), app::txtLocalIP);
    EXPECT_EQ(NextTabStop(form, app::txtLocalIP, true, canFocus), app::txtAlternateID);
    // From nowhere, Tab starts at the lowest index.
    EXPECT_EQ(NextTabStop(form, 0, false, canFocus), app::txtLocalIP);
    EXPECT_EQ(NextTabStop(form, app::txtLocalIP, false, [](int) { return false; }), 0);
}

}  // namespace
}  // namespace kestrum::platform

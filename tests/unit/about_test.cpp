// The About box: what it shows when loaded, its buttons, and its table.

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "info/frmAbout.h"
#include "paint/ApplyGradient.h"
#include "paint/clsGradient.h"
#include "tests/unit/fakes.h"

namespace kestrum::info {
namespace {

using namespace kestrum::testing;

constexpr std::uintptr_t kMainWindow = 0xBEEF;

class AboutBox : public ::testing::Test {
protected:
    AboutBox() {
        view.paint.right = 12;
        view.paint.bottom = 8;
    }
    void SetUp() override { Reset(); }
    void TearDown() override { Reset(); }
    static void Reset() {
        paint::clsGradient::ResetSettingsForTesting();
        paint::ResetSharedPainterForTesting();
    }
    AboutServices Services() { return {ui, colors, {registry, files, system, ui}}; }

    Journal journal;
    FakeView view{&journal};
    FakeUi ui;
    FakeSystemColors colors;
    FakeRegistry registry;
    FakeFiles files;
    FakeSystem system;
};

TEST_F(AboutBox, LoadPaintsFirstThenShowsTheIconCaptionVersionAndTitle) {
    frmAbout box(view, kMainWindow, Services());
    box.Form_Load();
    const std::string version = std::to_string(lblVersion), title = std::to_string(lblTitle);
    EXPECT_EQ(journal, (Journal{"paint autoRedraw", "paint lock", "paint unlock", "paint refresh",
                                "icon " + std::to_string(picIcon) + " of " + std::to_string(kMainWindow),
                                "caption=About Kestrum 1.2", version + ".text=Version 1.2.0",
                                title + ".text=Kestrum 1.2"}));
    EXPECT_GT(view.paint.lines, 0);  // the gradient was drawn
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(AboutBox, ANewDpiRepaintsTheGradientAndTheIconAndNothingElse) {
    frmAbout box(view, kMainWindow, Services());
    box.Form_Load();
    journal.clear();
    view.paint.lines = 0;
    box.Form_DpiChanged();
    EXPECT_EQ(journal, (Journal{"paint autoRedraw", "paint lock", "paint unlock", "paint refresh",
                                "icon " + std::to_string(picIcon) + " of " + std::to_string(kMainWindow)}));
    EXPECT_GT(view.paint.lines, 0);
}

TEST_F(AboutBox, ShowsTheSameEveryTimeItIsLoadedAnew) {
    for (int time = 0; time < 2; ++time) {
        FakeView fresh;
        frmAbout box(fresh, kMainWindow, Services());
        box.Form_Load();
        EXPECT_EQ(fresh.caption, "About Kestrum 1.2");
        EXPECT_EQ(fresh.fake(lblVersion).text_, "Version 1.2.0");
        EXPECT_EQ(fresh.fake(lblTitle).text_, "Kestrum 1.2");
    }
}

TEST_F(AboutBox, OkUnloadsAndSystemInfoLeavesTheBoxOpen) {
    frmAbout box(view, kMainWindow, Services());
    box.onClick(cmdSysInfo);
    EXPECT_EQ(view.unloads, 0);
    ASSERT_EQ(ui.messages.size(), 1u);  // nothing registered: unavailable
    EXPECT_EQ(ui.messages[0].text, "System Information Is Unavailable At This Time");

    registry.keys["SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"]["PATH"] = FakeRegistry::Text("C:\\x\\msinfo32.exe");
    box.onClick(cmdSysInfo);
    EXPECT_EQ(system.started, (std::vector<std::string>{"C:\\x\\msinfo32.exe"}));
    EXPECT_EQ(view.unloads, 0);

    box.onClick(cmdOK);
    EXPECT_EQ(view.unloads, 1);
}

TEST(AboutTable, HoldsTheBoxesLayout) {
    const platform::FormSpec& form = AboutLayout();
    EXPECT_EQ(form.name, "frmAbout");
    EXPECT_EQ(form.border, platform::Border::FixedToolWindow);
    EXPECT_EQ(form.clientWidth, 5730);
    EXPECT_EQ(form.clientHeight, 3555);
    EXPECT_TRUE(form.font.face.empty());  // the platform's dialog font
    EXPECT_TRUE(form.menus.empty());

    struct Row {
        int id;
        platform::ControlKind kind;
        const char* text;
        int left, top, width, height, tab;
    };
    const Row rows[] = {
        {cmdOK, platform::ControlKind::Button, "OK", 4365, 2625, 1260, 345, 0},
        {picIcon, platform::ControlKind::PictureBox, "", 240, 1200, 540, 540, 1},
        {cmdSysInfo, platform::ControlKind::Button, "&System Info...", 4380, 3075, 1245, 345, 2},
        {lblDisclaimer, platform::ControlKind::Label, nullptr, 135, 2505, 3750, 1050, 3},
        {lblTitle, platform::ControlKind::Label, "Application Title", 1050, 1200, 3885, 480, 4},
        {lblVersion, platform::ControlKind::Label, "Version", 1050, 1740, 3885, 225, 5},
    };
    ASSERT_EQ(form.controls.size(), std::size(rows));
    for (const Row& row : rows) {
        const platform::ControlSpec* c = platform::FindControl(form, row.id);
        ASSERT_NE(c, nullptr) << row.id;
        SCOPED_TRACE(std::string(c->name));
        EXPECT_EQ(c->kind, row.kind);
        if (row.text) {
            EXPECT_EQ(c->text, row.text);
        }
        EXPECT_EQ(c->left, row.left);
        EXPECT_EQ(c->top, row.top);
        EXPECT_EQ(c->width, row.width);
        EXPECT_EQ(c->height, row.height);
        EXPECT_EQ(c->tabIndex, row.tab);
        EXPECT_EQ(c->container, 0);
    }
    // OK is both the default and the cancel button; System Info is neither.
    EXPECT_TRUE(platform::FindControl(form, cmdOK)->defaultButton);
    EXPECT_TRUE(platform::FindControl(form, cmdOK)->cancelButton);
    EXPECT_FALSE(platform::FindControl(form, cmdSysInfo)->defaultButton);
    EXPECT_FALSE(platform::FindControl(form, cmdSysInfo)->cancelButton);

    const platform::ControlSpec& credit = *platform::FindControl(form, lblDisclaimer);
    EXPECT_FALSE(credit.text.empty());
    ASSERT_TRUE(credit.font.has_value());
    EXPECT_EQ(credit.font->face, "Verdana");
    EXPECT_EQ(credit.font->points, 9);
    EXPECT_TRUE(credit.font->bold);
    EXPECT_EQ(credit.foreColor, 0x000000u);
    EXPECT_EQ(platform::FindControl(form, lblTitle)->foreColor, 0x000000u);

    // The etched separator: white, two pixels, then grey above it.
    ASSERT_EQ(form.lines.size(), 2u);
    const platform::LineSpec& white = form.lines[0];
    const platform::LineSpec& grey = form.lines[1];
    EXPECT_EQ((std::array{white.x1, white.y1, white.x2, white.y2, white.widthPixels}),
              (std::array{105, 2460, 5654, 2460, 2}));
    EXPECT_EQ(white.color, 0xFFFFFFu);
    EXPECT_EQ((std::array{grey.x1, grey.y1, grey.x2, grey.y2, grey.widthPixels}), (std::array{90, 2445, 5654, 2445, 1}));
    EXPECT_EQ(grey.color, 0x808080u);
}

}  // namespace
}  // namespace kestrum::info

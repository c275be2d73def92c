// The How-To window: its layout for every size, the link to Info.doc, and its table.

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "info/frmHowTo.h"
#include "paint/ApplyGradient.h"
#include "paint/clsGradient.h"
#include "tests/unit/fakes.h"

namespace kestrum::info {
namespace {

using namespace kestrum::testing;

class HowToWindow : public ::testing::Test {
protected:
    HowToWindow() {
        // The controls start where the table puts them, as a freshly loaded window's do.
        for (const platform::ControlSpec& c : HowToLayout().controls) {
            FakeControl& control = view.fake(c.id);
            control.left_ = static_cast<float>(c.left);
            control.top_ = static_cast<float>(c.top);
            control.width_ = static_cast<float>(c.width);
            control.height_ = static_cast<float>(c.height);
        }
    }
    void SetUp() override { Reset(); }
    void TearDown() override { Reset(); }
    static void Reset() {
        paint::clsGradient::ResetSettingsForTesting();
        paint::ResetSharedPainterForTesting();
    }
    void ResizeTo(float w, float h) {
        view.clientWidth = w;
        view.clientHeight = h;
        window.Form_Resize();
    }
    FakeControl& box() { return view.fake(rtfHowTo); }
    FakeControl& close() { return view.fake(cmdClose); }
    FakeControl& link() { return view.fake(Label1); }

    Journal journal;
    FakeView view{&journal};
    FakeUi ui;
    FakeSystemColors colors;
    FakeShell shell;
    frmHowTo window{view, "C:\\Program Files\\Kestrum", HowToServices{ui, colors, shell}};
};

TEST_F(HowToWindow, AtTheDesignSizeTheControlsSitWhereTheTableSays) {
    ResizeTo(12270, 7680);
    EXPECT_EQ(box().width_, 11790);
    EXPECT_EQ(box().height_, 6720);
    EXPECT_EQ(box().left_, 240);
    EXPECT_EQ(box().top_, 240);
    EXPECT_EQ(close().left_, 10815);
    EXPECT_EQ(close().top_, 7140);
    EXPECT_EQ(link().left_, 240);
    EXPECT_EQ(link().top_, 7140);
    // Laid out first, then painted.
    const std::string b = std::to_string(rtfHowTo), c = std::to_string(cmdClose), l = std::to_string(Label1);
    EXPECT_EQ(journal, (Journal{b + ".width=11790", b + ".height=6720", c + ".top=7140", c + ".left=10815",
                                l + ".top=7140", l + ".left=240", "paint autoRedraw", "paint lock", "paint unlock",
                                "paint refresh"}));
}

TEST_F(HowToWindow, FollowsALargerWindow) {
    ResizeTo(19200, 14400);  // 1280 by 960 pixels
    EXPECT_EQ(box().width_, 18720);
    EXPECT_EQ(box().height_, 13440);
    EXPECT_EQ(close().top_, 13860);
    EXPECT_EQ(close().left_, 17745);
    EXPECT_EQ(link().top_, 13860);
}

TEST_F(HowToWindow, BelowFourHundredEightyTwipsWideTheBoxKeepsItsWidthAndTheRestGoesOn) {
    ResizeTo(300, 7680);
    EXPECT_EQ(box().width_, 11775);  // 300 - 480 is refused
    EXPECT_EQ(box().height_, 6720);
    EXPECT_EQ(close().top_, 7140);
    EXPECT_EQ(close().left_, 10800);  // from the width it kept
    EXPECT_EQ(link().top_, 7140);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(journal.back(), "paint refresh");
}

TEST_F(HowToWindow, MinimisedEverySizeIsRefusedSilently) {
    ResizeTo(0, 0);
    EXPECT_EQ(box().width_, 11775);
    EXPECT_EQ(box().height_, 6495);
    EXPECT_EQ(close().top_, 6915);  // 6495 + 240 + 180
    EXPECT_EQ(close().left_, 10800);
    EXPECT_EQ(link().left_, 240);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(HowToWindow, ExactlyFourHundredEightyIsAllowedAsZero) {
    ResizeTo(480, 960);
    EXPECT_EQ(box().width_, 0);
    EXPECT_EQ(box().height_, 0);
    EXPECT_EQ(close().top_, 420);
    EXPECT_EQ(close().left_, -975);  // a left may be negative
}

TEST_F(HowToWindow, TheArithmeticIsInSinglePrecision) {
    // 99999520 + 240 - 1215 is 99998545, which a float cannot hold: it rounds to
    // 99998544. Double-precision arithmetic would place the button 1 twip further right.
    ResizeTo(1e8f, 7680);
    EXPECT_EQ(box().width_, 99999520.0f);
    EXPECT_EQ(close().left_, 99998544.0f);
}

TEST_F(HowToWindow, LoadPaintsAndCloseUnloads) {
    window.Form_Load();
    EXPECT_EQ(journal, (Journal{"paint autoRedraw", "paint lock", "paint unlock", "paint refresh"}));
    window.onClick(cmdClose);
    EXPECT_EQ(view.unloads, 1);
}

TEST_F(HowToWindow, TheLinkOpensInfoDocMaximisedAndIgnoresTheAnswer) {
    shell.result = 2;  // file not found
    window.onClick(Label1);
    ASSERT_EQ(shell.calls.size(), 1u);
    const FakeShell::Call& call = shell.calls[0];
    EXPECT_EQ(call.owner, 0u);
    EXPECT_EQ(call.verb, "open");
    EXPECT_EQ(call.file, "C:\\Program Files\\Kestrum\\Info.doc");
    EXPECT_EQ(call.parameters, std::nullopt);
    EXPECT_EQ(call.folder, std::nullopt);
    EXPECT_EQ(call.show, 3);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(view.unloads, 0);
}

TEST(InfoDocPath, OneBackslashBetweenTheFolderAndTheFile) {
    EXPECT_EQ(InfoDocPath("C:\\Program Files\\Kestrum"), "C:\\Program Files\\Kestrum\\Info.doc");
    EXPECT_EQ(InfoDocPath("C:\\"), "C:\\Info.doc");
    EXPECT_EQ(InfoDocPath("\\\\server\\share\\Kestrum"), "\\\\server\\share\\Kestrum\\Info.doc");
}

TEST(HowToTable, HoldsTheWindowsLayout) {
    const platform::FormSpec& form = HowToLayout();
    EXPECT_EQ(form.name, "frmHowTo");
    EXPECT_EQ(form.caption, "HOW TO...");
    EXPECT_EQ(form.border, platform::Border::Sizable);
    EXPECT_EQ(form.clientWidth, 12270);
    EXPECT_EQ(form.clientHeight, 7680);
    ASSERT_EQ(form.controls.size(), 3u);

    const platform::ControlSpec& box = *platform::FindControl(form, rtfHowTo);
    EXPECT_EQ(box.kind, platform::ControlKind::RichText);
    EXPECT_EQ((std::array{box.left, box.top, box.width, box.height}), (std::array{240, 240, 11775, 6495}));
    EXPECT_EQ(box.document, "HOWTO");

    const platform::ControlSpec& close = *platform::FindControl(form, cmdClose);
    EXPECT_EQ(close.kind, platform::ControlKind::Button);
    EXPECT_EQ(close.text, "&Close");
    EXPECT_EQ((std::array{close.left, close.top, close.width, close.height, close.tabIndex}),
              (std::array{10800, 6840, 1215, 375, 1}));
    EXPECT_TRUE(close.defaultButton);
    EXPECT_TRUE(close.cancelButton);

    const platform::ControlSpec& link = *platform::FindControl(form, Label1);
    EXPECT_EQ(link.kind, platform::ControlKind::Label);
    EXPECT_EQ(link.text, "Additional Information");
    EXPECT_EQ((std::array{link.left, link.top, link.width, link.height, link.tabIndex}),
              (std::array{240, 6840, 4560, 465, 2}));
    ASSERT_TRUE(link.font.has_value());
    EXPECT_EQ(link.font->face, "Times New Roman");
    EXPECT_EQ(link.font->points, 20.25);
    EXPECT_TRUE(link.font->bold);
    EXPECT_TRUE(link.font->underline);
    EXPECT_TRUE(link.reportsClicks);
    EXPECT_EQ(link.pointer, platform::Pointer::Hand);
}

}  // namespace
}  // namespace kestrum::info

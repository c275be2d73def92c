// The main window's background: painted on load and on resize, then shown in both
// panels.

#include <gtest/gtest.h>

#include <string>

#include "app/frmKestrum.h"
#include "paint/ApplyGradient.h"
#include "paint/clsGradient.h"
#include "tests/unit/main_window_harness.h"

namespace kestrum::app {
namespace {

using namespace kestrum::testing;

class MainWindowPaint : public ::testing::Test, protected kestrum::testing::MainWindowHarness {
protected:
    MainWindowPaint() {
        view.paint.right = 9;
        view.paint.bottom = 6;
    }
    // The shared painter keeps the services it was created with: none may outlive a test.
    void SetUp() override { Reset(); }
    void TearDown() override { Reset(); }
    static void Reset() {
        paint::clsGradient::ResetSettingsForTesting();
        paint::ResetSharedPainterForTesting();
    }
    // How many lines one sweep of the window's area has, asked of the painter on its own.
    int LinesOfOneSweep() {
        paint::clsGradient painter(ui, colors);
        return painter.DrawGradient(nullptr, view.paint.right, view.paint.bottom) / 2;
    }
    Journal Expected() const {
        return {"paint autoRedraw",  "paint lock", "paint unlock", "paint refresh",
                "picture " + std::to_string(picLocal), "picture " + std::to_string(picRemote)};
    }

};

TEST_F(MainWindowPaint, LoadPaintsTheWholeWindowWithTheDefaultsThenFillsBothPanels) {
    form.Form_Load();
    EXPECT_EQ(journal, Expected());
    ASSERT_NE(paint::SharedPainter(), nullptr);
    EXPECT_EQ(paint::SharedPainter()->Color1(), 0xFFFFD0);
    EXPECT_EQ(paint::SharedPainter()->Color2(), 0x400000);
    EXPECT_EQ(paint::SharedPainter()->Angle(), 315.0f);
    const int lines = view.paint.lines;
    EXPECT_GT(lines, 0);
    EXPECT_EQ(lines, LinesOfOneSweep());
    EXPECT_EQ(view.paint.pensAlive, 0u);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(MainWindowPaint, ResizePaintsAgainOverTheSameImage) {
    form.Form_Load();
    const paint::clsGradient* painter = paint::SharedPainter();
    journal.clear();
    form.Form_Resize();
    EXPECT_EQ(journal, Expected());
    EXPECT_EQ(paint::SharedPainter(), painter);  // one shared painter for the program
    EXPECT_EQ(view.paint.lines, 2 * LinesOfOneSweep());
    EXPECT_EQ(view.paint.pensAlive, 0u);
}

}  // namespace
}  // namespace kestrum::app

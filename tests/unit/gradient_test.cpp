// The gradient painter: the sweep's lines and colours, its settings, and how it
// paints a window.

#include "paint/cls_gradient.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "app/mod_main.h"
#include "paint/apply_gradient.h"
#include "tests/support/fakes.h"

namespace kestrum::paint {
namespace {

using namespace kestrum::testing;

constexpr long long kPale = 0xFFFFD0, kDarkBlue = 0x400000;
constexpr std::int32_t kSystem25 = std::int32_t(0x80000019u);  // names no system colour

class Gradient : public ::testing::Test {
protected:
    // One sweep with the default colours at the given angle.
    std::vector<Line> Sweep(int width, int height, float angle) {
        clsGradient painter(shared);
        painter.setAngle(angle);
        window.lines.clear();
        const std::int32_t result = painter.DrawGradient(&window, width, height);
        EXPECT_EQ(result, 2 * std::int32_t(window.lines.size()));
        return window.lines;
    }
    testing::FakePlatform window;
    GradientState shared{window, window};
};

TEST_F(Gradient, SweepsTheAreaLineByLineFromColor1ToColor2) {
    // Worked out by hand and with a separate single-precision model. At 691 by 400
    // the first line's extents tie in single precision: steep, so it steps along x.
    const std::vector<Line> wide = Sweep(691, 400, 315);
    ASSERT_EQ(wide.size(), 1384u);
    EXPECT_EQ(wide[0], (Line{-692, 546, 0, -146, kPale}));
    EXPECT_EQ(wide[146][4], 0xEBE4BA);   // through the top-left pixel
    EXPECT_EQ(wide[1235][4], 0x551B16);  // through the bottom-right one
    EXPECT_EQ(wide.back()[4], kDarkBlue);
    EXPECT_EQ(window.pens.size(), 1u) << "every pen is deleted after its line";
    EXPECT_EQ(window.selected, 7u) << "the window's own pen is selected again";
}

// At the angles where the side the sweep starts from changes, and one between: a first line through
// the centre, about 5.24 from it each way (half the diagonal of a 6-pixel square, plus one), upright
// or level, stepped a pixel at a time until two points lie past the far edge.
TEST_F(Gradient, TheSweepStartsFromTheSideItsAngleGivesAndEndsPastTheFarOne) {
    const std::tuple<float, int, int, Line, Line> cases[] = {
        // clang-format off
        {0, 2, 6, {0, 8, 0, -2, kPale}, {3, 8, 3, -2, kDarkBlue}},  // from the left
        {90, 2, 6, {6, 6, -4, 6, kPale}, {6, -1, -4, -1, kDarkBlue}},  // from the bottom
        {180, 2, 6, {2, -2, 2, 8, kPale}, {-1, -2, -1, 8, kDarkBlue}},
        {270, 2, 6, {-4, 0, 6, 0, kPale}, {-4, 7, 6, 7, kDarkBlue}},
        {0, 6, 2, {0, 6, 0, -4, kPale}, {7, 6, 7, -4, kDarkBlue}},
        {90, 6, 2, {8, 2, -2, 2, kPale}, {8, -1, -2, -1, kDarkBlue}},
        {180, 6, 2, {6, -4, 6, 6, kPale}, {-1, -4, -1, 6, kDarkBlue}},
        {270, 6, 2, {-2, 0, 8, 0, kPale}, {-2, 3, 8, 3, kDarkBlue}},
        // Eleven points: five lines, in the first five colours of six (steps of 208/6, 255/6, 191/6).
        {60, 2, 2, {3, 4, -1, 2, kPale}, {3, 0, -1, -2, 0x805545}},
        // clang-format on
    };
    for (const auto& [angle, width, height, first, last] : cases) {
        const std::vector<Line> lines = Sweep(width, height, angle);
        EXPECT_EQ(lines.at(0), first) << "the first line at " << angle << " degrees, " << width << " by " << height;
        EXPECT_EQ(lines.at(lines.size() - 1), last)
            << "the last line at " << angle << " degrees, " << width << " by " << height;
    }
}

TEST_F(Gradient, ColourTableStepsInSinglePrecisionAndRoundsHalvesToEven) {
    const std::tuple<std::int32_t, std::int32_t, std::int32_t, std::vector<std::int32_t>> cases[] = {
        {0, 0xFF, 4, {0, 0x40, 0x80, 0xFF}},      // steps of 255/4, not 255/3; 127.5 is 128
        {0, 0x500, 4, {0, 0x100, 0x200, 0x500}},  // green 2.5 is 2
        {0, 7, 6, {0, 1, 2, 3, 5, 7}},            // 3 * float(7/6) is just below 3.5
        {0, 1, 6, {0, 0, 0, 1, 1, 1}},            // 3 * float(1/6) is just above 0.5
        {0x12345678, kSystem25, 5, {0x12345678, 0x2A4565, 0x1F3452, 0x15223F, kSystem25}},  // ends: all 32 bits
    };
    for (const auto& [from, to, count, wanted] : cases) {
        std::vector<std::int32_t> table(9, 9);
        EXPECT_EQ(clsGradient::BuildColorTable(from, to, count, table), std::int32_t(wanted.size()));
        EXPECT_EQ(table, wanted) << count;
    }
}

TEST_F(Gradient, SettingsAreSharedAndZeroMeansTheDefault) {
    clsGradient a(shared);
    a.setColor1(0x112233);
    a.setColor2(std::int32_t(0x80000018u));  // system colour 24, the last, taken now
    a.setAngle(-721);
    EXPECT_EQ(std::tuple(clsGradient(shared).Color1(), a.Color2(), a.Angle()), std::tuple(0x112233, 0xA0B0D8, 359.0f));
    a.setColor2(kSystem25);  // kept as it is
    EXPECT_EQ(std::tuple(a.Color2(), window.log), std::tuple(kSystem25, Log{"sysColor 24"}));
    a.setColor1(0);
    a.setAngle(720);
    a.CustomizeForm(window);  // with an instance of its own, which restores the defaults
    EXPECT_EQ(std::tuple(a.Color1(), a.Angle(), window.lines[0][4]), std::tuple(kPale, 315.0f, kPale));
}

// A window loaded and then sized for showing asks twice for one picture: an image
// that still holds it is not swept again; a changed image or changed colours are.
TEST_F(Gradient, AnImageThatStillHoldsThePictureIsNotSweptAgain) {
    // The image's versions at the two requests; whether the colours changed between; whether it is swept again.
    const std::tuple<std::uint64_t, std::uint64_t, bool, bool> cases[] = {
        {7, 7, false, false}, {7, 8, false, true}, {7, 7, true, true}, {0, 0, false, true}};
    for (const auto& [first, second, recoloured, sweptAgain] : cases) {
        GradientState fresh{window, window};
        window.imageVersionNow = first;
        ApplyGradient(window, fresh);
        window.lines.clear();
        window.imageVersionNow = second;
        if (recoloured) clsGradient(fresh).setColor1(0x123456);
        ApplyGradient(window, fresh);
        EXPECT_EQ(!window.lines.empty(), sweptAgain) << first << ' ' << second << ' ' << recoloured;
    }
}

TEST_F(Gradient, PaintingLocksTheWindowAndEveryFailureIsReportedOnceAndLetsTheRestRun) {
    const std::pair<unsigned, std::string> inWindow{48, app::kAppTitle};
    const Log locked = {"lock", "rect", "canvas", "unlock"};
    const struct {
        std::function<void(testing::FakePlatform&)> setUp;
        bool customize, drawn;
        Log log;
        std::pair<unsigned, std::string> message{};
    } cases[] = {
        // clang-format off
        {[](auto&) {}, false, true, locked},
        {[](auto& w) { w.clientPixels = {1, 100}; }, false, false, locked},
        {[](auto& w) { w.rectOk = false; }, false, false, {"lock", "rect", "unlock"}},
        {[](auto& w) { w.failAt = {"lock"}; }, false, false, {"lock", "message Failed at lock", "unlock"},
         inWindow},
        {[](auto& w) { w.failAt = {"autoRedraw"}; }, true, true, Painted()},
        {[](auto& w) { w.failAt = {"rect", "message Failed at rect"}; }, true, false,  // its message box too
         {"autoRedraw", "lock", "rect", "message Failed at rect", "unlock", "refresh"}, inWindow},
        // clang-format on
    };
    for (const auto& c : cases) {
        testing::FakePlatform target;
        c.setUp(target);
        GradientState state{target, target};
        clsGradient painter(state);
        painter.setAngle(270);
        if (c.customize) painter.CustomizeForm(target);  // noexcept: no failure gets out
        else EXPECT_EQ(painter.Draw(target), c.drawn);
        EXPECT_EQ(target.log, c.log);
        EXPECT_EQ(target.lastMessage, c.message);
        EXPECT_EQ(target.lines.empty(), !c.drawn);
    }
}

}  // namespace
}  // namespace kestrum::paint

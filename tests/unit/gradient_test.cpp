// The gradient painter: the sweep's exact lines and colours, its settings, and how
// it drives a window. Expected numbers were worked out by hand and with a separate
// single-precision model of the sweep, not by running this code.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <map>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "paint/ApplyGradient.h"
#include "paint/clsGradient.h"

namespace kestrum::paint {
namespace {

using platform::Canvas;
using platform::GdiObject;
using platform::PaintTargetKind;
using Log = std::vector<std::string>;

constexpr std::uint32_t kPale = 0xFFFFD0;
constexpr std::uint32_t kDarkBlue = 0x400000;
constexpr GdiObject kOriginalPen = 7;

int red(std::uint32_t c) { return static_cast<int>(c & 0xFF); }
int green(std::uint32_t c) { return static_cast<int>((c >> 8) & 0xFF); }
int blue(std::uint32_t c) { return static_cast<int>((c >> 16) & 0xFF); }
// How far c lies from `from` towards `to`, averaged over the channels.
double fraction(std::uint32_t c, std::uint32_t from, std::uint32_t to) {
    double sum = 0;
    int channels = 0;
    for (auto ch : {red, green, blue}) {
        if (ch(from) == ch(to)) continue;
        sum += double(ch(c) - ch(from)) / (ch(to) - ch(from));
        ++channels;
    }
    return sum / channels;
}

struct Line {
    int x0, y0, x1, y1;
    std::uint32_t color;
};

// Records every call; lines take the colour of the pen selected at LineTo and can
// be rasterised (GDI-like: the end pixel is left out) into a pixel buffer.
class RecordingCanvas : public Canvas {
public:
    struct Op {
        std::string name;
        std::int64_t a = 0, b = 0, c = 0;
    };
    explicit RecordingCanvas(int width = 0, int height = 0)
        : width_(width), height_(height), pixels_(std::size_t(width) * height, -1) {}

    void moveTo(int x, int y) override {
        ops.push_back({"move", x, y});
        x_ = x;
        y_ = y;
    }
    void lineTo(int x, int y) override {
        ops.push_back({"line", x, y});
        const std::uint32_t color = pens.count(selected) ? pens[selected] : 0xDEAD;
        lines.push_back({x_, y_, x, y, color});
        raster(x_, y_, x, y, color);
        x_ = x;
        y_ = y;
    }
    GdiObject createPen(int style, int width, std::uint32_t color) override {
        ops.push_back({"pen", style, width, color});
        pens[nextPen] = color;
        return nextPen++;
    }
    GdiObject selectObject(GdiObject object) override {
        ops.push_back({"select", std::int64_t(object)});
        const GdiObject previous = selected;
        selected = object;
        return previous;
    }
    void deleteObject(GdiObject object) override {
        ops.push_back({"delete", std::int64_t(object)});
        pens.erase(object);
        ++deleted;
    }
    std::int64_t pixel(int x, int y) const { return pixels_[std::size_t(y) * width_ + x]; }

    std::vector<Op> ops;
    std::vector<Line> lines;
    std::map<GdiObject, std::uint32_t> pens;  // alive
    GdiObject selected = kOriginalPen;
    GdiObject nextPen = 100;
    int deleted = 0;

private:
    void raster(int x0, int y0, int x1, int y1, std::uint32_t color) {
        if (width_ == 0) return;
        const int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
        const int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
        int err = dx + dy;
        while (x0 != x1 || y0 != y1) {
            if (x0 >= 0 && x0 < width_ && y0 >= 0 && y0 < height_) pixels_[std::size_t(y0) * width_ + x0] = color;
            const int e2 = 2 * err;
            if (e2 >= dy) err += dy, x0 += sx;
            if (e2 <= dx) err += dx, y0 += sy;
        }
    }
    int width_, height_;
    std::vector<std::int64_t> pixels_;
    int x_ = 0, y_ = 0;
};

class FakeUi : public platform::Ui {
public:
    explicit FakeUi(Log& log) : log_(log) {}
    struct Message {
        std::string text;
        unsigned style;
        std::string title;
    };
    void messageBox(const std::string& text, unsigned style, const std::string& title) override {
        log_.push_back("message");
        messages.push_back({text, style, title});
        if (throwOnMessage) throw std::runtime_error("message box failed");
    }
    void setBusyPointer(bool) override {}
    void doEvents() override {}
    std::vector<Message> messages;
    bool throwOnMessage = false;

private:
    Log& log_;
};

class FakeSystemColors : public platform::SystemColors {
public:
    std::uint32_t sysColor(int index) override {
        asked.push_back(index);
        return 0x00A0B0C0u + index;
    }
    std::vector<int> asked;
};

// A button's DC: the drawing goes to the target's recorder, and giving it back is logged.
class WindowDc : public Canvas {
public:
    WindowDc(RecordingCanvas& to, Log& log) : to_(to), log_(log) {}
    ~WindowDc() override { log_.push_back("release"); }
    void moveTo(int x, int y) override { to_.moveTo(x, y); }
    void lineTo(int x, int y) override {
        log_.push_back("lineTo");
        to_.lineTo(x, y);
    }
    GdiObject createPen(int s, int w, std::uint32_t c) override { return to_.createPen(s, w, c); }
    GdiObject selectObject(GdiObject o) override { return to_.selectObject(o); }
    void deleteObject(GdiObject o) override { to_.deleteObject(o); }

private:
    RecordingCanvas& to_;
    Log& log_;
};

class FakeTarget : public platform::PaintTarget {
public:
    FakeTarget(Log& log, PaintTargetKind kind, int right, int bottom)
        : log_(log), kind_(kind), right_(right), bottom_(bottom) {}
    PaintTargetKind kind() const override { return kind_; }
    void lockWindowUpdate(bool lock) override { step(lock ? "lock" : "unlock"); }
    bool getClientRect(int& right, int& bottom) override {
        step("rect");
        if (!rectOk) return false;
        right = right_;
        bottom = bottom_;
        return true;
    }
    Canvas* formCanvas() override {
        step("formCanvas");
        return &drawn;
    }
    std::unique_ptr<Canvas> windowCanvas() override {
        step("windowCanvas");
        return std::make_unique<WindowDc>(drawn, log_);
    }
    void setAutoRedraw(bool on) override { step(on ? "autoRedraw" : "autoRedrawOff"); }
    void refresh() override { step("refresh"); }

    RecordingCanvas drawn;
    bool rectOk = true;
    std::string failAt;  // the step that throws

private:
    void step(const std::string& name) {
        log_.push_back(name);
        if (name == failAt) throw std::runtime_error("Failed at " + name);
    }
    Log& log_;
    PaintTargetKind kind_;
    int right_, bottom_;
};

class Gradient : public ::testing::Test {
protected:
    void SetUp() override {
        clsGradient::ResetSettingsForTesting();
        ResetSharedPainterForTesting();
    }
    void TearDown() override {
        clsGradient::ResetSettingsForTesting();
        ResetSharedPainterForTesting();
    }
    clsGradient make() { return clsGradient(ui, colors); }
    // One sweep with the defaults and the given angle into a w by h pixel buffer.
    RecordingCanvas sweep(int w, int h, float angle, std::int32_t* result = nullptr) {
        clsGradient g = make();
        g.setAngle(angle);
        RecordingCanvas canvas(w, h);
        const std::int32_t r = g.DrawGradient(&canvas, w, h);
        if (result) *result = r;
        return canvas;
    }

    Log log;
    FakeUi ui{log};
    FakeSystemColors colors;
};

// ---- helpers of the sweep ----

TEST_F(Gradient, SafeDivideGivesZeroForAZeroDenominator) {
    EXPECT_EQ(clsGradient::SafeDivide(5, 0), 0.0);
    EXPECT_EQ(clsGradient::SafeDivide(5, -0.0), 0.0);
    EXPECT_EQ(clsGradient::SafeDivide(-208, 1384), -208.0 / 1384);
}

TEST_F(Gradient, RotatePointTurnsCounterClockwiseOnTheScreenInSinglePrecision) {
    // A quarter turn takes a point right of the centre to above it (y grows downwards).
    clsGradient::PointF p{15, 10};
    clsGradient::RotatePoint({10, 10}, p, 90);
    EXPECT_EQ(p.x, 10.0f);
    EXPECT_EQ(p.y, 5.0f);

    clsGradient::PointF q{1, 0};
    clsGradient::RotatePoint({0, 0}, q, 45);
    EXPECT_EQ(q.x, 0.70710677f);
    EXPECT_EQ(q.y, -0.70710677f);

    // Half a turn about a centre off the origin: sin(float pi) is not quite 0.
    clsGradient::PointF r{3, 4};
    clsGradient::RotatePoint({1, 1}, r, 180);
    EXPECT_EQ(r.x, -1.0000002f);
    EXPECT_EQ(r.y, -1.9999999f);
}

TEST_F(Gradient, ColorTableAskedForFewerThanTwoHoldsExactlyBothColours) {
    for (std::int32_t count : {1, 0, -5}) {
        std::vector<std::int32_t> table{9, 9, 9, 9};
        EXPECT_EQ(clsGradient::BuildColorTable(0x123456, 0x654321, count, table), 2);
        EXPECT_EQ(table, (std::vector<std::int32_t>{0x123456, 0x654321}));
    }
}

TEST_F(Gradient, ColorTableDividesByTheEntryCountAndRoundsHalvesToEven) {
    std::vector<std::int32_t> table;
    // Red 0 to 255 over 4 entries: steps of 63.75 (not 85), 127.5 goes to 128.
    EXPECT_EQ(clsGradient::BuildColorTable(0, 0xFF, 4, table), 4);
    EXPECT_EQ(table, (std::vector<std::int32_t>{0, 0x40, 0x80, 0xFF}));
    // Steps of 2.5: the first interior entry is 2, not 3.
    clsGradient::BuildColorTable(0, 10, 4, table);
    EXPECT_EQ(table, (std::vector<std::int32_t>{0, 2, 5, 10}));
    // The same in green and blue.
    clsGradient::BuildColorTable(0, 0x0A0A00, 4, table);
    EXPECT_EQ(table, (std::vector<std::int32_t>{0, 0x020200, 0x050500, 0x0A0A00}));
    // Falling channels.
    clsGradient::BuildColorTable(0x0A, 0, 4, table);
    EXPECT_EQ(table, (std::vector<std::int32_t>{0x0A, 8, 5, 0}));
}

TEST_F(Gradient, ColorTableIncrementIsHeldInSinglePrecision) {
    // 7/6 held as a float is just below 1.1666...; 3 steps make 3.4999998, which
    // rounds to 3 (in double it would be exactly 3.5 and round to 4).
    std::vector<std::int32_t> table;
    clsGradient::BuildColorTable(0, 7, 6, table);
    EXPECT_EQ(table, (std::vector<std::int32_t>{0, 1, 2, 3, 5, 7}));
    // 1/6 as a float is just above: 3 steps make 0.50000001, which rounds to 1.
    clsGradient::BuildColorTable(0, 1, 6, table);
    EXPECT_EQ(table, (std::vector<std::int32_t>{0, 0, 0, 1, 1, 1}));
}

TEST_F(Gradient, ColorTableKeepsTheHighByteOnlyAtBothEnds) {
    std::vector<std::int32_t> table;
    const std::int32_t systemRef = std::int32_t(0x80000019u);
    clsGradient::BuildColorTable(0x12345678, systemRef, 5, table);
    EXPECT_EQ(table, (std::vector<std::int32_t>{0x12345678, 0x2A4565, 0x1F3452, 0x15223F, systemRef}));
}

TEST_F(Gradient, FirstLineRowsAreChosenByAngleWithBoundariesInTheRowTheyEnd) {
    const clsGradient::PointF p0{-3.5f, 10}, p1{4.25f, -2};
    auto place = [&](float angle, bool steep) { return clsGradient::PlaceFirstLine(angle, steep, p0, p1, 100, 50); };
    auto expect = [](clsGradient::Placement p, float ox, float oy, int sx, int sy) {
        EXPECT_EQ(p.ox, ox);
        EXPECT_EQ(p.oy, oy);
        EXPECT_EQ(p.sx, sx);
        EXPECT_EQ(p.sy, sy);
    };
    // Steep: only the rows 0..90 and "other" step rightwards; 90 is still the first row.
    expect(place(0, true), -4.25f, 0, +1, 0);
    expect(place(90, true), -4.25f, 0, +1, 0);
    expect(place(90.00001f, true), 103.5f, 0, -1, 0);
    expect(place(270, true), 103.5f, 0, -1, 0);
    expect(place(270.00003f, true), -4.25f, 0, +1, 0);
    expect(place(360, true), -4.25f, 0, +1, 0);
    expect(place(-1, true), -4.25f, 0, +1, 0);
    // Shallow: rows 0..180 step upwards; 180 is still the second row.
    expect(place(45, false), 0, 52, 0, -1);
    expect(place(180, false), 0, 52, 0, -1);
    expect(place(180.00002f, false), 0, -10, 0, +1);
    expect(place(315, false), 0, -10, 0, +1);
    // NaN fails every test: "any other value".
    expect(place(std::nanf(""), false), 0, -10, 0, +1);
}

// ---- the sweep ----

TEST_F(Gradient, AxisAnglesSweepStraightLinesFromTheirStartingEdge) {
    // 40 by 30. At 0 and 270 the first line (Color1) runs along the area's first
    // column or row; at 90 and 180 it runs just outside, below or to the right.
    // Color2 always lies outside, so no corner shows it.
    struct Case {
        float angle;
        std::size_t lines;
        int x0, y0, x1, y1;  // first line
        int sx, sy;          // from each line to the next
        std::int64_t topLeft, bottomRight;
    };
    const Case cases[] = {
        {0, 42, 0, 44, 0, -14, +1, 0, kPale, 0x4E120F},
        {90, 32, 49, 30, -9, 30, 0, -1, 0x4C100D, 0xF9F7CA},
        {180, 42, 40, -14, 40, 44, -1, 0, 0x490C0A, 0xFAF9CB},
        {270, 32, -9, 0, 49, 0, 0, +1, kPale, 0x521814},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.angle);
        std::int32_t result = 0;
        const RecordingCanvas c = sweep(40, 30, k.angle, &result);
        ASSERT_EQ(c.lines.size(), k.lines);
        EXPECT_EQ(result, 2 * std::int32_t(k.lines));
        const Line& f = c.lines[0];
        EXPECT_TRUE(f.x0 == k.x0 && f.y0 == k.y0 && f.x1 == k.x1 && f.y1 == k.y1)
            << f.x0 << "," << f.y0 << " " << f.x1 << "," << f.y1;
        EXPECT_EQ(c.lines[1].x0 - f.x0, k.sx);
        EXPECT_EQ(c.lines[1].y0 - f.y0, k.sy);
        EXPECT_EQ(f.color, kPale);
        EXPECT_EQ(c.lines.back().color, kDarkBlue);
        EXPECT_EQ(c.pixel(0, 0), k.topLeft);
        EXPECT_EQ(c.pixel(39, 29), k.bottomRight);
        // Columns (vertical lines) or rows (horizontal ones) are one colour each.
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 40; ++x) ASSERT_EQ(c.pixel(x, y), k.sx ? c.pixel(x, 0) : c.pixel(0, y)) << x << "," << y;
    }
}

TEST_F(Gradient, WideWindowAt315IsSteepByTieAndItsCornersShowIntermediateShades) {
    // 691 by 400: the first line's two extents come out equal in single precision,
    // so the line counts as steep and the sweep steps along x. Computed without the
    // float rounding it would be shallow, and the top-left pixel nearly Color1.
    std::int32_t result = 0;
    const RecordingCanvas c = sweep(691, 400, 315, &result);
    ASSERT_EQ(c.lines.size(), 1384u);
    EXPECT_EQ(result, 2768);  // 2769 points: the odd one is dropped
    const Line& first = c.lines[0];
    EXPECT_EQ(first.x0, -692);
    EXPECT_EQ(first.y0, 546);
    EXPECT_EQ(first.x1, 0);  // rightmost end on x = 0
    EXPECT_EQ(first.y1, -146);
    EXPECT_EQ(c.lines[1].x0 - first.x0, 1);
    EXPECT_EQ(c.lines[1].y0, first.y0);
    EXPECT_EQ(first.color, kPale);
    // 1384 entries (1384.5 rounded to even): the last line is Color2 itself.
    EXPECT_EQ(c.lines.back().color, kDarkBlue);

    // The top-left pixel lies on line 146: about a tenth of the way.
    const std::int64_t topLeft = c.pixel(0, 0);
    EXPECT_EQ(topLeft, 0xEBE4BA);
    EXPECT_NE(topLeft, kPale);
    EXPECT_NEAR(fraction(std::uint32_t(topLeft), kPale, kDarkBlue), 0.1, 0.03);
    const std::int64_t bottomRight = c.pixel(690, 399);
    EXPECT_EQ(bottomRight, 0x551B16);
    EXPECT_NE(bottomRight, kDarkBlue);
    // Lines run from bottom-left to top-right.
    for (const Line& l : c.lines) {
        EXPECT_LT(l.x0, l.x1);
        EXPECT_GT(l.y0, l.y1);
    }
}

TEST_F(Gradient, SmallAreasAreDrawnWithAnOddLastPointDropped) {
    std::int32_t result = 0;
    const RecordingCanvas c = sweep(2, 2, 315, &result);
    EXPECT_EQ(result, 12);  // 13 points, 6 lines
    ASSERT_EQ(c.lines.size(), 6u);
    EXPECT_EQ(c.lines[0].x0, -3);
    EXPECT_EQ(c.lines[0].y0, 3);
    EXPECT_EQ(c.lines[0].x1, 0);
    EXPECT_EQ(c.lines[0].y1, -1);
    EXPECT_EQ(c.lines[5].x0, 2);
    EXPECT_EQ(c.lines[5].x1, 5);
    EXPECT_EQ(c.lines[5].color, kDarkBlue);
    // An even count is returned whole: at 0 degrees, 8 points.
    EXPECT_EQ(sweep(2, 2, 0, &result).lines.size(), 4u);
    EXPECT_EQ(result, 8);

    // 2 by 3 gives 15 points: 7.5 rounds to a table of 8 for 7 lines, so the
    // last line drawn stops one entry short of Color2.
    const RecordingCanvas tall = sweep(2, 3, 315, &result);
    EXPECT_EQ(result, 14);
    std::vector<std::uint32_t> colours;
    for (const Line& l : tall.lines) colours.push_back(l.color);
    EXPECT_EQ(colours, (std::vector<std::uint32_t>{kPale, 0xE7DFB6, 0xCFBF9C, 0xB79F82, 0xA08068, 0x88604E, 0x704034}));
}

TEST_F(Gradient, EqualColoursDrawEveryLineInThatColour) {
    clsGradient g = make();
    g.setColor1(0x336699);
    g.setColor2(0x336699);
    RecordingCanvas c;
    ASSERT_GT(g.DrawGradient(&c, 57, 23), 0);
    ASSERT_FALSE(c.lines.empty());
    for (const Line& l : c.lines) EXPECT_EQ(l.color, 0x336699u);
}

TEST_F(Gradient, HighByteColoursReachThePenOnlyForTheEnds) {
    clsGradient g = make();
    g.setColor1(0x12FFFFD0);
    g.setColor2(std::int32_t(0x80000019u));  // not a system colour index: kept
    g.setAngle(0);
    RecordingCanvas c;
    g.DrawGradient(&c, 10, 5);  // 24 points: the table has exactly one entry per line
    ASSERT_EQ(c.lines.size(), 12u);
    EXPECT_EQ(c.lines.front().color, 0x12FFFFD0u);
    EXPECT_EQ(c.lines.back().color, 0x80000019u);
    for (std::size_t k = 1; k + 1 < c.lines.size(); ++k) EXPECT_EQ(c.lines[k].color >> 24, 0u) << k;
}

TEST_F(Gradient, EverySweepEndsWithEvenlySteppedLinesFromEdgeToEdge) {
    std::vector<float> angles{0, 45, 89.99f, 90, 90.01f, 135, 180, 225, 269.99f, 270, 315, 359.99f};
    for (int a = 0; a < 360; a += 7) angles.push_back(float(a) + 0.5f);
    for (int w : {2, 3, 5, 17, 64}) {
        for (int h : {2, 4, 9, 33}) {
            for (float angle : angles) {
                SCOPED_TRACE(::testing::Message() << w << "x" << h << " at " << angle);
                std::int32_t result = 0;
                const RecordingCanvas c = sweep(w, h, angle, &result);
                ASSERT_GE(c.lines.size(), 2u);
                ASSERT_EQ(result, 2 * std::int32_t(c.lines.size()));
                ASSERT_LE(c.lines.size(), std::size_t(3 * std::max(w, h) + 8));
                const int sx = c.lines[1].x0 - c.lines[0].x0, sy = c.lines[1].y0 - c.lines[0].y0;
                ASSERT_EQ(std::abs(sx) + std::abs(sy), 1);
                // Every line is its predecessor moved one pixel along the step.
                for (std::size_t k = 1; k < c.lines.size(); ++k) {
                    const Line &p = c.lines[k - 1], &l = c.lines[k];
                    ASSERT_TRUE(l.x0 == p.x0 + sx && l.y0 == p.y0 + sy && l.x1 == p.x1 + sx && l.y1 == p.y1 + sy) << k;
                }
                // The first line touches the starting edge from outside; only the
                // last line reaches beyond the far edge.
                auto beyond = [&](int x, int y) {
                    return sx > 0 ? x > w : sx < 0 ? x < 0 : sy > 0 ? y > h : y < 0;
                };
                const Line& f = c.lines.front();
                const int nearEnd = sx > 0   ? std::max(f.x0, f.x1)
                                    : sx < 0 ? std::min(f.x0, f.x1)
                                    : sy > 0 ? std::max(f.y0, f.y1)
                                             : std::min(f.y0, f.y1);
                EXPECT_EQ(nearEnd, sx < 0 ? w : sy < 0 ? h : 0);
                const Line& last = c.lines.back();
                EXPECT_TRUE(beyond(last.x0, last.y0) || beyond(last.x1, last.y1));
                for (std::size_t k = 0; k + 1 < c.lines.size(); ++k)
                    ASSERT_FALSE(beyond(c.lines[k].x0, c.lines[k].y0) && beyond(c.lines[k].x1, c.lines[k].y1)) << k;
                // Colours go one way only, from Color1.
                EXPECT_EQ(f.color, kPale);
                for (std::size_t k = 1; k < c.lines.size(); ++k) {
                    ASSERT_LE(red(c.lines[k].color), red(c.lines[k - 1].color));
                    ASSERT_LE(blue(c.lines[k].color), blue(c.lines[k - 1].color));
                }
            }
        }
    }
}

TEST_F(Gradient, EachLineHasItsOwnPenDeletedBeforeTheNext) {
    clsGradient g = make();
    RecordingCanvas c;
    const std::int32_t result = g.DrawGradient(&c, 7, 5);
    ASSERT_EQ(c.ops.size(), std::size_t(result / 2) * 6);
    for (std::size_t i = 0; i < c.ops.size(); i += 6) {
        const auto* op = &c.ops[i];
        EXPECT_EQ(op[0].name, "move");
        EXPECT_EQ(op[1].name, "pen");
        EXPECT_EQ(op[1].a, 0);  // solid
        EXPECT_EQ(op[1].b, 1);  // one pixel
        const GdiObject pen = 100 + i / 6;  // pens are numbered from 100
        EXPECT_EQ(op[2].name, "select");
        EXPECT_EQ(op[2].a, std::int64_t(pen));
        EXPECT_EQ(op[3].name, "line");
        EXPECT_EQ(op[4].name, "select");
        EXPECT_EQ(op[4].a, std::int64_t(kOriginalPen));
        EXPECT_EQ(op[5].name, "delete");
        EXPECT_EQ(op[5].a, std::int64_t(pen));
    }
    EXPECT_EQ(c.deleted, result / 2);
    EXPECT_TRUE(c.pens.empty());
    EXPECT_EQ(c.selected, kOriginalPen);
}

TEST_F(Gradient, SweepFailuresAreReportedAndCountZero) {
    clsGradient g = make();
    RecordingCanvas c;
    // An angle that is not a number cannot give whole-pixel points.
    g.setAngle(std::nanf(""));
    EXPECT_EQ(g.DrawGradient(&c, 20, 20), 0);
    // Points past the 32-bit range.
    g.setAngle(270);
    EXPECT_EQ(g.DrawGradient(&c, std::numeric_limits<std::int32_t>::max(), 2), 0);
    EXPECT_TRUE(c.ops.empty());
    ASSERT_EQ(ui.messages.size(), 2u);
    for (const auto& m : ui.messages) {
        EXPECT_EQ(m.text, "Overflow");
        EXPECT_EQ(m.style, 48u);
        EXPECT_EQ(m.title, "GradientRect");
    }
}

TEST_F(Gradient, SweepStopsAtItsFirstFailure) {
    struct NoMemory : RecordingCanvas {
        GdiObject createPen(int, int, std::uint32_t) override {
            ++calls;
            throw std::bad_alloc();
        }
        int calls = 0;
    } c;
    clsGradient g = make();
    EXPECT_EQ(g.DrawGradient(&c, 20, 10), 0);
    EXPECT_EQ(c.calls, 1);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Out of memory");
    EXPECT_EQ(ui.messages[0].title, "GradientRect");
}

TEST_F(Gradient, SweepWithoutACanvasStillCounts) {
    clsGradient g = make();
    EXPECT_EQ(g.DrawGradient(nullptr, 691, 400), 2768);
    EXPECT_TRUE(ui.messages.empty());
}

// ---- settings ----

TEST_F(Gradient, DefaultsReplaceOnlyZeroSettingsWhenAnInstanceIsCreated) {
    clsGradient a = make();
    EXPECT_EQ(a.Color1(), 0xFFFFD0);
    EXPECT_EQ(a.Color2(), 0x400000);
    EXPECT_EQ(a.Angle(), 315.0f);

    // One copy for the whole program: set through one, read through another.
    a.setColor1(0x112233);
    a.setAngle(10);
    clsGradient b = make();
    EXPECT_EQ(b.Color1(), 0x112233);
    EXPECT_EQ(b.Angle(), 10.0f);

    // Zero does not last beyond the next creation.
    b.setColor1(0);
    b.setColor2(0);
    b.setAngle(360);
    EXPECT_EQ(a.Color1(), 0);
    EXPECT_EQ(a.Color2(), 0);
    EXPECT_EQ(a.Angle(), 0.0f);
    make();
    EXPECT_EQ(a.Color1(), 0xFFFFD0);
    EXPECT_EQ(a.Color2(), 0x400000);
    EXPECT_EQ(a.Angle(), 315.0f);
}

TEST_F(Gradient, AngleIsReducedIntoOneTurn) {
    clsGradient g = make();
    const std::pair<float, float> cases[] = {{-45, 315}, {725, 5}, {360, 0}, {720, 0}, {-360, 0},
                                             {359.5f, 359.5f}, {-0.5f, 359.5f}, {90, 90}, {-721, 359}};
    for (auto [set, stored] : cases) {
        g.setAngle(set);
        EXPECT_EQ(g.Angle(), stored) << set;
    }
}

TEST_F(Gradient, SystemColourReferencesAreResolvedWhenSet) {
    clsGradient g = make();
    g.setColor1(std::int32_t(0x80000005u));
    EXPECT_EQ(g.Color1(), 0x00A0B0C5);
    g.setColor2(std::int32_t(0x80000018u));
    EXPECT_EQ(g.Color2(), 0x00A0B0D8);
    EXPECT_EQ(colors.asked, (std::vector<int>{5, 0x18}));

    // Anything else is stored unchanged without asking.
    for (std::uint32_t v : {0x80000019u, 0xFFFFFFFFu, 0x00000005u, 0x7FFFFFFFu}) {
        g.setColor1(std::int32_t(v));
        EXPECT_EQ(std::uint32_t(g.Color1()), v);
    }
    EXPECT_EQ(colors.asked.size(), 2u);
}

// ---- Draw and the window ----

TEST_F(Gradient, DrawPaintsAFormOnItsOwnSurfaceWhileLocked) {
    FakeTarget form(log, PaintTargetKind::Form, 8, 6);
    clsGradient g = make();
    EXPECT_TRUE(g.Draw(form));
    EXPECT_EQ(log, (Log{"lock", "rect", "formCanvas", "unlock"}));
    EXPECT_FALSE(form.drawn.lines.empty());
}

TEST_F(Gradient, DrawGivesAButtonsDcBackAfterTheSweep) {
    FakeTarget button(log, PaintTargetKind::Button, 5, 3);
    clsGradient g = make();
    EXPECT_TRUE(g.Draw(button));
    ASSERT_FALSE(button.drawn.lines.empty());
    ASSERT_GE(log.size(), 6u);
    EXPECT_EQ(log[2], "windowCanvas");
    EXPECT_EQ(log[log.size() - 3], "lineTo");
    EXPECT_EQ(log[log.size() - 2], "release");
    EXPECT_EQ(log.back(), "unlock");
}

TEST_F(Gradient, DrawOnAnotherObjectRunsTheSweepWithNothingToDrawOn) {
    FakeTarget other(log, PaintTargetKind::Other, 30, 20);
    clsGradient g = make();
    EXPECT_TRUE(g.Draw(other));
    EXPECT_EQ(log, (Log{"lock", "rect", "unlock"}));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(Gradient, DrawReportsFalseForTooSmallAreasOrAFailedRectangle) {
    clsGradient g = make();
    for (auto [w, h] : std::vector<std::pair<int, int>>{{1, 100}, {100, 1}, {0, 0}, {1, 1}}) {
        FakeTarget form(log, PaintTargetKind::Form, w, h);
        EXPECT_FALSE(g.Draw(form)) << w << "x" << h;
        EXPECT_TRUE(form.drawn.ops.empty());
    }
    FakeTarget failed(log, PaintTargetKind::Form, 100, 100);
    failed.rectOk = false;
    log.clear();
    EXPECT_FALSE(g.Draw(failed));
    EXPECT_EQ(log, (Log{"lock", "rect", "unlock"}));
    FakeTarget smallest(log, PaintTargetKind::Form, 2, 2);
    EXPECT_TRUE(g.Draw(smallest));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(Gradient, DrawFailuresAreReportedUnderTheAppTitleAndStillUnlock) {
    clsGradient g = make();
    for (std::string step : {"lock", "rect", "formCanvas", "windowCanvas"}) {
        log.clear();
        ui.messages.clear();
        FakeTarget t(log, step == "windowCanvas" ? PaintTargetKind::Button : PaintTargetKind::Form, 50, 50);
        t.failAt = step;
        EXPECT_FALSE(g.Draw(t)) << step;
        ASSERT_EQ(ui.messages.size(), 1u) << step;
        EXPECT_EQ(ui.messages[0].text, "Failed at " + step);
        EXPECT_EQ(ui.messages[0].style, 48u);
        EXPECT_EQ(ui.messages[0].title, "Kestrum 1.2");
        ASSERT_GE(log.size(), 2u);
        EXPECT_EQ(log[log.size() - 2], "message");
        EXPECT_EQ(log.back(), "unlock");
        EXPECT_EQ(std::count(log.begin(), log.end(), "unlock"), 1);
    }

    // A failed sweep is its own message; Draw only reports False.
    log.clear();
    ui.messages.clear();
    g.setAngle(std::nanf(""));
    FakeTarget form(log, PaintTargetKind::Form, 50, 50);
    EXPECT_FALSE(g.Draw(form));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].title, "GradientRect");
    EXPECT_EQ(log.back(), "unlock");

    // Even a message box that fails leaves the window unlocked.
    log.clear();
    ui.throwOnMessage = true;
    FakeTarget broken(log, PaintTargetKind::Form, 50, 50);
    broken.failAt = "rect";
    EXPECT_THROW(g.Draw(broken), std::runtime_error);
    EXPECT_EQ(log.back(), "unlock");
}

// ---- customising a window ----

TEST_F(Gradient, CustomizeFormPaintsWithDefaultsRestoredAndRefreshes) {
    clsGradient g = make();
    g.setColor1(0);  // black does not last
    FakeTarget form(log, PaintTargetKind::Form, 6, 4);
    g.CustomizeForm(form);
    EXPECT_EQ(g.Color1(), 0xFFFFD0);
    ASSERT_FALSE(form.drawn.lines.empty());
    EXPECT_EQ(form.drawn.lines[0].color, kPale);
    EXPECT_EQ(log, (Log{"autoRedraw", "lock", "rect", "formCanvas", "unlock", "refresh"}));
}

TEST_F(Gradient, CustomizeFormSkipsAFailingStepAndLetsNothingOut) {
    clsGradient g = make();
    {
        FakeTarget form(log, PaintTargetKind::Form, 6, 4);
        form.failAt = "autoRedraw";
        EXPECT_NO_THROW(g.CustomizeForm(form));
        EXPECT_EQ(log, (Log{"autoRedraw", "lock", "rect", "formCanvas", "unlock", "refresh"}));
    }
    {
        // Drawing fails past its own handling (its message box fails too).
        log.clear();
        ui.throwOnMessage = true;
        FakeTarget form(log, PaintTargetKind::Form, 6, 4);
        form.failAt = "rect";
        EXPECT_NO_THROW(g.CustomizeForm(form));
        EXPECT_EQ(log, (Log{"autoRedraw", "lock", "rect", "message", "unlock", "refresh"}));
        ui.throwOnMessage = false;
    }
    {
        log.clear();
        FakeTarget form(log, PaintTargetKind::Form, 6, 4);
        form.failAt = "refresh";
        EXPECT_NO_THROW(g.CustomizeForm(form));
        EXPECT_EQ(log.back(), "refresh");
        EXPECT_FALSE(form.drawn.lines.empty());
    }
}

TEST_F(Gradient, ApplyGradientCreatesTheSharedPainterOnceAndPaints) {
    EXPECT_EQ(SharedPainter(), nullptr);
    FakeTarget form(log, PaintTargetKind::Form, 12, 9);
    ApplyGradient(form, ui, colors);
    const clsGradient* painter = SharedPainter();
    ASSERT_NE(painter, nullptr);
    EXPECT_EQ(painter->Color1(), 0xFFFFD0);
    EXPECT_EQ(painter->Angle(), 315.0f);
    EXPECT_EQ(log.front(), "autoRedraw");
    EXPECT_EQ(log.back(), "refresh");
    const std::size_t lines = form.drawn.lines.size();
    EXPECT_GT(lines, 0u);

    // Twice over the same window: the same painter, the same lines again.
    ApplyGradient(form, ui, colors);
    EXPECT_EQ(SharedPainter(), painter);
    EXPECT_EQ(form.drawn.lines.size(), 2 * lines);
}

}  // namespace
}  // namespace kestrum::paint

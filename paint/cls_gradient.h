#pragma once
// The gradient painter: fills a window's client area with a sweep of parallel
// one-pixel lines, each in its own colour, from Color1 to Color2 in the direction
// Angle (degrees, counter-clockwise from left-to-right on the screen).
//
// The numbers are deliberately fussy: values noted as "float" are rounded to single
// precision when stored, arithmetic between them is done in double, and conversions
// to whole numbers round halves to even. Which side of a tie a line falls on decides
// its colour, so don't "simplify" any of it.

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/canvas.h"
#include "platform/paint_target.h"

namespace kestrum::paint {

class GradientState;

class clsGradient {
public:
    struct PointF {
        float x = 0;
        float y = 0;
    };
    struct Point {
        std::int32_t x = 0;
        std::int32_t y = 0;
    };
    // Where the first line starts and how each next line moves from it.
    struct Placement {
        float ox = 0;
        float oy = 0;
        std::int16_t sx = 0;
        std::int16_t sy = 0;
    };
    // A sweep's lines: pairs of points (an odd last point has no partner), and
    // the colour table they take their colours from.
    struct Sweep {
        std::vector<Point> points;
        std::vector<std::int32_t> colors;
    };

    // Applies the defaults to whichever of shared's settings is 0.
    explicit clsGradient(GradientState& shared);

    void CustomizeForm(platform::PaintTarget& frm);
    // True when a sweep ran and drew something.
    bool Draw(platform::PaintTarget& picObj);

    // The settings are shared by every instance made with the same state.
    std::int32_t Color1() const;
    void setColor1(std::int32_t lData);
    std::int32_t Color2() const;
    void setColor2(std::int32_t lData);
    float Angle() const;
    void setAngle(float value);

    // The sweep and its helpers; public so that they can be checked on their own.
    // Each helper that stores or rounds a number says by its result when one
    // overflows; the sweep then draws nothing and reports it.
    //
    // Returns twice the number of lines drawn, 0 after a reported failure. canvas may
    // be null: the sweep then runs without drawing anything.
    std::int32_t DrawGradient(platform::Canvas* canvas, std::int32_t width, std::int32_t height);
    // Nothing when a number on the way overflows.
    std::optional<Sweep> PlanSweep(std::int32_t width, std::int32_t height) const;
    static std::optional<Placement> PlaceFirstLine(float angle, bool steep, PointF p0, PointF p1, std::int32_t width,
                                                   std::int32_t height);
    // Replaces table; returns the number of entries, 0 when an entry overflows.
    static std::int32_t BuildColorTable(std::int32_t color1, std::int32_t color2, std::int32_t count,
                                        std::vector<std::int32_t>& table);
    // False when the turned point overflows.
    static bool RotatePoint(const PointF& centre, PointF& point, float degrees);
    static double SafeDivide(double numerator, double denominator);

private:
    void RedrawForm(platform::PaintTarget& frm) noexcept;
    std::int32_t resolveColor(std::int32_t value);

    GradientState& shared_;
};

}  // namespace kestrum::paint

// The sweep's geometry and colours: where its lines lie and what colour each
// takes. Pure arithmetic, nothing drawn.

#include <algorithm>
#include <cfloat>
#include <cmath>

#include "paint/cls_gradient.h"

namespace kestrum::paint {

namespace {

constexpr double kRadiansPerDegree = 0.017453292519943278;

// The sweep's stores and roundings. One whose result does not fit marks the
// calculation failed and gives 0 in its place, so that a calculation runs on
// and is looked at once, before anything uses what it made.
class Checked {
public:
    // Stores a double in single precision. Infinities and NaN pass; a finite value
    // too big for a float is an overflow (a plain cast would be undefined).
    float single(double v) {
        if (std::isfinite(v) && std::fabs(v) > FLT_MAX) return failed<float>();
        return static_cast<float>(v);
    }
    // Nearest whole number, halves to even (default rounding mode), checked before
    // the conversion so that NaN or a huge value is an overflow, not UB.
    std::int32_t toLong(double v) {
        const double r = std::nearbyint(v);
        if (!(r >= INT32_MIN && r <= INT32_MAX)) return failed<std::int32_t>();
        return static_cast<std::int32_t>(r);
    }
    std::int32_t narrow(std::int64_t v) {
        if (v < INT32_MIN || v > INT32_MAX) return failed<std::int32_t>();
        return static_cast<std::int32_t>(v);
    }
    std::int32_t add(std::int32_t a, std::int32_t b) { return narrow(std::int64_t{a} + b); }
    bool overflowed() const { return overflowed_; }

private:
    template <typename T>
    T failed() {
        overflowed_ = true;
        return T{};
    }
    bool overflowed_ = false;
};

using Point = clsGradient::Point;

// Both of the two newest points have passed the far edge.
bool beyondFarEdge(Point a, Point b, const clsGradient::Placement& p, std::int32_t w, std::int32_t h) {
    if (p.sx > 0) return a.x > w && b.x > w;
    if (p.sx < 0) return a.x < 0 && b.x < 0;
    if (p.sy > 0) return a.y > h && b.y > h;
    return a.y < 0 && b.y < 0;
}

}  // namespace

std::optional<clsGradient::Sweep> clsGradient::PlanSweep(std::int32_t width, std::int32_t height) const {
    Checked checked;
    const double w = width;
    const double h = height;

    // A first line through the centre, one pixel longer at each end than the
    // diagonal of a square on the longer side, so it always spans the area.
    PointF axis[3];
    PointF& c = axis[2];
    c = {checked.single(std::floor(w / 2)), checked.single(std::floor(h / 2))};
    const double m = checked.single(std::max(w, h));
    const float r = checked.single((std::sqrt(m * m + m * m) + 2) / 2);
    axis[0] = {checked.single(static_cast<double>(c.x) - r), c.y};
    axis[1] = {checked.single(static_cast<double>(c.x) + r), c.y};

    // Turned to run perpendicular to the gradient's direction.
    const float s = checked.single(static_cast<double>(Angle()) + 90);
    const float a = checked.single(s - std::floor(std::floor(static_cast<double>(s) / 360) * 360));
    if (checked.overflowed() || !RotatePoint(c, axis[0], a) || !RotatePoint(c, axis[1], a)) return std::nullopt;
    const float xd = checked.single(std::fabs(static_cast<double>(axis[0].x) - axis[1].x));
    const float yd = checked.single(std::fabs(static_cast<double>(axis[0].y) - axis[1].y));
    const std::optional<Placement> placed = PlaceFirstLine(Angle(), yd >= xd, axis[0], axis[1], width, height);
    if (!placed) return std::nullopt;
    const Placement& p = *placed;

    Sweep sweep;
    std::vector<Point>& points = sweep.points;
    points.resize(1000);
    const double ox = p.ox;
    const double oy = p.oy;
    points[0] = {checked.toLong(ox + axis[0].x), checked.toLong(oy + axis[0].y)};
    points[1] = {checked.toLong(ox + axis[1].x), checked.toLong(oy + axis[1].y)};
    if (checked.overflowed()) return std::nullopt;
    std::int32_t n = 2;
    for (;;) {
        points[n] = {checked.add(points[n - 2].x, p.sx), checked.add(points[n - 2].y, p.sy)};
        n = checked.add(n, 1);
        if (checked.overflowed()) return std::nullopt;
        if (beyondFarEdge(points[n - 1], points[n - 2], p, width, height)) break;
        if (n % 1000 == 0) points.resize(points.size() + 1000);
    }
    points.resize(n);

    // Rounded, not halved: for n = 4k + 3 the table has one entry (Color2) more
    // than there are lines.
    if (BuildColorTable(Color1(), Color2(), checked.toLong(n / 2.0), sweep.colors) == 0) return std::nullopt;
    return sweep;
}

// Steep lines step along x, shallow ones along y; the angle decides the side the
// sweep starts from (90, 180 and 270 go with the row they end).
std::optional<clsGradient::Placement> clsGradient::PlaceFirstLine(float angle, bool steep, PointF p0, PointF p1,
                                                                  std::int32_t width, std::int32_t height) {
    Checked checked;
    const int row = (0 <= angle && angle <= 90)      ? 1
                    : (90 <= angle && angle <= 180)  ? 2
                    : (180 <= angle && angle <= 270) ? 3
                                                     : 4;
    Placement placed;
    if (steep && (row == 1 || row == 4)) {
        placed = {checked.single(-static_cast<double>(std::max(p0.x, p1.x))), 0, +1, 0};
    } else if (steep) {
        placed = {checked.single(static_cast<double>(width) - std::min(p0.x, p1.x)), 0, -1, 0};
    } else if (row == 1 || row == 2) {
        placed = {0, checked.single(static_cast<double>(height) - std::min(p0.y, p1.y)), 0, -1};
    } else {
        placed = {0, checked.single(-static_cast<double>(std::max(p0.y, p1.y))), 0, +1};
    }
    if (checked.overflowed()) return std::nullopt;
    return placed;
}

// The increments divide by the number of entries, not the number of gaps, so the
// last step (into color2) is two increments wide. Interior entries lose the high
// byte; the two ends keep all 32 bits.
std::int32_t clsGradient::BuildColorTable(std::int32_t color1, std::int32_t color2, std::int32_t count,
                                          std::vector<std::int32_t>& table) {
    Checked checked;
    const std::int32_t n = count < 2 ? 2 : count;
    const double r1 = color1 & 0xFF;
    const double g1 = checked.toLong((color1 & 0xFF00) / 256.0);
    const double b1 = checked.toLong((color1 & 0xFF0000) / 65536.0);
    const double r2 = color2 & 0xFF;
    const double g2 = (color2 & 0xFF00) / 256.0;
    const double b2 = (color2 & 0xFF0000) / 65536.0;
    const double dr = checked.single(SafeDivide(r2 - r1, n));
    const double dg = checked.single(SafeDivide(g2 - g1, n));
    const double db = checked.single(SafeDivide(b2 - b1, n));

    table.assign(static_cast<std::size_t>(n), 0);
    table[0] = color1;
    table[n - 1] = color2;
    for (std::int32_t k = 1; k <= n - 2 && !checked.overflowed(); ++k) {
        const double fk = checked.single(k);
        const std::int64_t red = checked.toLong(r1 + fk * dr);
        const std::int64_t green = checked.toLong(g1 + fk * dg);
        const std::int64_t blue = checked.toLong(b1 + fk * db);
        table[k] = checked.narrow(red + 256 * green + 65536 * blue);
    }
    return checked.overflowed() ? 0 : n;
}

// Counter-clockwise on the screen (y grows downwards) for a positive angle.
bool clsGradient::RotatePoint(const PointF& centre, PointF& point, float degrees) {
    Checked checked;
    const double t = checked.single(static_cast<double>(degrees) * kRadiansPerDegree);
    const double dx = checked.single(static_cast<double>(point.x) - centre.x);
    const double dy = checked.single(static_cast<double>(point.y) - centre.y);
    const double sinT = std::sin(t);
    const double cosT = std::cos(t);
    const PointF turned{checked.single(dy * sinT + dx * cosT + centre.x),
                        checked.single(dy * cosT - dx * sinT + centre.y)};
    if (checked.overflowed()) return false;
    point = turned;
    return true;
}

double clsGradient::SafeDivide(double numerator, double denominator) {
    return denominator == 0 ? 0 : numerator / denominator;
}

}  // namespace kestrum::paint

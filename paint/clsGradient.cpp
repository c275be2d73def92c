#include "paint/clsGradient.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <exception>
#include <new>
#include <optional>
#include <stdexcept>
#include <string>

#include "platform/identity.h"

namespace kestrum::paint {

namespace {

constexpr std::int32_t kDefaultColor1 = 0xFFFFD0;
constexpr std::int32_t kDefaultColor2 = 0x400000;
constexpr float kDefaultAngle = 315;
constexpr double kRadiansPerDegree = 0.017453292519943278;
constexpr const char* kSweepTitle = "GradientRect";

struct Point {
    std::int32_t x = 0;
    std::int32_t y = 0;
};

[[noreturn]] void overflow() { throw std::overflow_error("Overflow"); }

// Stores a double in single precision. Infinities and NaN pass; a finite value
// too big for a float is an overflow (a plain cast would be undefined).
float single(double v) {
    if (std::isfinite(v) && std::fabs(v) > FLT_MAX) overflow();
    return static_cast<float>(v);
}

// Nearest whole number, halves to even (default rounding mode), checked before
// the conversion so that NaN or a huge value is a reported failure, not UB.
std::int32_t toLong(double v) {
    const double r = std::nearbyint(v);
    if (!(r >= INT32_MIN && r <= INT32_MAX)) overflow();
    return static_cast<std::int32_t>(r);
}

std::int32_t checkedAdd(std::int32_t a, std::int32_t b) {
    const std::int64_t sum = std::int64_t{a} + b;
    if (sum < INT32_MIN || sum > INT32_MAX) overflow();
    return static_cast<std::int32_t>(sum);
}

// The words the user sees for the failure being handled.
std::string describeFailure() {
    try {
        throw;
    } catch (const std::bad_alloc&) {
        return "Out of memory";
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return "Unknown failure";
    }
}

// Both of the two newest points have passed the far edge.
bool beyondFarEdge(Point a, Point b, const clsGradient::Placement& p, std::int32_t w, std::int32_t h) {
    if (p.sx > 0) return a.x > w && b.x > w;
    if (p.sx < 0) return a.x < 0 && b.x < 0;
    if (p.sy > 0) return a.y > h && b.y > h;
    return a.y < 0 && b.y < 0;
}

}  // namespace

clsGradient::clsGradient(platform::Ui& ui, platform::SystemColors& systemColors)
    : ui_(ui), systemColors_(systemColors) {
    if (color1_ == 0) color1_ = kDefaultColor1;
    if (color2_ == 0) color2_ = kDefaultColor2;
    if (angle_ == 0) angle_ = kDefaultAngle;
}

void clsGradient::ResetSettingsForTesting() {
    color1_ = 0;
    color2_ = 0;
    angle_ = 0;
}

void clsGradient::setColor1(std::int32_t lData) {
    color1_ = lData;  // kept if looking up a system colour fails
    color1_ = resolveColor(lData);
}

void clsGradient::setColor2(std::int32_t lData) {
    color2_ = lData;
    color2_ = resolveColor(lData);
}

// 0x80000000 + n (n <= 24) names system display element n; its colour is taken
// now, once. Any other value is kept as it is.
std::int32_t clsGradient::resolveColor(std::int32_t value) {
    const std::int32_t index = value & 0x7FFFFFFF;
    if (value < 0 && index <= 24) return static_cast<std::int32_t>(systemColors_.sysColor(index));
    return value;
}

// Whole turns taken off. Held in single precision, so a value a hair below a
// multiple of 360 (say -1e-6) comes out as 360 itself; it then draws as 0 does.
void clsGradient::setAngle(float value) {
    const double v = value;
    angle_ = single(v - std::floor(std::floor(v / 360) * 360));
}

void clsGradient::CustomizeForm(platform::PaintTarget& frm) { RedrawForm(frm); }

// Each step may fail on its own; the others still run and nothing reaches the caller.
void clsGradient::RedrawForm(platform::PaintTarget& frm) noexcept {
    try {
        frm.setAutoRedraw(true);
    } catch (...) {
    }
    std::optional<clsGradient> painter;
    try {
        painter.emplace(ui_, systemColors_);
        painter->Draw(frm);
    } catch (...) {
    }
    try {
        frm.refresh();
    } catch (...) {
    }
    painter.reset();
}

bool clsGradient::Draw(platform::PaintTarget& picObj) {
    // The window must never stay locked, whatever happens below (message included).
    struct Unlock {
        platform::PaintTarget& target;
        ~Unlock() {
            try {
                target.lockWindowUpdate(false);
            } catch (...) {
            }
        }
    } unlock{picObj};

    bool result = false;
    try {
        picObj.lockWindowUpdate(true);
        int right = 0;
        int bottom = 0;
        if (picObj.getClientRect(right, bottom)) {
            platform::Canvas* hDC = nullptr;
            std::unique_ptr<platform::Canvas> buttonDC;  // released after the sweep
            if (picObj.kind() == platform::PaintTargetKind::Form) {
                hDC = picObj.formCanvas();
            } else if (picObj.kind() == platform::PaintTargetKind::Button) {
                buttonDC = picObj.windowCanvas();
                hDC = buttonDC.get();
            }
            if (right > 1 && bottom > 1) result = DrawGradient(hDC, right, bottom) > 0;
        }
    } catch (...) {
        ui_.messageBox(describeFailure(), platform::kExclamation, platform::kAppTitle);
    }
    return result;
}

std::int32_t clsGradient::DrawGradient(platform::Canvas* hDC, std::int32_t width, std::int32_t height) {
    try {
        const double w = width;
        const double h = height;

        // A first line through the centre, one pixel longer at each end than the
        // diagonal of a square on the longer side, so it always spans the area.
        PointF axis[3];
        PointF& c = axis[2];
        c = {single(std::floor(w / 2)), single(std::floor(h / 2))};
        const double m = single(std::max(w, h));
        const float r = single((std::sqrt(m * m + m * m) + 2) / 2);
        axis[0] = {single(double{c.x} - r), c.y};
        axis[1] = {single(double{c.x} + r), c.y};

        // Turned to run perpendicular to the gradient's direction.
        const float s = single(double{angle_} + 90);
        const float a = single(s - std::floor(std::floor(double{s} / 360) * 360));
        RotatePoint(c, axis[0], a);
        RotatePoint(c, axis[1], a);
        const float xd = single(std::fabs(double{axis[0].x} - axis[1].x));
        const float yd = single(std::fabs(double{axis[0].y} - axis[1].y));
        const Placement p = PlaceFirstLine(angle_, yd >= xd, axis[0], axis[1], width, height);

        std::vector<Point> points(1000);
        points[0] = {toLong(double{p.ox} + axis[0].x), toLong(double{p.oy} + axis[0].y)};
        points[1] = {toLong(double{p.ox} + axis[1].x), toLong(double{p.oy} + axis[1].y)};
        std::int32_t n = 2;
        for (;;) {
            points[n] = {checkedAdd(points[n - 2].x, p.sx), checkedAdd(points[n - 2].y, p.sy)};
            n = checkedAdd(n, 1);
            if (beyondFarEdge(points[n - 1], points[n - 2], p, width, height)) break;
            if (n % 1000 == 0) points.resize(points.size() + 1000);
        }
        points.resize(n);

        // Rounded, not halved: for n = 4k + 3 the table has one entry (Color2) more
        // than there are lines.
        std::vector<std::int32_t> table;
        BuildColorTable(color1_, color2_, toLong(n / 2.0), table);

        // Pairs of points are lines; an odd last point has no partner.
        const std::int32_t last = n - 2;
        std::int32_t j = 0;
        for (; j <= last; j += 2) {
            if (hDC == nullptr) continue;  // nowhere to draw, but the count still stands
            hDC->moveTo(points[j].x, points[j].y);
            const platform::GdiObject pen = hDC->createPen(0, 1, static_cast<std::uint32_t>(table[j / 2]));
            const platform::GdiObject previous = hDC->selectObject(pen);
            hDC->lineTo(points[j + 1].x, points[j + 1].y);
            hDC->selectObject(previous);
            hDC->deleteObject(pen);
        }
        return j;
    } catch (...) {
        ui_.messageBox(describeFailure(), platform::kExclamation, kSweepTitle);
        return 0;
    }
}

// Steep lines step along x, shallow ones along y; the angle decides the side the
// sweep starts from (90, 180 and 270 go with the row they end).
clsGradient::Placement clsGradient::PlaceFirstLine(float angle, bool steep, PointF p0, PointF p1,
                                                   std::int32_t width, std::int32_t height) {
    const int row = (0 <= angle && angle <= 90)     ? 1
                    : (90 <= angle && angle <= 180)  ? 2
                    : (180 <= angle && angle <= 270) ? 3
                                                     : 4;
    if (steep) {
        if (row == 1 || row == 4) return {single(-double{std::max(p0.x, p1.x)}), 0, +1, 0};
        return {single(static_cast<double>(width) - std::min(p0.x, p1.x)), 0, -1, 0};
    }
    if (row == 1 || row == 2) return {0, single(static_cast<double>(height) - std::min(p0.y, p1.y)), 0, -1};
    return {0, single(-double{std::max(p0.y, p1.y)}), 0, +1};
}

// The increments divide by the number of entries, not the number of gaps, so the
// last step (into color2) is two increments wide. Interior entries lose the high
// byte; the two ends keep all 32 bits.
std::int32_t clsGradient::BuildColorTable(std::int32_t color1, std::int32_t color2, std::int32_t count,
                                          std::vector<std::int32_t>& table) {
    const std::int32_t n = count < 2 ? 2 : count;
    const double r1 = color1 & 0xFF;
    const double g1 = toLong((color1 & 0xFF00) / 256.0);
    const double b1 = toLong((color1 & 0xFF0000) / 65536.0);
    const double r2 = color2 & 0xFF;
    const double g2 = (color2 & 0xFF00) / 256.0;
    const double b2 = (color2 & 0xFF0000) / 65536.0;
    const double dr = single(SafeDivide(r2 - r1, n));
    const double dg = single(SafeDivide(g2 - g1, n));
    const double db = single(SafeDivide(b2 - b1, n));

    table.assign(static_cast<std::size_t>(n), 0);
    table[0] = color1;
    table[n - 1] = color2;
    for (std::int32_t k = 1; k <= n - 2; ++k) {
        const double fk = single(k);
        const std::int64_t entry = std::int64_t{toLong(r1 + fk * dr)} + 256 * std::int64_t{toLong(g1 + fk * dg)} +
                                   65536 * std::int64_t{toLong(b1 + fk * db)};
        if (entry < INT32_MIN || entry > INT32_MAX) overflow();
        table[k] = static_cast<std::int32_t>(entry);
    }
    return n;
}

// Counter-clockwise on the screen (y grows downwards) for a positive angle.
void clsGradient::RotatePoint(const PointF& centre, PointF& point, float degrees) {
    const double t = single(double{degrees} * kRadiansPerDegree);
    const double dx = single(double{point.x} - centre.x);
    const double dy = single(double{point.y} - centre.y);
    const double sinT = std::sin(t);
    const double cosT = std::cos(t);
    point.x = single(dy * sinT + dx * cosT + centre.x);
    point.y = single(dy * cosT - dx * sinT + centre.y);
}

double clsGradient::SafeDivide(double numerator, double denominator) {
    return denominator == 0 ? 0 : numerator / denominator;
}

}  // namespace kestrum::paint

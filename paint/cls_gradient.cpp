#include "paint/cls_gradient.h"

#include <cmath>
#include <exception>
#include <new>
#include <optional>
#include <string>

#include "paint/gradient_state.h"
#include "platform/identity.h"

namespace kestrum::paint {

namespace {

constexpr std::int32_t kDefaultColor1 = 0xFFFFD0;
constexpr std::int32_t kDefaultColor2 = 0x400000;
constexpr float kDefaultAngle = 315;
constexpr const char* kSweepTitle = "GradientRect";
constexpr const char* kOverflow = "Overflow";

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

}  // namespace

clsGradient::clsGradient(GradientState& shared) : shared_(shared) {
    if (shared_.color1_ == 0) shared_.color1_ = kDefaultColor1;
    if (shared_.color2_ == 0) shared_.color2_ = kDefaultColor2;
    if (shared_.angle_ == 0) shared_.angle_ = kDefaultAngle;
}

std::int32_t clsGradient::Color1() const { return shared_.color1_; }

std::int32_t clsGradient::Color2() const { return shared_.color2_; }

float clsGradient::Angle() const { return shared_.angle_; }

void clsGradient::setColor1(std::int32_t lData) {
    shared_.color1_ = lData;  // kept if looking up a system colour fails
    shared_.color1_ = resolveColor(lData);
}

void clsGradient::setColor2(std::int32_t lData) {
    shared_.color2_ = lData;
    shared_.color2_ = resolveColor(lData);
}

// 0x80000000 + n (n <= 24) names system display element n; its colour is taken
// now, once. Any other value is kept as it is.
std::int32_t clsGradient::resolveColor(std::int32_t value) {
    const std::int32_t index = value & 0x7FFFFFFF;
    if (value < 0 && index <= 24) return static_cast<std::int32_t>(shared_.systemColors_.sysColor(index));
    return value;
}

// Whole turns taken off. Held in single precision, so a value a hair below a
// multiple of 360 (say -1e-6) comes out as 360 itself; it then draws as 0 does.
void clsGradient::setAngle(float value) {
    const double v = value;
    // Between 0 and 360 for any finite value, so it always fits a float.
    shared_.angle_ = static_cast<float>(v - std::floor(std::floor(v / 360) * 360));
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
        painter.emplace(shared_);
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
            platform::Canvas* canvas = picObj.kind() == platform::PaintTargetKind::Form ? picObj.formCanvas() : nullptr;
            if (right > 1 && bottom > 1) result = DrawGradient(canvas, right, bottom) > 0;
        }
    } catch (...) {
        shared_.ui_.messageBox(describeFailure(), platform::kExclamation, platform::kAppTitle);
    }
    return result;
}

std::int32_t clsGradient::DrawGradient(platform::Canvas* canvas, std::int32_t width, std::int32_t height) {
    try {
        const std::optional<Sweep> sweep = PlanSweep(width, height);
        if (!sweep) {
            shared_.ui_.messageBox(kOverflow, platform::kExclamation, kSweepTitle);
            return 0;
        }
        const std::vector<Point>& points = sweep->points;
        // Pairs of points are lines; an odd last point has no partner.
        const auto last = static_cast<std::int32_t>(points.size()) - 2;
        std::int32_t j = 0;
        for (; j <= last; j += 2) {
            if (canvas == nullptr) continue;  // nowhere to draw, but the count still stands
            canvas->moveTo(points[j].x, points[j].y);
            // The window's own pen is selected back before this one is deleted.
            const auto color = static_cast<std::uint32_t>(sweep->colors[j / 2]);
            const platform::OwnedGdiObject pen(*canvas, canvas->createPen(0, 1, color));
            const platform::ScopedSelect selected(*canvas, pen.get());
            canvas->lineTo(points[j + 1].x, points[j + 1].y);
        }
        return j;
    } catch (...) {
        // What the sweep cannot plan around: memory, or the canvas itself.
        shared_.ui_.messageBox(describeFailure(), platform::kExclamation, kSweepTitle);
        return 0;
    }
}

}  // namespace kestrum::paint

#include "paint/apply_gradient.h"

#include <memory>

namespace kestrum::paint {

namespace {
std::unique_ptr<clsGradient>& sharedPainter() {
    static std::unique_ptr<clsGradient> painter;
    return painter;
}

// The picture the last sweep left in a target's image.
struct Painted {
    const platform::PaintTarget* target = nullptr;
    std::uint64_t version = 0;
    std::int32_t color1 = 0, color2 = 0;
    float angle = 0;
    bool operator==(const Painted&) const = default;
};
Painted& lastPainted() {
    static Painted painted;
    return painted;
}
}  // namespace

void ApplyGradient(platform::PaintTarget& frm, platform::Ui& ui, platform::SystemColors& systemColors) {
    auto& painter = sharedPainter();
    if (!painter) painter = std::make_unique<clsGradient>(ui, systemColors);
    // A window loaded and then sized for showing asks twice for the same picture:
    // the image still holds it, untouched since, so it is not swept again.
    auto now = [&] {
        return Painted{&frm, frm.imageVersion(), painter->Color1(), painter->Color2(), painter->Angle()};
    };
    if (frm.imageVersion() != 0 && lastPainted() == now()) return;
    painter->CustomizeForm(frm);
    lastPainted() = now();
}

const clsGradient* SharedPainter() { return sharedPainter().get(); }

void ResetSharedPainterForTesting() {
    sharedPainter().reset();
    lastPainted() = {};
}

}  // namespace kestrum::paint

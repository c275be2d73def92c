#include "paint/apply_gradient.h"

#include <memory>

namespace kestrum::paint {

namespace {
std::unique_ptr<clsGradient>& sharedPainter() {
    static std::unique_ptr<clsGradient> painter;
    return painter;
}
}  // namespace

void ApplyGradient(platform::PaintTarget& frm, platform::Ui& ui, platform::SystemColors& systemColors) {
    auto& painter = sharedPainter();
    if (!painter) painter = std::make_unique<clsGradient>(ui, systemColors);
    painter->CustomizeForm(frm);
}

const clsGradient* SharedPainter() { return sharedPainter().get(); }

void ResetSharedPainterForTesting() { sharedPainter().reset(); }

}  // namespace kestrum::paint

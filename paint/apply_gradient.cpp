#include "paint/apply_gradient.h"

namespace kestrum::paint {

void ApplyGradient(platform::PaintTarget& frm, GradientState& shared) {
    auto& painter = shared.painter_;
    if (!painter) painter = std::make_unique<clsGradient>(shared);
    // A window loaded and then sized for showing asks twice for the same picture:
    // the image still holds it, untouched since, so it is not swept again.
    auto now = [&] {
        return GradientState::Painted{&frm, frm.imageVersion(), painter->Color1(), painter->Color2(), painter->Angle()};
    };
    if (frm.imageVersion() != 0 && shared.lastPainted_ == now()) return;
    painter->CustomizeForm(frm);
    shared.lastPainted_ = now();
}

}  // namespace kestrum::paint

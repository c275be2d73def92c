#pragma once
// The main module's way of giving any window its gradient background.

#include "paint/cls_gradient.h"
#include "platform/paint_target.h"
#include "platform/ui.h"

namespace kestrum::paint {

// Paints frm through the program's shared painter, which is created on the first
// call (with the services given then) and kept until the program ends. The
// services are the program's own and must live as long.
void ApplyGradient(platform::PaintTarget& frm, platform::Ui& ui, platform::SystemColors& systemColors);

// The shared painter, or null before the first ApplyGradient.
const clsGradient* SharedPainter();
void ResetSharedPainterForTesting();

}  // namespace kestrum::paint

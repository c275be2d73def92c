#pragma once
// The main module's way of giving any window its gradient background.

#include "paint/gradient_state.h"
#include "platform/paint_target.h"

namespace kestrum::paint {

// Paints frm through shared's painter, which is made on the first call and kept
// as long as shared.
void ApplyGradient(platform::PaintTarget& frm, GradientState& shared);

}  // namespace kestrum::paint

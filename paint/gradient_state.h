#pragma once
// What the program's gradient painters share: one copy of the settings, the
// painter the windows are painted through, and the services they report and look
// up system colours with. The program makes one and hands it to every window.

#include <cstdint>
#include <memory>

#include "paint/cls_gradient.h"
#include "platform/paint_target.h"
#include "platform/ui.h"

namespace kestrum::paint {

class GradientState {
public:
    // The services must live as long as the state.
    GradientState(platform::Ui& ui, platform::SystemColors& systemColors) : ui_(ui), systemColors_(systemColors) {}

private:
    friend class clsGradient;
    friend void ApplyGradient(platform::PaintTarget& frm, GradientState& shared);

    // The picture the last sweep left in a target's image.
    struct Painted {
        const platform::PaintTarget* target = nullptr;
        std::uint64_t version = 0;
        std::int32_t color1 = 0, color2 = 0;
        float angle = 0;
        bool operator==(const Painted&) const = default;
    };

    platform::Ui& ui_;
    platform::SystemColors& systemColors_;
    // 0 until the first instance gives them their defaults.
    std::int32_t color1_ = 0;
    std::int32_t color2_ = 0;
    float angle_ = 0;
    // Made by the first ApplyGradient, kept as long as the state.
    std::unique_ptr<clsGradient> painter_;
    Painted lastPainted_;
};

}  // namespace kestrum::paint

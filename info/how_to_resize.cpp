#include "info/how_to_resize.h"

namespace kestrum::info {

namespace {

std::optional<float> UnlessNegative(float twips) {
    if (twips >= 0) return twips;
    return std::nullopt;  // below zero, or no number at all
}

}  // namespace

BoxSize HowToBoxSize(float clientWidth, float clientHeight, float boxLeft, float boxTop) {
    return {UnlessNegative(clientWidth - 2 * boxLeft), UnlessNegative(clientHeight - 2 * boxTop - 480)};
}

BelowBox HowToBelowBox(float boxLeft, float boxTop, float boxWidth, float boxHeight, float closeWidth) {
    const float top = boxHeight + boxTop + 180;
    return {boxWidth + boxLeft - closeWidth, top, boxLeft, top};
}

}  // namespace kestrum::info

#pragma once
// The How-To window's layout rule, apart from the window: the document box fills
// the client area but for a margin, and the Close button and the link stand
// beneath it. All in twips, in single precision as the window's logic keeps them.

#include <optional>

namespace kestrum::info {

// The box's new size for a client area of the given size, the box's left and
// top edges as they are. A size that would fall below zero is none: the box
// keeps the size it has.
struct BoxSize {
    std::optional<float> width, height;
};
BoxSize HowToBoxSize(float clientWidth, float clientHeight, float boxLeft, float boxTop);

// Where the button and the link go beneath a box of the given place: 180
// twips below it, the button's right edge on the box's, the link on its left.
struct BelowBox {
    float closeLeft, closeTop, linkLeft, linkTop;
};
BelowBox HowToBelowBox(float boxLeft, float boxTop, float boxWidth, float boxHeight, float closeWidth);

}  // namespace kestrum::info

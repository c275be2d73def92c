// Fuzzes the How-To window's layout rule with any client size and any place of
// the box (no numbers, infinities and huge values included), against a second
// reading of the rule in double precision and against the picture it draws:
// - a size is none exactly when the rule gives a number below zero, or none;
// - every place is the double-precision one to within the rounding of floats;
// - the button's right edge is on the box's, 180 twips below it, the link on
//   the box's left edge at the button's height.

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <optional>

#include "info/howto_resize.h"

namespace {

using kestrum::info::HowToBelowBox;
using kestrum::info::HowToBoxSize;

[[noreturn]] void Fail(const char* what, double got, double wanted) {
    std::fprintf(stderr, "How-To layout: %s: %.9g where %.9g\n", what, got, wanted);
    std::abort();
}

// A float sum of these terms, held to the double one: each float step rounds
// by at most half a unit in the last place of the largest magnitude in play.
bool Near(double got, double wanted, std::initializer_list<double> terms) {
    if (std::isnan(wanted)) return std::isnan(got);
    if (std::isinf(wanted) || std::isinf(got)) return got == wanted || std::isnan(got);
    double scale = std::fabs(wanted);
    for (double t : terms) scale = std::max(scale, std::fabs(t));
    return std::fabs(got - wanted) <= 4 * FLT_EPSILON * scale + FLT_MIN;
}

void CheckSize(const char* what, std::optional<float> got, double wanted, std::initializer_list<double> terms) {
    double scale = 480;
    for (double t : terms) scale = std::max(scale, std::fabs(t));
    const double slack = 4 * FLT_EPSILON * scale;
    if (std::isnan(wanted) || wanted < -slack) {
        if (got) Fail(what, *got, wanted);  // below zero, or no number: none
        return;
    }
    if (wanted > slack && !got) Fail(what, -1, wanted);  // clearly a size: given
    if (got && (*got < 0 || !Near(*got, wanted, terms))) Fail(what, *got, wanted);
}

float Take(const std::uint8_t*& data) {
    float value;
    std::memcpy(&value, data, sizeof value);
    data += sizeof value;
    return value;
}

}  // namespace

// Input: five floats, as raw bytes: the client width and height, the box's left
// and top, the button's width; then the box's width and height before (two more).
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 7 * sizeof(float)) return 0;
    const float w = Take(data), h = Take(data), left = Take(data), top = Take(data), closeWidth = Take(data);
    const float oldWidth = Take(data), oldHeight = Take(data);
    // Beyond 1e30 twips a float sum may overflow where the double one does not;
    // such places still go through the rule, for what the sanitizers see.
    bool checked = true;
    for (float v : {w, h, left, top, closeWidth, oldWidth, oldHeight})
        if (std::isfinite(v) && std::fabs(v) > 1e30f) checked = false;

    const auto box = HowToBoxSize(w, h, left, top);
    // As the window does it: a size that is none leaves the box as it was.
    const float boxWidth = box.width.value_or(oldWidth), boxHeight = box.height.value_or(oldHeight);
    const auto below = HowToBelowBox(left, top, boxWidth, boxHeight, closeWidth);
    if (!checked) return 0;

    const double dw = w, dh = h, dl = left, dt = top;
    CheckSize("box width", box.width, dw - 2 * dl, {dw, 2 * dl});
    CheckSize("box height", box.height, dh - 2 * dt - 480, {dh, 2 * dt, 480});

    const double closeTop = double{boxHeight} + dt + 180;
    const double closeLeft = double{boxWidth} + dl - closeWidth;
    if (!Near(below.closeTop, closeTop, {boxHeight, dt, 180})) Fail("button top", below.closeTop, closeTop);
    if (!Near(below.closeLeft, closeLeft, {boxWidth, dl, closeWidth})) Fail("button left", below.closeLeft, closeLeft);
    // The picture: right edges together, the link at the box's left and the button's height.
    if (std::isfinite(closeLeft) && !Near(double{below.closeLeft} + closeWidth, double{left} + boxWidth,
                                          {boxWidth, dl, closeWidth}))
        Fail("button's right edge off the box's", double{below.closeLeft} + closeWidth, double{left} + boxWidth);
    if (std::memcmp(&below.linkLeft, &left, sizeof left) != 0) Fail("link left", below.linkLeft, left);
    if (std::memcmp(&below.linkTop, &below.closeTop, sizeof left) != 0) Fail("link top", below.linkTop, below.closeTop);
    return 0;
}

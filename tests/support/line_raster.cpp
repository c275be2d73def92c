#include "tests/support/line_raster.h"

#include <cstdlib>

namespace kestrum::testsupport {

// Bresenham along the longer axis (y when both are equal). Where the true line
// passes exactly halfway between two pixels, GDI moves the minor coordinate only
// when that coordinate is decreasing; this decides which pixel a tie gets.
void ForEachLinePixel(int x0, int y0, int x1, int y1, const std::function<void(int, int)>& put) {
    const int dx = x1 - x0, dy = y1 - y0;
    const int ax = std::abs(dx), ay = std::abs(dy);
    const int sx = dx < 0 ? -1 : 1, sy = dy < 0 ? -1 : 1;
    if (dx == 0 || dy == 0) {
        for (int x = x0, y = y0; x != x1 || y != y1; x += dx ? sx : 0, y += dy ? sy : 0) put(x, y);
        return;
    }
    const bool xMajor = ax > ay;
    const int major = xMajor ? ax : ay, minor = xMajor ? ay : ax;
    const int bias = (xMajor ? dy : dx) < 0 ? 1 : 0;
    int x = x0, y = y0;
    int error = 2 * minor - major;
    for (int i = 0; i < major; ++i) {
        put(x, y);
        const bool stepMinor = error + bias > 0;
        error += stepMinor ? 2 * minor - 2 * major : 2 * minor;
        if (xMajor) {
            x += sx;
            if (stepMinor) y += sy;
        } else {
            y += sy;
            if (stepMinor) x += sx;
        }
    }
}

RasterCanvas::RasterCanvas(int width, int height)
    : width_(width), height_(height), pixels_(static_cast<std::size_t>(width) * height, kUntouched) {}

void RasterCanvas::moveTo(int x, int y) {
    x_ = x;
    y_ = y;
}

void RasterCanvas::lineTo(int x, int y) {
    const auto pen = pens_.find(selected_);
    const std::int64_t color = pen == pens_.end() ? 0 : pen->second;
    ForEachLinePixel(x_, y_, x, y, [&](int px, int py) {
        if (px >= 0 && px < width_ && py >= 0 && py < height_)
            pixels_[static_cast<std::size_t>(py) * width_ + px] = color;
    });
    x_ = x;
    y_ = y;
    ++lines_;
}

// Solid one-pixel pens only: other styles and widths are not modelled.
platform::GdiObject RasterCanvas::createPen(int, int, std::uint32_t color) {
    pens_[nextPen_] = color;
    return nextPen_++;
}

platform::GdiObject RasterCanvas::selectObject(platform::GdiObject object) {
    const platform::GdiObject previous = selected_;
    selected_ = object;
    return previous;
}

void RasterCanvas::deleteObject(platform::GdiObject object) { pens_.erase(object); }

}  // namespace kestrum::testsupport

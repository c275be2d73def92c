#pragma once
// A model of how GDI sets the pixels of a solid one-pixel pen: the gradient sweep drawn
// into it is what real drawing must show, pixel for pixel.

#include <cstdint>
#include <cstdlib>
#include <map>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/canvas.h"

namespace kestrum::testsupport {

// A w by h image, black at first, each pixel in the colour (0x00BBGGRR) it was last drawn in.
class RasterCanvas : public platform::Canvas {
public:
    RasterCanvas(int width, int height) : width_(width), pixels_(static_cast<std::size_t>(width) * height) {}
    std::uint32_t pixel(int x, int y) const { return pixels_[index(x, y)]; }

    void moveTo(int x, int y) override { std::tie(x_, y_) = std::pair(x, y); }
    // Bresenham along the longer axis (y when both are equal), the end pixel left out. Where the
    // true line passes halfway between two pixels, GDI moves the minor coordinate only downwards.
    void lineTo(int x, int y) override {
        const int dx = x - x_, dy = y - y_, sx = dx < 0 ? -1 : 1, sy = dy < 0 ? -1 : 1;
        const bool xMajor = std::abs(dx) > std::abs(dy);
        const int major = xMajor ? std::abs(dx) : std::abs(dy), minor = xMajor ? std::abs(dy) : std::abs(dx);
        const int bias = (xMajor ? dy : dx) < 0 ? 1 : 0;
        const std::uint32_t color = pens_.count(selected_) ? pens_[selected_] : 0;
        for (int i = 0, error = 2 * minor - major; i < major; ++i) {
            if (x_ >= 0 && x_ < width_ && index(x_, y_) < pixels_.size()) pixels_[index(x_, y_)] = color;
            const bool stepMinor = error + bias > 0;
            error += stepMinor ? 2 * minor - 2 * major : 2 * minor;
            x_ += xMajor || stepMinor ? sx : 0;
            y_ += !xMajor || stepMinor ? sy : 0;
        }
        moveTo(x, y);
    }
    platform::GdiObject createPen(int, int, std::uint32_t color) override {
        pens_[++lastPen_] = color;
        return lastPen_;
    }
    platform::GdiObject selectObject(platform::GdiObject object) override { return std::exchange(selected_, object); }
    void deleteObject(platform::GdiObject object) override { pens_.erase(object); }

private:
    std::size_t index(int x, int y) const { return static_cast<std::size_t>(y) * width_ + x; }
    int width_, x_ = 0, y_ = 0;
    std::vector<std::uint32_t> pixels_;
    std::map<platform::GdiObject, std::uint32_t> pens_;
    platform::GdiObject selected_ = 0, lastPen_ = 0;  // 0: the DC's own black pen
};

}  // namespace kestrum::testsupport

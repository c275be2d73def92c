#pragma once
// A model of how GDI sets the pixels of a solid one-pixel pen, to hold real
// drawing against what the portable sweep asked for.

#include <cstdint>
#include <functional>
#include <map>
#include <vector>

#include "platform/canvas.h"

namespace kestrum::testsupport {

// Calls put for each pixel of the line from (x0, y0) towards (x1, y1), the end
// pixel left out, in the order GDI sets them.
void ForEachLinePixel(int x0, int y0, int x1, int y1, const std::function<void(int, int)>& put);

// A canvas that keeps a w by h image of what GDI would show: each pixel holds the
// colour of the pen it was last drawn with (0x00BBGGRR), or kUntouched.
class RasterCanvas : public platform::Canvas {
public:
    static constexpr std::int64_t kUntouched = -1;
    RasterCanvas(int width, int height);

    void moveTo(int x, int y) override;
    void lineTo(int x, int y) override;
    platform::GdiObject createPen(int style, int width, std::uint32_t color) override;
    platform::GdiObject selectObject(platform::GdiObject object) override;
    void deleteObject(platform::GdiObject object) override;

    std::int64_t pixel(int x, int y) const { return pixels_[static_cast<std::size_t>(y) * width_ + x]; }
    int lines() const { return lines_; }

private:
    int width_, height_;
    std::vector<std::int64_t> pixels_;
    std::map<platform::GdiObject, std::uint32_t> pens_;
    platform::GdiObject selected_ = 0;  // 0: the DC's own black pen
    platform::GdiObject nextPen_ = 1;
    int x_ = 0, y_ = 0;
    int lines_ = 0;
};

}  // namespace kestrum::testsupport

#pragma once
// The drawing calls the gradient sweep makes, mirrored one to one.

#include <cstdint>

namespace kestrum::platform {

using GdiObject = std::uintptr_t;  // an opaque pen (or previously selected object)

class Canvas {
public:
    virtual ~Canvas() = default;
    virtual void moveTo(int x, int y) = 0;
    virtual void lineTo(int x, int y) = 0;
    // style 0 is solid; colour 0x00BBGGRR (the high byte is passed on unchanged).
    virtual GdiObject createPen(int style, int width, std::uint32_t color) = 0;
    // Returns the object that was selected before.
    virtual GdiObject selectObject(GdiObject object) = 0;
    virtual void deleteObject(GdiObject object) = 0;
};

}  // namespace kestrum::platform

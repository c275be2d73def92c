#pragma once
// The drawing calls the gradient sweep makes, mirrored one to one.

#include <cstdint>

#include "platform/facade_handle.h"

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

// A pen the canvas made, deleted when its owner goes.
using OwnedGdiObject = FacadeHandle<Canvas, GdiObject, &Canvas::deleteObject>;

// Selects an object for as long as it lives, then selects back the one it
// replaced: declared after the object's owner, it lets go of the object before
// the object is deleted.
class ScopedSelect {
public:
    ScopedSelect(Canvas& canvas, GdiObject object) : canvas_(canvas), previous_(canvas.selectObject(object)) {}
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;
    ~ScopedSelect() { canvas_.selectObject(previous_); }

private:
    Canvas& canvas_;
    GdiObject previous_;
};

}  // namespace kestrum::platform

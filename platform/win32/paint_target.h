#pragma once
// The gradient painter's view of GDI: a canvas over a device context, the form
// it paints, and the system colours.

#include <windows.h>

#include <functional>
#include <utility>

#include "platform/paint_target.h"

namespace kestrum::win32 {

// Draws into a device context it does not own.
class GdiCanvas : public platform::Canvas {
public:
    explicit GdiCanvas(HDC dc = nullptr) : dc_(dc) {}
    void attach(HDC dc) { dc_ = dc; }
    void moveTo(int x, int y) override;
    void lineTo(int x, int y) override;
    platform::GdiObject createPen(int style, int width, std::uint32_t color) override;
    platform::GdiObject selectObject(platform::GdiObject object) override;
    void deleteObject(platform::GdiObject object) override;

private:
    HDC dc_;
};

// A form of the form host: painted into its persistent image. window: the form's
// handle, null while there is no window; imageDc: the image's DC to draw into;
// show: shows what was drawn; version: the image's version.
class FormPaintTarget : public platform::PaintTarget {
public:
    FormPaintTarget(const HWND& window, std::function<HDC()> imageDc, std::function<void()> show,
                    std::function<std::uint64_t()> version)
        : window_(window), imageDc_(std::move(imageDc)), show_(std::move(show)), version_(std::move(version)) {}
    platform::PaintTargetKind kind() const override { return platform::PaintTargetKind::Form; }
    void lockWindowUpdate(bool lock) override;
    bool getClientRect(int& right, int& bottom) override;
    platform::Canvas* formCanvas() override;
    // The host keeps every window's image all the time: AutoRedraw is always on.
    void setAutoRedraw(bool) override {}
    void refresh() override;
    std::uint64_t imageVersion() const override { return version_(); }

private:
    const HWND& window_;
    std::function<HDC()> imageDc_;
    std::function<void()> show_;
    std::function<std::uint64_t()> version_;
    GdiCanvas image_;
};

class Win32SystemColors : public platform::SystemColors {
public:
    std::uint32_t sysColor(int index) override;
};

}  // namespace kestrum::win32

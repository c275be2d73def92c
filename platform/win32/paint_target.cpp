#include "platform/win32/paint_target.h"

namespace kestrum::win32 {

namespace {

HGDIOBJ Handle(platform::GdiObject object) { return reinterpret_cast<HGDIOBJ>(object); }
platform::GdiObject Object(HGDIOBJ handle) { return reinterpret_cast<platform::GdiObject>(handle); }

bool ClientRect(HWND hwnd, int& right, int& bottom) {
    RECT rect;
    if (!::GetClientRect(hwnd, &rect)) return false;
    right = rect.right;
    bottom = rect.bottom;
    return true;
}

}  // namespace

void GdiCanvas::moveTo(int x, int y) { ::MoveToEx(dc_, x, y, nullptr); }

void GdiCanvas::lineTo(int x, int y) { ::LineTo(dc_, x, y); }

platform::GdiObject GdiCanvas::createPen(int style, int width, std::uint32_t color) {
    return Object(::CreatePen(style, width, color));
}

platform::GdiObject GdiCanvas::selectObject(platform::GdiObject object) {
    return Object(::SelectObject(dc_, Handle(object)));
}

void GdiCanvas::deleteObject(platform::GdiObject object) { ::DeleteObject(Handle(object)); }

void FormPaintTarget::lockWindowUpdate(bool lock) { ::LockWindowUpdate(lock ? window_ : nullptr); }

bool FormPaintTarget::getClientRect(int& right, int& bottom) { return ClientRect(window_, right, bottom); }

platform::Canvas* FormPaintTarget::formCanvas() {
    image_.attach(imageDc_());
    return &image_;
}

void FormPaintTarget::refresh() { show_(); }

std::uint32_t Win32SystemColors::sysColor(int index) { return ::GetSysColor(index); }

}  // namespace kestrum::win32

#pragma once
// What a portable window's logic needs from the window that hosts it.

#include <cstdint>
#include <functional>
#include <string>

#include "platform/control.h"
#include "platform/paint_target.h"

namespace kestrum::platform {

// The events a host delivers to a window's logic. Control and menu identifiers are
// those of the window's layout table.
class FormEvents {
public:
    virtual ~FormEvents() = default;
    virtual void onLoad() {}
    // The client area changed size: when the window is first shown, when the user
    // sizes it, and when it moved to a monitor of another dpi. The host has then
    // placed the controls anew, and the window's images are blank: what is painted
    // must be painted again.
    virtual void onResize() {}
    // The window was first shown, or became active again after another window of
    // the program closed. Switching to and from other programs does not count.
    virtual void onActivate() {}
    // A button was clicked or a menu entry chosen (with the mouse or a shortcut).
    virtual void onClick(int id) = 0;
    // The text of a text box changed, whatever changed it.
    virtual void onChange(int /*id*/) {}
};

// The window as its logic drives it.
class FormView {
public:
    virtual ~FormView() = default;
    virtual Control& control(int id) = 0;
    // The platform's handle of the window, for calls that name an owner window.
    virtual std::uintptr_t windowHandle() const = 0;
    // Closes and destroys the window; for the main window this ends the program.
    virtual void unload() = 0;
    // The window as the gradient painter paints it.
    virtual PaintTarget& paintTarget() = 0;
    // The picture box shows the window's painted image from its own top-left corner.
    virtual void setPictureFromForm(int pictureBoxId) = 0;
    // The picture box shows the big icon of the program's main window.
    virtual void setPictureToMainWindowIcon(int pictureBoxId) = 0;
    virtual void setCaption(const std::string& caption) = 0;
    // The size of the client area in twips.
    virtual float scaleWidth() const = 0;
    virtual float scaleHeight() const = 0;
    // Runs work on a thread of its own, then done on the window's thread, unless
    // the window has closed by then. work must not touch the window. Work that
    // throws is told of as a failing event handler is, and done then runs with
    // worked false, so that the window can leave its busy state.
    virtual void runInBackground(std::function<void()> work, std::function<void(bool worked)> done) = 0;
};

}  // namespace kestrum::platform

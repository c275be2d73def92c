#pragma once
// What the gradient painter needs from the window it paints, one method per
// platform call, and the system colours that colour settings may refer to.

#include <cstdint>

#include "platform/canvas.h"

namespace kestrum::platform {

enum class PaintTargetKind { Form, Other };

class PaintTarget {
public:
    virtual ~PaintTarget() = default;
    virtual PaintTargetKind kind() const = 0;
    // LockWindowUpdate(hwnd) when lock is true, LockWindowUpdate(0) when false.
    virtual void lockWindowUpdate(bool lock) = 0;
    // GetClientRect(hwnd); false when the call fails (right and bottom untouched).
    virtual bool getClientRect(int& right, int& bottom) = 0;
    // A form's persistent-image surface, owned by the window.
    virtual Canvas* formCanvas() = 0;
    virtual void setAutoRedraw(bool on) = 0;
    virtual void refresh() = 0;
    // Which picture the kept image holds: it changes whenever anything draws into
    // the image or makes it anew, and never comes back. 0: the target cannot tell.
    virtual std::uint64_t imageVersion() const { return 0; }
};

class SystemColors {
public:
    virtual ~SystemColors() = default;
    // GetSysColor(index): the element's current colour, 0x00BBGGRR.
    virtual std::uint32_t sysColor(int index) = 0;
};

}  // namespace kestrum::platform

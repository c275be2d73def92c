#pragma once
// A control as the portable window logic sees it: labels, text boxes, buttons,
// picture boxes and menu entries share these few properties. The Win32 build hands
// the logic HWND- and HMENU-backed controls; tests hand it recording fakes.

#include <cstdint>
#include <string>

namespace kestrum::platform {

class Control {
public:
    virtual ~Control() = default;

    // Caption of a label, button or menu entry; text of a text box. UTF-8.
    virtual std::string text() const = 0;
    virtual void setText(const std::string& value) = 0;

    virtual bool visible() const = 0;
    virtual void setVisible(bool value) = 0;

    virtual bool enabled() const = 0;
    virtual void setEnabled(bool value) = 0;

    // 0x00BBGGRR.
    virtual std::uint32_t foreColor() const = 0;
    virtual void setForeColor(std::uint32_t value) = 0;
};

}  // namespace kestrum::platform

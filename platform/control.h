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

    // Place and size in twips within the container (the form's client area or a
    // picture box). Menu entries have none: they read 0 and ignore what is set.
    virtual float left() const = 0;
    virtual float top() const = 0;
    virtual float width() const = 0;
    virtual float height() const = 0;
    virtual void setLeft(float twips) = 0;
    virtual void setTop(float twips) = 0;
    virtual void setWidth(float twips) = 0;
    virtual void setHeight(float twips) = 0;
};

}  // namespace kestrum::platform

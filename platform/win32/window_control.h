#pragma once
// A control of a window's table (label, text box, button, picture box or
// rich-text box) as the portable logic sees it, backed by its child window.

#include <windows.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/control.h"
#include "platform/form_layout.h"

namespace kestrum::win32 {

// What a control asks of the window that holds it.
class ControlOwner {
public:
    virtual int dpi() const = 0;
    // The focus leaves the control (it is being hidden): on to the next tab stop.
    virtual void focusNextAfter(int id) = 0;

protected:
    ~ControlOwner() = default;
};

class WindowControl : public platform::Control {
public:
    WindowControl(const platform::ControlDef& controlDef, HWND hwnd, ControlOwner& owner);

    const platform::ControlDef& controlDef() const { return controlDef_; }
    HWND hwnd() const { return hwnd_; }
    // Whether Tab may move the focus here now.
    bool canFocus() const;
    // Puts the control where its twips fall at the window's dots per inch now.
    void placeAtDpi();

    std::string text() const override;
    void setText(const std::string& value) override;
    bool visible() const override;
    void setVisible(bool value) override;
    bool enabled() const override;
    void setEnabled(bool value) override;
    std::uint32_t foreColor() const override;
    void setForeColor(std::uint32_t value) override;
    float left() const override { return edge(0); }
    float top() const override { return edge(1); }
    float width() const override { return edge(2); }
    float height() const override { return edge(3); }
    void setLeft(float twips) override { setEdge(0, twips); }
    void setTop(float twips) override { setEdge(1, twips); }
    void setWidth(float twips) override { setEdge(2, twips); }
    void setHeight(float twips) override { setEdge(3, twips); }

private:
    // This control, or a window inside it, has the keyboard focus.
    bool hasFocus() const;
    std::array<int, 4> bounds() const;
    float edge(int which) const;
    void setEdge(int which, float twips);
    void repaintBackground();

    const platform::ControlDef& controlDef_;
    HWND hwnd_;
    ControlOwner& owner_;
    std::optional<std::uint32_t> color_;
    // Left, top, width and height in twips as last set: kept, not read back from
    // pixels, so moving between monitors of different dpi never drifts.
    std::array<float, 4> place_{};
};

// The window's rectangle in its parent's client coordinates.
RECT RectInParent(HWND hwnd);

}  // namespace kestrum::win32

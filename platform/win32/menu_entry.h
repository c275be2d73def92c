#pragma once
// A window's menu bar and its entries as the portable logic sees them. An entry
// enters its menu when shown and leaves it when hidden, and keeps the table's
// order among its siblings.

#include <windows.h>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "platform/control.h"
#include "platform/form_layout.h"
#include "platform/win32/unique_handle.h"

namespace kestrum::win32 {

class MenuBar;

class MenuEntry : public platform::Control {
public:
    // A menu of the bar (one without a parent) opens a menu of its own.
    MenuEntry(const platform::MenuDef& menuDef, MenuBar& bar);

    // Puts the entry into its menu, after its visible elder siblings.
    void insert();
    // Its menu is gone, and with it the menu this entry opens if it was in there.
    void menuGone();

    std::string text() const override { return text_; }
    void setText(const std::string& value) override;
    bool visible() const override { return visible_; }
    void setVisible(bool value) override;
    bool enabled() const override { return enabled_; }
    void setEnabled(bool value) override;
    std::uint32_t foreColor() const override;
    void setForeColor(std::uint32_t value) override { color_ = value; }
    // Menu entries have no place.
    float left() const override { return 0; }
    float top() const override { return 0; }
    float width() const override { return 0; }
    float height() const override { return 0; }
    void setLeft(float) override {}
    void setTop(float) override {}
    void setWidth(float) override {}
    void setHeight(float) override {}

private:
    HMENU parentMenu() const;
    void remove();

    const platform::MenuDef& menuDef_;
    MenuBar& bar_;
    // A menu of the bar: the menu it opens, which belongs to the bar while it is in
    // there (the window destroys it with itself) and to the entry while it is not.
    UniqueHmenu ownPopup_;
    HMENU popup_;
    std::string text_;
    bool visible_;
    bool enabled_;
    std::optional<std::uint32_t> color_;
};

class MenuBar {
public:
    explicit MenuBar(const platform::FormDef& formDef) : formDef_(formDef) {}
    MenuBar(const MenuBar&) = delete;
    MenuBar& operator=(const MenuBar&) = delete;

    // Makes the bar, its menus and their visible entries, and gives them to the
    // window, which destroys them with itself (a hidden menu is its entry's to
    // destroy). True also when the table has none.
    bool create(HWND window);
    // The window is gone, and its menus with it.
    void forget();
    // The entry of that identifier, or null.
    MenuEntry* find(int id);
    // The same; throws std::out_of_range for one the table has not.
    MenuEntry& at(int id) { return *entries_.at(id); }
    HWND window() const { return window_; }
    HMENU handle() const { return bar_; }
    const platform::FormDef& formDef() const { return formDef_; }

private:
    const platform::FormDef& formDef_;
    HWND window_ = nullptr;
    HMENU bar_ = nullptr;
    std::map<int, std::unique_ptr<MenuEntry>> entries_;
};

}  // namespace kestrum::win32

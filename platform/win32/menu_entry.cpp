#include "platform/win32/menu_entry.h"

#include "platform/win32/text.h"

namespace kestrum::win32 {

MenuEntry::MenuEntry(const platform::MenuDef& spec, MenuBar& bar)
    : spec_(spec),
      bar_(bar),
      popup_(spec.parent ? nullptr : ::CreatePopupMenu()),
      text_(spec.caption),
      visible_(spec.visible),
      enabled_(spec.enabled) {}

void MenuEntry::insert() {
    if (!bar_.handle()) return;
    const std::wstring caption = Widen(platform::MenuText(spec_));
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID | MIIM_STATE | MIIM_FTYPE;
    info.wID = static_cast<UINT>(spec_.id);
    info.fState = enabled_ ? MFS_ENABLED : MFS_GRAYED;
    if (spec_.caption == "-") {
        info.fType = MFT_SEPARATOR;
    } else {
        info.fType = MFT_STRING;
        info.fMask |= MIIM_STRING;
        info.dwTypeData = const_cast<wchar_t*>(caption.c_str());
    }
    if (popup_) {
        info.fMask |= MIIM_SUBMENU;
        info.hSubMenu = popup_;
    }
    const int position = platform::MenuPosition(bar_.spec(), spec_.id, [this](int id) {
        const MenuEntry* sibling = bar_.find(id);
        return id != spec_.id && sibling && sibling->visible();
    });
    ::InsertMenuItemW(parentMenu(), static_cast<UINT>(position), TRUE, &info);
}

void MenuEntry::remove() {
    if (bar_.handle()) ::RemoveMenu(parentMenu(), static_cast<UINT>(spec_.id), MF_BYCOMMAND);
}

void MenuEntry::setText(const std::string& value) {
    text_ = value;
    if (!visible_) return;
    remove();
    insert();
    ::DrawMenuBar(bar_.window());
}

void MenuEntry::setVisible(bool value) {
    if (value == visible_) return;
    if (value) {
        visible_ = true;
        insert();
    } else {
        remove();
        visible_ = false;
    }
    ::DrawMenuBar(bar_.window());
}

void MenuEntry::setEnabled(bool value) {
    enabled_ = value;
    if (!visible_ || !bar_.handle()) return;
    ::EnableMenuItem(parentMenu(), static_cast<UINT>(spec_.id), MF_BYCOMMAND | (value ? MF_ENABLED : MF_GRAYED));
    if (!spec_.parent) ::DrawMenuBar(bar_.window());
}

std::uint32_t MenuEntry::foreColor() const { return color_.value_or(::GetSysColor(COLOR_WINDOWTEXT)); }

HMENU MenuEntry::parentMenu() const {
    if (!spec_.parent) return bar_.handle();
    const MenuEntry* menu = bar_.find(spec_.parent);
    return menu ? menu->popup_ : nullptr;
}

bool MenuBar::create(HWND window) {
    if (spec_.menus.empty()) return true;
    bar_ = ::CreateMenu();
    if (!bar_) return false;
    window_ = window;
    for (const platform::MenuDef& m : spec_.menus) entries_[m.id] = std::make_unique<MenuEntry>(m, *this);
    // Inserted in table order, so each entry lands after its visible elder siblings.
    for (const platform::MenuDef& m : spec_.menus)
        if (m.visible) entries_[m.id]->insert();
    return ::SetMenu(window, bar_) != FALSE;
}

MenuEntry* MenuBar::find(int id) {
    const auto found = entries_.find(id);
    return found == entries_.end() ? nullptr : found->second.get();
}

}  // namespace kestrum::win32

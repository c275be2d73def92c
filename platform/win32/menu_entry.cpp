#include "platform/win32/menu_entry.h"

#include "platform/win32/text.h"

namespace kestrum::win32 {

MenuEntry::MenuEntry(const platform::MenuDef& menuDef, MenuBar& bar)
    : menuDef_(menuDef),
      bar_(bar),
      ownPopup_(menuDef.parent ? nullptr : ::CreatePopupMenu()),
      popup_(ownPopup_.get()),
      text_(menuDef.caption),
      visible_(menuDef.visible),
      enabled_(menuDef.enabled) {}

void MenuEntry::insert() {
    if (!bar_.handle()) return;
    const std::wstring caption = Widen(platform::MenuText(menuDef_));
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID | MIIM_STATE | MIIM_FTYPE;
    info.wID = static_cast<UINT>(menuDef_.id);
    info.fState = enabled_ ? MFS_ENABLED : MFS_GRAYED;
    if (menuDef_.caption == "-") {
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
    const int position = platform::MenuPosition(bar_.formDef(), menuDef_.id, [this](int id) {
        const MenuEntry* sibling = bar_.find(id);
        return id != menuDef_.id && sibling && sibling->visible();
    });
    if (::InsertMenuItemW(parentMenu(), static_cast<UINT>(position), TRUE, &info)) ownPopup_.release();
}

void MenuEntry::remove() {
    // Taken out, not destroyed: the menu it opens is the entry's again.
    if (bar_.handle() && ::RemoveMenu(parentMenu(), static_cast<UINT>(menuDef_.id), MF_BYCOMMAND) && popup_ &&
        !ownPopup_)
        ownPopup_.reset(popup_);
}

void MenuEntry::menuGone() {
    if (!ownPopup_) popup_ = nullptr;
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
    ::EnableMenuItem(parentMenu(), static_cast<UINT>(menuDef_.id), MF_BYCOMMAND | (value ? MF_ENABLED : MF_GRAYED));
    if (!menuDef_.parent) ::DrawMenuBar(bar_.window());
}

std::uint32_t MenuEntry::foreColor() const { return color_.value_or(::GetSysColor(COLOR_WINDOWTEXT)); }

HMENU MenuEntry::parentMenu() const {
    if (!menuDef_.parent) return bar_.handle();
    const MenuEntry* menu = bar_.find(menuDef_.parent);
    return menu ? menu->popup_ : nullptr;
}

bool MenuBar::create(HWND window) {
    if (formDef_.menus.empty()) return true;
    UniqueHmenu bar(::CreateMenu());
    if (!bar) return false;
    bar_ = bar.get();
    window_ = window;
    for (const platform::MenuDef& m : formDef_.menus) entries_[m.id] = std::make_unique<MenuEntry>(m, *this);
    // Inserted in table order, so each entry lands after its visible elder siblings.
    for (const platform::MenuDef& m : formDef_.menus)
        if (m.visible) entries_[m.id]->insert();
    if (::SetMenu(window, bar_)) {
        bar.release();  // the window's now
        return true;
    }
    bar.reset();  // with the menus in it
    forget();
    return false;
}

void MenuBar::forget() {
    for (const auto& [id, entry] : entries_) entry->menuGone();
    window_ = nullptr;
    bar_ = nullptr;
}

MenuEntry* MenuBar::find(int id) {
    const auto found = entries_.find(id);
    return found == entries_.end() ? nullptr : found->second.get();
}

}  // namespace kestrum::win32

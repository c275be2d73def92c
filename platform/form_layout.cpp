#include "platform/form_layout.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace kestrum::platform {

int PointsToPixels(double points, int dpi) { return static_cast<int>(std::lround(points * dpi / 72.0)); }

int TwipsToPixels(float twips, int dpi) {
    return static_cast<int>(std::lround(static_cast<double>(twips) * dpi / 1440.0));
}

const ControlDef* FindControl(const FormDef& form, int id) {
    for (const ControlDef& c : form.controls)
        if (c.id == id) return &c;
    return nullptr;
}

const MenuDef* FindMenu(const FormDef& form, int id) {
    for (const MenuDef& m : form.menus)
        if (m.id == id) return &m;
    return nullptr;
}

int MenuPosition(const FormDef& form, int id, const std::function<bool(int id)>& isVisible) {
    const MenuDef* menu = FindMenu(form, id);
    if (!menu) return -1;
    int position = 0;
    for (const MenuDef& m : form.menus) {
        if (m.id == id) return position;
        if (m.parent == menu->parent && isVisible(m.id)) ++position;
    }
    return -1;
}

std::string MenuText(const MenuDef& menu) {
    std::string text(menu.caption);
    if (menu.shortcut.key) {
        text += "\tCtrl+";
        text += menu.shortcut.key;
    }
    return text;
}

int NextTabStop(const FormDef& form, int currentId, bool backwards, const std::function<bool(int id)>& canFocus) {
    std::vector<const ControlDef*> order;
    for (const ControlDef& c : form.controls) order.push_back(&c);
    std::stable_sort(order.begin(), order.end(),
                     [](const ControlDef* a, const ControlDef* b) { return a->tabIndex < b->tabIndex; });
    const auto count = static_cast<int>(order.size());
    int start = -1;
    for (int i = 0; i < count; ++i)
        if (order[i]->id == currentId) start = i;
    if (start < 0) start = backwards ? 0 : count - 1;
    for (int step = 1; step <= count; ++step) {
        const int i = ((start + (backwards ? -step : step)) % count + count) % count;
        if (canFocus(order[i]->id)) return order[i]->id;
    }
    return 0;
}

}  // namespace kestrum::platform

#pragma once
// What a window is built of, from its layout table: its controls, menus, fonts,
// icons and shortcuts, made at the window's dpi and made again at another.

#include <windows.h>

#include <map>
#include <memory>
#include <vector>

#include "platform/control.h"
#include "platform/form_layout.h"
#include "platform/win32/menu_entry.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/window_control.h"

namespace kestrum::win32 {

// The window class of picture boxes; its window procedure is the form host's.
inline constexpr wchar_t kPictureBoxClass[] = L"KestrumPictureBox";

class FormParts {
public:
    // iconResource: the program's icon resource the window shows; 0 for none.
    FormParts(const platform::FormDef& formDef, int iconResource, ControlOwner& owner);

    // Makes the menus, the controls, their fonts, the icons and the shortcuts in
    // the window, at the window's dpi. False on failure.
    bool build(HWND window);
    // The fonts, places and icons anew at the window's dpi now.
    void rescale();
    // The window is gone, and with it what it destroys itself.
    void windowGone() { menus_.forget(); }

    // The control or menu entry of that identifier; throws std::out_of_range for
    // one the table has not.
    platform::Control& at(int id);
    WindowControl& control(int id) { return *controls_.at(id); }
    // The control of a child window, or null.
    WindowControl* controlOf(HWND hwnd);
    HACCEL shortcuts() const { return shortcuts_.get(); }

private:
    bool createControls();
    void applyFonts();
    HFONT fontFor(const platform::FontDef& font);
    void loadIcons();
    int px(int twips) const { return platform::TwipsToPixels(twips, owner_.dpi()); }

    const platform::FormDef& formDef_;
    int iconResource_;
    ControlOwner& owner_;
    HWND window_ = nullptr;
    MenuBar menus_{formDef_};
    std::map<int, std::unique_ptr<WindowControl>> controls_;
    std::vector<UniqueHfont> fonts_;
    UniqueHaccel shortcuts_;
    UniqueHicon bigIcon_, smallIcon_;
};

}  // namespace kestrum::win32

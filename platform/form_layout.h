#pragma once
// Windows are described by data: the form, its controls and its menus, with
// positions in twips (1440 to the inch) and fonts in points. One host on each
// platform builds any window from such a table.

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace kestrum::platform {

enum class ControlKind { Label, TextBox, Button, PictureBox };
enum class TextAlign { Left, Center };
enum class Border { FixedDialog, FixedToolWindow, Sizable };

struct FontSpec {
    std::string_view face;
    double points = 0;
    bool bold = false;
    bool underline = false;
};

struct ControlSpec {
    int id = 0;                  // also the window's command identifier
    std::string_view name;
    ControlKind kind = ControlKind::Label;
    int container = 0;           // 0: the form; else the id of a picture box
    std::string_view text;
    int left = 0, top = 0, width = 0, height = 0;  // twips, relative to the container
    int tabIndex = 0;
    std::optional<FontSpec> font;          // none: the form's font
    std::optional<std::uint32_t> foreColor;  // 0x00BBGGRR; none: the system's
    TextAlign align = TextAlign::Left;
    bool visible = true;
    bool enabled = true;
    bool readOnly = false;       // text boxes
    bool defaultButton = false;  // Enter
    bool cancelButton = false;   // Esc
};

struct Shortcut {
    char key = 0;  // an upper-case letter, used with Ctrl; 0: none
};

struct MenuSpec {
    int id = 0;
    std::string_view name;
    int parent = 0;  // 0: a top-level menu; else the id of its menu
    std::string_view caption;  // "-" is a separator line
    Shortcut shortcut;
    bool visible = true;
    bool enabled = true;
};

struct FormSpec {
    std::string_view name;
    std::string_view caption;
    Border border = Border::FixedDialog;
    int clientWidth = 0, clientHeight = 0;  // twips
    FontSpec font;
    std::span<const ControlSpec> controls;
    std::span<const MenuSpec> menus;
};

// A length in twips as whole pixels at the given dots per inch, to the nearest.
constexpr int TwipsToPixels(int twips, int dpi) {
    const long long scaled = static_cast<long long>(twips) * dpi;
    return static_cast<int>(scaled >= 0 ? (scaled + 720) / 1440 : -((-scaled + 720) / 1440));
}

// The character height of a font of the given size, in pixels at the given dpi.
int PointsToPixels(double points, int dpi);

const ControlSpec* FindControl(const FormSpec& form, int id);
const MenuSpec* FindMenu(const FormSpec& form, int id);

// Where a menu entry stands among its visible siblings: entries are inserted and
// removed as they are shown and hidden, and keep the table's order.
int MenuPosition(const FormSpec& form, int id, const std::function<bool(int id)>& isVisible);

// The caption as a menu shows it, with its shortcut: "&Remote Desktop\tCtrl+R".
std::string MenuText(const MenuSpec& menu);

// The next control the Tab key moves to, in tab-index order, wrapping around;
// canFocus says which controls may take the focus now. 0 when none can.
int NextTabStop(const FormSpec& form, int currentId, bool backwards,
                const std::function<bool(int id)>& canFocus);

}  // namespace kestrum::platform

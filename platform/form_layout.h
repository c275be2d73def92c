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
#include <type_traits>

namespace kestrum::platform {

enum class ControlKind { Label, TextBox, Button, PictureBox, RichText };
enum class TextAlign { Left, Center };
enum class Border { FixedDialog, FixedToolWindow, Sizable };
enum class Pointer { Default, Hand };

// A control or menu identifier of a window's own enum, as the tables, the host
// and the events carry it.
template <typename WindowId>
requires std::is_enum_v<WindowId>
constexpr int Id(WindowId id) noexcept { return static_cast<int>(id); }

struct FontDef {
    std::string_view face;  // empty: the platform's default dialog font
    double points = 0;
    bool bold = false;
    bool underline = false;
};

struct ControlDef {
    int id = 0;  // also the window's command identifier
    std::string_view name;
    ControlKind kind = ControlKind::Label;
    int container = 0;  // 0: the form; else the id of a picture box
    std::string_view text;
    int left = 0, top = 0, width = 0, height = 0;  // twips, relative to the container
    int tabIndex = 0;
    std::optional<FontDef> font;             // none: the form's font
    std::optional<std::uint32_t> foreColor;  // 0x00BBGGRR; none: the system's
    TextAlign align = TextAlign::Left;
    bool visible = true;
    bool enabled = true;
    bool readOnly = false;               // text boxes
    bool defaultButton = false;          // Enter
    bool cancelButton = false;           // Esc
    bool reportsClicks = false;          // labels: a click reaches the logic
    Pointer pointer = Pointer::Default;  // the mouse pointer over the control
    std::string_view document;           // rich-text boxes: the program's document resource
};

// A line drawn over the form's background, from one point to another in twips.
struct LineDef {
    std::string_view name;
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    int widthPixels = 1;
    std::uint32_t color = 0;  // 0x00BBGGRR
};

struct Shortcut {
    char key = 0;  // an upper-case letter, used with Ctrl; 0: none
};

struct MenuDef {
    int id = 0;
    std::string_view name;
    int parent = 0;            // 0: a top-level menu; else the id of its menu
    std::string_view caption;  // "-" is a separator line
    Shortcut shortcut;
    bool visible = true;
    bool enabled = true;
};

struct FormDef {
    std::string_view name;
    std::string_view caption;
    Border border = Border::FixedDialog;
    int clientWidth = 0, clientHeight = 0;  // twips
    FontDef font;
    std::span<const ControlDef> controls;
    std::span<const MenuDef> menus;
    std::span<const LineDef> lines;  // in table order, later ones on top
    int firstFocus = 0;              // the control that has the focus when shown; 0: the first tab stop
};

// A length in twips as whole pixels at the given dots per inch, to the nearest.
constexpr int TwipsToPixels(int twips, int dpi) {
    const long long scaled = static_cast<long long>(twips) * dpi;
    return static_cast<int>(scaled >= 0 ? (scaled + 720) / 1440 : -((-scaled + 720) / 1440));
}

// The character height of a font of the given size, in pixels at the given dpi.
int PointsToPixels(double points, int dpi);

// The same for a length held in single precision, as the windows' logic keeps them.
int TwipsToPixels(float twips, int dpi);

// Twips from pixels at the given dots per inch, unrounded.
constexpr float PixelsToTwips(int pixels, int dpi) {
    return static_cast<float>(static_cast<double>(pixels) * 1440.0 / dpi);
}

const ControlDef* FindControl(const FormDef& form, int id);
const MenuDef* FindMenu(const FormDef& form, int id);

// Where a menu entry stands among its visible siblings: entries are inserted and
// removed as they are shown and hidden, and keep the table's order.
int MenuPosition(const FormDef& form, int id, const std::function<bool(int id)>& isVisible);

// The caption as a menu shows it, with its shortcut: "&Remote Desktop\tCtrl+R".
std::string MenuText(const MenuDef& menu);

// The next control the Tab key moves to, in tab-index order, wrapping around;
// canFocus says which controls may take the focus now. 0 when none can.
int NextTabStop(const FormDef& form, int currentId, bool backwards, const std::function<bool(int id)>& canFocus);

}  // namespace kestrum::platform

#include "info/frm_about_layout.h"

namespace kestrum::info {

namespace {

using platform::ControlDef;
using platform::ControlKind;
using platform::FontDef;
using enum AboutId;
using platform::LineDef;

constexpr FontDef kCreditFont{.face = "Verdana", .points = 9, .bold = true};
constexpr std::uint32_t kBlack = 0x000000;

// clang-format off
const ControlDef kControls[] = {
    {.id = Id(cmdOK), .name = "cmdOK", .kind = ControlKind::Button, .text = "OK",
     .left = 4365, .top = 2625, .width = 1260, .height = 345, .tabIndex = 0,
     .defaultButton = true, .cancelButton = true},
    {.id = Id(picIcon), .name = "picIcon", .kind = ControlKind::PictureBox,
     .left = 240, .top = 1200, .width = 540, .height = 540, .tabIndex = 1},
    {.id = Id(cmdSysInfo), .name = "cmdSysInfo", .kind = ControlKind::Button, .text = "&System Info...",
     .left = 4380, .top = 3075, .width = 1245, .height = 345, .tabIndex = 2},
    {.id = Id(lblDisclaimer), .name = "lblDisclaimer", .kind = ControlKind::Label,
     .text = "Made by the Kestrum team for everyone who lends a hand with a computer far away. "
             "Free to use and to pass on.",
     // Ends at the window's bottom edge, not a pixel below it.
     .left = 135, .top = 2505, .width = 3750, .height = 1050, .tabIndex = 3,
     .font = kCreditFont, .foreColor = kBlack},
    {.id = Id(lblTitle), .name = "lblTitle", .kind = ControlKind::Label, .text = "Application Title",
     .left = 1050, .top = 1200, .width = 3885, .height = 480, .tabIndex = 4, .foreColor = kBlack},
    {.id = Id(lblVersion), .name = "lblVersion", .kind = ControlKind::Label, .text = "Version",
     .left = 1050, .top = 1740, .width = 3885, .height = 225, .tabIndex = 5},
};

// An etched separator: a white line with a grey one just above it.
const LineDef kLines[] = {
    {.name = "Line1(0)", .x1 = 105, .y1 = 2460, .x2 = 5654, .y2 = 2460, .widthPixels = 2, .color = 0xFFFFFF},
    {.name = "Line1(1)", .x1 = 90, .y1 = 2445, .x2 = 5654, .y2 = 2445, .widthPixels = 1, .color = 0x808080},
};

// No font of its own: the platform's dialog font.
const platform::FormDef kForm{
    .name = "frmAbout", .caption = "About", .border = platform::Border::FixedToolWindow,
    .clientWidth = 5730, .clientHeight = 3555, .font = {}, .controls = kControls, .menus = {}, .lines = kLines,
};
// clang-format on

}  // namespace

const platform::FormDef& AboutLayout() { return kForm; }

}  // namespace kestrum::info

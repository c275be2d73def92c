#include "info/frm_how_to_layout.h"

namespace kestrum::info {

namespace {

using platform::ControlDef;
using platform::ControlKind;
using platform::FontDef;
using enum HowToId;

constexpr FontDef kLinkFont{.face = "Times New Roman", .points = 20.25, .bold = true, .underline = true};

// The design places; Form_Resize sets them anew for every size of the window.
// clang-format off
const ControlDef kControls[] = {
    {.id = Id(rtfHowTo), .name = "rtfHowTo", .kind = ControlKind::RichText,
     .left = 240, .top = 240, .width = 11775, .height = 6495, .tabIndex = 0,
     .readOnly = true, .document = kHowToDocument},
    {.id = Id(cmdClose), .name = "cmdClose", .kind = ControlKind::Button, .text = "&Close",
     .left = 10800, .top = 6840, .width = 1215, .height = 375, .tabIndex = 1,
     .defaultButton = true, .cancelButton = true},
    // Wide enough for its text in any of the fonts that stand in for Times New
    // Roman, at any dpi: one line high, it would otherwise lose its last letter.
    {.id = Id(Label1), .name = "Label1", .kind = ControlKind::Label, .text = "Additional Information",
     .left = 240, .top = 6840, .width = 4560, .height = 465, .tabIndex = 2, .font = kLinkFont,
     .reportsClicks = true, .pointer = platform::Pointer::Hand},
};

const platform::FormDef kForm{
    .name = "frmHowTo", .caption = "HOW TO...", .border = platform::Border::Sizable,
    .clientWidth = 12270, .clientHeight = 7680, .font = {}, .controls = kControls,
};
// clang-format on

}  // namespace

const platform::FormDef& HowToLayout() { return kForm; }

}  // namespace kestrum::info

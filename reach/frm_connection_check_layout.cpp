#include "reach/frm_connection_check_layout.h"

#include <iterator>

namespace kestrum::reach {

namespace {

using enum CheckId;
using platform::ControlDef;
using platform::ControlKind;
using platform::Id;

constexpr platform::FontDef kBold{.bold = true};
constexpr int kRowTop = 840, kRowHeight = 900;

constexpr int kIpv6Top = kRowTop + kFindingRows * kRowHeight;  // the IPv6 ID's line
constexpr int kButtonTop = kIpv6Top + 540;

constexpr int RowTop(int row) noexcept { return kRowTop + row * kRowHeight; }

// clang-format off
const ControlDef kControls[] = {
    {.id = Id(lblIpv6Id), .name = "lblIpv6Id", .kind = ControlKind::Label, .text = "IPv6 ID",
     .left = 240, .top = kIpv6Top + 45, .width = 1920, .height = 270, .tabIndex = 0, .font = kBold},
    {.id = Id(txtIpv6Id), .name = "txtIpv6Id", .kind = ControlKind::TextBox,
     .left = 2280, .top = kIpv6Top, .width = 4980, .height = 330, .tabIndex = 1, .readOnly = true},
    {.id = Id(cmdCopy), .name = "cmdCopy", .kind = ControlKind::Button, .text = "Copy",
     .left = 7380, .top = kIpv6Top - 23, .width = 1260, .height = 375, .tabIndex = 2, .enabled = false},
    {.id = Id(cmdPort), .name = "cmdPort", .kind = ControlKind::Button, .text = "Open port 3389 on the router",
     .left = 240, .top = kButtonTop, .width = 3480, .height = 375, .tabIndex = 3, .enabled = false},
    {.id = Id(cmdPort6), .name = "cmdPort6", .kind = ControlKind::Button, .text = "Open port 3389 for IPv6",
     .left = 3840, .top = kButtonTop, .width = 3420, .height = 375, .tabIndex = 4, .enabled = false},
    {.id = Id(cmdClose), .name = "cmdClose", .kind = ControlKind::Button, .text = "Close",
     .left = 7380, .top = kButtonTop, .width = 1260, .height = 375, .tabIndex = 5,
     .defaultButton = true, .cancelButton = true},
    {.id = Id(lblQuestion), .name = "lblQuestion", .kind = ControlKind::Label,
     .text = "Can the other side reach Remote Desktop on this computer?",
     .left = 240, .top = 180, .width = 8400, .height = 270, .tabIndex = 6, .font = kBold},
    {.id = Id(lblProgress), .name = "lblProgress", .kind = ControlKind::Label,
     .text = "Checking this computer and the router...",
     .left = 240, .top = 480, .width = 8400, .height = 270, .tabIndex = 7},
    // One row a finding: its subject and state on the left, what was found on the right.
    {.id = Id(lblSubject0) + 0, .name = "lblSubject(0)", .kind = ControlKind::Label,
     .left = 240, .top = RowTop(0), .width = 1920, .height = 270, .tabIndex = 8, .font = kBold},
    {.id = Id(lblSubject0) + 1, .name = "lblSubject(1)", .kind = ControlKind::Label,
     .left = 240, .top = RowTop(1), .width = 1920, .height = 270, .tabIndex = 9, .font = kBold},
    {.id = Id(lblSubject0) + 2, .name = "lblSubject(2)", .kind = ControlKind::Label,
     .left = 240, .top = RowTop(2), .width = 1920, .height = 270, .tabIndex = 10, .font = kBold},
    {.id = Id(lblSubject0) + 3, .name = "lblSubject(3)", .kind = ControlKind::Label,
     .left = 240, .top = RowTop(3), .width = 1920, .height = 270, .tabIndex = 11, .font = kBold},
    {.id = Id(lblSubject0) + 4, .name = "lblSubject(4)", .kind = ControlKind::Label,
     .left = 240, .top = RowTop(4), .width = 1920, .height = 270, .tabIndex = 12, .font = kBold},
    {.id = Id(lblState0) + 0, .name = "lblState(0)", .kind = ControlKind::Label,
     .left = 240, .top = RowTop(0) + 300, .width = 1920, .height = 270, .tabIndex = 8},
    {.id = Id(lblState0) + 1, .name = "lblState(1)", .kind = ControlKind::Label,
     .left = 240, .top = RowTop(1) + 300, .width = 1920, .height = 270, .tabIndex = 9},
    {.id = Id(lblState0) + 2, .name = "lblState(2)", .kind = ControlKind::Label,
     .left = 240, .top = RowTop(2) + 300, .width = 1920, .height = 270, .tabIndex = 10},
    {.id = Id(lblState0) + 3, .name = "lblState(3)", .kind = ControlKind::Label,
     .left = 240, .top = RowTop(3) + 300, .width = 1920, .height = 270, .tabIndex = 11},
    {.id = Id(lblState0) + 4, .name = "lblState(4)", .kind = ControlKind::Label,
     .left = 240, .top = RowTop(4) + 300, .width = 1920, .height = 270, .tabIndex = 12},
    {.id = Id(lblFinding0) + 0, .name = "lblFinding(0)", .kind = ControlKind::Label,
     .left = 2280, .top = RowTop(0), .width = 6360, .height = 840, .tabIndex = 8},
    {.id = Id(lblFinding0) + 1, .name = "lblFinding(1)", .kind = ControlKind::Label,
     .left = 2280, .top = RowTop(1), .width = 6360, .height = 840, .tabIndex = 9},
    {.id = Id(lblFinding0) + 2, .name = "lblFinding(2)", .kind = ControlKind::Label,
     .left = 2280, .top = RowTop(2), .width = 6360, .height = 840, .tabIndex = 10},
    {.id = Id(lblFinding0) + 3, .name = "lblFinding(3)", .kind = ControlKind::Label,
     .left = 2280, .top = RowTop(3), .width = 6360, .height = 840, .tabIndex = 11},
    {.id = Id(lblFinding0) + 4, .name = "lblFinding(4)", .kind = ControlKind::Label,
     .left = 2280, .top = RowTop(4), .width = 6360, .height = 840, .tabIndex = 12},
};
static_assert(std::size(kControls) == 8 + 3 * kFindingRows, "a row of labels for every finding");

const platform::FormDef kForm{
    .name = "frmConnectionCheck", .caption = "Connection Check", .border = platform::Border::FixedToolWindow,
    .clientWidth = 8880, .clientHeight = kButtonTop + 375 + 225, .font = {}, .controls = kControls, .menus = {},
    .lines = {}, .firstFocus = Id(cmdClose),
};
// clang-format on

}  // namespace

const platform::FormDef& ConnectionCheckLayout() { return kForm; }

}  // namespace kestrum::reach

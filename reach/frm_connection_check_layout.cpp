#include "reach/frm_connection_check_layout.h"

#include <array>

namespace kestrum::reach {

namespace {

using enum CheckId;
using platform::ControlDef;
using platform::ControlKind;
using platform::Id;

constexpr platform::FontDef kBold{"", 0, true};
constexpr int kRowTop = 840, kRowHeight = 900;

constexpr std::string_view kSubjectNames[] = {"lblSubject(0)", "lblSubject(1)", "lblSubject(2)", "lblSubject(3)",
                                              "lblSubject(4)"};
constexpr std::string_view kStateNames[] = {"lblState(0)", "lblState(1)", "lblState(2)", "lblState(3)", "lblState(4)"};
constexpr std::string_view kFindingNames[] = {"lblFinding(0)", "lblFinding(1)", "lblFinding(2)", "lblFinding(3)",
                                              "lblFinding(4)"};
constexpr int kFixed = 8;                                      // the controls before the rows
constexpr int kIpv6Top = kRowTop + kFindingRows * kRowHeight;  // the IPv6 ID's line
constexpr int kButtonTop = kIpv6Top + 540;

constexpr ControlDef Row(CheckId first, std::string_view name, int row, int left, int top, int width, int height) {
    return {.id = Id(first) + row,
            .name = name,
            .kind = ControlKind::Label,
            .left = left,
            .top = kRowTop + row * kRowHeight + top,
            .width = width,
            .height = height,
            .tabIndex = kFixed + row};
}

constexpr std::array<ControlDef, kFixed + 3 * kFindingRows> kControls = [] {
    std::array<ControlDef, kFixed + 3 * kFindingRows> c{{
        // clang-format off
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
        // clang-format on
    }};
    for (int row = 0; row < kFindingRows; ++row) {
        c[kFixed + row] = Row(lblSubject0, kSubjectNames[row], row, 240, 0, 1920, 270);
        c[kFixed + row].font = kBold;
        c[kFixed + kFindingRows + row] = Row(lblState0, kStateNames[row], row, 240, 300, 1920, 270);
        c[kFixed + 2 * kFindingRows + row] = Row(lblFinding0, kFindingNames[row], row, 2280, 0, 6360, 840);
    }
    return c;
}();

// clang-format off
const platform::FormDef kForm{
    .name = "frmConnectionCheck", .caption = "Connection Check", .border = platform::Border::FixedToolWindow,
    .clientWidth = 8880, .clientHeight = kButtonTop + 375 + 225, .font = {}, .controls = kControls, .menus = {},
    .lines = {}, .firstFocus = Id(cmdClose),
};
// clang-format on

}  // namespace

const platform::FormDef& ConnectionCheckLayout() { return kForm; }

}  // namespace kestrum::reach

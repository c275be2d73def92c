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

constexpr std::string_view kSubjectNames[] = {"lblSubject(0)", "lblSubject(1)", "lblSubject(2)", "lblSubject(3)"};
constexpr std::string_view kStateNames[] = {"lblState(0)", "lblState(1)", "lblState(2)", "lblState(3)"};
constexpr std::string_view kFindingNames[] = {"lblFinding(0)", "lblFinding(1)", "lblFinding(2)", "lblFinding(3)"};

constexpr ControlDef Row(CheckId first, std::string_view name, int row, int left, int top, int width, int height) {
    return {.id = Id(first) + row,
            .name = name,
            .kind = ControlKind::Label,
            .left = left,
            .top = kRowTop + row * kRowHeight + top,
            .width = width,
            .height = height,
            .tabIndex = 4 + row};
}

constexpr std::array<ControlDef, 4 + 3 * kFindingRows> kControls = [] {
    std::array<ControlDef, 4 + 3 * kFindingRows> c{{
        // clang-format off
        {.id = Id(cmdPort), .name = "cmdPort", .kind = ControlKind::Button, .text = "Open port 3389 on the router",
         .left = 240, .top = 4560, .width = 3840, .height = 375, .tabIndex = 0, .enabled = false},
        {.id = Id(cmdClose), .name = "cmdClose", .kind = ControlKind::Button, .text = "Close",
         .left = 7380, .top = 4560, .width = 1260, .height = 375, .tabIndex = 1,
         .defaultButton = true, .cancelButton = true},
        {.id = Id(lblQuestion), .name = "lblQuestion", .kind = ControlKind::Label,
         .text = "Can the other side reach Remote Desktop on this computer?",
         .left = 240, .top = 180, .width = 8400, .height = 270, .tabIndex = 2, .font = kBold},
        {.id = Id(lblProgress), .name = "lblProgress", .kind = ControlKind::Label,
         .text = "Checking this computer and the router...",
         .left = 240, .top = 480, .width = 8400, .height = 270, .tabIndex = 3},
        // clang-format on
    }};
    for (int row = 0; row < kFindingRows; ++row) {
        c[4 + row] = Row(lblSubject0, kSubjectNames[row], row, 240, 0, 1920, 270);
        c[4 + row].font = kBold;
        c[4 + kFindingRows + row] = Row(lblState0, kStateNames[row], row, 240, 300, 1920, 270);
        c[4 + 2 * kFindingRows + row] = Row(lblFinding0, kFindingNames[row], row, 2280, 0, 6360, 840);
    }
    return c;
}();

// clang-format off
const platform::FormDef kForm{
    .name = "frmConnectionCheck", .caption = "Connection Check", .border = platform::Border::FixedToolWindow,
    .clientWidth = 8880, .clientHeight = 5160, .font = {}, .controls = kControls, .menus = {}, .lines = {},
};
// clang-format on

}  // namespace

const platform::FormDef& ConnectionCheckLayout() { return kForm; }

}  // namespace kestrum::reach

#include "app/frm_kestrum_layout.h"

#include "app/mod_main.h"

namespace kestrum::app {

namespace {

using platform::ControlDef;
using platform::ControlKind;
using platform::FontDef;
using platform::MenuDef;
using platform::TextAlign;
using enum KestrumId;

constexpr FontDef kWindowFont{.face = "Verdana", .points = 14.25};
constexpr FontDef kStatusFont{.face = "Verdana", .points = 15.75, .bold = true, .underline = true};
constexpr FontDef kCommandFont{.face = "Verdana", .points = 9.75};

// clang-format off
const ControlDef kControls[] = {
    {.id = Id(lblConnection), .name = "lblConnection", .kind = ControlKind::Label, .text = "Try to connecting...",
     .left = 120, .top = 240, .width = 10035, .height = 675, .tabIndex = 3, .font = kStatusFont,
     .foreColor = kStatusStartColor, .align = TextAlign::Center},
    {.id = Id(cmdTRY), .name = "cmdTRY", .kind = ControlKind::Button, .text = "&Try Again",
     .left = 8520, .top = 960, .width = 1575, .height = 495, .tabIndex = 10,
     .align = TextAlign::Center, .visible = false},
    {.id = Id(Label2_0), .name = "Label2(0)", .kind = ControlKind::Label, .text = "Local Computer",
     .left = 240, .top = 1080, .width = 2250, .height = 345, .tabIndex = 4},
    {.id = Id(Label2_3), .name = "Label2(3)", .kind = ControlKind::Label, .text = "Remote Computer",
     .left = 5280, .top = 1080, .width = 2580, .height = 345, .tabIndex = 9},
    {.id = Id(picLocal), .name = "picLocal", .kind = ControlKind::PictureBox,
     .left = 240, .top = 1560, .width = 4815, .height = 3255, .tabIndex = 5},
    {.id = Id(picRemote), .name = "picRemote", .kind = ControlKind::PictureBox,
     .left = 5280, .top = 1560, .width = 4815, .height = 3255, .tabIndex = 7},
    {.id = Id(Label2_1), .name = "Label2(1)", .kind = ControlKind::Label, .container = Id(picLocal), .text = "Local ID",
     .left = 240, .top = 360, .width = 1200, .height = 345, .tabIndex = 6},
    // The user copies the IDs from here; typing into them would only confuse
    // discovery and the enable rule, which read them back.
    {.id = Id(txtLocalIP), .name = "txtLocalIP", .kind = ControlKind::TextBox, .container = Id(picLocal),
     .left = 1200, .top = 960, .width = 3135, .height = 495, .tabIndex = 0, .readOnly = true},
    {.id = Id(Label2_4), .name = "Label2(4)", .kind = ControlKind::Label, .container = Id(picLocal),
     .text = "Alternate ID",
     .left = 240, .top = 1800, .width = 1740, .height = 345, .tabIndex = 14},
    {.id = Id(txtAlternateID), .name = "txtAlternateID", .kind = ControlKind::TextBox, .container = Id(picLocal),
     .left = 1200, .top = 2400, .width = 3135, .height = 495, .tabIndex = 13, .readOnly = true},
    {.id = Id(Label2_2), .name = "Label2(2)", .kind = ControlKind::Label, .container = Id(picRemote),
     .text = "Enter ID of Remote Computer",
     .left = 240, .top = 360, .width = 4275, .height = 345, .tabIndex = 8},
    {.id = Id(txtRemoteIP), .name = "txtRemoteIP", .kind = ControlKind::TextBox, .container = Id(picRemote),
     .left = 1200, .top = 960, .width = 3135, .height = 495, .tabIndex = 1},
    {.id = Id(cmdCreateSession), .name = "cmdCreateSession", .kind = ControlKind::Button, .container = Id(picRemote),
     .text = "&Remote Desktop",
     .left = 1920, .top = 1680, .width = 2415, .height = 375, .tabIndex = 2, .font = kCommandFont,
     .align = TextAlign::Center, .enabled = false},
    {.id = Id(cmdBrowse), .name = "cmdBrowse", .kind = ControlKind::Button, .container = Id(picRemote),
     .text = "&Browse Shared Folder",
     .left = 1920, .top = 2160, .width = 2415, .height = 375, .tabIndex = 11, .font = kCommandFont,
     .align = TextAlign::Center, .enabled = false},
    {.id = Id(cmdGETIP), .name = "cmdGETIP", .kind = ControlKind::Button, .container = Id(picRemote),
     .text = "&Get ID for VPN",
     .left = 1920, .top = 2640, .width = 2415, .height = 375, .tabIndex = 12, .font = kCommandFont,
     .align = TextAlign::Center, .enabled = false},
};

const MenuDef kMenus[] = {
    {.id = Id(mnuAction), .name = "mnuAction", .caption = "&Action"},
    {.id = Id(mnuRD), .name = "mnuRD", .parent = Id(mnuAction),
     .caption = "&Remote Desktop", .shortcut = {'R'}, .enabled = false},
    {.id = Id(mnuBrowse), .name = "mnuBrowse", .parent = Id(mnuAction),
     .caption = "&Browse Shared Folder", .shortcut = {'B'}, .enabled = false},
    {.id = Id(mnuGetIP), .name = "mnuGetIP", .parent = Id(mnuAction),
     .caption = "&Get IP", .shortcut = {'G'}, .visible = false, .enabled = false},
    {.id = Id(mnuSEP1), .name = "mnuSEP1", .parent = Id(mnuAction), .caption = "-"},
    {.id = Id(mnuExit), .name = "mnuExit", .parent = Id(mnuAction), .caption = "E&xit", .shortcut = {'Q'}},
    {.id = Id(mnuHelp), .name = "mnuHelp", .caption = "&Help"},
    {.id = Id(mnuHowTO), .name = "mnuHowTO", .parent = Id(mnuHelp), .caption = "How &To...", .shortcut = {'T'}},
    {.id = Id(mnuAbout), .name = "mnuAbout", .parent = Id(mnuHelp), .caption = "&About", .shortcut = {'A'}},
    {.id = Id(mnuCheck), .name = "mnuCheck", .parent = Id(mnuHelp),
     .caption = "&Connection Check...", .shortcut = {'K'}},
};

const platform::FormDef kForm{
    .name = "frmKestrum", .caption = kAppTitle, .border = platform::Border::FixedDialog,
    .clientWidth = 10365, .clientHeight = 6000, .font = kWindowFont, .controls = kControls, .menus = kMenus,
    .firstFocus = Id(txtRemoteIP),  // so the user can type the remote ID at once
};
// clang-format on

}  // namespace

const platform::FormDef& KestrumLayout() { return kForm; }

}  // namespace kestrum::app

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

constexpr FontDef kWindowFont{"Verdana", 14.25};
constexpr FontDef kStatusFont{"Verdana", 15.75, true, true};
constexpr FontDef kCommandFont{"Verdana", 9.75};

// id, name, kind, container, text, left, top, width, height, tab index, font,
// colour, alignment, visible, enabled, read-only.
// clang-format off
const ControlDef kControls[] = {
    {Id(lblConnection), "lblConnection", ControlKind::Label, 0, "Try to connecting...",
     120, 240, 10035, 675, 3, kStatusFont, kStatusStartColor, TextAlign::Center},
    {Id(cmdTRY), "cmdTRY", ControlKind::Button, 0, "&Try Again",
     8520, 960, 1575, 495, 10, {}, {}, TextAlign::Center, false},
    {Id(Label2_0), "Label2(0)", ControlKind::Label, 0, "Local Computer",
     240, 1080, 2250, 345, 4},
    {Id(Label2_3), "Label2(3)", ControlKind::Label, 0, "Remote Computer",
     5280, 1080, 2580, 345, 9},
    {Id(picLocal), "picLocal", ControlKind::PictureBox, 0, "",
     240, 1560, 4815, 3255, 5},
    {Id(picRemote), "picRemote", ControlKind::PictureBox, 0, "",
     5280, 1560, 4815, 3255, 7},
    {Id(Label2_1), "Label2(1)", ControlKind::Label, Id(picLocal), "Local ID",
     240, 360, 1200, 345, 6},
    // The user copies the IDs from here; typing into them would only confuse
    // discovery and the enable rule, which read them back.
    {Id(txtLocalIP), "txtLocalIP", ControlKind::TextBox, Id(picLocal), "",
     1200, 960, 3135, 495, 0, {}, {}, TextAlign::Left, true, true, true},
    {Id(Label2_4), "Label2(4)", ControlKind::Label, Id(picLocal), "Alternate ID",
     240, 1800, 1740, 345, 14},
    {Id(txtAlternateID), "txtAlternateID", ControlKind::TextBox, Id(picLocal), "",
     1200, 2400, 3135, 495, 13, {}, {}, TextAlign::Left, true, true, true},
    {Id(Label2_2), "Label2(2)", ControlKind::Label, Id(picRemote), "Enter ID of Remote Computer",
     240, 360, 4275, 345, 8},
    {Id(txtRemoteIP), "txtRemoteIP", ControlKind::TextBox, Id(picRemote), "",
     1200, 960, 3135, 495, 1},
    {Id(cmdCreateSession), "cmdCreateSession", ControlKind::Button, Id(picRemote), "&Remote Desktop",
     1920, 1680, 2415, 375, 2, kCommandFont, {}, TextAlign::Center, true, false},
    {Id(cmdBrowse), "cmdBrowse", ControlKind::Button, Id(picRemote), "&Browse Shared Folder",
     1920, 2160, 2415, 375, 11, kCommandFont, {}, TextAlign::Center, true, false},
    {Id(cmdGETIP), "cmdGETIP", ControlKind::Button, Id(picRemote), "&Get ID for VPN",
     1920, 2640, 2415, 375, 12, kCommandFont, {}, TextAlign::Center, true, false},
};

// id, name, parent, caption, shortcut, visible, enabled.
const MenuDef kMenus[] = {
    {Id(mnuAction), "mnuAction", 0, "&Action"},
    {Id(mnuRD), "mnuRD", Id(mnuAction), "&Remote Desktop", {'R'}, true, false},
    {Id(mnuBrowse), "mnuBrowse", Id(mnuAction), "&Browse Shared Folder", {'B'}, true, false},
    {Id(mnuGetIP), "mnuGetIP", Id(mnuAction), "&Get IP", {'G'}, false, false},
    {Id(mnuSEP1), "mnuSEP1", Id(mnuAction), "-"},
    {Id(mnuExit), "mnuExit", Id(mnuAction), "E&xit", {'Q'}},
    {Id(mnuHelp), "mnuHelp", 0, "&Help"},
    {Id(mnuHowTO), "mnuHowTO", Id(mnuHelp), "How &To...", {'T'}},
    {Id(mnuAbout), "mnuAbout", Id(mnuHelp), "&About", {'A'}},
    {Id(mnuCheck), "mnuCheck", Id(mnuHelp), "&Connection Check...", {'K'}},
};

const platform::FormDef kForm{
    "frmKestrum", kAppTitle, platform::Border::FixedDialog, 10365, 6000,
    kWindowFont, kControls, kMenus, {},
    Id(txtRemoteIP),  // so the user can type the remote ID at once
};
// clang-format on

}  // namespace

const platform::FormDef& KestrumLayout() { return kForm; }

}  // namespace kestrum::app

#include "app/frmKestrum_layout.h"

#include "app/modMain.h"

namespace kestrum::app {

namespace {

using platform::ControlKind;
using platform::ControlDef;
using platform::FontDef;
using platform::MenuDef;
using platform::TextAlign;

constexpr FontDef kWindowFont{"Verdana", 14.25};
constexpr FontDef kStatusFont{"Verdana", 15.75, true, true};
constexpr FontDef kCommandFont{"Verdana", 9.75};

// id, name, kind, container, text, left, top, width, height, tab index, font,
// colour, alignment, visible, enabled, read-only.
const ControlDef kControls[] = {
    {lblConnection, "lblConnection", ControlKind::Label, 0, "Try to connecting...",
     120, 240, 10035, 675, 3, kStatusFont, 0xC00000, TextAlign::Center},
    {cmdTRY, "cmdTRY", ControlKind::Button, 0, "&Try Again",
     8520, 960, 1575, 495, 10, {}, {}, TextAlign::Center, false},
    {Label2_0, "Label2(0)", ControlKind::Label, 0, "Local Computer",
     240, 1080, 2250, 345, 4},
    {Label2_3, "Label2(3)", ControlKind::Label, 0, "Remote Computer",
     5280, 1080, 2580, 345, 9},
    {picLocal, "picLocal", ControlKind::PictureBox, 0, "",
     240, 1560, 4815, 3255, 5},
    {picRemote, "picRemote", ControlKind::PictureBox, 0, "",
     5280, 1560, 4815, 3255, 7},
    {Label2_1, "Label2(1)", ControlKind::Label, picLocal, "Local ID",
     240, 360, 1200, 345, 6},
    // The user copies the IDs from here; typing into them would only confuse
    // discovery and the enable rule, which read them back.
    {txtLocalIP, "txtLocalIP", ControlKind::TextBox, picLocal, "",
     1200, 960, 3135, 495, 0, {}, {}, TextAlign::Left, true, true, true},
    {Label2_4, "Label2(4)", ControlKind::Label, picLocal, "Alternate ID",
     240, 1800, 1740, 345, 14},
    {txtAlternateID, "txtAlternateID", ControlKind::TextBox, picLocal, "",
     1200, 2400, 3135, 495, 13, {}, {}, TextAlign::Left, true, true, true},
    {Label2_2, "Label2(2)", ControlKind::Label, picRemote, "Enter ID of Remote Computer",
     240, 360, 4275, 345, 8},
    {txtRemoteIP, "txtRemoteIP", ControlKind::TextBox, picRemote, "",
     1200, 960, 3135, 495, 1},
    {cmdCreateSession, "cmdCreateSession", ControlKind::Button, picRemote, "&Remote Desktop",
     1920, 1680, 2415, 375, 2, kCommandFont, {}, TextAlign::Center, true, false},
    {cmdBrowse, "cmdBrowse", ControlKind::Button, picRemote, "&Browse Shared Folder",
     1920, 2160, 2415, 375, 11, kCommandFont, {}, TextAlign::Center, true, false},
    {cmdGETIP, "cmdGETIP", ControlKind::Button, picRemote, "&Get ID for VPN",
     1920, 2640, 2415, 375, 12, kCommandFont, {}, TextAlign::Center, true, false},
};

// id, name, parent, caption, shortcut, visible, enabled.
const MenuDef kMenus[] = {
    {mnuAction, "mnuAction", 0, "&Action"},
    {mnuRD, "mnuRD", mnuAction, "&Remote Desktop", {'R'}, true, false},
    {mnuBrowse, "mnuBrowse", mnuAction, "&Browse Shared Folder", {'B'}, true, false},
    {mnuGetIP, "mnuGetIP", mnuAction, "&Get IP", {'G'}, false, false},
    {mnuSEP1, "mnuSEP1", mnuAction, "-"},
    {mnuExit, "mnuExit", mnuAction, "E&xit", {'Q'}},
    {mnuHelp, "mnuHelp", 0, "&Help"},
    {mnuHowTO, "mnuHowTO", mnuHelp, "How &To...", {'T'}},
    {mnuCheck, "mnuCheck", mnuHelp, "&Connection Check...", {'K'}},
    {mnuAbout, "mnuAbout", mnuHelp, "&About", {'A'}},
};

const platform::FormDef kForm{
    "frmKestrum", kAppTitle, platform::Border::FixedDialog, 10365, 6000,
    kWindowFont, kControls, kMenus, {},
    txtRemoteIP,  // so the user can type the remote ID at once
};

}  // namespace

const platform::FormDef& KestrumLayout() { return kForm; }

}  // namespace kestrum::app

#pragma once
// Controls and menus of the main window, and their table.

#include "platform/form_layout.h"

namespace kestrum::app {

// Identifiers of the main window's controls and menu entries (also the command
// identifiers the window reports).
enum class KestrumId : int {
    lblConnection = 101,
    cmdTRY,
    Label2_0,
    Label2_3,
    picLocal,
    picRemote,
    Label2_1,
    txtLocalIP,
    Label2_4,
    txtAlternateID,
    Label2_2,
    txtRemoteIP,
    cmdCreateSession,
    cmdBrowse,
    cmdGETIP,

    mnuAction = 201,
    mnuRD,
    mnuBrowse,
    mnuGetIP,
    mnuSEP1,
    mnuExit,
    mnuHelp,
    mnuHowTO,
    mnuAbout,
    mnuCheck,
};

using platform::Id;

const platform::FormDef& KestrumLayout();

}  // namespace kestrum::app

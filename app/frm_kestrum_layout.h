#pragma once
// Controls and menus of the main window, and their table.

#include <cstdint>

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

// The colours of the status line, 0x00BBGGRR: as the window opens, while busy, and the two answers.
inline constexpr std::uint32_t kStatusStartColor = 0xC00000;  // dark blue
inline constexpr std::uint32_t kStatusBusyColor = 0xFF0000;   // blue
inline constexpr std::uint32_t kStatusOnlineColor = 0x00FF00;
inline constexpr std::uint32_t kStatusOfflineColor = 0x0000FF;

const platform::FormDef& KestrumLayout();

}  // namespace kestrum::app

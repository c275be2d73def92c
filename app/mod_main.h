#pragma once
// The program's start-up procedure and the values it records once.

#include <functional>
#include <string>

#include "platform/identity.h"
#include "platform/settings.h"
#include "platform/system.h"
#include "platform/text_helpers.h"

namespace kestrum::app {

using platform::kAppTitle;
using platform::kSettingsApplication;
using platform::kStartupSection;
using platform::Trim;

// The system directory with NUL characters and surrounding blanks removed.
std::string GetSystemPath(platform::System& system);

class modMain {
public:
    modMain(platform::System& system, platform::SettingsStore& settings) : system_(system), settings_(settings) {}

    // Records the folders in the settings store, then shows the main window
    // (without making it modal) through showMainWindow.
    void Main(const std::function<void()>& showMainWindow);

    std::string AppPath;
    std::string SysPath;

private:
    platform::System& system_;
    platform::SettingsStore& settings_;
};

}  // namespace kestrum::app

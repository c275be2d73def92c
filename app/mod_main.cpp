#include "app/mod_main.h"

#include <algorithm>

namespace kestrum::app {

std::string GetSystemPath(platform::System& system) {
    constexpr unsigned kBufferChars = 255;
    // A length of 0 means the request failed; it is asked again, but not forever:
    // the value is only recorded, never read back, so after a few refusals the
    // empty text is good enough and start-up must not hang on it.
    constexpr int kAttempts = 5;
    platform::SystemDirectoryAnswer answer;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        answer = system.systemDirectory(kBufferChars);
        if (answer.length != 0) break;
    }
    if (answer.length == 0) return {};
    std::string text = answer.buffer;
    std::erase(text, '\0');
    return Trim(text);
}

void modMain::Main(const std::function<void()>& showMainWindow) {
    AppPath = platform::FolderOfFile(system_.programFile());
    SysPath = GetSystemPath(system_);
    const std::string appData = system_.environmentVariable("APPDATA").value_or("");
    // A refused write is not reported: the values are a record for other tools.
    settings_.saveSetting(kSettingsApplication, kStartupSection, "AppPath", AppPath);
    settings_.saveSetting(kSettingsApplication, kStartupSection, "SysPath", SysPath);
    settings_.saveSetting(kSettingsApplication, kStartupSection, "AppData", appData);
    showMainWindow();
}

}  // namespace kestrum::app

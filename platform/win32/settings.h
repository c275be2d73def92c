#pragma once
// The per-user settings store: string values under
// HKEY_CURRENT_USER\Software\VB and VBA Program Settings\<application>\<section>,
// the classic place other tools read and write such settings.

#include <string>

#include "platform/settings.h"

namespace kestrum::win32 {

class RegistrySettings : public platform::SettingsStore {
public:
    std::optional<std::string> getSetting(const std::string& application, const std::string& section,
                                          const std::string& key) override;
    bool saveSetting(const std::string& application, const std::string& section, const std::string& key,
                     const std::string& value) override;

    // The key path under HKEY_CURRENT_USER for an application's section.
    static std::wstring KeyPath(const std::string& application, const std::string& section);
};

}  // namespace kestrum::win32

#pragma once
// The per-user settings store, addressed by application, section and key.

#include <optional>
#include <string>

namespace kestrum::platform {

class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // The stored text, or nothing when the entry is missing or holds no text.
    virtual std::optional<std::string> getSetting(const std::string& application, const std::string& section,
                                                  const std::string& key) = 0;
    // Creates or overwrites a text entry; false when the store refused it.
    virtual bool saveSetting(const std::string& application, const std::string& section, const std::string& key,
                             const std::string& value) = 0;
};

}  // namespace kestrum::platform

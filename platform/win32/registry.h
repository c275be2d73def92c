#pragma once

#include "platform/registry.h"

namespace kestrum::win32 {

// The wide registry calls, with text values handed over in UTF-8.
class Win32Registry : public platform::Registry {
public:
    long openKey(platform::RegistryRoot root, const std::string& subKey, unsigned access,
                 platform::RegistryKey& key) override;
    long queryValue(platform::RegistryKey key, const std::string& valueName, std::uint32_t& type,
                    std::vector<std::uint8_t>& data, std::uint32_t& size) override;
    long closeKey(platform::RegistryKey key) override;
};

}  // namespace kestrum::win32

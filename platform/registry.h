#pragma once
// The registry calls that read one value, mirrored one to one: RegOpenKeyEx,
// RegQueryValueEx and RegCloseKey. Text crosses in UTF-8: a text value's bytes
// and sizes are those of its UTF-8 form, as the single-byte calls give them in
// the system's code page.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/facade_handle.h"

namespace kestrum::platform {

// A predefined root key, as its 32-bit handle value.
enum class RegistryRoot : std::uint32_t { LocalMachine = 0x80000002 };

using RegistryKey = std::uintptr_t;  // an opened key

inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegDword = 4;
inline constexpr unsigned kKeyRead = 0x20019;  // KEY_READ
inline constexpr long kErrorMoreData = 234;    // ERROR_MORE_DATA

class Registry {
public:
    virtual ~Registry() = default;
    // 0 on success, else the platform's error number.
    virtual long openKey(RegistryRoot root, const std::string& subKey, unsigned access, RegistryKey& key) = 0;
    // Reads the value into data, whose size is what is offered; type and size are
    // what the platform answers (size: the bytes written, or needed when the answer
    // is kErrorMoreData).
    virtual long queryValue(RegistryKey key, const std::string& valueName, std::uint32_t& type,
                            std::vector<std::uint8_t>& data, std::uint32_t& size) = 0;
    virtual long closeKey(RegistryKey key) = 0;
};

// An opened key, closed when its owner goes.
using OwnedRegistryKey = FacadeHandle<Registry, RegistryKey, &Registry::closeKey>;

// What reading one value came to: its text, no value to be read, or a value of
// no bytes at all.
enum class ValueRead { Read, Missing, Empty };

}  // namespace kestrum::platform
